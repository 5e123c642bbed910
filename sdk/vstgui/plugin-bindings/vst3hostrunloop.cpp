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

void VST3HostRunLoop::detach ()
{
	while (!timers.empty ())
		unregisterTimer (timers.back ().id);
	host = nullptr;
}

} // namespace VSTGUI
