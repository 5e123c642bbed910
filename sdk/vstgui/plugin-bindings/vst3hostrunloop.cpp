#include "vst3hostrunloop.h"

namespace VSTGUI {

using namespace Steinberg;

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
	for (auto it = timers.begin (); it != timers.end (); ++it)
	{
		if (it->id != id)
			continue;
		// A host that still calls the handler reaches a handler that does nothing.
		IPtr<TimerHandler> handler = it->handler;
		handler->cutOff ();
		timers.erase (it);
		if (host)
			host->unregisterTimer (handler);
		return;
	}
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
	for (auto it = eventHandlers.begin (); it != eventHandlers.end (); ++it)
	{
		if (it->target != target)
			continue;
		IPtr<EventHandler> handler = it->handler;
		handler->cutOff ();
		eventHandlers.erase (it);
		if (host)
			host->unregisterEventHandler (handler);
		return;
	}
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
