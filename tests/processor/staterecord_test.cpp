#include "testsupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tolvartest;

namespace {

// A 140-byte image with the given leading word, bypass word, doubles and flag words.
std::vector<uint8> image (int64 lead, int32 bypass, const double (&values)[14], const int32 (&flags)[4])
{
	std::vector<uint8> b (140);
	std::memcpy (b.data (), &lead, 8);
	std::memcpy (b.data () + 8, &bypass, 4);
	std::memcpy (b.data () + 12, values, 112);
	std::memcpy (b.data () + 124, flags, 16);
	return b;
}

StateRecord marked ()
{
	StateRecord r;
	r.bypass = true;
	for (int i = 0; i < 14; ++i)
		r.values[i] = 100.0 + i;
	r.flags[2] = true;
	return r;
}

bool same (const StateRecord& a, const StateRecord& b)
{
	return a.bypass == b.bypass && std::memcmp (a.values, b.values, sizeof a.values) == 0 &&
	       std::memcmp (a.flags, b.flags, sizeof a.flags) == 0;
}

} // namespace

TEST (StateRecord, FreshProcessorWritesDefaultLayout)
{
	PlugProcessor p;
	ByteStream s;
	ASSERT_EQ (p.getState (&s), kResultOk);
	ASSERT_EQ (s.bytes.size (), 140u);

	for (int i = 0; i < 12; ++i)
		EXPECT_EQ (s.bytes[static_cast<size_t> (i)], 0) << "byte " << i;
	const uint8 first[8] = {0, 0, 0, 0, 0, 0, 0xE8, 0x3F};
	EXPECT_EQ (std::memcmp (s.bytes.data () + 12, first, 8), 0);
	for (int i = 0; i < 14; ++i)
	{
		double v;
		std::memcpy (&v, s.bytes.data () + 12 + 8 * i, 8);
		EXPECT_EQ (v, i < 8 ? kDefaults[i] : 0.0) << "value " << i;
	}
	for (int i = 124; i < 140; ++i)
		EXPECT_EQ (s.bytes[static_cast<size_t> (i)], 0) << "byte " << i;
}

TEST (StateRecord, ReadIsAllOrNothing)
{
	const double values[14] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 9, 10, 11, 12, 13, 14};
	const int32 flags[4] = {1, 0, 1, 0};
	std::vector<uint8> full = image (0, 1, values, flags);

	// Every truncation, including empty, fails and leaves the record alone.
	for (size_t len : {size_t (0), size_t (7), size_t (8), size_t (11), size_t (12), size_t (100), size_t (139)})
	{
		ByteStream s (std::vector<uint8> (full.begin (), full.begin () + static_cast<long> (len)));
		StateRecord r = marked ();
		EXPECT_EQ (readStateRecord (r, &s), kResultFalse) << len;
		EXPECT_TRUE (same (r, marked ())) << len;
	}

	StateRecord r = marked ();
	EXPECT_EQ (readStateRecord (r, nullptr), kResultFalse);
	EXPECT_TRUE (same (r, marked ()));
	EXPECT_EQ (writeStateRecord (r, nullptr), kResultFalse);

	// A longer stream is read for its first 140 bytes only.
	std::vector<uint8> longer = full;
	longer.resize (200, 0xAB);
	ByteStream s (longer);
	ASSERT_EQ (readStateRecord (r, &s), kResultOk);
	EXPECT_EQ (s.pos, 140);
	EXPECT_TRUE (r.bypass);
	for (int i = 0; i < 14; ++i)
		EXPECT_EQ (r.values[i], values[i]);
	EXPECT_TRUE (r.flags[0]);
	EXPECT_FALSE (r.flags[1]);
	EXPECT_TRUE (r.flags[2]);
	EXPECT_FALSE (r.flags[3]);
}

TEST (StateRecord, FlagWordsAndOddValuesRoundTrip)
{
	const double inf = std::numeric_limits<double>::infinity ();
	const double values[14] = {-1.5, 2.0, inf, -inf, std::nan (""), 1e300, -0.0, 0.5, 1, 2, 3, 4, 5, 6};
	struct Case
	{
		int32 word;
		bool on;
	} cases[] = {{2, true}, {2147483647, true}, {1, true}, {0, false}, {-1, false}, {-2147483647 - 1, false}};

	for (const Case& c : cases)
	{
		const int32 flags[4] = {c.word, 0, c.word, -7};
		ByteStream in (image (0x1122334455667788LL, c.word, values, flags));
		StateRecord r;
		ASSERT_EQ (readStateRecord (r, &in), kResultOk);
		EXPECT_EQ (r.bypass, c.on) << c.word;
		EXPECT_EQ (r.flags[0], c.on);
		EXPECT_FALSE (r.flags[1]);
		EXPECT_EQ (r.flags[2], c.on);
		EXPECT_FALSE (r.flags[3]);

		ByteStream out;
		ASSERT_EQ (writeStateRecord (r, &out), kResultOk);
		ASSERT_EQ (out.bytes.size (), 140u);
		const int32 expectFlags[4] = {c.on ? 1 : 0, 0, c.on ? 1 : 0, 0};
		// Leading word always zero, doubles bit for bit (NaN payload included).
		EXPECT_EQ (out.bytes, image (0, c.on ? 1 : 0, values, expectFlags)) << c.word;
	}
}

TEST (StateRecord, WriteStopsAtFirstRefusedItem)
{
	StateRecord r = marked ();

	ByteStream none;
	none.writeLimit = 0;
	EXPECT_EQ (writeStateRecord (r, &none), kResultFalse);
	EXPECT_TRUE (none.bytes.empty ());

	// Room for the leading word, the bypass word and 3.5 doubles: the fourth double is cut.
	ByteStream part;
	part.writeLimit = 8 + 4 + 28;
	EXPECT_EQ (writeStateRecord (r, &part), kResultFalse);
	EXPECT_EQ (part.bytes.size (), 40u);
	double v;
	std::memcpy (&v, part.bytes.data () + 28, 8);
	EXPECT_EQ (v, 102.0);

	ByteStream last;
	last.writeLimit = 139;
	EXPECT_EQ (writeStateRecord (r, &last), kResultFalse);
}

TEST (StateRecord, ProcessorSetStateKeepsRecordOnFailure)
{
	PlugProcessor p;
	p.initialize (nullptr);
	const double v[8] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8};
	ByteStream good = stateWith (v, true);
	ASSERT_EQ (p.setState (&good), kResultOk);
	EXPECT_TRUE (p.stateRecord ().bypass);
	EXPECT_EQ (p.stateRecord ().values[7], 0.8);

	ByteStream shortStream (std::vector<uint8> (good.bytes.begin (), good.bytes.begin () + 139));
	EXPECT_EQ (p.setState (&shortStream), kResultFalse);
	EXPECT_EQ (p.setState (nullptr), kResultFalse);
	EXPECT_TRUE (p.stateRecord ().bypass);
	EXPECT_EQ (p.stateRecord ().values[0], 0.1);

	ByteStream out;
	ASSERT_EQ (p.getState (&out), kResultOk);
	EXPECT_EQ (out.bytes, good.bytes);
}
