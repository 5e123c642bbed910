// The tolvar-host command run as a separate program.
#include "support.h"

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace itest {
namespace {

struct WavInfo
{
	bool ok = false;
	int rate = 0;
	int channels = 0;
	int format = 0;
	std::vector<double> samples; // interleaved
};

WavInfo readWav (const std::string& path)
{
	WavInfo w;
	SF_INFO info {};
	SNDFILE* f = sf_open (path.c_str (), SFM_READ, &info);
	if (!f)
		return w;
	w.rate = info.samplerate;
	w.channels = info.channels;
	w.format = info.format;
	w.samples.resize (static_cast<size_t> (info.frames * info.channels));
	w.ok = sf_readf_double (f, w.samples.data (), info.frames) == info.frames;
	sf_close (f);
	return w;
}

void writeMonoWav (const std::string& path, const std::vector<float>& samples, int rate)
{
	SF_INFO info {};
	info.samplerate = rate;
	info.channels = 1;
	info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
	SNDFILE* f = sf_open (path.c_str (), SFM_WRITE, &info);
	ASSERT_TRUE (f) << sf_strerror (nullptr);
	sf_writef_float (f, samples.data (), static_cast<sf_count_t> (samples.size ()));
	sf_close (f);
}

RunResult host (std::vector<std::string> args)
{
	args.insert (args.begin (), TOLVAR_TEST_HOST_EXE);
	return runProgram (args);
}

TEST (Command, RenderMonoFileWithParametersAtBothPrecisions)
{
	const std::string in = tempPath ("mono-in.wav");
	std::vector<float> mono (22050, 0.f);
	for (size_t i = 0; i < mono.size (); ++i)
		mono[i] = 0.25f * std::sin (0.05f * static_cast<float> (i));
	writeMonoWav (in, mono, 22050);

	// Bypassed: both channels carry the mono input, bit for bit.
	const std::string out32 = tempPath ("bypass32.wav");
	RunResult r = host ({"render", TOLVAR_TEST_BUNDLE, in, out32, "--param", "0=1"});
	ASSERT_EQ (r.exitCode, 0) << r.err;
	WavInfo w = readWav (out32);
	ASSERT_TRUE (w.ok);
	EXPECT_EQ (w.rate, 22050);
	EXPECT_EQ (w.channels, 2);
	EXPECT_EQ (w.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
	// 1.6 s + 0.5 s of tail at 22050 Hz.
	ASSERT_EQ (w.samples.size (), 2 * (mono.size () + 46304));
	for (size_t i = 0; i < mono.size (); ++i)
	{
		ASSERT_EQ (w.samples[2 * i], mono[i]) << i;
		ASSERT_EQ (w.samples[2 * i + 1], mono[i]) << i;
	}

	// Reverb time set by its title: the tail follows the converted value.
	const std::string out64 = tempPath ("set64.wav");
	r = host ({"render", TOLVAR_TEST_BUNDLE, in, out64, "--bits", "64", "--set", "Rvb Time=3.2",
	           "--block", "100"});
	ASSERT_EQ (r.exitCode, 0) << r.err;
	w = readWav (out64);
	ASSERT_TRUE (w.ok);
	EXPECT_EQ (w.format, SF_FORMAT_WAV | SF_FORMAT_DOUBLE);
	const double tail = static_cast<double> (w.samples.size () / 2 - mono.size ());
	EXPECT_NEAR (tail, 3.7 * 22050, 1.0);
	double energy = 0.0;
	for (double s : w.samples)
	{
		ASSERT_TRUE (std::isfinite (s));
		energy += s * s;
	}
	EXPECT_GT (energy, 0.0);
	std::remove (in.c_str ());
	std::remove (out32.c_str ());
	std::remove (out64.c_str ());
}

TEST (Command, RenderWithoutInputUsesTheBuiltInPhrase)
{
	const std::string out = tempPath ("default.wav");
	RunResult r = host ({"render", TOLVAR_TEST_BUNDLE, out, "--rate", "48000"});
	ASSERT_EQ (r.exitCode, 0) << r.err;
	WavInfo w = readWav (out);
	ASSERT_TRUE (w.ok);
	EXPECT_EQ (w.rate, 48000);
	EXPECT_EQ (w.channels, 2);
	const size_t frames = w.samples.size () / 2;
	EXPECT_EQ (frames, makeDefaultInput (48000.0).frames () + 100799u);
	double peak = 0.0;
	for (double s : w.samples)
		peak = std::max (peak, std::fabs (s));
	EXPECT_GT (peak, 0.01);
	EXPECT_LT (peak, 4.0);
	std::remove (out.c_str ());
}

TEST (Command, RenderRefusesBadArguments)
{
	const std::string out = tempPath ("never.wav");
	struct Case
	{
		std::vector<std::string> args;
		int exitCode;
		const char* message;
	};
	const std::string b = TOLVAR_TEST_BUNDLE;
	const Case cases[] = {
	    {{}, 2, "usage"},
	    {{"frobnicate"}, 2, "unknown command"},
	    {{"render", b}, 2, "usage"},
	    {{"render", b, out, "--bits", "16"}, 2, "--bits"},
	    {{"render", b, out, "--rate", "fast"}, 2, "--rate"},
	    {{"render", b, out, "--block", "0"}, 2, "--block"},
	    {{"render", b, out, "--param", "1"}, 2, "--param"},
	    {{"render", b, out, "--param", "1=2"}, 2, "normalised"},
	    {{"render", b, out, "--param", "9=0.5"}, 1, "no parameter with id 9"},
	    {{"render", b, out, "--block"}, 2, "needs a value"},
	    {{"render", b, out, "--volume", "3"}, 2, "unknown option"},
	    {{"render", b, out, "--set", "Loudness=3"}, 1, "no parameter titled 'Loudness'"},
	    {{"render", b, out, "--set", "Predelay=forty"}, 1, "not a number"},
	    {{"render", b, out, "--set", "rvb time=3"}, 1, "no parameter titled"},
	    {{"render", "/nonexistent/X.vst3", out}, 1, "bundle not found"},
	    {{"render", b, "/nonexistent/in.wav", out}, 1, "cannot open input"},
	    {{"info"}, 2, "usage"},
	    {{"params", b, "extra"}, 2, "usage"},
	};
	for (const auto& c : cases)
	{
		RunResult r = host (c.args);
		std::string joined;
		for (const auto& a : c.args)
			joined += a + " ";
		EXPECT_EQ (r.exitCode, c.exitCode) << joined << "\n" << r.err;
		EXPECT_NE (r.err.find (c.message), std::string::npos) << joined << "\n" << r.err;
	}
	FILE* f = std::fopen (out.c_str (), "r");
	EXPECT_EQ (f, nullptr) << "no output file after a refused render";
	if (f)
		std::fclose (f);
}

// The factory's fields themselves are checked through the module; here the command prints them,
// the version of the build and the parameter table.
TEST (Command, VersionInfoAndParamsOutput)
{
	const std::string version = TOLVAR_TEST_PROJECT_VERSION;
	RunResult r = host ({"--version"});
	ASSERT_EQ (r.exitCode, 0) << r.err;
	EXPECT_EQ (r.out, "tolvar-host " + version + "\n");

	r = host ({"info", TOLVAR_TEST_BUNDLE});
	ASSERT_EQ (r.exitCode, 0) << r.err;
	// Both classes carry the version.
	const std::string line = "  version:       " + version + "\n";
	size_t classes = 0;
	for (size_t at = r.out.find (line); at != std::string::npos; at = r.out.find (line, at + 1))
		++classes;
	EXPECT_EQ (classes, 2u) << r.out;
	for (const char* expected :
	     {"Classes: 2", "name:          kw TOLVAR Hall\n", "name:          kw TOLVAR Hall Controller\n",
	      "subCategories: Fx|Reverb\n", "category:      Component Controller Class\n", "cardinality:   2147483647",
	      "sdkVersion:    VST 3.7.3", "flags:         16 (unicode)", "Editor: \"editor\", 640 x 340\n"})
		EXPECT_NE (r.out.find (expected), std::string::npos) << expected << "\n" << r.out;

	// Value texts are checked through the controller; here the table that shows them.
	r = host ({"params", TOLVAR_TEST_BUNDLE});
	ASSERT_EQ (r.exitCode, 0) << r.err;
	for (const char* expected : {"Parameters: 9\n", "[0] Bypass\n", "0x00010001 (automate,bypass)",
	                             "[1] Level\n  units:    dB\n", "0=-36.00 0.25=-24.00 0.5=-12.00 0.75=0.00 1=12.00",
	                             "[4] Rvb Time\n  units:    s\n", "= 20.0\n"})
		EXPECT_NE (r.out.find (expected), std::string::npos) << expected << "\n" << r.out;
}

// A damaged install: the bundle's description is a folder. The host lives on without an editor.
TEST (Command, InfoOnABundleWithAnUnreadableDescription)
{
	namespace fs = std::filesystem;
	const fs::path folder = tempPath ("damaged"), bundle = folder / fs::path (TOLVAR_TEST_BUNDLE).filename ();
	fs::remove_all (folder);
	fs::create_directory (folder);
	fs::copy (TOLVAR_TEST_BUNDLE, bundle, fs::copy_options::recursive);
	const fs::path description = bundle / "Contents" / "Resources" / "plug.uidesc";
	fs::remove (description);
	fs::create_directory (description);
	RunResult r = host ({"info", bundle.string ()});
	fs::remove_all (folder);
	EXPECT_EQ (r.exitCode, 0) << r.err;
	EXPECT_NE (r.out.find ("Editor: none\n"), std::string::npos) << r.out;
}

} // namespace
} // namespace itest
