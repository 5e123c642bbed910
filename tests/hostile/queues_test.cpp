// Parameter changes from a host that lies: missing and empty queues, point counts that do not
// match, offsets outside the block, values that are no normalised values, unknown ids and
// thousands of queues in one block. Required code: kResultOk for every block. Queues that
// carry no usable value change nothing: the output stays bit for bit that of an instance
// given no queue. No point or queue outside the counts the host reported is asked for.
#include "hostile.h"

#include "plugids.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>

namespace hostile {
namespace {

// Reports the point count it is told and answers any index below it with its last point;
// counts requests for indexes outside what it reported.
class Queue : public HostObject<IParamValueQueue>
{
public:
	Queue (ParamID id, int32 count, int32 offset, double value)
	: id (id), count (count), offset (offset), value (value)
	{
	}
	ParamID PLUGIN_API getParameterId () override { return id; }
	int32 PLUGIN_API getPointCount () override { return count; }
	tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, ParamValue& v) override
	{
		if (index < 0 || index >= count)
		{
			++strayRequests;
			return kResultFalse;
		}
		sampleOffset = offset;
		v = value;
		return kResultOk;
	}
	tresult PLUGIN_API addPoint (int32, ParamValue, int32&) override { return kResultFalse; }

	ParamID id;
	int32 count, offset;
	double value;
	int strayRequests = 0;
};

class Changes : public HostObject<IParameterChanges>
{
public:
	int32 PLUGIN_API getParameterCount () override { return count; }
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) override
	{
		if (index < 0 || index >= count)
			++strayRequests;
		return index >= 0 && index < static_cast<int32> (queues.size ()) ? queues[index].get () : nullptr;
	}
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID&, int32&) override { return nullptr; }

	void add (ParamID id, int32 points, int32 offset, double value)
	{
		queues.emplace_back (new Queue (id, points, offset, value));
		count = static_cast<int32> (queues.size ());
	}
	int stray () const
	{
		int n = strayRequests;
		for (const auto& q : queues)
			n += q ? q->strayRequests : 0;
		return n;
	}

	int32 count = 0;
	std::vector<Ref<Queue>> queues;
	int strayRequests = 0;
};

const double kOddValues[] = {std::numeric_limits<double>::quiet_NaN (),
                             -std::numeric_limits<double>::quiet_NaN (),
                             std::numeric_limits<double>::infinity (),
                             -std::numeric_limits<double>::infinity (),
                             -1.0,
                             2.0,
                             DBL_MAX,
                             -DBL_MAX,
                             4.9e-324,
                             -0.0};
const int32 kOddOffsets[] = {-1, Block::kFrames, INT_MAX, INT_MIN};
const ParamID kUnknownIds[] = {kNumParams, 1000, 0x7FFFFFFF, 0x80000000, kNoParamId};

struct QueueCase
{
	const char* name;
	bool neutral; // must change nothing
	std::function<void (Changes&, Rng&)> fill;
};

const QueueCase kCases[] = {
    {"queues/none", true, [] (Changes&, Rng&) {}},
    {"queues/negative-count", true, [] (Changes& c, Rng& r) { c.count = r.range (0, 1) ? -1 : INT_MIN; }},
    {"queues/count-beyond-queues", true, [] (Changes& c, Rng&) { c.count = 1000; }},
    {"queues/null-queues", true, [] (Changes& c, Rng&) { c.queues.resize (8), c.count = 8; }},
    {"queues/empty", true,
     [] (Changes& c, Rng&) {
	     for (ParamID id = 0; id < kNumParams; ++id)
		     c.add (id, 0, 0, 0.9);
     }},
    {"queues/negative-point-count", true,
     [] (Changes& c, Rng& r) {
	     for (ParamID id = 0; id < kNumParams; ++id)
		     c.add (id, r.range (0, 1) ? -1 : INT_MIN, 0, 0.9);
     }},
    {"queues/unknown-ids", true,
     [] (Changes& c, Rng& r) {
	     for (ParamID id : kUnknownIds)
		     c.add (id, 1, 0, r.real (0, 1));
     }},
    {"queues/huge-point-count", false,
     [] (Changes& c, Rng& r) {
	     for (ParamID id = 0; id < kNumParams; ++id)
		     c.add (id, INT_MAX, 0, r.real (0, 1));
     }},
    {"queues/offsets-outside-block", false,
     [] (Changes& c, Rng& r) {
	     for (ParamID id = 0; id < kNumParams; ++id)
		     c.add (id, 1, r.pick (kOddOffsets), r.real (0, 1));
     }},
    {"queues/odd-values", false,
     [] (Changes& c, Rng& r) {
	     for (ParamID id = 0; id < kNumParams; ++id)
		     c.add (id, 1, 0, r.pick (kOddValues));
     }},
    {"queues/thousands", false,
     [] (Changes& c, Rng& r) {
	     for (int k = 0; k < 5000; ++k)
		     c.add (r.range (0, 3) ? static_cast<ParamID> (r.range (0, kNumParams - 1)) : r.pick (kUnknownIds),
		            static_cast<int32> (r.range (1, 3)), static_cast<int32> (r.range (-2, Block::kFrames + 2)),
		            r.range (0, 1) ? r.real (0, 1) : r.pick (kOddValues));
     }},
};

TEST (HostileQueues, LyingParameterChanges)
{
	HOSTILE_TRACE_SEED ();
	const int blocks = static_cast<int> (scaled (6, 2000));
	for (const QueueCase& c : kCases)
	{
		if (awaitingEngineFix (c.name))
			continue;
		for (int32 size : {kSample32, kSample64})
		{
			SCOPED_TRACE (std::string (c.name) + (size == kSample64 ? ", 64 bit" : ", 32 bit"));
			Instance p, reference;
			p.start (size, 8000.0);
			reference.start (size, 8000.0);
			Block block (size), plain (size);
			for (int k = 0; k < blocks && !HasFailure (); ++k)
			{
				SCOPED_TRACE ("block " + std::to_string (k));
				Rng rng (baseSeed () + static_cast<uint64_t> (k)), same (baseSeed () + static_cast<uint64_t> (k));
				const auto n = static_cast<int32> (rng.range (1, Block::kFrames));
				block.noise (rng);
				Ref<Changes> changes (new Changes);
				c.fill (*changes.get (), rng);
				ASSERT_EQ (block.process (p.processor.get (), n, changes.get ()), kResultOk);
				EXPECT_TRUE (block.good (n));
				EXPECT_EQ (changes->stray (), 0) << "asked for points or queues the host did not report";
				if (c.neutral)
				{
					same.range (1, Block::kFrames);
					plain.noise (same);
					ASSERT_EQ (plain.process (reference.processor.get (), n), kResultOk);
					EXPECT_TRUE (sameBytes (block.outputBytes (n), plain.outputBytes (n)));
				}
			}
			if (c.neutral)
			{
				EXPECT_TRUE (sameBytes (p.state (), reference.state ()));
			}
		}
	}
	// No changes object at all.
	Instance p;
	p.start (kSample32, 8000.0);
	Block block (kSample32);
	EXPECT_EQ (block.process (p.processor.get (), Block::kFrames, nullptr), kResultOk);
	EXPECT_TRUE (block.good (Block::kFrames));
}

} // namespace
} // namespace hostile
