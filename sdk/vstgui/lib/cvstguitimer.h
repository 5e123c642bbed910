#pragma once

#include "vstguibase.h"
#include "crunloop.h"
#include <functional>

namespace VSTGUI {

// Periodic timer on the UI thread's run loop.
class CVSTGUITimer : public CBaseObject, private ITimerTarget
{
public:
	using CallbackFunc = std::function<void (CVSTGUITimer*)>;

	explicit CVSTGUITimer (const CallbackFunc& callback, uint32 fireTime = 100,
	                       bool doStart = true);
	explicit CVSTGUITimer (CallbackFunc&& callback, uint32 fireTime = 100, bool doStart = true);
	~CVSTGUITimer () noexcept override;

	CVSTGUITimer (const CVSTGUITimer&) = delete;
	CVSTGUITimer& operator= (const CVSTGUITimer&) = delete;

	bool start ();
	bool stop ();
	bool isRunning () const { return timerId != 0; }

	// A running timer restarts with the new period. A period of 0 is raised to 1 ms.
	bool setFireTime (uint32 newFireTime);
	uint32 getFireTime () const { return fireTime; }

private:
	void onTimer () override;

	CallbackFunc callback;
	uint32 fireTime;
	uint64 timerId {0};
	IRunLoop* runLoop {nullptr};
};

} // namespace VSTGUI
