// Calls in the wrong order and blocks of odd shape. Required codes: process gives kResultOk
// in any state, for any bus shape and for a sample count of 0 or below; kInvalidArgument for
// a sample size other than 32 or 64 bit, touching no buffer; kResultFalse for setupProcessing
// while active or at a rate outside 1 Hz to 1.536 MHz, for setActive in the state it is
// already in, and for refused arrangements (kInvalidArgument for negative counts or missing
// arrays). A refused call changes nothing: the output stays bit for bit that of an instance
// that never saw it.
#include "hostile.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <climits>
#include <cmath>
#include <functional>
#include <limits>

namespace hostile {
namespace {

constexpr double kRate = 8000.0;
// Long enough at kRate for the reverb network to carry sound after the activation fade.
constexpr int kBlocksToFill = 90;

struct Case
{
	const char* name;
	std::function<void (int32 sampleSize, uint64_t seed)> run;
};

void runCases (const std::vector<Case>& cases)
{
	HOSTILE_TRACE_SEED ();
	for (const Case& c : cases)
	{
		if (awaitingEngineFix (c.name))
			continue;
		for (int32 sampleSize : {kSample32, kSample64})
		{
			SCOPED_TRACE (std::string (c.name) + (sampleSize == kSample64 ? ", 64 bit" : ", 32 bit"));
			c.run (sampleSize, baseSeed ());
		}
	}
}

// One block of noise that must come out written and finite, silence or sound.
void expectGoodBlock (Instance& p, int32 sampleSize, uint64_t seed)
{
	Rng rng (seed);
	Block block (sampleSize);
	block.noise (rng);
	EXPECT_EQ (block.process (p.processor.get (), Block::kFrames), kResultOk);
	EXPECT_TRUE (block.good (Block::kFrames));
}

// p, after a refused call, sounds exactly as an instance that never saw it.
void expectUnchanged (Instance& p, Instance& reference, int32 sampleSize, uint64_t seed)
{
	EXPECT_EQ (p.processor->getTailSamples (), reference.processor->getTailSamples ());
	EXPECT_TRUE (sameBytes (render (p.processor.get (), sampleSize, seed, 40),
	                        render (reference.processor.get (), sampleSize, seed, 40)));
}

// A refused call made to p while running, after both p and the reference filled their network.
void refusedWhileRunning (int32 sampleSize, uint64_t seed, const std::function<void (Instance&)>& call)
{
	Instance p, reference;
	p.start (sampleSize, kRate);
	reference.start (sampleSize, kRate);
	render (p.processor.get (), sampleSize, seed, kBlocksToFill);
	render (reference.processor.get (), sampleSize, seed, kBlocksToFill);
	call (p);
	expectUnchanged (p, reference, sampleSize, seed + 1);
}

const double kUnusableRates[] = {0.0,
                                 -kRate,
                                 0.5,
                                 4.9e-324,
                                 2.2e-308,
                                 1536000.5,
                                 std::numeric_limits<double>::infinity (),
                                 std::numeric_limits<double>::quiet_NaN ()};

TEST (HostileCalls, WrongOrderAndRepeatedCalls)
{
	runCases ({
	    {"calls/process-before-initialize",
	     [] (int32 size, uint64_t seed) {
		     Instance p (false);
		     expectGoodBlock (p, size, seed);
	     }},
	    {"calls/process-before-setup-or-activation",
	     [] (int32 size, uint64_t seed) {
		     Instance p;
		     expectGoodBlock (p, size, seed);
		     EXPECT_EQ (p.setup (size, kRate), kResultOk);
		     expectGoodBlock (p, size, seed);
	     }},
	    {"calls/setup-while-active",
	     [] (int32 size, uint64_t seed) {
		     for (double rate : {2 * kRate, 0.0, std::numeric_limits<double>::quiet_NaN ()})
			     refusedWhileRunning (size, seed, [&] (Instance& p) { EXPECT_EQ (p.setup (size, rate), kResultFalse); });
	     }},
	    {"calls/unusable-rate",
	     [] (int32 size, uint64_t seed) {
		     for (double rate : kUnusableRates)
		     {
			     SCOPED_TRACE (rate);
			     Instance p, reference;
			     EXPECT_EQ (p.setup (size, kRate), kResultOk);
			     EXPECT_EQ (p.setup (size, rate), kResultFalse);
			     EXPECT_EQ (p.component->setActive (true), kResultOk);
			     reference.start (size, kRate);
			     expectUnchanged (p, reference, size, seed);
		     }
	     }},
	    {"calls/unusable-sample-size",
	     [] (int32 size, uint64_t) {
		     Instance p;
		     for (int32 bad : {2, -1, INT_MAX})
			     EXPECT_EQ (p.setup (bad, kRate), kResultFalse);
		     p.start (size, kRate);
	     }},
	    {"calls/repeated-activation",
	     [] (int32 size, uint64_t seed) {
		     refusedWhileRunning (size, seed,
		                          [] (Instance& p) { EXPECT_EQ (p.component->setActive (true), kResultFalse); });
	     }},
	    {"calls/repeated-deactivation",
	     [] (int32 size, uint64_t seed) {
		     Instance p;
		     p.start (size, kRate);
		     EXPECT_EQ (p.component->setActive (false), kResultOk);
		     EXPECT_NE (p.component->setActive (false), kResultOk);
		     expectGoodBlock (p, size, seed);
	     }},
	    {"calls/terminate-then-process",
	     [] (int32 size, uint64_t seed) {
		     Instance p;
		     p.start (size, kRate);
		     EXPECT_EQ (p.component->terminate (), kResultOk);
		     expectGoodBlock (p, size, seed);
		     EXPECT_NE (p.component->terminate (), kResultOk);
		     expectGoodBlock (p, size, seed);
	     }},
	    {"calls/refused-arrangements",
	     [] (int32 size, uint64_t seed) {
		     Instance p, reference;
		     SpeakerArrangement two[] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
		     SpeakerArrangement odd[] = {SpeakerArr::kMono, SpeakerArr::k51, 0, ~SpeakerArrangement {0}};
		     for (SpeakerArrangement& arr : odd)
		     {
			     EXPECT_EQ (p.processor->setBusArrangements (&arr, 1, two, 1), kResultFalse);
			     EXPECT_EQ (p.processor->setBusArrangements (two, 1, &arr, 1), kResultFalse);
		     }
		     EXPECT_EQ (p.processor->setBusArrangements (two, 2, two, 2), kResultFalse); // more than exist
		     EXPECT_EQ (p.processor->setBusArrangements (two, -1, two, 1), kInvalidArgument);
		     EXPECT_EQ (p.processor->setBusArrangements (nullptr, 1, two, 1), kInvalidArgument);
		     SpeakerArrangement arr = 0;
		     EXPECT_EQ (p.processor->getBusArrangement (kOutput, 0, arr), kResultTrue);
		     EXPECT_EQ (arr, SpeakerArr::kStereo);
		     p.start (size, kRate);
		     reference.start (size, kRate);
		     expectUnchanged (p, reference, size, seed);
	     }},
	});
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
	    {"buffers/unwritable-channels", {2}, {2}, nullChannel (true, 0), Shape::kWritten},
	    {"buffers/unwritable-channels", {2}, {2}, nullChannel (false, 1), Shape::kWritten},
	    {"buffers/unwritable-channels", {2}, {2}, [] (Block& b) { b.data.inputs->channelBuffers32 = nullptr; },
	     Shape::kWritten},
	    {"buffers/unwritable-channels", {2}, {2}, [] (Block& b) { b.data.inputs = nullptr; }, Shape::kWritten},
	    {"buffers/unwritable-channels", {2}, {2}, [] (Block& b) { b.data.numInputs = 0; }, Shape::kWritten},
	    {"buffers/unwritable-channels", {}, {2}, nullptr, Shape::kWritten},
	    {"buffers/unwritable-channels", {1}, {1}, nullptr, Shape::kWritten},
	    {"buffers/unwritable-channels", {2}, {3}, nullptr, Shape::kWritten},
	};
	HOSTILE_TRACE_SEED ();
	for (size_t k = 0; k < std::size (shapes); ++k)
	{
		const Shape& s = shapes[k];
		if (awaitingEngineFix (s.name))
			continue;
		for (int32 size : {kSample32, kSample64})
		{
			for (bool bypass : {false, true})
			{
				SCOPED_TRACE (std::string (s.name) + " #" + std::to_string (k) +
				              (size == kSample64 ? ", 64 bit" : ", 32 bit") + (bypass ? ", bypassed" : ""));
				Instance p, reference;
				auto record = p.state ();
				record[8] = bypass;
				for (Instance* i : {&p, &reference})
				{
					i->start (size, kRate);
					ASSERT_EQ (i->setState (record), kResultOk);
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
				expectGoodBlock (p, size, baseSeed ()); // and it runs on
			}
		}
	}
}

} // namespace
} // namespace hostile
