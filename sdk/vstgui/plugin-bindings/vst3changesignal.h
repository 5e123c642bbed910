#pragma once

// Tells the UI thread, from any thread, that recorded changes wait to be applied.

#include "../lib/crunloop.h"
#include <atomic>
#include <functional>

namespace VSTGUI {

class CVSTGUITimer;

// raise() makes a descriptor readable (an eventfd); the run loop that watches it calls the
// handler on its own thread, once for any number of raises before. Nothing runs while
// nothing is raised. A run loop that watches no descriptors has the handler polled by a
// timer instead.
class ChangeSignal : private IEventTarget
{
public:
	explicit ChangeSignal (std::function<void ()> handler);
	~ChangeSignal () noexcept override;

	ChangeSignal (const ChangeSignal&) = delete;
	ChangeSignal& operator= (const ChangeSignal&) = delete;

	// UI thread. Raises from before start() are handled once it has started.
	void start (IRunLoop* runLoop, uint32 pollPeriodMs);
	void stop ();

	// Any thread: no allocation, no lock.
	void raise ();

private:
	void onFDIsSet (int fd) override;
	void handle ();

	std::function<void ()> handler;
	SharedPointer<IRunLoop> runLoop;
	SharedPointer<CVSTGUITimer> pollTimer;
	int fd;
	bool watched {false};
	// Set from the first raise until the handler runs: one write per wake-up.
	std::atomic<bool> raised {false};
};

} // namespace VSTGUI
