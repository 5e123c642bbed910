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
#include <limits>
#include <memory>

using namespace tolvartest;

namespace {

// The processor with the signal path every x86-64 processor runs.
class BaselineProcessor : public PlugProcessor
{
public:
	BaselineProcessor () { hall.useBaselineKernels (true); }
};

// The processor's documented behaviour, driving the reference engine.
class ReferenceProcessor
{
public:
	StateRecord record;
	ReferenceHall engine;

	ReferenceProcessor ()
	{
		for (int i = 0; i < 8; ++i)
			record.values[i] = kDefaults[i];
		engine.setValues (record.values);
	}
	void setState (const StateRecord& r)
	{
		record = r;
		engine.setValues (record.values);
	}
	void setActive (bool on, double rate)
	{
		if (on)
			engine.prepare (rate);
		else
			engine.release ();
	}
	void change (ParamID id, double value)
	{
		if (id == kBypassId)
			record.bypass = value > 0.5;
		else
			record.values[id - 1] = value;
		engine.setValues (record.values);
	}
	template <typename Sample>
	void process (const std::vector<std::vector<Sample>>& in, std::vector<std::vector<Sample>>& out, int32 n)
	{
		if (record.bypass)
			out = in;
		else
			engine.process (in[0].data (), in[1].data (), out[0].data (), out[1].data (), n);
	}
};

class Script
{
public:
	explicit Script (unsigned seed) : gen (seed) {}

	double uniform (double lo = 0.0, double hi = 1.0) { return std::uniform_real_distribution<double> (lo, hi) (gen); }
	bool chance (double p) { return uniform () < p; }
	int32 integer (int32 lo, int32 hi) { return std::uniform_int_distribution<int32> (lo, hi) (gen); }

	// Mostly plain values, some at the ends of the range, some a host should not send.
	double value ()
	{
		const double r = uniform ();
		if (r < 0.06)
			return 0.0;
		if (r < 0.09)
			return 1.0;
		if (r < 0.1)
			return integer (0, 1) ? -0.25 : 1.5;
		return uniform ();
	}
	// Block sizes from 1 to 4096, spread over the orders of magnitude.
	int32 blockSize () { return std::min (4096, static_cast<int32> (std::exp2 (uniform (0.0, 12.0)))); }

	template <typename Sample>
	void fill (std::vector<std::vector<Sample>>& in, int32 n)
	{
		const int kind = integer (0, 9);
		for (auto& ch : in)
		{
			ch.assign (static_cast<size_t> (n), Sample (0));
			if (kind == 0)
				continue; // silence
			for (auto& s : ch)
				s = static_cast<Sample> (uniform (-1.0, 1.0));
		}
	}

	std::mt19937 gen;
};

struct Config
{
	double rate;
	int32 sampleSize;
};

int64 totalLength (int64 fallback)
{
	const char* env = std::getenv ("TOLVAR_EQUALITY_SAMPLES");
	return env ? std::atoll (env) : fallback;
}

template <typename Sample>
int64 compareRun (PlugProcessor& fast, double rate, unsigned seed, int64 samples)
{
	const int32 size = sizeof (Sample) == 4 ? kSample32 : kSample64;
	ReferenceProcessor ref;
	fast.initialize (nullptr);
	ProcessSetup setup {kRealtime, size, 4096, rate};
	fast.setupProcessing (setup);
	fast.setActive (true);
	ref.setActive (true, rate);

	Script script (seed);
	Block<Sample> block (2, 4096);
	std::vector<std::vector<Sample>> refOut (2, std::vector<Sample> (4096));
	int64 done = 0;
	bool busy = false;
	for (int64 blockIndex = 0; done < samples; ++blockIndex)
	{
		// Quiet stretches (smoothing settles) alternate with busy ones.
		if (script.chance (0.02))
			busy = !busy;

		if (script.chance (0.004))
		{
			fast.setActive (false);
			ref.setActive (false, rate);
			fast.setActive (true);
			ref.setActive (true, rate);
		}
		if (script.chance (busy ? 0.02 : 0.002))
		{
			StateRecord r;
			r.bypass = script.chance (0.1);
			for (int i = 0; i < 8; ++i)
				r.values[i] = script.value ();
			ByteStream stream;
			writeStateRecord (r, &stream);
			stream.pos = 0;
			EXPECT_EQ (fast.setState (&stream), kResultOk);
			ref.setState (r);
		}

		const int32 n = script.blockSize ();
		std::vector<ParamQueue> queues;
		queues.reserve (kNumParams);
		const double queueChance = busy ? 0.5 : 0.01;
		for (ParamID id = 0; id < kNumParams; ++id)
		{
			if (!script.chance (queueChance))
				continue;
			std::vector<std::pair<int32, ParamValue>> points;
			const int32 count = script.integer (1, 3);
			for (int32 p = 0; p < count; ++p)
			{
				const double v = id == kBypassId ? (script.chance (0.85) ? 0.0 : 1.0) : script.value ();
				points.push_back ({script.integer (0, n - 1), v});
			}
			std::sort (points.begin (), points.end (),
			           [] (const auto& a, const auto& b) { return a.first < b.first; });
			queues.emplace_back (id, points);
		}
		// Queues a host should not send, which change nothing.
		if (script.chance (0.05))
			queues.emplace_back (script.chance (0.5) ? kNumParams : kNoParamId,
			                     std::vector<std::pair<int32, ParamValue>> {{0, 0.5}});
		if (script.chance (0.05))
			queues.emplace_back (static_cast<ParamID> (script.integer (0, kNumParams - 1)),
			                     std::vector<std::pair<int32, ParamValue>> {});
		ParamChanges changes;
		for (ParamQueue& q : queues)
		{
			changes.queues.push_back (&q);
			if (q.id < kNumParams && !q.points.empty ())
				ref.change (q.id, q.points.back ().second);
		}

		script.fill (block.in, n);
		block.frames = n;
		ProcessData data = block.data (&changes);
		EXPECT_EQ (fast.process (data), kResultOk);
		ref.process (block.in, refOut, n);

		for (int c = 0; c < 2; ++c)
		{
			const Sample* a = block.output (c);
			const Sample* b = refOut[static_cast<size_t> (c)].data ();
			if (std::memcmp (a, b, sizeof (Sample) * static_cast<size_t> (n)) != 0)
			{
				int32 i = 0;
				while (std::memcmp (a + i, b + i, sizeof (Sample)) == 0)
					++i;
				ADD_FAILURE () << "rate " << rate << ", " << 8 * sizeof (Sample) << " bit, block " << blockIndex
				               << " (" << n << " samples), channel " << c << ", sample " << i << ": " << a[i]
				               << " != " << b[i];
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
	const double rates[] = {22050.0, 44100.0, 48000.0, 96000.0};
	const int64 perRun = totalLength (1600000) / (2 * 4 * 2);
	int64 compared = 0;
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
				compared += size == kSample32 ? compareRun<float> (*fast, rate, seed, perRun)
				                              : compareRun<double> (*fast, rate, seed, perRun);
				++seed;
			}
		}
	}
	std::printf ("compared %lld stereo samples, %s path available\n", static_cast<long long> (compared),
	             PlugProcessor ().engine ().usesAvx2Kernels () ? "AVX2" : "no AVX2");
}
