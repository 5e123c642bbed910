#include "crunloop.h"
#include <algorithm>

namespace VSTGUI {

uint64 ManualRunLoop::registerTimer (uint32 intervalMs, ITimerTarget* target)
{
	if (!target)
		return 0;
	if (intervalMs == 0)
		intervalMs = 1;
	timers.push_back ({nextId, intervalMs, clock + intervalMs, target});
	return nextId++;
}

void ManualRunLoop::unregisterTimer (uint64 id)
{
	timers.erase (std::remove_if (timers.begin (), timers.end (),
	                              [id] (const Entry& e) { return e.id == id; }),
	              timers.end ());
}

void ManualRunLoop::advance (uint64 ms)
{
	const uint64 end = clock + ms;
	while (true)
	{
		// Earliest due entry; the vector is in registration order, so ties go to the older.
		auto next = timers.end ();
		for (auto it = timers.begin (); it != timers.end (); ++it)
		{
			if (it->due <= end && (next == timers.end () || it->due < next->due))
				next = it;
		}
		if (next == timers.end ())
			break;
		clock = next->due;
		next->due += next->interval;
		// The callback may register or unregister timers, so no iterator survives it.
		next->target->onTimer ();
	}
	clock = end;
}

} // namespace VSTGUI
