#include "cvstguitimer.h"

namespace VSTGUI {

CVSTGUITimer::CVSTGUITimer (CallbackFunc callback, uint32 fireTime, IRunLoop* runLoop,
                            bool doStart)
: callback (std::move (callback)), fireTime (fireTime ? fireTime : 1), runLoop (runLoop)
{
	if (doStart)
		start ();
}

CVSTGUITimer::~CVSTGUITimer () noexcept { stop (); }

bool CVSTGUITimer::start ()
{
	if (timerId != 0 || !runLoop)
		return false;
	timerId = runLoop->registerTimer (fireTime, this);
	return timerId != 0;
}

bool CVSTGUITimer::stop ()
{
	if (timerId == 0)
		return false;
	runLoop->unregisterTimer (timerId);
	timerId = 0;
	return true;
}

bool CVSTGUITimer::setFireTime (uint32 newFireTime)
{
	if (newFireTime == 0)
		newFireTime = 1;
	if (newFireTime == fireTime)
		return true;
	fireTime = newFireTime;
	if (isRunning ())
	{
		stop ();
		start ();
	}
	return true;
}

void CVSTGUITimer::onTimer ()
{
	if (!callback)
		return;
	// The callback may drop the last outside reference to this timer.
	remember ();
	callback (this);
	forget ();
}

} // namespace VSTGUI
