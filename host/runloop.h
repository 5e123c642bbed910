// The run loop a host lends to plug-in views on Linux: readable file descriptors and
// timers, dispatched on the one thread that calls iterate.
#pragma once

#include "hostobjects.h"

#include "pluginterfaces/gui/iplugview.h"

#include <chrono>
#include <functional>
#include <vector>

namespace tolvarhost {

class RunLoop : public HostObject<Linux::IRunLoop>
{
public:
	using Clock = std::chrono::steady_clock;

	RunLoop () = default;
	~RunLoop () override;

	// A handler is held (addRef) while registered. kInvalidArgument for a null handler, a
	// negative or already watched descriptor and a 0 ms interval. Registering a timer
	// handler again gives it the new interval. Unregistering a handler that is not
	// registered gives kResultFalse. A handler unregistered during dispatch is not called
	// again and is released only when the dispatch is over.
	tresult PLUGIN_API registerEventHandler (Linux::IEventHandler* handler,
	                                         Linux::FileDescriptor fd) override;
	tresult PLUGIN_API unregisterEventHandler (Linux::IEventHandler* handler) override;
	tresult PLUGIN_API registerTimer (Linux::ITimerHandler* handler,
	                                  Linux::TimerInterval milliseconds) override;
	tresult PLUGIN_API unregisterTimer (Linux::ITimerHandler* handler) override;

	// The host's own descriptor (its X connection), watched with the plug-in's.
	void watchHostFd (int fd, std::function<void ()> onReadable);

	// Sleeps until a watched descriptor is readable, a timer is due or `until` has come,
	// then dispatches what is ready. A descriptor the plug-in closed without unregistering
	// it is dropped.
	void iterate (Clock::time_point until);

	size_t eventHandlerCount () const { return fds.size (); }
	// The descriptors watched for plug-ins, in the order they were registered.
	std::vector<int> descriptors () const;
	size_t timerCount () const { return timers.size (); }
	// Unregisters everything.
	void clear ();

private:
	struct FdEntry
	{
		uint64_t id;
		Linux::IEventHandler* handler;
		int fd;
	};
	struct TimerEntry
	{
		uint64_t id;
		Linux::ITimerHandler* handler;
		Clock::duration interval;
		Clock::time_point due;
	};

	void retire (FUnknown* handler);
	void releaseRetired ();
	void dispatchFd (uint64_t id, short revents);
	void dispatchTimers ();

	std::vector<FdEntry> fds;
	std::vector<TimerEntry> timers;
	// Handlers unregistered while dispatching, released afterwards.
	std::vector<FUnknown*> retired;
	int hostFd = -1;
	std::function<void ()> onHostReadable;
	uint64_t nextId = 1;
	int dispatching = 0;
};

} // namespace tolvarhost
