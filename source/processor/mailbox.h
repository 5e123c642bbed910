#pragma once

#include <atomic>
#include <cstdint>

namespace tolvar {

// Hands the latest value from one thread to another: the writer never waits and the reader
// never waits, and neither takes a lock. Three slots: one the writer fills, one the reader
// holds, one in between that they exchange atomically. One writer and one reader at a time.
template <typename T>
class Mailbox
{
public:
	explicit Mailbox (const T& initial) : slots {initial, initial, initial} {}

	void post (const T& value)
	{
		slots[writerSlot] = value;
		writerSlot = shared.exchange (static_cast<uint8_t> (writerSlot | kFresh), std::memory_order_acq_rel) & kSlotMask;
	}

	// Takes the value posted last, if one came since the previous fetch; true if so.
	bool fetch ()
	{
		if (!(shared.load (std::memory_order_relaxed) & kFresh))
			return false;
		readerSlot = shared.exchange (readerSlot, std::memory_order_acq_rel) & kSlotMask;
		return true;
	}

	// The value taken by the last successful fetch (the initial one before that).
	const T& value () const { return slots[readerSlot]; }

private:
	static constexpr uint8_t kSlotMask = 3;
	static constexpr uint8_t kFresh = 4;

	T slots[3];
	std::atomic<uint8_t> shared {1};
	uint8_t writerSlot = 0;
	uint8_t readerSlot = 2;
};

} // namespace tolvar
