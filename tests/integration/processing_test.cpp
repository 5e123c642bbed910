#include "support.h"

#include "processor/plugids.h"

#include <cmath>

namespace itest {
namespace {

using Vst::ParamID;

RenderResult renderWith (PluginInstance& plugin, const StereoBuffer& in, int32 bits,
                         std::vector<ParamSetting> params = {}, int32 block = 256)
{
	RenderSettings s;
	s.sampleRate = in.sampleRate;
	s.bits = bits;
	s.blockSize = block;
	s.params = std::move (params);
	RenderResult r;
	std::string error;
	EXPECT_TRUE (render (plugin, in, s, r, error)) << error;
	return r;
}

bool allFinite (const StereoBuffer& b)
{
	for (size_t i = 0; i < b.frames (); ++i)
		if (!std::isfinite (b.left[i]) || !std::isfinite (b.right[i]))
			return false;
	return true;
}

// Impulse after the network has faded in again following activation.
StereoBuffer testImpulse (double rate) { return impulse (rate, static_cast<size_t> (rate), static_cast<size_t> (0.5 * rate), 0.5); }

TEST (Processing, LifecycleRenderRingsOutAndDecaysAt32And64Bit)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin);
	const double rate = 44100.0;
	StereoBuffer in = testImpulse (rate);

	RenderResult r32 = renderWith (*l.plugin, in, 32);
	RenderResult r64 = renderWith (*l.plugin, in, 64);
	EXPECT_FALSE (l.plugin->isStarted ());

	for (const RenderResult* r : {&r32, &r64})
	{
		// Default reverb time 1.6 s plus half a second.
		EXPECT_EQ (r->tailSamples, 92609u);
		ASSERT_EQ (r->output.frames (), in.frames () + 92609u);
		EXPECT_TRUE (allFinite (r->output));

		const size_t inEnd = in.frames ();
		const size_t n = r->output.frames ();
		// Still ringing when the input has ended (far above the silence fed
		// in), then fading window by window to at least 40 dB down.
		double early = rms (r->output, inEnd, inEnd + 4410);
		double late = rms (r->output, n - 4410, n);
		EXPECT_GT (early, 1e-6);
		EXPECT_LT (late, early * 0.01);
		double previous = early;
		for (size_t w = inEnd + 4410; w + 11025 <= n; w += 11025)
		{
			double now = rms (r->output, w, w + 11025);
			EXPECT_LT (now, previous) << "window at " << w;
			previous = now;
		}
		// Wet signal reaches the right channel too, differing from the left.
		double diff = 0.0;
		for (size_t i = inEnd; i < inEnd + 4410; ++i)
			diff += std::fabs (r->output.left[i] - r->output.right[i]);
		EXPECT_GT (diff, 0.0);
	}

	// The two precisions run the same double engine; they differ only by rounding.
	double maxDiff = 0.0;
	for (size_t i = 0; i < r32.output.frames (); ++i)
		maxDiff = std::max (maxDiff, std::fabs (r32.output.left[i] - r64.output.left[i]));
	EXPECT_LT (maxDiff, 1e-5);
	EXPECT_GT (rms (r64.output, 0, r64.output.frames ()), 0.0);
}

TEST (Processing, RenderDoesNotDependOnBlockSizeAndRepeatsAfterReactivation)
{
	auto l1 = loadPlugin ();
	auto l2 = loadPlugin ();
	ASSERT_TRUE (l1.plugin && l2.plugin);
	StereoBuffer in = testImpulse (48000.0);
	RenderResult a = renderWith (*l1.plugin, in, 64, {}, 512);
	RenderResult b = renderWith (*l2.plugin, in, 64, {}, 37);
	// 1.6 s + 0.5 s at 48 kHz.
	EXPECT_EQ (a.tailSamples, 100799u);
	ASSERT_EQ (a.output.frames (), b.output.frames ());
	for (size_t i = 0; i < a.output.frames (); ++i)
	{
		ASSERT_EQ (a.output.left[i], b.output.left[i]) << "frame " << i;
		ASSERT_EQ (a.output.right[i], b.output.right[i]) << "frame " << i;
	}

	// A new activation clears the delay lines; only filter states carry over,
	// and those hold no more than the faded end of the previous tail.
	RenderResult c = renderWith (*l1.plugin, in, 64, {}, 512);
	ASSERT_EQ (c.output.frames (), a.output.frames ());
	double maxDiff = 0.0;
	for (size_t i = 0; i < a.output.frames (); ++i)
		maxDiff = std::max (maxDiff, std::fabs (a.output.left[i] - c.output.left[i]));
	EXPECT_LT (maxDiff, 1e-6);
}

TEST (Processing, BypassCopiesInputAndHalfIsOff)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin);
	StereoBuffer in = makeDefaultInput (44100.0);
	in.left.resize (30000);
	in.right.resize (30000);
	for (size_t i = 0; i < in.frames (); ++i)
		in.right[i] = -0.5 * in.left[i] + 0.001;

	for (int32 bits : {32, 64})
	{
		RenderResult on = renderWith (*l.plugin, in, bits, {{Vst::kBypassId, 1.0}});
		ASSERT_EQ (on.output.frames (), in.frames () + on.tailSamples);
		for (size_t i = 0; i < in.frames (); ++i)
		{
			double l32 = bits == 32 ? static_cast<float> (in.left[i]) : in.left[i];
			double r32 = bits == 32 ? static_cast<float> (in.right[i]) : in.right[i];
			ASSERT_EQ (on.output.left[i], l32) << bits << " bit, frame " << i;
			ASSERT_EQ (on.output.right[i], r32) << bits << " bit, frame " << i;
		}
		// The tail of a bypassed render is the silence fed in.
		EXPECT_EQ (rms (on.output, in.frames (), on.output.frames ()), 0.0);
	}

	// Exactly 0.5 leaves bypass off: the output is no copy.
	RenderResult half = renderWith (*l.plugin, in, 64, {{Vst::kBypassId, 0.5}});
	size_t same = 0;
	for (size_t i = 0; i < in.frames (); ++i)
		same += half.output.left[i] == in.left[i];
	EXPECT_LT (same, in.frames () / 2);
	EXPECT_GT (rms (half.output, in.frames (), half.output.frames ()), 0.0);
}

TEST (Processing, LevelParameterScalesTheOutput)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin);
	StereoBuffer in = testImpulse (44100.0);
	RenderResult ref = renderWith (*l.plugin, in, 64);
	// Normalised 0.5 is -12 dB; the smoothing settles long before the tail.
	RenderResult low = renderWith (*l.plugin, in, 64, {{Vst::kLevelId, 0.5}});
	ASSERT_EQ (ref.output.frames (), low.output.frames ());
	const double expected = std::pow (10.0, -12.0 / 20.0);
	size_t checked = 0;
	for (size_t i = 30000; i < ref.output.frames (); ++i)
	{
		if (std::fabs (ref.output.left[i]) < 1e-9)
			continue;
		ASSERT_NEAR (low.output.left[i] / ref.output.left[i], expected, 1e-6) << "frame " << i;
		++checked;
	}
	EXPECT_GT (checked, 1000u);
}

TEST (Processing, ParameterQueuesReachTheProcessor)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin);
	auto* proc = l.plugin->processor ();
	std::string error;
	ASSERT_TRUE (l.plugin->start (44100.0, 128, Vst::kSample32, error)) << error;
	AudioBlock block (128, Vst::kSample32);
	Ref<ParameterChanges> changes (new ParameterChanges);
	int32 index = 0;

	// Reverb time 1.0 is 8 s: the tail follows at once, even in a flush call.
	changes->addParameterData (Vst::kRvbTimeId, index)->addPoint (0, 1.0, index);
	EXPECT_EQ (block.process (proc, 0, changes.get ()), kResultOk);
	const double eightSeconds = 600.0 * std::exp2 (3.7369655941662057);
	EXPECT_EQ (proc->getTailSamples (),
	           static_cast<uint32> ((eightSeconds * 0.001 + 0.5) * 44100.0));
	EXPECT_NEAR (proc->getTailSamples (), 374850.0, 1.0);

	// Only the last point of a queue counts; unknown ids and empty queues are skipped.
	changes->clear ();
	auto* q = changes->addParameterData (Vst::kRvbTimeId, index);
	q->addPoint (0, 1.0, index);
	q->addPoint (100, 0.0, index);
	changes->addParameterData (9, index)->addPoint (0, 1.0, index);
	changes->addParameterData (0xFFFFFFFF, index)->addPoint (0, 1.0, index);
	changes->addEmptyQueue (Vst::kLevelId);
	EXPECT_EQ (block.process (proc, 128, changes.get ()), kResultOk);
	EXPECT_EQ (proc->getTailSamples (), 48510u);

	l.plugin->stop ();
	std::vector<uint8_t> state;
	ASSERT_TRUE (l.plugin->saveState (state));
	ASSERT_EQ (state.size (), 140u);
	EXPECT_EQ (recordDouble (state, 12 + 8 * 3), 0.0); // Rvb Time from the last point
	EXPECT_EQ (recordDouble (state, 12), kDefaultValues[0]); // Level: empty queue, unchanged
}

TEST (Processing, EmptyInputStillDeliversParametersAndRendersTheTail)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin);
	StereoBuffer empty;
	empty.sampleRate = 44100.0;
	RenderResult r = renderWith (*l.plugin, empty, 32, {{Vst::kRvbTimeId, 0.0}});
	EXPECT_EQ (r.inputFrames, 0);
	EXPECT_EQ (r.tailSamples, 48510u);
	EXPECT_EQ (r.output.frames (), 48510u);
	EXPECT_TRUE (allFinite (r.output));
}

TEST (Processing, StateRoundTrip)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin);
	std::vector<uint8_t> fresh;
	ASSERT_TRUE (l.plugin->saveState (fresh));
	ASSERT_EQ (fresh.size (), 140u);
	for (size_t i = 0; i < 12; ++i)
		EXPECT_EQ (fresh[i], 0u) << "byte " << i;
	for (int k = 0; k < 8; ++k)
		EXPECT_EQ (recordDouble (fresh, 12 + 8 * k), kDefaultValues[k]) << "value " << k;
	for (size_t i = 12 + 64; i < 140; ++i)
		EXPECT_EQ (fresh[i], 0u) << "byte " << i;
	EXPECT_EQ (fresh[18], 0xE8);
	EXPECT_EQ (fresh[19], 0x3F);

	// A record with everything changed comes back with flags normalised to 1/0
	// and the leading word written as zero.
	std::vector<uint8_t> custom (140, 0);
	for (size_t i = 0; i < 8; ++i)
		custom[i] = 0xAB;
	putInt32 (custom, 8, 7);
	for (int k = 0; k < 14; ++k)
		putDouble (custom, 12 + 8 * k, 0.05 * k - 0.1);
	putDouble (custom, 12 + 8 * 9, std::nan (""));
	putInt32 (custom, 124, 2147483647);
	putInt32 (custom, 128, -1);
	putInt32 (custom, 132, 0);
	putInt32 (custom, 136, 2);
	ASSERT_EQ (l.plugin->loadState (custom), kResultOk);

	std::vector<uint8_t> back;
	ASSERT_TRUE (l.plugin->saveState (back));
	ASSERT_EQ (back.size (), 140u);
	std::vector<uint8_t> expected = custom;
	for (size_t i = 0; i < 8; ++i)
		expected[i] = 0;
	putInt32 (expected, 8, 1);
	putInt32 (expected, 124, 1);
	putInt32 (expected, 128, 0);
	putInt32 (expected, 136, 1);
	EXPECT_EQ (back, expected);

	// A longer stream is read for its first 140 bytes.
	std::vector<uint8_t> longer = fresh;
	longer.resize (200, 0x55);
	ASSERT_EQ (l.plugin->loadState (longer), kResultOk);
	ASSERT_TRUE (l.plugin->saveState (back));
	EXPECT_EQ (back, fresh);

	// The restored state drives processing: bypass on in the record copies the input.
	std::vector<uint8_t> bypassed = fresh;
	putInt32 (bypassed, 8, 1);
	ASSERT_EQ (l.plugin->loadState (bypassed), kResultOk);
	StereoBuffer in = testImpulse (44100.0);
	RenderResult r = renderWith (*l.plugin, in, 64);
	EXPECT_EQ (r.output.left[static_cast<size_t> (0.5 * 44100.0)], 0.5);
	EXPECT_EQ (rms (r.output, in.frames (), r.output.frames ()), 0.0);
}

} // namespace
} // namespace itest
