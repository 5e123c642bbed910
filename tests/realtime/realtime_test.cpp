// process() of the built bundle, driven as a host's audio thread drives it, makes no
// allocation, lock or sleep; and the trap that watches it does catch such calls.
#include "rttrap.h"

#include "module.h"
#include "plugcids.h"
#include "plugids.h"
#include "plugin.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <random>
#include <vector>

namespace rttrap {
std::ostream& operator<< (std::ostream& os, const Counts& c)
{
	return os << c.allocations << " allocations, " << c.deallocations << " deallocations, " << c.locks
	          << " locks, " << c.sleeps << " sleeps";
}
} // namespace rttrap

namespace {

using namespace tolvarhost;
using namespace Steinberg;
using namespace Steinberg::Vst;

// Keeps the compiler from dropping an allocation it can see through.
void* volatile sink;
struct alignas (64) Aligned
{
	double lanes[8];
};

TEST (RealtimeTrap, CountsCallsInsideTheWindowOnly)
{
	std::string error;
	auto module = Module::load (TOLVAR_TEST_BUNDLE, error);
	ASSERT_TRUE (module) << error;
	TUID cid;
	kProcessorClassId.toTUID (cid);

	struct Probe
	{
		const char* name;
		std::function<void ()> call;
		rttrap::Counts atLeast;
	};
	const rttrap::Counts memory {1, 1, 0, 0}, lock {0, 0, 1, 0}, sleep {0, 0, 0, 1};
	std::mutex mutex;
	pthread_rwlock_t rwlock = PTHREAD_RWLOCK_INITIALIZER;
	const timespec zero {0, 0};
	const Probe probes[] = {
	    {"malloc", [] { sink = std::malloc (24); std::free (sink); }, memory},
	    {"calloc", [] { sink = std::calloc (3, 8); std::free (sink); }, memory},
	    {"realloc", [] { sink = std::realloc (nullptr, 8); sink = std::realloc (sink, 4096); std::free (sink); },
	     memory},
	    {"new", [] { sink = new std::vector<double> (64); delete static_cast<std::vector<double>*> (sink); },
	     memory},
	    {"aligned new", [] { sink = new Aligned; delete static_cast<Aligned*> (sink); }, memory},
	    {"posix_memalign",
	     [] { void* p = nullptr; (void)posix_memalign (&p, 64, 256); sink = p; std::free (sink); }, memory},
	    {"new in the module", [&] { module->create<IComponent> (cid); }, memory},
	    {"std::mutex", [&] { std::lock_guard<std::mutex> guard (mutex); }, lock},
	    {"rwlock", [&] { pthread_rwlock_rdlock (&rwlock); pthread_rwlock_unlock (&rwlock); }, lock},
	    {"nanosleep", [&] { nanosleep (&zero, nullptr); }, sleep},
	    {"usleep", [] { usleep (0); }, sleep},
	};
	for (const auto& p : probes)
	{
		rttrap::arm ();
		p.call ();
		const rttrap::Counts c = rttrap::disarm ();
		EXPECT_TRUE (c.allocations >= p.atLeast.allocations && c.deallocations >= p.atLeast.deallocations &&
		             c.locks >= p.atLeast.locks && c.sleeps >= p.atLeast.sleeps)
		    << p.name << ": " << c;
	}

	// After disarm nothing counts.
	rttrap::arm ();
	rttrap::disarm ();
	sink = std::malloc (8);
	std::free (sink);
	EXPECT_EQ (rttrap::disarm ().total (), 0);
}

// A block size and the parameter changes it carries, all made before processing starts.
struct PlannedBlock
{
	int32 samples;
	Ref<ParameterChanges> changes; // null: a block without changes
};

// Every parameter changes in most blocks (one to three points at random offsets), bypass
// toggles every few blocks, block sizes vary from 1 to the maximum.
std::vector<PlannedBlock> planBlocks (int32 maxBlock, int count)
{
	std::mt19937 rng (20240611);
	std::uniform_real_distribution<double> value (0., 1.);
	std::vector<PlannedBlock> plan;
	for (int k = 0; k < count; ++k)
	{
		PlannedBlock b;
		b.samples = k % 9 == 0 ? 1 : std::uniform_int_distribution<int32> (1, maxBlock) (rng);
		if (k % 7 != 6)
		{
			b.changes = Ref<ParameterChanges> (new ParameterChanges);
			for (ParamID id = 0; id < kNumParams; ++id)
			{
				int32 index = 0;
				IParamValueQueue* q = b.changes->addParameterData (id, index);
				const int points = 1 + static_cast<int> (rng () % 3);
				for (int i = 0; i < points; ++i)
				{
					const int32 offset = std::uniform_int_distribution<int32> (0, b.samples - 1) (rng);
					const double v = id == kBypassId ? ((k / 5) % 2 ? 1. : 0.) : value (rng);
					q->addPoint (offset, v, index);
				}
			}
		}
		plan.push_back (std::move (b));
	}
	return plan;
}

TEST (RealtimeProcess, NoAllocationLockOrSleepInProcess)
{
	constexpr int32 kMaxBlock = 512;
	const auto plan = planBlocks (kMaxBlock, 400);
	for (int32 sampleSize : {kSample32, kSample64})
	{
		SCOPED_TRACE (sampleSize == kSample32 ? "32 bit" : "64 bit");
		std::string error;
		auto module = Module::load (TOLVAR_TEST_BUNDLE, error);
		ASSERT_TRUE (module) << error;
		auto plugin = PluginInstance::create (*module, error);
		ASSERT_TRUE (plugin) << error;
		ASSERT_TRUE (plugin->start (48000., kMaxBlock, sampleSize, error)) << error;

		AudioBlock block (kMaxBlock, sampleSize);
		std::mt19937 rng (7);
		std::uniform_real_distribution<double> noise (-0.5, 0.5);
		const bool wide = sampleSize == kSample64;
		for (int c = 0; c < 2; ++c)
			for (int32 i = 0; i < kMaxBlock; ++i)
			{
				const double x = noise (rng);
				if (wide)
					block.in64[c][i] = x;
				else
					block.in32[c][i] = static_cast<float> (x);
			}

		rttrap::Counts inProcess;
		double energy = 0.;
		for (const auto& b : plan)
		{
			rttrap::arm ();
			const tresult r = block.process (plugin->processor (), b.samples, b.changes.get ());
			inProcess += rttrap::disarm ();
			ASSERT_EQ (r, kResultOk);
			for (int c = 0; c < 2; ++c)
				for (int32 i = 0; i < b.samples; ++i)
					energy += std::pow (wide ? block.out64[c][i] : block.out32[c][i], 2);
		}
		EXPECT_EQ (inProcess.total (), 0) << "process made " << inProcess;
		EXPECT_GT (energy, 0.) << "process produced no output";
		EXPECT_TRUE (std::isfinite (energy));
		EXPECT_LT (plugin->processor ()->getTailSamples (), kInfiniteTail);
		plugin->stop ();
	}
}

} // namespace
