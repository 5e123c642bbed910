// State streams a broken host or a damaged project hands over: random, truncated and mutated
// records into the processor and the controller, each followed by activation at an odd rate
// and processing. Required codes: kResultOk for a stream of at least 140 bytes, kResultFalse
// for a shorter or missing one, kResultOk from getState, setupProcessing, setActive and
// process at rates from 1 Hz to 1.536 MHz.
#include "hostile.h"

#include "plugids.h"
#include "staterecord.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <iostream>

namespace hostile {
namespace {

constexpr size_t kRecordSize = StateRecord::kStreamSize;
constexpr size_t kBypassAt = 8, kValuesAt = 12, kFlagsAt = 124;

const uint64_t kSpecialDoubles[] = {
    0x7FF8000000000000, 0xFFF8000000000000, 0x7FF0000000000001, 0x7FF4DEADBEEF0001, // NaNs
    0x7FF0000000000000, 0xFFF0000000000000,                                         // ±inf
    0x0000000000000001, 0x800FFFFFFFFFFFFF, 0x0010000000000000,                     // subnormal, min
    0x7FEFFFFFFFFFFFFF, 0xFFEFFFFFFFFFFFFF, 0x7E37E43C8800759C,                     // huge
    0x0000000000000000, 0x8000000000000000, 0xBFF0000000000000, 0x4000000000000000, // 0, -0, -1, 2
    0x3FF0000000000000, 0x3FE0000000000000};                                        // 1, 0.5
const int32 kFlagWords[] = {INT_MIN, -2, -1, 0, 1, 2, 0x10000, INT_MAX};

// Little-endian fields, as on x86-64.
template <class T>
T field (const std::vector<uint8_t>& bytes, size_t at)
{
	T v;
	std::memcpy (&v, bytes.data () + at, sizeof v);
	return v;
}

template <class T>
void put (std::vector<uint8_t>& bytes, size_t at, T v)
{
	std::memcpy (bytes.data () + at, &v, sizeof v);
}

// A record from base, damaged in one of several ways; may be short, long or random.
std::vector<uint8_t> hostileRecord (Rng& rng, std::vector<uint8_t> bytes)
{
	switch (rng.range (0, 5))
	{
		case 0:
			bytes.resize (static_cast<size_t> (rng.range (0, 2 * kRecordSize)));
			for (auto& b : bytes)
				b = static_cast<uint8_t> (rng.bits ());
			return bytes;
		case 1:
			bytes.resize (static_cast<size_t> (rng.range (0, kRecordSize - 1)));
			return bytes;
		case 2:
			for (auto flips = rng.range (1, 8); flips > 0; --flips)
				bytes[static_cast<size_t> (rng.range (0, kRecordSize - 1))] ^= uint8_t (1u << rng.range (0, 7));
			return bytes;
		default:
			break;
	}
	for (auto n = rng.range (1, 6); n > 0; --n)
		put (bytes, kValuesAt + 8 * static_cast<size_t> (rng.range (0, StateRecord::kNumValues - 1)),
		     rng.pick (kSpecialDoubles));
	if (rng.range (0, 1))
	{
		put (bytes, 0, rng.bits ());
		for (size_t at : {kBypassAt, kFlagsAt, kFlagsAt + 4, kFlagsAt + 8, kFlagsAt + 12})
			put (bytes, at, rng.pick (kFlagWords));
	}
	if (rng.range (0, 3) == 0)
		bytes.resize (kRecordSize + static_cast<size_t> (rng.range (1, 64)), 0xA5);
	return bytes;
}

// What getState writes after reading bytes: the leading word 0, words as 1 or 0, doubles as read.
std::vector<uint8_t> canonical (std::vector<uint8_t> bytes)
{
	bytes.resize (kRecordSize);
	put (bytes, 0, int64_t {0});
	for (size_t at : {kBypassAt, kFlagsAt, kFlagsAt + 4, kFlagsAt + 8, kFlagsAt + 12})
		put (bytes, at, int32 {field<int32> (bytes, at) > 0});
	return bytes;
}

std::vector<double> controllerValues (IEditController* controller)
{
	std::vector<double> v;
	for (ParamID id = 0; id < kNumParams; ++id)
		v.push_back (controller->getParamNormalized (id));
	return v;
}

// What the controller shows for an accepted record: bypass 1 or 0, values clamped, NaN as 0.
std::vector<double> shownValues (const std::vector<uint8_t>& bytes)
{
	std::vector<double> v {field<int32> (bytes, kBypassAt) > 0 ? 1.0 : 0.0};
	for (size_t i = 0; i + 1 < kNumParams; ++i)
	{
		const double x = field<double> (bytes, kValuesAt + 8 * i);
		v.push_back (std::isnan (x) ? 0.0 : std::fmin (std::fmax (x, 0.0), 1.0));
	}
	return v;
}

TEST (HostileState, DamagedRecordsIntoProcessorAndController)
{
	HOSTILE_TRACE_SEED ();
	const double kRates[] = {1.0, 3.5, 61.0, 999.9, 2205.0, 4000.0, 7919.0, 11025.0};
	const double kRareRates[] = {22050.0, 44100.0, 48000.0, 96000.0, 192000.0, 1536000.0};
	const int64_t streams = scaled (400, 1000000);

	Instance p (true);
	const std::vector<uint8_t> fresh = p.state ();
	ASSERT_EQ (fresh.size (), kRecordSize);
	Rng rng (baseSeed ());
	int64_t accepted = 0, blocks = 0;
	for (int64_t s = 0; s < streams && !HasFailure (); ++s)
	{
		SCOPED_TRACE ("stream " + std::to_string (s));
		const std::vector<uint8_t> bytes = hostileRecord (rng, fresh);
		const bool missing = rng.range (0, 63) == 0;
		const bool takes = !missing && bytes.size () >= kRecordSize;
		const tresult code = takes ? kResultOk : kResultFalse;
		accepted += takes;
		const int32 sampleSize = rng.range (0, 1) ? kSample64 : kSample32;
		const double rate = s % 997 == 0 ? rng.pick (kRareRates) : rng.pick (kRates);
		SCOPED_TRACE ("rate " + std::to_string (rate) + (sampleSize == kSample64 ? ", 64 bit" : ", 32 bit"));
		// Hosts load presets while playing as well as while stopped.
		const bool whileActive = rng.range (0, 1);
		if (whileActive)
			p.start (sampleSize, rate);

		const std::vector<uint8_t> before = p.state ();
		const std::vector<double> shownBefore = controllerValues (p.controller.get ());
		Ref<HostStream> stream (new HostStream (bytes));
		ASSERT_EQ (p.component->setState (missing ? nullptr : stream.get ()), code);
		ASSERT_TRUE (sameBytes (p.state (), takes ? canonical (bytes) : before));
		stream->rewind ();
		ASSERT_EQ (p.controller->setComponentState (missing ? nullptr : stream.get ()), code);
		ASSERT_EQ (controllerValues (p.controller.get ()), takes ? shownValues (bytes) : shownBefore);

		if (!whileActive)
			p.start (sampleSize, rate);
		Block block (sampleSize);
		for (auto k = rng.range (1, 3); k > 0; --k, ++blocks)
		{
			const auto n = static_cast<int32> (rng.range (1, Block::kFrames));
			block.noise (rng);
			ASSERT_EQ (block.process (p.processor.get (), n), kResultOk);
			ASSERT_TRUE (block.good (n));
		}
		ASSERT_EQ (p.component->setActive (false), kResultOk);
	}
	std::cout << "streams " << streams << " (" << accepted << " accepted), blocks " << blocks << "\n";
}

} // namespace
} // namespace hostile
