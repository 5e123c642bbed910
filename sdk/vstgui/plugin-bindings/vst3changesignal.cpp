#include "vst3changesignal.h"
#include "../lib/cvstguitimer.h"
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace VSTGUI {

ChangeSignal::ChangeSignal (std::function<void ()> handler)
: handler (std::move (handler))
, fd (::eventfd (0, EFD_NONBLOCK | EFD_CLOEXEC))
{
}

ChangeSignal::~ChangeSignal () noexcept
{
	stop ();
	if (fd >= 0)
		::close (fd);
}

void ChangeSignal::start (IRunLoop* loop, uint32 pollPeriodMs)
{
	stop ();
	runLoop = loop;
	if (!runLoop)
		return;
	watched = fd >= 0 && runLoop->registerEventHandler (fd, this);
	if (!watched)
		pollTimer = makeOwned<CVSTGUITimer> ([this] (CVSTGUITimer*) { handle (); }, pollPeriodMs, runLoop);
}

void ChangeSignal::stop ()
{
	if (watched)
		runLoop->unregisterEventHandler (this);
	watched = false;
	pollTimer = nullptr;
	runLoop = nullptr;
}

void ChangeSignal::raise ()
{
	if (raised.exchange (true) || fd < 0)
		return;
	const uint64_t one = 1;
	// Fails only when the counter is full, and then the descriptor is readable anyway.
	[[maybe_unused]] const auto written = ::write (fd, &one, sizeof one);
}

void ChangeSignal::onFDIsSet (int)
{
	handle ();
}

void ChangeSignal::handle ()
{
	if (fd >= 0)
	{
		uint64_t count;
		[[maybe_unused]] const auto drained = ::read (fd, &count, sizeof count);
	}
	// Cleared after the drain, so that a raise from now on writes again, and before the
	// handler, which then sees every change recorded before the raises it answers.
	if (!raised.exchange (false))
		return;
	handler ();
}

} // namespace VSTGUI
