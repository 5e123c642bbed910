#include "audiofile.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tolvarhost {

bool readAudioFile (const std::string& path, StereoBuffer& out, std::string& error)
{
	SF_INFO info {};
	SNDFILE* file = sf_open (path.c_str (), SFM_READ, &info);
	if (!file)
	{
		error = "cannot open input '" + path + "': " + sf_strerror (nullptr);
		return false;
	}
	if (info.channels < 1 || info.channels > 2)
	{
		error = "input '" + path + "' has " + std::to_string (info.channels) +
		        " channels; only mono and stereo are supported";
		sf_close (file);
		return false;
	}
	if (info.samplerate <= 0 || info.frames < 0)
	{
		error = "input '" + path + "' has no valid sample rate or length";
		sf_close (file);
		return false;
	}
	std::vector<double> interleaved (static_cast<size_t> (info.frames) * info.channels);
	sf_count_t got = sf_readf_double (file, interleaved.data (), info.frames);
	sf_close (file);
	if (got < 0)
		got = 0;

	out.sampleRate = info.samplerate;
	out.resize (static_cast<size_t> (got));
	for (sf_count_t i = 0; i < got; ++i)
	{
		if (info.channels == 1)
		{
			out.left[i] = out.right[i] = interleaved[i];
		}
		else
		{
			out.left[i] = interleaved[2 * i];
			out.right[i] = interleaved[2 * i + 1];
		}
	}
	return true;
}

bool writeAudioFile (const std::string& path, const StereoBuffer& in, int bits, std::string& error)
{
	if (bits != 32 && bits != 64)
	{
		error = "unsupported output width " + std::to_string (bits);
		return false;
	}
	SF_INFO info {};
	info.samplerate = static_cast<int> (std::lround (in.sampleRate));
	info.channels = 2;
	info.format = SF_FORMAT_WAV | (bits == 32 ? SF_FORMAT_FLOAT : SF_FORMAT_DOUBLE);
	if (!sf_format_check (&info))
	{
		error = "libsndfile refuses this WAV format";
		return false;
	}
	SNDFILE* file = sf_open (path.c_str (), SFM_WRITE, &info);
	if (!file)
	{
		error = "cannot create output '" + path + "': " + sf_strerror (nullptr);
		return false;
	}
	// Keep the values exactly as processed: no clipping, no normalisation.
	sf_command (file, SFC_SET_CLIPPING, nullptr, SF_FALSE);
	sf_command (file, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
	sf_command (file, SFC_SET_NORM_FLOAT, nullptr, SF_FALSE);

	const size_t n = in.frames ();
	const size_t chunk = 8192;
	bool ok = true;
	if (bits == 32)
	{
		std::vector<float> buf (chunk * 2);
		for (size_t pos = 0; pos < n && ok; pos += chunk)
		{
			size_t len = std::min (chunk, n - pos);
			for (size_t i = 0; i < len; ++i)
			{
				buf[2 * i] = static_cast<float> (in.left[pos + i]);
				buf[2 * i + 1] = static_cast<float> (in.right[pos + i]);
			}
			ok = sf_writef_float (file, buf.data (), static_cast<sf_count_t> (len)) ==
			     static_cast<sf_count_t> (len);
		}
	}
	else
	{
		std::vector<double> buf (chunk * 2);
		for (size_t pos = 0; pos < n && ok; pos += chunk)
		{
			size_t len = std::min (chunk, n - pos);
			for (size_t i = 0; i < len; ++i)
			{
				buf[2 * i] = in.left[pos + i];
				buf[2 * i + 1] = in.right[pos + i];
			}
			ok = sf_writef_double (file, buf.data (), static_cast<sf_count_t> (len)) ==
			     static_cast<sf_count_t> (len);
		}
	}
	if (!ok)
		error = std::string ("write to '") + path + "' failed: " + sf_strerror (file);
	if (sf_close (file) != 0 && ok)
	{
		ok = false;
		error = "closing '" + path + "' failed";
	}
	return ok;
}

namespace {

// Small linear congruential generator: the signal must not depend on the C library.
struct Noise
{
	uint32_t state = 0x1234567u;
	double next ()
	{
		state = state * 1664525u + 1013904223u;
		return (static_cast<double> (state >> 8) / 8388608.0) - 1.0;
	}
};

// Karplus-Strong style pluck added into both channels with a slight pan.
void addPluck (StereoBuffer& buf, double startSec, double freq, double durSec, double gain,
               double pan, Noise& noise)
{
	const double rate = buf.sampleRate;
	const size_t start = static_cast<size_t> (startSec * rate);
	const size_t len = static_cast<size_t> (durSec * rate);
	size_t period = static_cast<size_t> (rate / freq + 0.5);
	if (period < 2)
		period = 2;
	std::vector<double> ring (period);
	for (auto& v : ring)
		v = noise.next ();
	const double gl = gain * std::sqrt (1.0 - pan) ;
	const double gr = gain * std::sqrt (pan);
	size_t idx = 0;
	for (size_t i = 0; i < len && start + i < buf.frames (); ++i)
	{
		size_t nextIdx = (idx + 1) % period;
		double out = ring[idx];
		ring[idx] = 0.996 * 0.5 * (ring[idx] + ring[nextIdx]);
		idx = nextIdx;
		// Short release at the end so the note stops without a click.
		double env = 1.0;
		size_t rel = static_cast<size_t> (0.02 * rate);
		if (len > rel && i > len - rel)
			env = static_cast<double> (len - i) / static_cast<double> (rel);
		buf.left[start + i] += out * env * gl;
		buf.right[start + i] += out * env * gr;
	}
}

} // namespace

StereoBuffer makeDefaultInput (double sampleRate)
{
	StereoBuffer buf;
	buf.sampleRate = sampleRate;
	const double totalSec = 5.0;
	buf.resize (static_cast<size_t> (totalSec * sampleRate));

	// Click after the network has faded back in following activation.
	size_t click = static_cast<size_t> (0.5 * sampleRate);
	if (click < buf.frames ())
		buf.left[click] = buf.right[click] = 0.9;

	// A short phrase: pitch (Hz), start (s), length (s), pan 0..1.
	struct Note { double freq, start, dur, pan; };
	static const Note phrase[] = {
	    {220.00, 1.50, 0.40, 0.3}, {277.18, 1.80, 0.40, 0.5}, {329.63, 2.10, 0.40, 0.7},
	    {440.00, 2.40, 0.70, 0.5}, {392.00, 3.20, 0.25, 0.4}, {329.63, 3.45, 0.25, 0.6},
	    {293.66, 3.70, 0.25, 0.4}, {220.00, 3.95, 0.60, 0.5},
	};
	Noise noise;
	for (const auto& n : phrase)
		addPluck (buf, n.start, n.freq, n.dur, 0.35, n.pan, noise);
	return buf;
}

} // namespace tolvarhost
