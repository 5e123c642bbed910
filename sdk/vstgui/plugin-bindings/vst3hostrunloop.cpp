#include "vst3hostrunloop.h"

#include <algorithm>

namespace VSTGUI {

using namespace Steinberg;

namespace {
// Takes the entry that matches out of entries and unregisters its handler, cut off first:
// a host that still calls it reaches a handler that does nothing.
template <class Entries, class Match, class Unregister>
void removeEntry (Entries& entries, Match match, Unregister unregister)
{
	auto it = std::find_if (entries.begin (), entries.end (), match);
	if (it == entries.end ())
		return;
	auto handler = it->handler;
	handler->cutOff ();
	entries.erase (it);
	unregister (handler);
}
} // namespace

// Forwards the host's timer calls to a library timer until it is cut off.
class VST3HostRunLoop::TimerHandler : public FObject, public Linux::ITimerHandler
{
public:
	explicit TimerHandler (ITimerTarget* target) : target (target) {}
	void PLUGIN_API onTimer () override
	{
		if (target)
			target->onTimer ();
	}
	void cutOff () { target = nullptr; }

	OBJ_METHODS (TimerHandler, FObject)
	DEFINE_INTERFACES
	DEF_INTERFACE (Linux::ITimerHandler)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

private:
	ITimerTarget* target;
};

// Forwards the host's "descriptor readable" calls until it is cut off.
class VST3HostRunLoop::EventHandler : public FObject, public Linux::IEventHandler
{
public:
	explicit EventHandler (IEventTarget* target) : target (target) {}
	void PLUGIN_API onFDIsSet (Linux::FileDescriptor fd) override
	{
		if (target)
			target->onFDIsSet (fd);
	}
	void cutOff () { target = nullptr; }

	OBJ_METHODS (EventHandler, FObject)
	DEFINE_INTERFACES
	DEF_INTERFACE (Linux::IEventHandler)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

private:
	IEventTarget* target;
};

SharedPointer<VST3HostRunLoop> VST3HostRunLoop::fromPlugFrame (IPlugFrame* plugFrame)
{
	FUnknownPtr<Linux::IRunLoop> hostRunLoop (plugFrame);
	if (!hostRunLoop)
		return nullptr;
	return makeOwned<VST3HostRunLoop> (hostRunLoop.get ());
}

VST3HostRunLoop::VST3HostRunLoop (Linux::IRunLoop* hostRunLoop) : host (hostRunLoop) {}

VST3HostRunLoop::~VST3HostRunLoop () noexcept { detach (); }

uint64 VST3HostRunLoop::registerTimer (uint32 intervalMs, ITimerTarget* target)
{
	if (!host || !target)
		return 0;
	IPtr<TimerHandler> handler (new TimerHandler (target), false);
	if (host->registerTimer (handler, intervalMs ? intervalMs : 1) != kResultOk)
		return 0;
	timers.push_back ({nextId, handler});
	return nextId++;
}

void VST3HostRunLoop::unregisterTimer (uint64 id)
{
	removeEntry (timers, [id] (const TimerEntry& e) { return e.id == id; },
	             [this] (TimerHandler* handler) {
		             if (host)
			             host->unregisterTimer (handler);
	             });
}

bool VST3HostRunLoop::registerEventHandler (int fd, IEventTarget* target)
{
	if (!host || !target || fd < 0)
		return false;
	for (const auto& entry : eventHandlers)
	{
		if (entry.target == target)
			return false;
	}
	IPtr<EventHandler> handler (new EventHandler (target), false);
	if (host->registerEventHandler (handler, fd) != kResultOk)
		return false;
	eventHandlers.push_back ({target, handler});
	return true;
}

void VST3HostRunLoop::unregisterEventHandler (IEventTarget* target)
{
	removeEntry (eventHandlers, [target] (const EventEntry& e) { return e.target == target; },
	             [this] (EventHandler* handler) {
		             if (host)
			             host->unregisterEventHandler (handler);
	             });
}

void VST3HostRunLoop::detach ()
{
	while (!eventHandlers.empty ())
		unregisterEventHandler (eventHandlers.back ().target);
	while (!timers.empty ())
		unregisterTimer (timers.back ().id);
	host = nullptr;
}

} // namespace VSTGUI
