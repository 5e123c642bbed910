#pragma once

// The run loop a Linux VST 3 host hands out through its IPlugFrame, as a frame's run loop.

#include "../lib/crunloop.h"
#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"
#include <vector>

namespace VSTGUI {

class VST3HostRunLoop : public IRunLoop
{
public:
	// The host's run loop as the plug-in frame answers it, or null when it answers none.
	static SharedPointer<VST3HostRunLoop> fromPlugFrame (Steinberg::IPlugFrame* plugFrame);

	explicit VST3HostRunLoop (Steinberg::Linux::IRunLoop* hostRunLoop);
	~VST3HostRunLoop () noexcept override;

	// Each timer and each descriptor is a host handler of its own.
	uint64 registerTimer (uint32 intervalMs, ITimerTarget* target) override;
	void unregisterTimer (uint64 id) override;
	bool registerEventHandler (int fd, IEventTarget* target) override;
	void unregisterEventHandler (IEventTarget* target) override;
	// The host's run loop: the editors of one host loop share its descriptors.
	const void* getEventSource () const override { return host.get (); }

	// The host's run loop is going away: every handler leaves it, later ones are refused.
	void detach ();
	Steinberg::Linux::IRunLoop* getHostRunLoop () const { return host; }

private:
	class TimerHandler;
	class EventHandler;
	struct TimerEntry
	{
		uint64 id;
		Steinberg::IPtr<TimerHandler> handler;
	};
	struct EventEntry
	{
		IEventTarget* target;
		Steinberg::IPtr<EventHandler> handler;
	};

	Steinberg::IPtr<Steinberg::Linux::IRunLoop> host;
	std::vector<TimerEntry> timers;
	std::vector<EventEntry> eventHandlers;
	uint64 nextId {1};
};

} // namespace VSTGUI
