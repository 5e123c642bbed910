#pragma once

#include "vstguibase.h"
#include "crunloop.h"
#include <functional>

namespace VSTGUI {

// Periodic timer on a run loop given explicitly (a view's timers use its frame's).
// Without a run loop the timer does not start: start() reports false.
class CVSTGUITimer : public CBaseObject, private ITimerTarget
{
public:
	using CallbackFunc = std::function<void (CVSTGUITimer*)>;

	CVSTGUITimer (CallbackFunc callback, uint32 fireTime, IRunLoop* runLoop, bool doStart = true);
	~CVSTGUITimer () noexcept override;

	CVSTGUITimer (const CVSTGUITimer&) = delete;
	CVSTGUITimer& operator= (const CVSTGUITimer&) = delete;

	bool start ();
	bool stop ();
	bool isRunning () const { return timerId != 0; }

	// A running timer restarts with the new period. A period of 0 is raised to 1 ms.
	bool setFireTime (uint32 newFireTime);
	uint32 getFireTime () const { return fireTime; }
	IRunLoop* getRunLoop () const { return runLoop; }

private:
	void onTimer () override;

	CallbackFunc callback;
	uint32 fireTime;
	SharedPointer<IRunLoop> runLoop;
	uint64 timerId {0};
};

} // namespace VSTGUI
