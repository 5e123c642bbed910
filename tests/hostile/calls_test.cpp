// Calls in the wrong order and blocks of odd shape (the whole set of arrangements is covered
// by the integration tests). Required codes: kResultFalse for setupProcessing while active, at
// a rate outside 1 Hz to 1.536 MHz or with a sample size other than 32 or 64 bit, for
// setActive(true) while active or before initialize, for a second initialize, for a missing
// state and a mono arrangement; a refused call changes nothing: the output stays bit for bit
// that of an instance that never saw it. process gives kResultOk for any bus shape, outside
// the active state (writing silence) and for a sample count of 0 or below, and
// kInvalidArgument for a sample size other than 32 or 64 bit, touching no buffer.
#include "hostile.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>

namespace hostile {
namespace {

constexpr double kRate = 8000.0;
// Long enough at kRate for the reverb network to carry sound after the activation fade.
constexpr int kBlocksToFill = 90;

TEST (HostileCalls, RefusedCallsChangeNothing)
{
	struct Refusal
	{
		const char* name;
		bool whileActive;
		std::function<tresult (Instance&, int32 sampleSize)> call;
	};
	SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo;
	std::vector<Refusal> refusals = {
	    {"calls/repeated-activation", true, [] (Instance& p, int32) { return p.component->setActive (true); }},
	    {"calls/missing-state", true, [] (Instance& p, int32) { return p.component->setState (nullptr); }},
	    {"calls/mono-arrangement", false,
	     [&] (Instance& p, int32) { return p.processor->setBusArrangements (&mono, 1, &stereo, 1); }},
	    {"calls/unusable-sample-size", false, [] (Instance& p, int32) { return p.setup (2, kRate); }},
	};
	const double nan = std::numeric_limits<double>::quiet_NaN (), inf = std::numeric_limits<double>::infinity ();
	for (double rate : {2 * kRate, 0.0, nan})
		refusals.push_back ({"calls/setup-while-active", true, [=] (Instance& p, int32 s) { return p.setup (s, rate); }});
	for (double rate : {0.0, -kRate, 0.5, 4.9e-324, 2.2e-308, 1536000.5, inf, nan})
		refusals.push_back ({"calls/unusable-rate", false, [=] (Instance& p, int32 s) { return p.setup (s, rate); }});

	HOSTILE_TRACE_SEED ();
	for (size_t k = 0; k < refusals.size (); ++k)
	{
		const Refusal& r = refusals[k];
		for (int32 size : kSizes)
		{
			SCOPED_TRACE (describe (r.name + (" #" + std::to_string (k)), size));
			Instance p, reference;
			reference.start (size, kRate);
			if (r.whileActive)
			{
				p.start (size, kRate);
				render (p.processor.get (), size, baseSeed (), kBlocksToFill);
				render (reference.processor.get (), size, baseSeed (), kBlocksToFill);
			}
			EXPECT_TRUE (r.whileActive || p.setup (size, kRate) == kResultOk);
			EXPECT_EQ (r.call (p, size), kResultFalse);
			EXPECT_TRUE (r.whileActive || p.component->setActive (true) == kResultOk);
			EXPECT_EQ (p.processor->getTailSamples (), reference.processor->getTailSamples ());
			EXPECT_TRUE (sameBytes (render (p.processor.get (), size, baseSeed () + 1, 40),
			                        render (reference.processor.get (), size, baseSeed () + 1, 40)));
		}
	}
	// The ends of the usable range are taken.
	for (double rate : {1.0, 1536000.0})
	{
		for (int32 size : kSizes)
		{
			SCOPED_TRACE (describe ("calls/edge-rate " + std::to_string (rate), size));
			Instance p;
			p.start (size, rate);
			render (p.processor.get (), size, baseSeed (), 4);
		}
	}
}

TEST (HostileCalls, LifecycleOutOfOrder)
{
	HOSTILE_TRACE_SEED ();
	for (int32 size : kSizes)
	{
		SCOPED_TRACE (describe ("calls/out-of-order", size));
		Instance p (false, false);
		Rng rng (baseSeed ());
		auto silentBlock = [&] (const char* when) {
			Block block (size);
			block.noise (rng);
			EXPECT_EQ (block.process (p.processor.get (), Block::kFrames), kResultOk) << when;
			EXPECT_TRUE (block.good (Block::kFrames)) << when;
			const auto bytes = block.outputBytes (Block::kFrames);
			EXPECT_TRUE (std::all_of (bytes.begin (), bytes.end (), [] (uint8_t b) { return b == 0; })) << when;
		};
		FUnknown* context = static_cast<IHostApplication*> (p.host.get ());
		EXPECT_EQ (p.component->getBusCount (kAudio, kInput), 0);
		EXPECT_NE (p.component->setActive (false), kResultOk);
		EXPECT_EQ (p.component->setActive (true), kResultFalse) << "no rate before initialize";
		silentBlock ("before initialize");
		// Initialised, it can be activated without a set-up, at 44.1 kHz.
		ASSERT_EQ (p.component->initialize (context), kResultOk);
		EXPECT_EQ (p.component->setActive (true), kResultOk);
		EXPECT_EQ (p.processor->getTailSamples (), 92609u);
		EXPECT_EQ (p.component->setActive (false), kResultOk);
		EXPECT_EQ (p.component->terminate (), kResultOk);
		// Each round initialises again after a terminate; the second terminates while active.
		for (int round = 0; round < 2; ++round)
		{
			ASSERT_EQ (p.component->initialize (context), kResultOk);
			EXPECT_EQ (p.component->initialize (context), kResultFalse);
			EXPECT_EQ (p.component->getBusCount (kAudio, kInput), 1) << "a refused initialize adds no bus";
			EXPECT_EQ (p.component->getBusCount (kAudio, kOutput), 1);
			EXPECT_NE (p.component->setActive (false), kResultOk) << "deactivated while inactive";
			silentBlock ("before activation");
			p.start (size, kRate);
			render (p.processor.get (), size, baseSeed (), 4);
			if (round == 0)
			{
				ASSERT_EQ (p.component->setActive (false), kResultOk);
				silentBlock ("after deactivation");
			}
			EXPECT_EQ (p.component->terminate (), kResultOk);
			render (p.processor.get (), size, baseSeed (), 4);
			EXPECT_NE (p.component->terminate (), kResultOk);
		}
		// Released while active and initialised: nothing may leak or crash.
		Instance dropped;
		dropped.start (size, kRate);
		dropped.careless = true;
	}
}

// A block of the given bus shape, broken by the case, run in an active processor with bypass
// off and on. Blocks the engine cannot run must still have every output channel written.
struct Shape
{
	const char* name;
	std::vector<int32> in, out;
	std::function<void (Block&)> breakIt;
	enum Expect { kWritten, kUntouched, kInvalid } expect;
	// Bus 0 must sound exactly as a plain stereo block does.
	bool asStereo = false;
	int32 samples = Block::kFrames;
};

TEST (HostileCalls, OddBusesAndBuffers)
{
	auto nullChannel = [] (bool input, int32 c) {
		return [=] (Block& b) { (input ? b.data.inputs : b.data.outputs)->channelBuffers32[c] = nullptr; };
	};
	auto sampleSize = [] (int32 s) { return [=] (Block& b) { b.data.symbolicSampleSize = s; }; };
	const Shape shapes[] = {
	    {"buffers/in-place", {2}, {2}, [] (Block& b) { b.inPlace (); }, Shape::kWritten, true},
	    {"buffers/more-buses-than-exist", {2, 2}, {2, 2}, nullptr, Shape::kWritten, true},
	    {"buffers/null-output-array", {2}, {2}, [] (Block& b) { b.data.outputs = nullptr; }, Shape::kUntouched},
	    {"buffers/null-output-channels", {2}, {2}, [] (Block& b) { b.data.outputs->channelBuffers32 = nullptr; },
	     Shape::kUntouched},
	    {"buffers/no-output-buses", {2}, {2}, [] (Block& b) { b.data.numOutputs = 0; }, Shape::kUntouched},
	    {"buffers/no-buses", {}, {}, nullptr, Shape::kUntouched},
	    {"buffers/zero-samples", {2}, {2}, nullptr, Shape::kUntouched, false, 0},
	    {"buffers/negative-samples", {2}, {2}, nullptr, Shape::kUntouched, false, -1},
	    {"buffers/negative-samples", {2}, {2}, nullptr, Shape::kUntouched, false, INT_MIN},
	    {"buffers/invalid-sample-size", {2}, {2}, sampleSize (2), Shape::kInvalid},
	    {"buffers/invalid-sample-size", {2}, {2}, sampleSize (-1), Shape::kInvalid},
	    {"buffers/invalid-sample-size", {2}, {2}, sampleSize (0x7FFFFFFF), Shape::kInvalid},
	    {"buffers/unwritable-channels", {2}, {2}, nullChannel (true, 0), Shape::kWritten},
	    {"buffers/unwritable-channels", {2}, {2}, nullChannel (false, 1), Shape::kWritten},
	    {"buffers/unwritable-channels", {2}, {2}, [] (Block& b) { b.data.inputs->channelBuffers32 = nullptr; },
	     Shape::kWritten},
	    {"buffers/unwritable-channels", {2}, {2}, [] (Block& b) { b.data.inputs = nullptr; }, Shape::kWritten},
	    {"buffers/unwritable-channels", {2}, {2}, [] (Block& b) { b.data.numInputs = 0; }, Shape::kWritten},
	    {"buffers/negative-channel-count", {2}, {2}, [] (Block& b) { b.data.inputs->numChannels = -3; },
	     Shape::kWritten},
	    {"buffers/unwritable-channels", {}, {2}, nullptr, Shape::kWritten},
	    {"buffers/unwritable-channels", {1}, {1}, nullptr, Shape::kWritten},
	    {"buffers/unwritable-channels", {2}, {3}, nullptr, Shape::kWritten},
	};
	HOSTILE_TRACE_SEED ();
	for (size_t k = 0; k < std::size (shapes); ++k)
	{
		const Shape& s = shapes[k];
		for (int32 size : kSizes)
		{
			for (bool bypass : {false, true})
			{
				SCOPED_TRACE (describe (s.name + (" #" + std::to_string (k)), size) + (bypass ? ", bypassed" : ""));
				Instance p, reference;
				auto record = p.state ();
				record[8] = bypass;
				for (Instance* i : {&p, &reference})
				{
					i->start (size, kRate);
					Ref<HostStream> stream (new HostStream (record));
					ASSERT_EQ (i->component->setState (stream.get ()), kResultOk);
				}
				Block block (size, s.in, s.out), plain (size);
				Rng rng (baseSeed () + k), same (baseSeed () + k);
				block.noise (rng);
				plain.noise (same);
				if (s.breakIt)
					s.breakIt (block);
				EXPECT_EQ (block.process (p.processor.get (), s.samples),
				           s.expect == Shape::kInvalid ? kInvalidArgument : kResultOk);
				EXPECT_TRUE (s.expect == Shape::kWritten ? block.good (s.samples) : block.untouched ());
				if (s.asStereo)
				{
					EXPECT_EQ (plain.process (reference.processor.get (), s.samples), kResultOk);
					EXPECT_TRUE (sameBytes (block.outputBytes (s.samples), plain.outputBytes (s.samples)));
				}
				// It runs on; where the block reached no engine or sounded as a plain one, exactly
				// as the reference does.
				const auto after = render (p.processor.get (), size, baseSeed (), 2);
				if (s.expect != Shape::kWritten || s.asStereo)
				{
					EXPECT_TRUE (sameBytes (after, render (reference.processor.get (), size, baseSeed (), 2)));
				}
			}
		}
	}
}

} // namespace
} // namespace hostile
