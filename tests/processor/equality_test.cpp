// The processor against the per-sample reference engine: random input, random automation of
// all nine parameters at random offsets, random block sizes, state restores and activations.
// Every output sample must carry the same bytes. TOLVAR_EQUALITY_SAMPLES sets how many
// samples are compared in all (default: a short run for CI).
#include "testsupport.h"

#include "plugids.h"
#include "referencehall.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace tolvartest;

namespace {

// The processor with the signal path every x86-64 processor runs.
class BaselineProcessor : public PlugProcessor
{
public:
	BaselineProcessor () { hall.useBaselineKernels (true); }
};

// The processor's documented behaviour around the reference engine: a restored record and
// each queue's last point are applied at the start of the block; bypass copies.
struct ReferenceProcessor
{
	StateRecord record;
	ReferenceHall engine;

	void apply () { engine.setValues (record.values); }
	template <typename Sample>
	void process (const std::vector<std::vector<Sample>>& in, std::vector<std::vector<Sample>>& out, int32 n)
	{
		if (record.bypass)
			out = in;
		else
			engine.process (in[0].data (), in[1].data (), out[0].data (), out[1].data (), n);
	}
};

struct Script
{
	std::mt19937 gen;

	double uniform (double lo = 0.0, double hi = 1.0) { return std::uniform_real_distribution<double> (lo, hi) (gen); }
	bool chance (double p) { return uniform () < p; }
	int32 integer (int32 lo, int32 hi) { return std::uniform_int_distribution<int32> (lo, hi) (gen); }
	// Mostly plain values, some at the ends of the range, some a host should not send.
	double value ()
	{
		const double r = uniform ();
		return r < 0.06 ? 0.0 : r < 0.09 ? 1.0 : r < 0.1 ? (integer (0, 1) ? -0.25 : 1.5) : uniform ();
	}
	// Block sizes from 1 to 4096, spread over the orders of magnitude.
	int32 blockSize () { return std::min (4096, static_cast<int32> (std::exp2 (uniform (0.0, 12.0)))); }
	// Noise, or now and then silence.
	template <typename Sample>
	void fill (std::vector<std::vector<Sample>>& in, int32 n)
	{
		const bool silent = chance (0.1);
		for (auto& ch : in)
		{
			ch.resize (static_cast<size_t> (n));
			for (auto& s : ch)
				s = silent ? Sample (0) : static_cast<Sample> (uniform (-1.0, 1.0));
		}
	}
	// Queues for some of the nine parameters, with points at random offsets, and now and then
	// a queue a host should not send (unknown id, no points).
	std::vector<ParamQueue> queues (int32 n, double chanceEach)
	{
		std::vector<ParamQueue> q;
		for (ParamID id = 0; id < kNumParams; ++id)
		{
			if (!chance (chanceEach))
				continue;
			std::vector<std::pair<int32, ParamValue>> points (static_cast<size_t> (integer (1, 3)));
			for (auto& p : points)
				p = {integer (0, n - 1), id == kBypassId ? (chance (0.85) ? 0.0 : 1.0) : value ()};
			std::sort (points.begin (), points.end (), [] (const auto& a, const auto& b) { return a.first < b.first; });
			q.emplace_back (id, points);
		}
		if (chance (0.05))
			q.emplace_back (chance (0.5) ? kNumParams : kNoParamId, std::vector<std::pair<int32, ParamValue>> {{0, 0.5}});
		if (chance (0.05))
			q.emplace_back (static_cast<ParamID> (integer (0, kNumParams - 1)), std::vector<std::pair<int32, ParamValue>> {});
		return q;
	}
};

// Compares at least `samples` samples; counts the differing samples of the first block that
// differs, and stops there.
template <typename Sample>
int64 compareRun (PlugProcessor& fast, double rate, unsigned seed, int64 samples, int64& mismatches)
{
	startProcessor (fast, rate, sizeof (Sample) == 4 ? kSample32 : kSample64);
	ReferenceProcessor ref;
	std::copy (std::begin (kDefaults), std::end (kDefaults), ref.record.values);
	ref.apply ();
	ref.engine.prepare (rate);

	Script script {std::mt19937 (seed)};
	Block<Sample> block (2, 4096);
	std::vector<std::vector<Sample>> refOut (2, std::vector<Sample> (4096));
	int64 done = 0;
	bool busy = false;
	for (int64 blockIndex = 0; done < samples; ++blockIndex)
	{
		// Quiet stretches (smoothing settles) alternate with busy ones.
		busy = script.chance (0.02) ? !busy : busy;
		if (script.chance (0.004))
		{
			fast.setActive (false);
			fast.setActive (true);
			ref.engine.prepare (rate);
		}
		if (script.chance (busy ? 0.02 : 0.002))
		{
			ref.record.bypass = script.chance (0.1);
			for (int i = 0; i < 8; ++i)
				ref.record.values[i] = script.value ();
			ByteStream stream;
			writeStateRecord (ref.record, &stream);
			stream.pos = 0;
			EXPECT_EQ (fast.setState (&stream), kResultOk);
			ref.apply ();
		}

		const int32 n = script.blockSize ();
		std::vector<ParamQueue> queues = script.queues (n, busy ? 0.5 : 0.01);
		ParamChanges changes;
		for (ParamQueue& q : queues)
		{
			changes.queues.push_back (&q);
			if (q.id >= kNumParams || q.points.empty ())
				continue;
			const double v = q.points.back ().second;
			if (q.id == kBypassId)
				ref.record.bypass = v > 0.5;
			else
				ref.record.values[q.id - 1] = v;
			ref.apply ();
		}

		script.fill (block.in, n);
		block.frames = n;
		ProcessData data = block.data (&changes);
		EXPECT_EQ (fast.process (data), kResultOk);
		ref.process (block.in, refOut, n);
		for (int c = 0; c < 2; ++c)
		{
			int32 first = -1;
			for (int32 i = 0; i < n; ++i)
			{
				if (std::memcmp (block.output (c) + i, &refOut[static_cast<size_t> (c)][static_cast<size_t> (i)],
				                 sizeof (Sample)) == 0)
					continue;
				first = first < 0 ? i : first;
				++mismatches;
			}
			if (first >= 0)
			{
				const Sample expected = refOut[static_cast<size_t> (c)][static_cast<size_t> (first)];
				ADD_FAILURE () << "block " << blockIndex << " (" << n << " samples), channel " << c << ", sample "
				               << first << ": " << block.output (c)[first] << " != " << expected;
				return done;
			}
		}
		done += n;
	}
	fast.setActive (false);
	return done;
}

} // namespace

TEST (Equality, ProcessorMatchesReferenceBitForBit)
{
	// The usual rates, and odd ones: delays of a few samples, a pre-delay next to the line's
	// length, a low-pass corner just below Nyquist.
	const double rates[] = {22050.0, 44100.0, 48000.0, 96000.0, 100.0, 4001.0, 32000.5};
	const char* env = std::getenv ("TOLVAR_EQUALITY_SAMPLES");
	const int64 perRun = (env ? std::atoll (env) : 1600000) / (2 * 7 * 2);
	int64 compared = 0, mismatches = 0;
	unsigned seed = 1;
	for (bool baseline : {false, true})
	{
		for (double rate : rates)
		{
			for (int32 size : {kSample32, kSample64})
			{
				SCOPED_TRACE (testing::Message () << rate << " Hz, " << (size == kSample32 ? 32 : 64) << " bit, "
				                                  << (baseline ? "baseline" : "automatic") << " path");
				std::unique_ptr<PlugProcessor> fast (baseline ? new BaselineProcessor : new PlugProcessor);
				compared += size == kSample32 ? compareRun<float> (*fast, rate, seed, perRun, mismatches)
				                              : compareRun<double> (*fast, rate, seed, perRun, mismatches);
				++seed;
			}
		}
	}
	std::printf ("compared %lld stereo samples on both paths (AVX2 %s), mismatches: %lld\n",
	             static_cast<long long> (compared),
	             PlugProcessor ().engine ().usesAvx2Kernels () ? "present" : "absent", static_cast<long long> (mismatches));
	EXPECT_EQ (mismatches, 0);
}
