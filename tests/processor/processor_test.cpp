#include "testsupport.h"

#include "plugids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tolvartest;

namespace {

// Runs blocks of noise through a processor and collects channel 0 and 1.
template <typename Sample>
std::vector<Sample> renderNoise (PlugProcessor& p, unsigned seed, int blocks = 8, int32 frames = 512,
                                 bool inPlace = false)
{
	std::vector<Sample> out;
	for (int i = 0; i < blocks; ++i)
	{
		Block<Sample> b (2, frames, inPlace);
		fillNoise (b, seed + static_cast<unsigned> (i));
		ProcessData d = b.data ();
		EXPECT_EQ (p.process (d), kResultOk);
		for (int c = 0; c < 2; ++c)
			out.insert (out.end (), b.output (c), b.output (c) + frames);
	}
	return out;
}

// A queue that fails the test when asked for a point it does not have.
class StrictQueue : public ParamQueue
{
public:
	using ParamQueue::ParamQueue;
	tresult PLUGIN_API getPoint (int32 index, int32& offset, ParamValue& value) override
	{
		EXPECT_TRUE (index >= 0 && index < getPointCount ()) << "point " << index << " of " << getPointCount ();
		return ParamQueue::getPoint (index, offset, value);
	}
};

} // namespace

TEST (ProcessorLifecycle, BufferLengthsPerRate)
{
	const struct
	{
		double rate;
		int32 length;
	} table[] = {{22050, 5517}, {44100, 11036}, {48000, 12012}, {88200, 22072}, {96000, 24024}, {192000, 48048}};

	PlugProcessor p;
	p.initialize (nullptr);
	EXPECT_EQ (p.getSampleRate (), 44100.0) << "the rate before any setup";
	for (const auto& row : table)
	{
		ProcessSetup setup {kRealtime, kSample32, 512, row.rate};
		ASSERT_EQ (p.setupProcessing (setup), kResultOk);
		ASSERT_EQ (p.setActive (true), kResultOk);
		const tolvar::TankState& t = p.engine ().tank ();
		EXPECT_EQ (t.bufferLength, row.length) << row.rate;
		EXPECT_EQ (t.writeIndex, 0);
		for (int32 i = 0; i < t.bufferLength; i += 97)
			ASSERT_EQ (t.networkLines[15][i], 0.0);
		ASSERT_EQ (p.setActive (false), kResultOk);
		EXPECT_FALSE (p.engine ().isPrepared ());
	}
	EXPECT_EQ (p.setActive (false), kResultFalse);

	PlugProcessor never;
	never.initialize (nullptr);
	EXPECT_EQ (never.setActive (false), kResultFalse);
	EXPECT_FALSE (never.engine ().isPrepared ());
}

TEST (ProcessorLifecycle, ActivationStartsFromSilenceAndARepeatIsRefused)
{
	PlugProcessor fresh, used, repeated;
	for (PlugProcessor* p : {&fresh, &used, &repeated})
		startProcessor (*p, 48000.0, kSample64);

	// A second activation while active is refused before it touches anything: the tail goes on.
	const auto first = renderNoise<double> (used, 1);
	EXPECT_EQ (renderNoise<double> (repeated, 1), first);
	EXPECT_EQ (repeated.setActive (true), kResultFalse);
	EXPECT_EQ (renderNoise<double> (repeated, 9), renderNoise<double> (used, 9));

	// Deactivated and activated again, a used processor sounds like a fresh one: every
	// line and filter starts from zero.
	ASSERT_EQ (used.setActive (false), kResultOk);
	ASSERT_EQ (used.setActive (true), kResultOk);
	EXPECT_EQ (renderNoise<double> (used, 20), renderNoise<double> (fresh, 20));
}

TEST (ProcessorParameters, LastPointBypassThresholdAndUnknownIds)
{
	PlugProcessor p;
	startProcessor (p, 44100.0);
	Block<float> b (2, 0);

	auto send = [&] (std::vector<ParamQueue*> queues) {
		ParamChanges changes;
		changes.queues = std::move (queues);
		ProcessData d = b.data (&changes);
		EXPECT_EQ (p.process (d), kResultOk);
	};

	StrictQueue half (kBypassId, {{0, 0.9}, {10, 0.5}});
	send ({&half});
	EXPECT_FALSE (p.stateRecord ().bypass);
	StrictQueue above (kBypassId, {{0, 0.1}, {10, 0.500001}});
	send ({&above});
	EXPECT_TRUE (p.stateRecord ().bypass);

	// Values are stored unclamped, only the last point counts.
	StrictQueue level (kLevelId, {{0, 0.2}, {3, 1.7}});
	StrictQueue lpcut (kLPCutId, {{5, -0.25}});
	send ({&level, &lpcut});
	EXPECT_EQ (p.stateRecord ().values[0], 1.7);
	EXPECT_EQ (p.stateRecord ().values[7], -0.25);
	EXPECT_EQ (p.engine ().targets ().lowpassHz, 500.0);

	// Identifiers above 8, empty queues and missing queues change nothing; an empty queue is
	// not asked for a point.
	const StateRecord before = p.stateRecord ();
	StrictQueue unknown (9, {{0, 0.9}});
	StrictQueue farOut (0xFFFFFFFF, {{0, 0.9}});
	StrictQueue empty (kMixId, {});
	send ({&unknown, &farOut, &empty, nullptr});
	const StateRecord after = p.stateRecord ();
	EXPECT_EQ (std::memcmp (before.values, after.values, sizeof before.values), 0);
	EXPECT_EQ (p.engine ().targets ().mixAmount, 0.5);

	// A negative count is no change at all.
	ParamChanges negative;
	negative.reportedCount = -3;
	ProcessData d = b.data (&negative);
	EXPECT_EQ (p.process (d), kResultOk);
}

template <typename Sample>
void checkBypass (int32 sampleSize)
{
	PlugProcessor p;
	startProcessor (p, 48000.0, sampleSize);
	ParamQueue on (kBypassId, {{0, 1.0}});
	ParamChanges changes;
	changes.queues = {&on};

	Block<Sample> b (2, 333);
	fillNoise (b, 7);
	for (auto& ch : b.out)
		for (auto& s : ch)
			s = static_cast<Sample> (3);
	ProcessData d = b.data (&changes);
	ASSERT_EQ (p.process (d), kResultOk);
	EXPECT_EQ (b.out, b.in);
	EXPECT_EQ (p.engine ().tank ().writeIndex, 0) << "engine must not run while bypassed";

	Block<Sample> inPlace (2, 64, true);
	fillNoise (inPlace, 8);
	auto before = inPlace.in;
	d = inPlace.data ();
	ASSERT_EQ (p.process (d), kResultOk);
	EXPECT_EQ (inPlace.in, before);
}

TEST (ProcessorBypass, CopiesBitForBitAtBothSizes)
{
	checkBypass<float> (kSample32);
	checkBypass<double> (kSample64);
}

TEST (ProcessorAudio, InPlaceAndWidthsAgree)
{
	auto run = [] (auto sample, bool inPlace) {
		using Sample = decltype (sample);
		PlugProcessor p;
		startProcessor (p, 44100.0, sizeof (Sample) == 4 ? kSample32 : kSample64);
		return renderNoise<Sample> (p, 100, 40, 512, inPlace);
	};
	const auto separate32 = run (0.0f, false);
	EXPECT_EQ (run (0.0f, true), separate32);
	const auto separate64 = run (0.0, false);
	EXPECT_EQ (run (0.0, true), separate64);

	// The 32-bit path computes in double and only rounds on output.
	bool anyNonZero = false;
	for (size_t i = 0; i < separate32.size (); ++i)
	{
		ASSERT_EQ (separate32[i], static_cast<float> (separate64[i])) << i;
		anyNonZero = anyNonZero || separate32[i] != 0.0f;
	}
	EXPECT_TRUE (anyNonZero);
}

TEST (ProcessorAudio, WriteIndexWraps)
{
	PlugProcessor p;
	startProcessor (p, 8000.0);
	const int32 length = p.engine ().tank ().bufferLength;
	ASSERT_EQ (length, 2002);
	Block<float> b (2, length - 1);
	ProcessData d = b.data ();
	p.process (d);
	EXPECT_EQ (p.engine ().tank ().writeIndex, length - 1);
	b.frames = 1;
	d = b.data ();
	p.process (d);
	EXPECT_EQ (p.engine ().tank ().writeIndex, 0);
}

TEST (ProcessorFaults, NonFiniteInputIsForgottenAtTheNextBlock)
{
	for (double bad : {std::numeric_limits<double>::quiet_NaN (), HUGE_VAL, -HUGE_VAL})
	{
		for (int32 size : {kSample32, kSample64})
		{
			SCOPED_TRACE (testing::Message () << bad << ", " << (size == kSample32 ? 32 : 64) << " bit");
			PlugProcessor p;
			startProcessor (p, 44100.0, size);
			Block<double> wide (2, 256);
			Block<float> narrow (2, 256);
			auto run = [&] (bool poison) {
				fillNoise (wide, 5);
				fillNoise (narrow, 5);
				if (poison)
				{
					wide.in[0][100] = bad;
					narrow.in[1][100] = static_cast<float> (bad);
				}
				ProcessData d = size == kSample32 ? narrow.data () : wide.data ();
				p.process (d);
				bool finite = true;
				for (int c = 0; c < 2; ++c)
					for (int32 i = 0; i < 256; ++i)
						finite = finite && std::isfinite (size == kSample32 ? narrow.output (c)[i] : wide.output (c)[i]);
				return finite;
			};
			run (false);
			run (true);
			for (int i = 0; i < 40; ++i)
				ASSERT_TRUE (run (false)) << "block " << i << " after the bad sample";
		}
	}
}

TEST (ProcessorFaults, SetupRefusedWhileActiveOrAtUnusableRates)
{
	PlugProcessor p;
	p.initialize (nullptr);
	const uint32 tail = p.getTailSamples ();
	for (double rate : {0.0, -44100.0, 0.5, 4.9e-324, 1536000.5, std::nan (""), HUGE_VAL})
	{
		ProcessSetup setup {kRealtime, kSample64, 512, rate};
		EXPECT_EQ (p.setupProcessing (setup), kResultFalse) << rate;
		EXPECT_EQ (p.getSampleRate (), 44100.0);
		EXPECT_EQ (p.getTailSamples (), tail);
	}
	for (double rate : {1.0, 1536000.0})
	{
		ProcessSetup setup {kRealtime, kSample64, 512, rate};
		EXPECT_EQ (p.setupProcessing (setup), kResultOk) << rate;
		EXPECT_EQ (p.getSampleRate (), rate);
	}

	ProcessSetup usual {kRealtime, kSample32, 512, 48000.0};
	ASSERT_EQ (p.setupProcessing (usual), kResultOk);
	ASSERT_EQ (p.setActive (true), kResultOk);
	ProcessSetup other {kRealtime, kSample64, 512, 96000.0};
	EXPECT_EQ (p.setupProcessing (other), kResultFalse);
	EXPECT_EQ (p.getSampleRate (), 48000.0);
	Block<float> b (2, 512);
	fillNoise (b, 2);
	ProcessData d = b.data ();
	ASSERT_EQ (p.process (d), kResultOk);
	for (int c = 0; c < 2; ++c)
		for (float s : b.out[static_cast<size_t> (c)])
			ASSERT_TRUE (std::isfinite (s));

	// Activation without a usable rate (never set up, never initialised) is refused as well.
	PlugProcessor bare;
	EXPECT_EQ (bare.setActive (true), kResultFalse);
	EXPECT_FALSE (bare.engine ().isPrepared ());
}

TEST (ProcessorFaults, UnknownSampleSizeTouchesNoBuffer)
{
	PlugProcessor p;
	startProcessor (p, 44100.0);
	for (bool bypass : {false, true})
	{
		sendValue (p, kBypassId, bypass ? 1.0 : 0.0);
		for (int32 size : {2, -1, 0x7FFFFFFF})
		{
			Block<float> b (2, 64);
			fillNoise (b, 3);
			for (auto& ch : b.out)
				ch.assign (64, 7.0f);
			ProcessData d = b.data ();
			d.symbolicSampleSize = size;
			EXPECT_EQ (p.process (d), kInvalidArgument) << size;
			for (auto& ch : b.out)
				for (float s : ch)
					ASSERT_EQ (s, 7.0f);
		}
	}
}

TEST (ProcessorFaults, SilenceWhereTheEngineProducesNothing)
{
	const struct
	{
		const char* what;
		int32 inChannels, outChannels;
		bool active, bypass;
		uint64 silent; // expected silence flags of the output bus
	} table[] = {
	    {"four outputs", 2, 4, true, false, 0b1100},
	    {"one output", 2, 1, true, false, 0b1},
	    {"one input", 1, 2, true, false, 0b11},
	    {"not active", 2, 2, false, false, 0b11},
	    {"bypass, wider output", 1, 3, true, true, 0b110},
	};
	for (const auto& row : table)
	{
		SCOPED_TRACE (row.what);
		PlugProcessor p;
		startProcessor (p, 44100.0);
		if (!row.active)
			p.setActive (false);
		sendValue (p, kBypassId, row.bypass ? 1.0 : 0.0);

		Block<float> b (std::max (row.inChannels, row.outChannels), 128);
		fillNoise (b, 4);
		b.inBus.numChannels = row.inChannels;
		b.outBus.numChannels = row.outChannels;
		for (auto& ch : b.out)
			ch.assign (128, 5.0f);
		b.outBus.silenceFlags = ~uint64 (0) ^ row.silent; // the opposite of what is expected
		ProcessData d = b.data ();
		ASSERT_EQ (p.process (d), kResultOk);
		EXPECT_EQ (b.outBus.silenceFlags & ((uint64 (1) << row.outChannels) - 1), row.silent);
		for (int32 c = 0; c < row.outChannels; ++c)
		{
			const bool silent = (row.silent >> c) & 1;
			for (float s : b.out[static_cast<size_t> (c)])
				ASSERT_EQ (s == 0.0f, silent) << "channel " << c;
		}
	}
}

TEST (ProcessorFaults, LowpassCornerBelowNyquistKeepsItsFormula)
{
	auto poleAt = [] (double rate, double lpCut) {
		PlugProcessor p;
		p.initialize (nullptr);
		double v[8];
		std::copy (std::begin (kDefaults), std::end (kDefaults), v);
		v[7] = lpCut;
		ByteStream s = stateWith (v);
		p.setState (&s);
		ProcessSetup setup {kRealtime, kSample64, 512, rate};
		p.setupProcessing (setup);
		p.setActive (true);
		return p.engine ().tank ().lowpassPole;
	};
	// LPCut at its top, 16 kHz: below Nyquist at 34 kHz, exactly the one-pole formula.
	EXPECT_NEAR (poleAt (34000.0, 1.0), -0.830389, 5e-7);
	const double w = 16000.0 * (2.0 * 3.141592653589793) / 32000.5;
	EXPECT_EQ (poleAt (32000.5, 1.0), (1.0 - std::sin (w)) / std::cos (w));
	// At or above Nyquist the corner is limited, and the filter stays stable.
	for (double rate : {32000.0, 22050.0, 8000.0})
		EXPECT_LT (std::fabs (poleAt (rate, 1.0)), 0.8) << rate;
}

TEST (ProcessorRobustness, HostileStatesAndRates)
{
	const double inf = std::numeric_limits<double>::infinity ();
	const double nan = std::numeric_limits<double>::quiet_NaN ();
	const double odd[] = {2.0, -1.0, inf, -inf, nan, 1e308, 1.0000001};
	const double rates[] = {1.0, 100.0, 1000.0, 3999.0, 4002.0, 22050.0, 192000.0, 768000.0};

	for (double value : odd)
	{
		for (double rate : rates)
		{
			double v[8];
			for (double& x : v)
				x = value;
			PlugProcessor p;
			p.initialize (nullptr);
			ByteStream s = stateWith (v);
			ASSERT_EQ (p.setState (&s), kResultOk);
			ProcessSetup setup {kRealtime, kSample64, 2048, rate};
			ASSERT_EQ (p.setupProcessing (setup), kResultOk);
			ASSERT_EQ (p.setActive (true), kResultOk) << rate;

			Block<double> b (2, 2048);
			fillNoise (b, 11);
			const tolvar::TankState& t = p.engine ().tank ();
			for (int n = 0; n < 4; ++n)
			{
				ProcessData d = b.data ();
				ASSERT_EQ (p.process (d), kResultOk);
				// Every read stays within its line.
				ASSERT_TRUE (t.predelaySamples >= 0 && t.predelaySamples <= t.bufferLength);
				for (int32 delay : t.lineDelay)
					ASSERT_TRUE (delay >= 0 && delay <= t.bufferLength);
			}
			for (int c = 0; c < 2; ++c)
				for (double x : b.out[static_cast<size_t> (c)])
					ASSERT_TRUE (std::isfinite (x)) << value << " @ " << rate;
			// The record keeps the values as they came.
			const double kept = p.stateRecord ().values[0];
			EXPECT_TRUE (std::isnan (value) ? std::isnan (kept) : kept == value);
			p.setActive (false);
		}
	}
}

TEST (ProcessorRobustness, MalformedBuffers)
{
	PlugProcessor p;
	startProcessor (p, 44100.0);
	for (bool bypass : {false, true})
	{
		sendValue (p, kBypassId, bypass ? 1.0 : 0.0);
		Block<float> one (1, 64);
		ProcessData d = one.data ();
		EXPECT_EQ (p.process (d), kResultOk);

		Block<float> nullChannel (2, 64);
		nullChannel.inPtrs[1] = nullptr;
		nullChannel.outPtrs[0] = nullptr;
		d = nullChannel.data ();
		EXPECT_EQ (p.process (d), kResultOk);

		Block<float> nullArrays (2, 64);
		nullArrays.inBus.channelBuffers32 = nullptr;
		nullArrays.outBus.channelBuffers32 = nullptr;
		d = nullArrays.data ();
		EXPECT_EQ (p.process (d), kResultOk);

		ProcessData empty;
		empty.numSamples = 64;
		empty.numInputs = 1;
		empty.numOutputs = 1;
		EXPECT_EQ (p.process (empty), kResultOk);
	}
}
