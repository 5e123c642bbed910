// WAV reading/writing through libsndfile and the built-in test signal.
#pragma once

#include <string>
#include <vector>

namespace tolvarhost {

// Two channels of samples, always held as double.
struct StereoBuffer
{
	double sampleRate = 44100.0;
	std::vector<double> left;
	std::vector<double> right;

	size_t frames () const { return left.size (); }
	void resize (size_t n)
	{
		left.assign (n, 0.0);
		right.assign (n, 0.0);
	}
};

// Reads a sound file. Mono is copied to both channels; more than two
// channels is refused. Returns false and sets error on failure.
bool readAudioFile (const std::string& path, StereoBuffer& out, std::string& error);

// Writes a stereo float WAV: bits 32 gives 32-bit float, 64 gives 64-bit float.
bool writeAudioFile (const std::string& path, const StereoBuffer& in, int bits, std::string& error);

// Built-in dry input: half a second of silence, a one-sample click, then a
// few seconds of plucked tones. Deterministic for a given rate.
StereoBuffer makeDefaultInput (double sampleRate);

} // namespace tolvarhost
