#include "runloop.h"

#include <poll.h>

#include <algorithm>
#include <climits>

namespace tolvarhost {

namespace {

// Longer intervals are taken as this (the clock's range is far larger).
constexpr Linux::TimerInterval kLongestInterval = 1000ull * 60 * 60 * 24;

} // namespace

RunLoop::~RunLoop () { clear (); }

tresult PLUGIN_API RunLoop::registerEventHandler (Linux::IEventHandler* handler,
                                                  Linux::FileDescriptor fd)
{
	if (!handler || fd < 0 || fd == hostFd)
		return kInvalidArgument;
	if (std::any_of (fds.begin (), fds.end (), [&] (const FdEntry& e) { return e.fd == fd; }))
		return kInvalidArgument;
	handler->addRef ();
	fds.push_back ({nextId++, handler, fd});
	return kResultOk;
}

tresult PLUGIN_API RunLoop::unregisterEventHandler (Linux::IEventHandler* handler)
{
	auto gone = std::remove_if (fds.begin (), fds.end (),
	                            [&] (const FdEntry& e) { return e.handler == handler; });
	const auto count = fds.end () - gone;
	if (!handler || count == 0)
		return kResultFalse;
	fds.erase (gone, fds.end ());
	// One reference per descriptor it watched; released only now that the list is whole.
	for (auto i = count; i > 0; --i)
		retire (handler);
	return kResultOk;
}

tresult PLUGIN_API RunLoop::registerTimer (Linux::ITimerHandler* handler,
                                           Linux::TimerInterval milliseconds)
{
	if (!handler || milliseconds == 0)
		return kInvalidArgument;
	const auto interval = std::chrono::milliseconds (std::min (milliseconds, kLongestInterval));
	const auto due = Clock::now () + interval;
	for (auto& t : timers)
	{
		if (t.handler == handler)
		{
			t.interval = interval;
			t.due = due;
			return kResultOk;
		}
	}
	handler->addRef ();
	timers.push_back ({nextId++, handler, interval, due});
	return kResultOk;
}

tresult PLUGIN_API RunLoop::unregisterTimer (Linux::ITimerHandler* handler)
{
	auto it = std::find_if (timers.begin (), timers.end (),
	                        [&] (const TimerEntry& t) { return t.handler == handler; });
	if (!handler || it == timers.end ())
		return kResultFalse;
	timers.erase (it);
	retire (handler);
	return kResultOk;
}

void RunLoop::watchHostFd (int fd, std::function<void ()> onReadable)
{
	hostFd = fd;
	onHostReadable = std::move (onReadable);
}

std::vector<int> RunLoop::descriptors () const
{
	std::vector<int> result;
	for (const auto& e : fds)
		result.push_back (e.fd);
	return result;
}

void RunLoop::retire (FUnknown* handler)
{
	retired.push_back (handler);
	if (dispatching == 0)
		releaseRetired ();
}

void RunLoop::releaseRetired ()
{
	// A release may unregister more; take the list first.
	while (!retired.empty ())
	{
		std::vector<FUnknown*> batch;
		batch.swap (retired);
		for (auto* h : batch)
			h->release ();
	}
}

void RunLoop::clear ()
{
	while (!fds.empty ())
		unregisterEventHandler (fds.front ().handler);
	while (!timers.empty ())
		unregisterTimer (timers.front ().handler);
}

void RunLoop::iterate (Clock::time_point until)
{
	Clock::time_point wake = until;
	for (const auto& t : timers)
		wake = std::min (wake, t.due);
	const auto now = Clock::now ();
	int timeoutMs = 0;
	if (wake > now)
	{
		// Rounded up, so that a timer is never found not yet due after the wait.
		const auto ms = std::chrono::ceil<std::chrono::milliseconds> (wake - now).count ();
		timeoutMs = static_cast<int> (std::min<long long> (ms, INT_MAX));
	}

	std::vector<pollfd> polled;
	std::vector<uint64_t> ids;
	for (const auto& e : fds)
	{
		polled.push_back ({e.fd, POLLIN, 0});
		ids.push_back (e.id);
	}
	if (hostFd >= 0)
		polled.push_back ({hostFd, POLLIN, 0});
	if (::poll (polled.data (), polled.size (), timeoutMs) < 0)
		polled.clear (); // interrupted: only the timers are looked at

	++dispatching;
	for (size_t i = 0; i < polled.size (); ++i)
	{
		const short revents = polled[i].revents;
		if (revents == 0)
			continue;
		if (i < ids.size ())
			dispatchFd (ids[i], revents);
		else if (onHostReadable)
			onHostReadable ();
	}
	dispatchTimers ();
	if (--dispatching == 0)
		releaseRetired ();
}

void RunLoop::dispatchFd (uint64_t id, short revents)
{
	auto it = std::find_if (fds.begin (), fds.end (), [&] (const FdEntry& e) { return e.id == id; });
	if (it == fds.end ())
		return; // unregistered by an earlier callback
	if (revents & POLLNVAL)
	{
		auto* handler = it->handler;
		fds.erase (it);
		retire (handler);
		return;
	}
	it->handler->onFDIsSet (it->fd);
}

void RunLoop::dispatchTimers ()
{
	const auto now = Clock::now ();
	std::vector<uint64_t> due;
	for (const auto& t : timers)
		if (t.due <= now)
			due.push_back (t.id);
	for (uint64_t id : due)
	{
		auto it = std::find_if (timers.begin (), timers.end (),
		                        [&] (const TimerEntry& t) { return t.id == id; });
		if (it == timers.end ())
			continue;
		// Missed periods are skipped, not caught up.
		it->due += it->interval;
		if (it->due <= now)
			it->due = now + it->interval;
		it->handler->onTimer ();
	}
}

} // namespace tolvarhost
