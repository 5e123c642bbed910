#include "testsupport.h"

#include "plugids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>

using namespace tolvartest;

namespace {

void loadState (PlugProcessor& p, const double (&values)[8])
{
	ByteStream s = stateWith (values);
	ASSERT_EQ (p.setState (&s), kResultOk);
}

// Processes one sample at a time, reporting networkGain after each.
std::vector<double> gainTrace (PlugProcessor& p, int32 samples, std::function<void (int32)> before = {})
{
	std::vector<double> trace;
	Block<float> b (2, 1);
	for (int32 i = 0; i < samples; ++i)
	{
		if (before)
			before (i);
		ProcessData d = b.data ();
		p.process (d);
		trace.push_back (p.networkGain);
	}
	return trace;
}

void sendValue (PlugProcessor& p, ParamID id, double value)
{
	ParamQueue q (id, {{0, value}});
	ParamChanges changes;
	changes.queues = {&q};
	Block<float> b (2, 0);
	ProcessData d = b.data (&changes);
	p.process (d);
}

} // namespace

TEST (EngineDesign, DefaultMappingAndWorkedValuesAt44100)
{
	PlugProcessor p;
	startProcessor (p, 44100.0);

	EXPECT_NEAR (p.levelGain, 1.0, 1e-4);
	EXPECT_EQ (p.mixAmount, 0.5);
	EXPECT_NEAR (p.predelayMs, 20.0, 20.0 * 1e-4);
	EXPECT_NEAR (p.reverbTimeMs, 1600.0, 1600.0 * 1e-4);
	EXPECT_NEAR (p.roomSize, 10000.0, 1.0);
	EXPECT_NEAR (p.diffusionAmount, 1.0, 1e-4);
	EXPECT_NEAR (p.hfDamping, 0.705, 1e-4);
	EXPECT_NEAR (p.lowpassHz, 2500.0, 0.25);

	const int32 expected[16] = {8291, 5693, 4693, 3558, 3351, 3270, 3017, 2836,
	                            2700, 2692, 2486, 2440, 2223, 2183, 2147, 1850};
	for (int k = 0; k < 16; ++k)
		EXPECT_EQ (p.lineDelay[k], expected[k]) << k;
	EXPECT_EQ (p.predelaySamples, 882);
	EXPECT_EQ (p.allpassDelay1, 210);
	EXPECT_EQ (p.allpassDelay2, 159);
	EXPECT_NEAR (p.allpassGain1, 0.803, 1e-3);
	EXPECT_NEAR (p.allpassGain2, 0.847, 1e-3);
	EXPECT_NEAR (p.dampNumerator[0], 0.144, 1e-3);
	EXPECT_NEAR (p.dampPole[0], 0.701, 1e-3);
	EXPECT_NEAR (p.dampNumerator[15], 0.687, 1e-3);
	EXPECT_NEAR (p.dampPole[15], 0.192, 1e-3);
	EXPECT_NEAR (p.injectionWeight[0], 0.111, 1e-3);
	EXPECT_NEAR (p.injectionWeight[15], 0.041, 1e-3);
	EXPECT_NEAR (p.lowpassPole, 0.695, 1e-3);
	EXPECT_NEAR (p.lowpassNumerator, 0.00763, 1e-5);
	EXPECT_NEAR (p.highpassMidPole, 0.997, 1e-3);
	EXPECT_NEAR (p.highpassSidePole, 0.991, 1e-3);
	EXPECT_EQ (p.tapWeight, 1.3 - 0.3 * p.diffusionSmoothed);
	EXPECT_EQ (p.holdLength, 11025);
	EXPECT_EQ (p.getTailSamples (), 92609u);

	double sum = 0.0;
	for (double w : p.injectionWeight)
		sum += w;
	EXPECT_NEAR (sum, 1.0, 1e-12);

	// Damping filter: gain g at DC, g^(1/dampRatio) at Nyquist.
	const double dampRatio = 1.0 - p.hfDamping;
	for (int k = 0; k < 16; ++k)
	{
		const double dc = p.dampNumerator[k] / (1.0 - p.dampPole[k]);
		const double nyquist = p.dampNumerator[k] / (1.0 + p.dampPole[k]);
		EXPECT_NEAR (nyquist, std::pow (dc, 1.0 / dampRatio), 1e-12) << k;
	}
}

TEST (EngineDesign, RoomSizeExtremesAndOtherRates)
{
	double small[8], large[8];
	std::copy (std::begin (kDefaults), std::end (kDefaults), small);
	std::copy (std::begin (kDefaults), std::end (kDefaults), large);
	small[4] = 0.0;
	large[4] = 1.0;
	large[2] = 1.0; // 250 ms pre-delay

	PlugProcessor p;
	p.initialize (nullptr);
	loadState (p, small);
	p.setActive (true);
	EXPECT_EQ (p.lineDelay[0], 3848);
	EXPECT_EQ (p.lineDelay[15], 859);

	p.setActive (false);
	loadState (p, large);
	p.setActive (true);
	EXPECT_EQ (p.lineDelay[0], 10446);
	EXPECT_EQ (p.lineDelay[15], 2331);
	EXPECT_EQ (p.predelaySamples, 11025);
	EXPECT_LE (p.predelaySamples, p.bufferLength);

	p.setActive (false);
	ProcessSetup setup {kRealtime, kSample32, 512, 48000.0};
	p.setupProcessing (setup);
	p.setActive (true);
	EXPECT_EQ (p.allpassDelay1, 229);
	EXPECT_EQ (p.allpassDelay2, 173);
	EXPECT_EQ (p.getTailSamples (), 100799u);
	for (double rate : {4000.0, 22050.0, 96000.0, 192000.0})
	{
		p.setActive (false);
		ProcessSetup s {kRealtime, kSample32, 512, rate};
		p.setupProcessing (s);
		ASSERT_EQ (p.setActive (true), kResultOk);
		EXPECT_LE (p.predelaySamples, p.bufferLength) << rate;
		EXPECT_LT (p.lineDelay[0], p.bufferLength) << rate;
	}
}

TEST (EngineDesign, DampingAndDiffusionLimits)
{
	double v[8];
	std::copy (std::begin (kDefaults), std::end (kDefaults), v);
	v[5] = 0.0; // Diffusion
	v[6] = 0.0; // HFDamp
	v[2] = 0.0; // Predelay
	PlugProcessor p;
	p.initialize (nullptr);
	loadState (p, v);
	p.setActive (true);
	EXPECT_EQ (p.diffusionAmount, 0.0);
	EXPECT_EQ (p.diffusionSmoothed, 0.0);
	EXPECT_EQ (p.allpassGain1, 0.0);
	EXPECT_EQ (p.allpassGain2, 0.0);
	EXPECT_EQ (p.tapWeight, 1.3);
	EXPECT_EQ (p.predelayMs, 0.0);
	EXPECT_EQ (p.predelaySamples, 0);
	// No damping: each filter is a plain gain, smaller for longer lines.
	for (int k = 0; k < 16; ++k)
	{
		EXPECT_EQ (p.dampPole[k], 0.0);
		EXPECT_GT (p.dampNumerator[k], 0.0);
		EXPECT_LT (p.dampNumerator[k], 1.0);
		if (k > 0)
		{
			EXPECT_GE (p.dampNumerator[k], p.dampNumerator[k - 1]);
		}
	}

	v[6] = 1.0;
	loadState (p, v);
	for (int k = 0; k < 16; ++k)
	{
		const double g = p.dampNumerator[k] / (1.0 - p.dampPole[k]);
		EXPECT_GT (p.dampNumerator[k], 0.0);
		EXPECT_LT (p.dampNumerator[k], g);
		EXPECT_GT (p.dampPole[k], 0.0);
		EXPECT_LT (p.dampPole[k], 1.0);
	}

	// A smoothed diffusion decays towards 0 once it is the target.
	v[5] = 1.0;
	loadState (p, v);
	p.setActive (true);
	sendValue (p, kDiffusionId, 0.0);
	gainTrace (p, 2205);
	EXPECT_NEAR (p.diffusionSmoothed, std::exp (-2.2), 1e-5);
}

TEST (EngineDesign, PendingChangeHoldsLengthsOnly)
{
	PlugProcessor p;
	startProcessor (p, 44100.0);
	gainTrace (p, 19900); // past the activation cycle
	ASSERT_FALSE (p.changePending);
	ASSERT_EQ (p.networkGain, 1.0);

	const int32 predelay = p.predelaySamples;
	const int32 line0 = p.lineDelay[0];
	const double pole0 = p.dampPole[0];
	const double lpPole = p.lowpassPole;
	sendValue (p, kSizeId, 1.0);
	sendValue (p, kRvbTimeId, 0.9);
	sendValue (p, kLPCutId, 0.9);
	sendValue (p, kPredelayId, 0.1);
	EXPECT_TRUE (p.changePending);
	EXPECT_EQ (p.predelaySamples, predelay);
	EXPECT_EQ (p.lineDelay[0], line0);
	EXPECT_NE (p.dampPole[0], pole0);
	EXPECT_NE (p.lowpassPole, lpPole);

	// The same value again starts nothing.
	PlugProcessor q;
	startProcessor (q, 44100.0);
	gainTrace (q, 19900);
	sendValue (q, kPredelayId, kDefaults[2]);
	sendValue (q, kSizeId, kDefaults[4]);
	EXPECT_FALSE (q.changePending);
	sendValue (q, kPredelayId, std::nextafter (kDefaults[2], 1.0));
	EXPECT_TRUE (q.changePending);
}

// Lengths in samples of the fade-out, the hold at zero and the fade-in found in a gain trace.
struct FadeCycle
{
	size_t fadeOut = 0, hold = 0, fadeIn = 0;
};

FadeCycle measureCycle (const std::vector<double>& g)
{
	FadeCycle c;
	while (c.fadeOut < g.size () && g[c.fadeOut] > 0.0)
	{
		if (c.fadeOut > 0)
		{
			EXPECT_LT (g[c.fadeOut], g[c.fadeOut - 1]) << "fade-out must fall at " << c.fadeOut;
		}
		++c.fadeOut;
	}
	while (c.fadeOut + c.hold < g.size () && g[c.fadeOut + c.hold] == 0.0)
		++c.hold;
	const size_t start = c.fadeOut + c.hold;
	while (start + c.fadeIn < g.size () && g[start + c.fadeIn] < 1.0)
		++c.fadeIn;
	for (size_t i = start + c.fadeIn; i < g.size (); ++i)
		EXPECT_EQ (g[i], 1.0) << i;
	return c;
}

TEST (EngineCrossfade, ActivationCycle)
{
	PlugProcessor p;
	startProcessor (p, 44100.0);
	EXPECT_EQ (p.networkGain, 1.0);
	const std::vector<double> g = gainTrace (p, 20000);
	EXPECT_NEAR (g[0], 1.0 - 1.0 / 6615.0, 1e-12);

	// 150 ms out, exactly holdLength samples at zero (the one that reached zero included),
	// 50 ms in, full gain from 450 ms on.
	const FadeCycle c = measureCycle (g);
	EXPECT_NEAR (static_cast<double> (c.fadeOut), 6615.0, 2.0);
	EXPECT_EQ (c.hold, 11025u);
	EXPECT_NEAR (g[c.fadeOut + c.hold], 1.0 / 2205.0, 1e-12);
	EXPECT_NEAR (static_cast<double> (c.fadeIn), 2205.0, 2.0);
	EXPECT_NEAR (static_cast<double> (c.fadeOut + c.hold + c.fadeIn), 19845.0, 3.0);
	EXPECT_FALSE (p.noFade);

	// The same cycle after a size change at 48 kHz; the new lengths apply at the end of the hold.
	PlugProcessor q;
	startProcessor (q, 48000.0);
	gainTrace (q, 24000);
	const int32 line0 = q.lineDelay[0];
	sendValue (q, kSizeId, 0.25);
	std::vector<int32> lengths;
	const std::vector<double> h = gainTrace (q, 24000, [&] (int32) { lengths.push_back (q.lineDelay[0]); });
	const FadeCycle d = measureCycle (h);
	EXPECT_NEAR (static_cast<double> (d.fadeOut), 7200.0, 2.0);
	EXPECT_EQ (d.hold, 12000u);
	EXPECT_NEAR (static_cast<double> (d.fadeIn), 2400.0, 2.0);
	const size_t holdEnd = d.fadeOut + d.hold; // first sample after the hold
	EXPECT_EQ (lengths[holdEnd - 1], line0);
	EXPECT_NE (lengths[holdEnd], line0);
	const double roomScale = std::cbrt (1000.0 * std::exp2 (0.25 * 4.321928094887363) * 10.0) * 0.1;
	EXPECT_EQ (q.lineDelay[0], static_cast<int32> (48.0 * (40.503959 * roomScale) + 0.5));
}

TEST (EngineCrossfade, ChangesDuringFades)
{
	// Two pre-delay changes 100 ms apart: one fade-out, lengths of the second value applied.
	PlugProcessor p;
	startProcessor (p, 44100.0);
	gainTrace (p, 19900);
	const int32 before = p.predelaySamples;
	std::vector<double> g = gainTrace (p, 6615 + 11025 + 10, [&] (int32 i) {
		if (i == 0)
			sendValue (p, kPredelayId, 0.3);
		if (i == 4410)
			sendValue (p, kPredelayId, 0.8);
		if (i == 6615 + 11025 - 50)
		{
			EXPECT_EQ (p.predelaySamples, before);
		}
	});
	for (size_t i = 1; i < 6600; ++i)
		ASSERT_LT (g[i], g[i - 1]) << i;
	EXPECT_EQ (p.predelaySamples, static_cast<int32> (44.1 * std::exp2 (7.965784284662086 * 0.8) + 0.5));

	// A change during the fade-in at gain 0.5 fades out from there: the hold starts 75 ms later.
	PlugProcessor q;
	startProcessor (q, 44100.0);
	gainTrace (q, 6615 + 11025 + 1102);
	ASSERT_TRUE (q.fadingIn);
	ASSERT_NEAR (q.fadeGain, 0.5, 1e-3);
	sendValue (q, kSizeId, 0.2);
	g = gainTrace (q, 5000);
	size_t firstZero = 0;
	while (g[firstZero] > 0.0)
		++firstZero;
	EXPECT_NEAR (static_cast<double> (firstZero), 3307.5, 8.0);
	EXPECT_GT (g[0], 0.49);
}

TEST (EngineNetwork, InjectionTapsAndMixing)
{
	PlugProcessor p;
	startProcessor (p, 44100.0);
	p.networkGain = 1.0;

	// From cleared lines an input of 1 enters every line; the taps see nothing yet.
	double l = -1, r = -1;
	p.processFdn (1.0, l, r);
	EXPECT_EQ (l, 0.0);
	EXPECT_EQ (r, 0.0);
	for (int k = 0; k < 16; ++k)
		EXPECT_EQ (p.networkLines[k][0], 1.0);

	// networkGain 0 writes zeros whatever the feedback.
	p.writeIndex = 1;
	p.networkGain = 0.0;
	p.processFdn (5.0, l, r);
	for (int k = 0; k < 16; ++k)
		EXPECT_EQ (p.networkLines[k][1], 0.0);

	// Unit damping, no injection: what is written is the scaled Hadamard mix of what is read.
	for (int k = 0; k < 16; ++k)
	{
		p.dampNumerator[k] = 1.0;
		p.dampPole[k] = 0.0;
		p.dampState[k] = 0.0;
		p.injectionWeight[k] = 0.0;
		p.lineDelay[k] = k + 1;
	}
	p.networkGain = 1.0;
	p.diffusionSmoothed = 0.5;
	p.tapWeight = 2.0;
	std::mt19937 gen (5);
	std::uniform_real_distribution<double> dist (-1.0, 1.0);
	double y[16];
	const int32 w = 100;
	for (int k = 0; k < 16; ++k)
	{
		y[k] = dist (gen);
		p.networkLines[k][w - (k + 1)] = y[k];
	}
	p.writeIndex = w;
	p.processFdn (0.0, l, r);

	double energyIn = 0, energyOut = 0;
	for (int i = 0; i < 16; ++i)
	{
		double expected = 0;
		for (int j = 0; j < 16; ++j)
			expected += (__builtin_popcount (i & j) % 2 ? -0.25 : 0.25) * y[j];
		EXPECT_NEAR (p.networkLines[i][w], expected, 1e-15) << i;
		energyIn += y[i] * y[i];
		energyOut += p.networkLines[i][w] * p.networkLines[i][w];
	}
	EXPECT_NEAR (energyOut, energyIn, 1e-12);

	const int leftSign[16] = {1, 1, 1, 1, 1, -1, 1, -1, 1, -1, 1, -1, 1, 1, 1, 1};
	const int rightSign[16] = {1, -1, 1, -1, 1, 1, 1, 1, 1, 1, 1, 1, 1, -1, 1, -1};
	double el = 0, er = 0;
	for (int k = 0; k < 16; ++k)
	{
		const double weight = k < 8 ? 0.5 : 2.0;
		el += leftSign[k] * weight * y[k];
		er += rightSign[k] * weight * y[k];
	}
	EXPECT_NEAR (l, el, 1e-14);
	EXPECT_NEAR (r, er, 1e-14);

	// Mixing twice gives the input back; equal values mix into line 0 alone.
	double h[16];
	for (int k = 0; k < 16; ++k)
	{
		h[k] = p.networkLines[k][w];
		p.networkLines[k][w + 1 - (k + 1)] = h[k];
	}
	p.writeIndex = w + 1;
	p.processFdn (0.0, l, r);
	for (int k = 0; k < 16; ++k)
		EXPECT_NEAR (p.networkLines[k][w + 1], y[k], 1e-15);

	for (int k = 0; k < 16; ++k)
		p.networkLines[k][w + 2 - (k + 1)] = 0.75;
	p.writeIndex = w + 2;
	p.processFdn (0.0, l, r);
	EXPECT_EQ (p.networkLines[0][w + 2], 3.0);
	for (int k = 1; k < 16; ++k)
		EXPECT_EQ (p.networkLines[k][w + 2], 0.0);

	// Injection: every line gets x minus a quarter of the weighted mixed feedback.
	for (int k = 0; k < 16; ++k)
	{
		p.injectionWeight[k] = 1.0 / 16.0;
		p.networkLines[k][w + 3 - (k + 1)] = 0.75;
	}
	p.writeIndex = w + 3;
	p.processFdn (0.5, l, r);
	EXPECT_EQ (p.networkLines[0][w + 3], 3.0 + 0.5 - 0.25 * (3.0 / 16.0));
	EXPECT_EQ (p.networkLines[7][w + 3], 0.5 - 0.25 * (3.0 / 16.0));
}

TEST (EngineSignalPath, DryWetAndMonoSum)
{
	PlugProcessor p;
	startProcessor (p, 44100.0);
	p.mixSmoothed = 0.0;
	p.dryGain = 1.0;
	double l, r;
	p.processTank (0.25, -0.125, l, r);
	EXPECT_EQ (l, 0.25);
	EXPECT_EQ (r, -0.125);

	// The wet part depends on the sum of the inputs only: swapped inputs swap the dry parts.
	PlugProcessor a, b;
	startProcessor (a, 44100.0);
	startProcessor (b, 44100.0);
	for (int i = 0; i < 3000; ++i)
	{
		const double x = std::sin (i * 0.01), y = std::cos (i * 0.013);
		double al, ar, bl, br;
		a.processTank (x, y, al, ar);
		b.processTank (y, x, bl, br);
		ASSERT_NEAR (al - a.dryGain * x, bl - b.dryGain * y, 1e-12);
		a.writeIndex = b.writeIndex = (a.writeIndex + 1) % a.bufferLength;
	}
}

TEST (EngineRobustness, HostileStatesAndRates)
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
			for (int i = 0; i < 8; ++i)
				v[i] = value;
			PlugProcessor p;
			p.initialize (nullptr);
			loadState (p, v);
			ProcessSetup setup {kRealtime, kSample64, 2048, rate};
			p.setupProcessing (setup);
			ASSERT_EQ (p.setActive (true), kResultOk) << rate;

			Block<double> b (2, 2048);
			fillNoise (b, 11);
			for (int n = 0; n < 4; ++n)
			{
				ProcessData d = b.data ();
				ASSERT_EQ (p.process (d), kResultOk);
				ASSERT_GE (p.predelaySamples, 0);
				ASSERT_LE (p.predelaySamples, p.bufferLength);
				for (int k = 0; k < 16; ++k)
				{
					ASSERT_GE (p.lineDelay[k], 0);
					ASSERT_LE (p.lineDelay[k], p.bufferLength);
				}
			}
			for (int c = 0; c < 2; ++c)
				for (double s : b.out[static_cast<size_t> (c)])
					ASSERT_TRUE (std::isfinite (s)) << value << " @ " << rate;
			// The record keeps the values as they came.
			ByteStream out;
			p.getState (&out);
			double first;
			std::memcpy (&first, out.bytes.data () + 12, 8);
			if (std::isnan (value))
				EXPECT_TRUE (std::isnan (first));
			else
				EXPECT_EQ (first, value);
			p.setActive (false);
		}
	}
}

TEST (EngineRobustness, MalformedBuffers)
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

		Block<float> narrowOut (2, 64);
		narrowOut.outBus.numChannels = 1;
		d = narrowOut.data ();
		EXPECT_EQ (p.process (d), kResultOk);

		ProcessData empty;
		empty.numSamples = 64;
		empty.numInputs = 1;
		empty.numOutputs = 1;
		EXPECT_EQ (p.process (empty), kResultOk);
	}
}

TEST (EngineRobustness, LowpassStableAtLowRates)
{
	for (double rate : {8000.0, 22050.0, 32000.0})
	{
		double v[8];
		std::copy (std::begin (kDefaults), std::end (kDefaults), v);
		v[7] = 1.0; // 16 kHz
		v[1] = 1.0; // wet only
		PlugProcessor p;
		p.initialize (nullptr);
		loadState (p, v);
		ProcessSetup setup {kRealtime, kSample64, 4096, rate};
		p.setupProcessing (setup);
		ASSERT_EQ (p.setActive (true), kResultOk);
		EXPECT_LT (std::fabs (p.lowpassPole), 1.0) << rate;
		double peak = 0;
		for (int n = 0; n < 16; ++n)
		{
			Block<double> b (2, 4096);
			fillNoise (b, static_cast<unsigned> (n));
			ProcessData d = b.data ();
			p.process (d);
			for (auto& ch : b.out)
				for (double s : ch)
					peak = std::max (peak, std::fabs (s));
		}
		EXPECT_LT (peak, 10.0) << rate;
		EXPECT_LT (std::fabs (p.lowpassPole), 1.0) << rate;
	}

	// Above those rates the design is the plain formula.
	double v[8];
	std::copy (std::begin (kDefaults), std::end (kDefaults), v);
	v[7] = 1.0;
	PlugProcessor p;
	p.initialize (nullptr);
	loadState (p, v);
	p.setActive (true);
	const double wc = 16000.0 * 6.283185307179586 / 44100.0;
	const double pole = (1.0 - std::sin (wc)) / std::cos (wc);
	EXPECT_EQ (p.lowpassPole, pole);
	EXPECT_EQ (p.lowpassNumerator, (0.5 - 0.5 * pole) * 0.05);
}
