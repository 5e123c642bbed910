#pragma once

// Run loops drive the library's timers on the UI thread. Every frame carries its
// own (CFrame::getRunLoop); there is no process-wide one.

#include "vstguibase.h"
#include <vector>

namespace VSTGUI {

class ITimerTarget
{
public:
	virtual ~ITimerTarget () noexcept = default;
	virtual void onTimer () = 0;
};

// Told when a watched file descriptor (a window system's connection) is readable.
class IEventTarget
{
public:
	virtual ~IEventTarget () noexcept = default;
	virtual void onFDIsSet (int fd) = 0;
};

// Counted, so that a timer keeps the run loop it registered with alive. A run loop
// whose source has gone (a closed host window) must still accept unregisterTimer.
class IRunLoop : public CBaseObject
{
public:
	// Calls target->onTimer() every intervalMs until unregistered; returns a non-zero
	// id, or 0 when the timer could not be registered.
	virtual uint64 registerTimer (uint32 intervalMs, ITimerTarget* target) = 0;
	virtual void unregisterTimer (uint64 id) = 0;
	// Calls target->onFDIsSet whenever fd is readable, until unregistered; false when
	// the run loop watches no descriptors or refuses this one.
	virtual bool registerEventHandler (int /*fd*/, IEventTarget* /*target*/) { return false; }
	virtual void unregisterEventHandler (IEventTarget* /*target*/) {}
	// What watches the descriptors: run loops that front one host loop answer the same, and
	// one descriptor is registered with only one of them.
	virtual const void* getEventSource () const { return this; }
};

// Run loop with a virtual clock: timers fire only when advance() is called.
class ManualRunLoop : public IRunLoop
{
public:
	uint64 registerTimer (uint32 intervalMs, ITimerTarget* target) override;
	void unregisterTimer (uint64 id) override;

	// Moves the clock forward by ms, firing every timer that falls due, in time order
	// (timers due at the same moment fire in registration order).
	void advance (uint64 ms);
	uint64 now () const { return clock; }
	size_t numTimers () const { return timers.size (); }

private:
	struct Entry
	{
		uint64 id;
		uint32 interval;
		uint64 due;
		ITimerTarget* target;
	};
	std::vector<Entry> timers;
	uint64 clock {0};
	uint64 nextId {1};
};

} // namespace VSTGUI
