#pragma once

// Run loop that drives the library's timers on the UI thread.

#include "vstguibase.h"
#include <vector>

namespace VSTGUI {

class ITimerTarget
{
public:
	virtual ~ITimerTarget () noexcept = default;
	virtual void onTimer () = 0;
};

class IRunLoop
{
public:
	virtual ~IRunLoop () noexcept = default;
	// Calls target->onTimer() every intervalMs until unregistered; returns a non-zero id.
	virtual uint64 registerTimer (uint32 intervalMs, ITimerTarget* target) = 0;
	virtual void unregisterTimer (uint64 id) = 0;
};

// The run loop new timers register with. Without one set, a process-wide
// ManualRunLoop is used. Setting nullptr restores that default.
IRunLoop* getRunLoop ();
void setRunLoop (IRunLoop* runLoop);

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

	// The default run loop used while none is set.
	static ManualRunLoop& instance ();

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
