// Parameter changes from a host that lies: missing and empty queues, point counts that do not
// match, offsets outside the block, values that are no normalised values, unknown ids and
// thousands of queues in one block. Required code: kResultOk for every block. Queues without
// a usable value change nothing: the output stays bit for bit that of an instance given no
// queue. No queue or point outside the counts the host reported is asked for.
#include "hostile.h"

#include "plugids.h"

#include <cfloat>
#include <climits>
#include <functional>
#include <limits>

namespace hostile {
namespace {

// Reports the count it is told and answers any index below it with its one point; counts
// requests outside that count.
struct Queue : HostObject<IParamValueQueue>
{
	Queue (ParamID id, int32 count, int32 offset, double value) : id (id), count (count), offset (offset), value (value)
	{
	}
	ParamID PLUGIN_API getParameterId () override { return id; }
	int32 PLUGIN_API getPointCount () override { return count; }
	tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, ParamValue& v) override
	{
		if (index < 0 || index >= count)
			return ++stray, kResultFalse;
		sampleOffset = offset;
		v = value;
		return kResultOk;
	}
	tresult PLUGIN_API addPoint (int32, ParamValue, int32&) override { return kResultFalse; }

	ParamID id;
	int32 count, offset;
	double value;
	int stray = 0;
};

struct Changes : HostObject<IParameterChanges>
{
	int32 PLUGIN_API getParameterCount () override { return count; }
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) override
	{
		stray += index < 0 || index >= count;
		return index >= 0 && index < static_cast<int32> (queues.size ()) ? queues[index].get () : nullptr;
	}
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID&, int32&) override { return nullptr; }

	void add (ParamID id, int32 points, int32 offset, double value)
	{
		queues.emplace_back (new Queue (id, points, offset, value));
		count = static_cast<int32> (queues.size ());
	}
	int strayRequests () const
	{
		int n = stray;
		for (const auto& q : queues)
			n += q ? q->stray : 0;
		return n;
	}

	int32 count = 0;
	std::vector<Ref<Queue>> queues;
	int stray = 0;
};

const double kOddValues[] = {std::numeric_limits<double>::quiet_NaN (), -std::numeric_limits<double>::quiet_NaN (),
                             std::numeric_limits<double>::infinity (),  -std::numeric_limits<double>::infinity (),
                             -1.0, 2.0, DBL_MAX, -DBL_MAX, 4.9e-324, -0.0};
const int32 kOddOffsets[] = {-1, Block::kFrames, INT_MAX, INT_MIN};
const ParamID kUnknownIds[] = {kNumParams, 1000, 0x7FFFFFFF, 0x80000000, kNoParamId};

// Fills one queue per parameter from f.
std::function<void (Changes&, Rng&)> perParameter (std::function<void (Changes&, Rng&, ParamID)> f)
{
	return [=] (Changes& c, Rng& r) {
		for (ParamID id = 0; id < kNumParams; ++id)
			f (c, r, id);
	};
}

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
    {"queues/empty", true, perParameter ([] (Changes& c, Rng&, ParamID id) { c.add (id, 0, 0, 0.9); })},
    {"queues/negative-point-count", true,
     perParameter ([] (Changes& c, Rng& r, ParamID id) { c.add (id, r.range (0, 1) ? -1 : INT_MIN, 0, 0.9); })},
    {"queues/unknown-ids", true,
     [] (Changes& c, Rng& r) {
	     for (ParamID id : kUnknownIds)
		     c.add (id, 1, 0, r.real (0, 1));
     }},
    {"queues/huge-point-count", false,
     perParameter ([] (Changes& c, Rng& r, ParamID id) { c.add (id, INT_MAX, 0, r.real (0, 1)); })},
    {"queues/offsets-outside-block", false,
     perParameter ([] (Changes& c, Rng& r, ParamID id) { c.add (id, 1, r.pick (kOddOffsets), r.real (0, 1)); })},
    {"queues/odd-values", false,
     perParameter ([] (Changes& c, Rng& r, ParamID id) { c.add (id, 1, 0, r.pick (kOddValues)); })},
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
		for (int32 size : kSizes)
		{
			SCOPED_TRACE (describe (c.name, size));
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
				EXPECT_EQ (changes->strayRequests (), 0) << "asked for what the host did not report";
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
}

} // namespace
} // namespace hostile
