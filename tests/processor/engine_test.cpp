// What a listener hears of the engine's parameters, measured at the engine's interface.
#include "testsupport.h"

#include "hallengine.h"
#include "paramtable.h"
#include "plugids.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tolvartest;

namespace {

constexpr double kRate = 22050.0;

// An engine with the defaults changed where asked, past the crossfade after activation.
struct Hall
{
	tolvar::HallEngine engine;

	explicit Hall (std::initializer_list<std::pair<ParamID, double>> changes, double rate = kRate)
	{
		double v[8];
		std::copy (std::begin (kDefaults), std::end (kDefaults), v);
		for (const auto& c : changes)
			v[c.first - 1] = c.second;
		engine.setValues (v);
		engine.prepare (rate);
		run (std::vector<double> (static_cast<size_t> (rate * 0.5)));
	}

	// Mono in, mono (left plus right) out.
	std::vector<double> run (const std::vector<double>& in)
	{
		std::vector<double> l (in.size ()), r (in.size ());
		engine.process (in.data (), in.data (), l.data (), r.data (), static_cast<int32> (in.size ()));
		for (size_t i = 0; i < in.size (); ++i)
			l[i] += r[i];
		return l;
	}

	// The response to a short noise burst, for the given duration after it.
	std::vector<double> burstResponse (double seconds)
	{
		std::mt19937 gen (9);
		std::uniform_real_distribution<double> dist (-0.5, 0.5);
		std::vector<double> burst (static_cast<size_t> (kRate * 0.05));
		for (double& s : burst)
			s = dist (gen);
		run (burst);
		return run (std::vector<double> (static_cast<size_t> (kRate * seconds)));
	}
};

double plainToValue (ParamID id, double plain)
{
	return plainToNormalized (kParamTable[id], plain);
}

// Seconds for a 60 dB decay, from the slope of the backward-integrated energy between
// -5 and -25 dB.
double t60 (const std::vector<double>& tail)
{
	std::vector<double> energy (tail.size () + 1, 0.0);
	for (size_t i = tail.size (); i-- > 0;)
		energy[i] = energy[i + 1] + tail[i] * tail[i];
	auto timeAt = [&] (double dB) {
		size_t i = 0;
		while (i < tail.size () && 10.0 * std::log10 (energy[i] / energy[0]) > dB)
			++i;
		return static_cast<double> (i) / kRate;
	};
	return 60.0 / 20.0 * (timeAt (-25.0) - timeAt (-5.0));
}

// Energy of the high band: the signal through a second difference (+12 dB per octave).
double highEnergy (const std::vector<double>& x, size_t from)
{
	double high = 0.0;
	for (size_t i = from; i < x.size (); ++i)
	{
		const double d = x[i] - 2.0 * x[i - 1] + x[i - 2];
		high += d * d;
	}
	return high;
}

} // namespace

TEST (EngineSound, FirstWetArrivalFollowsPredelay)
{
	std::vector<double> impulse (static_cast<size_t> (kRate * 0.6));
	impulse[0] = 0.5;
	double offset = 0.0;
	for (double ms : {5.0, 20.0, 80.0, 250.0})
	{
		Hall h ({{kMixId, 1.0}, {kPredelayId, plainToValue (kPredelayId, ms)}});
		const std::vector<double> out = h.run (impulse);
		size_t arrival = 0;
		while (arrival < out.size () && std::fabs (out[arrival]) < 1e-9)
			++arrival;
		ASSERT_LT (arrival, out.size ()) << ms;
		// The arrival moves with the pre-delay, sample for sample; the network adds the rest.
		const double rest = static_cast<double> (arrival) - ms * 0.001 * kRate;
		if (ms == 5.0)
			offset = rest;
		EXPECT_NEAR (rest, offset, 1.0) << ms;
		EXPECT_GT (rest, 0.0);
	}
}

TEST (EngineSound, DecayFollowsRvbTime)
{
	double previous = 0.0;
	for (double seconds : {0.6, 1.2, 2.4, 4.8, 8.0})
	{
		Hall h ({{kMixId, 1.0}, {kHFDampId, 0.0}, {kRvbTimeId, plainToValue (kRvbTimeId, seconds)}});
		const double measured = t60 (h.burstResponse (seconds * 1.5));
		EXPECT_GT (measured, previous) << seconds;
		EXPECT_GT (measured, 0.75 * seconds);
		EXPECT_LT (measured, 1.3 * seconds);
		previous = measured;
	}
}

TEST (EngineSound, DampingAndLowpassTakeOutTheHighs)
{
	const struct
	{
		ParamID id;
		double bright, dull;
	} table[] = {{kHFDampId, 0.0, 0.5}, {kHFDampId, 0.5, 1.0}, {kLPCutId, 1.0, 0.5}, {kLPCutId, 0.5, 0.0}};
	for (const auto& row : table)
	{
		Hall bright ({{kMixId, 1.0}, {kHFDampId, 0.0}, {kLPCutId, 1.0}, {row.id, row.bright}});
		Hall dull ({{kMixId, 1.0}, {kHFDampId, 0.0}, {kLPCutId, 1.0}, {row.id, row.dull}});
		// The tail from 0.2 s after the burst on.
		const auto from = static_cast<size_t> (kRate * 0.2);
		EXPECT_LT (highEnergy (dull.burstResponse (1.0), from), 0.5 * highEnergy (bright.burstResponse (1.0), from))
		    << row.id << ": " << row.bright << " to " << row.dull;
	}
}

TEST (EngineSound, MixZeroGivesTheDrySignalTimesTheLevel)
{
	for (double dB : {-36.0, -6.0, 0.0, 12.0})
	{
		Hall h ({{kMixId, 0.0}, {kLevelId, plainToValue (kLevelId, dB)}});
		std::vector<double> in (4096);
		std::mt19937 gen (3);
		std::uniform_real_distribution<double> dist (-1.0, 1.0);
		for (double& s : in)
			s = dist (gen);
		in[0] = 1.0;
		std::vector<double> l (in.size ()), r (in.size ());
		h.engine.process (in.data (), in.data (), l.data (), r.data (), static_cast<int32> (in.size ()));
		// One gain for every sample (1 + 1e-18 rounds to 1), and no wet signal at all.
		const double gain = l[0];
		EXPECT_NEAR (gain, std::pow (10.0, dB / 20.0), 1e-12 * gain) << dB;
		for (size_t i = 0; i < in.size (); ++i)
		{
			ASSERT_EQ (l[i], (in[i] + 1e-18) * gain) << i;
			ASSERT_EQ (r[i], l[i]) << i;
		}
	}
}
