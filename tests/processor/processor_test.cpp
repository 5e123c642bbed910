// The processor's own contract where the tests need to look inside: delay memory, parameter
// values as applied, silence flags, the low-pass corner, the state record's bytes. Careless
// host calls through the built bundle are the hostile suite's; exact output, the equality test's.
#include "testsupport.h"

#include "plugids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tolvartest;

namespace {

// Blocks of 512 frames of noise through a 64-bit processor; channels 0 and 1.
std::vector<double> renderNoise (PlugProcessor& p, unsigned seed, int blocks)
{
	std::vector<double> out;
	for (int i = 0; i < blocks; ++i)
	{
		Block<double> b (2, 512);
		fillNoise (b, seed + static_cast<unsigned> (i));
		ProcessData d = b.data ();
		EXPECT_EQ (p.process (d), kResultOk);
		for (int c = 0; c < 2; ++c)
			out.insert (out.end (), b.output (c), b.output (c) + 512);
	}
	return out;
}

} // namespace

TEST (ProcessorLifecycle, ActivationSizesAndClearsTheDelayMemory)
{
	const struct
	{
		double rate;
		int32 length;
	} table[] = {{22050, 5517}, {44100, 11036}, {48000, 12012}, {88200, 22072}, {96000, 24024}, {192000, 48048}};
	PlugProcessor p;
	p.initialize (nullptr);
	for (const auto& row : table)
	{
		ProcessSetup setup {kRealtime, kSample32, 512, row.rate};
		ASSERT_EQ (p.setupProcessing (setup), kResultOk);
		ASSERT_EQ (p.setActive (true), kResultOk);
		EXPECT_EQ (p.engine ().tank ().bufferLength, row.length) << row.rate;
		ASSERT_EQ (p.setActive (false), kResultOk);
	}

	// Deactivated and activated again, a used processor sounds like a fresh one: every line
	// and filter starts from zero.
	PlugProcessor fresh, used;
	for (PlugProcessor* q : {&fresh, &used})
		startProcessor (*q, 48000.0, kSample64);
	renderNoise (used, 1, 8);
	ASSERT_EQ (used.setActive (false), kResultOk);
	ASSERT_EQ (used.setActive (true), kResultOk);
	EXPECT_EQ (renderNoise (used, 20, 20), renderNoise (fresh, 20, 20));
}

// The tail goes on, sample for sample, while the input is flagged silent.
TEST (ProcessorAudio, InputSilenceFlagsAreOnlyAHint)
{
	PlugProcessor flagged, plain;
	for (PlugProcessor* q : {&flagged, &plain})
	{
		startProcessor (*q, 44100.0, kSample64);
		renderNoise (*q, 3, 40);
	}
	double tail = 0.0;
	for (int i = 0; i < 8; ++i)
	{
		Block<double> a (2, 512), b (2, 512);
		a.inBus.silenceFlags = 3;
		ProcessData da = a.data (), db = b.data ();
		ASSERT_EQ (flagged.process (da), kResultOk);
		ASSERT_EQ (plain.process (db), kResultOk);
		ASSERT_EQ (a.out, b.out) << "block " << i;
		tail = std::max (tail, std::fabs (a.out[0][511]));
	}
	EXPECT_GT (tail, 1e-4);
}

TEST (ProcessorParameters, LastPointCountsValuesAreKeptAndBypassIsOnAboveOneHalf)
{
	PlugProcessor p;
	startProcessor (p, 44100.0);
	auto send = [&p] (std::vector<ParamQueue*> queues) {
		ParamChanges changes;
		changes.queues = std::move (queues);
		Block<float> b (2, 0);
		ProcessData d = b.data (&changes);
		EXPECT_EQ (p.process (d), kResultOk);
	};

	ParamQueue half (kBypassId, {{0, 0.9}, {10, 0.5}});
	send ({&half});
	EXPECT_FALSE (p.stateRecord ().bypass);
	ParamQueue above (kBypassId, {{0, 0.1}, {10, 0.500001}});
	send ({&above});
	EXPECT_TRUE (p.stateRecord ().bypass);

	// The record keeps values out of range as they came; the engine clamps them.
	ParamQueue level (kLevelId, {{0, 0.2}, {3, 1.7}});
	ParamQueue lpcut (kLPCutId, {{5, -0.25}});
	send ({&level, &lpcut});
	EXPECT_EQ (p.stateRecord ().values[0], 1.7);
	EXPECT_EQ (p.stateRecord ().values[7], -0.25);
	EXPECT_EQ (p.engine ().targets ().lowpassHz, 500.0);
}

TEST (ProcessorFaults, SilenceWhereTheEngineProducesNothing)
{
	const struct
	{
		const char* what;
		int32 inChannels, outChannels; // 0 input channels: an input count of 0, buffers left behind
		bool active, bypass;
		uint64 silent; // expected silence flags of the output bus
	} table[] = {
	    {"four outputs", 2, 4, true, false, 0b1100},
	    {"one output", 2, 1, true, false, 0b1},
	    {"one input", 1, 2, true, false, 0b11},
	    {"no input bus", 0, 2, true, false, 0b11},
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

		Block<float> b (std::max (2, row.outChannels), 128);
		fillNoise (b, 4);
		b.inBus.numChannels = row.inChannels > 0 ? row.inChannels : 2;
		b.outBus.numChannels = row.outChannels;
		for (auto& ch : b.out)
			ch.assign (128, 5.0f);
		b.outBus.silenceFlags = ~uint64 (0) ^ row.silent; // the opposite of what is expected
		ProcessData d = b.data ();
		d.numInputs = row.inChannels > 0 ? 1 : 0;
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

// Every parameter at the same odd value, at rates from 1 Hz up: each delay stays within its
// line and the output stays finite.
TEST (ProcessorRobustness, OddValuesKeepEveryReadInsideItsLine)
{
	const double inf = std::numeric_limits<double>::infinity ();
	const double odd[] = {2.0, -1.0, inf, -inf, std::nan (""), 1e308, 1.0000001};
	for (double value : odd)
	{
		for (double rate : {1.0, 100.0, 1000.0, 3999.0, 4002.0, 22050.0, 192000.0, 768000.0})
		{
			SCOPED_TRACE (testing::Message () << value << " @ " << rate);
			double v[8];
			std::fill (std::begin (v), std::end (v), value);
			PlugProcessor p;
			p.initialize (nullptr);
			ByteStream s = stateWith (v);
			ASSERT_EQ (p.setState (&s), kResultOk);
			ProcessSetup setup {kRealtime, kSample64, 2048, rate};
			ASSERT_EQ (p.setupProcessing (setup), kResultOk);
			ASSERT_EQ (p.setActive (true), kResultOk);

			Block<double> b (2, 2048);
			fillNoise (b, 11);
			const tolvar::TankState& t = p.engine ().tank ();
			for (int n = 0; n < 4; ++n)
			{
				ProcessData d = b.data ();
				ASSERT_EQ (p.process (d), kResultOk);
				ASSERT_TRUE (t.predelaySamples >= 0 && t.predelaySamples <= t.bufferLength);
				for (int32 delay : t.lineDelay)
					ASSERT_TRUE (delay >= 0 && delay <= t.bufferLength);
			}
			for (int c = 0; c < 2; ++c)
				for (double x : b.out[static_cast<size_t> (c)])
					ASSERT_TRUE (std::isfinite (x));
		}
	}
}

TEST (StateRecord, FreshProcessorWritesTheDefaultLayout)
{
	PlugProcessor p;
	ByteStream s;
	ASSERT_EQ (p.getState (&s), kResultOk);
	ASSERT_EQ (s.bytes.size (), 140u);
	// Leading word and bypass word zero, the eight defaults, six unused doubles and the flag
	// words zero.
	for (int i = 0; i < 12; ++i)
		EXPECT_EQ (s.bytes[static_cast<size_t> (i)], 0) << "byte " << i;
	for (int i = 0; i < 14; ++i)
	{
		double v;
		std::memcpy (&v, s.bytes.data () + 12 + 8 * i, 8);
		EXPECT_EQ (v, i < 8 ? kDefaults[i] : 0.0) << "value " << i;
	}
	for (int i = 124; i < 140; ++i)
		EXPECT_EQ (s.bytes[static_cast<size_t> (i)], 0) << "byte " << i;
}
