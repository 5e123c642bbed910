// The run loop tolvar-host lends to plug-in views.
#include "runloop.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <thread>

namespace {

using namespace tolvarhost;
using namespace Steinberg;
using Clock = RunLoop::Clock;
using namespace std::chrono_literals;

// A plug-in's handler: counts calls and references, runs `action` on every call and
// clears *alive when it is deleted.
class Probe : public Linux::IEventHandler, public Linux::ITimerHandler
{
public:
	explicit Probe (bool* aliveFlag = nullptr) : alive (aliveFlag)
	{
		if (alive)
			*alive = true;
	}
	virtual ~Probe ()
	{
		if (alive)
			*alive = false;
	}

	DECLARE_FUNKNOWN_METHODS

	int32 refs () const { return funknownRefCount_; }
	void PLUGIN_API onFDIsSet (Linux::FileDescriptor) override { called (fdCalls); }
	void PLUGIN_API onTimer () override { called (timerCalls); }
	void called (int& calls)
	{
		++calls;
		if (action)
			action ();
	}

	int fdCalls = 0;
	int timerCalls = 0;
	std::function<void ()> action;

private:
	bool* alive;
};
IMPLEMENT_FUNKNOWN_METHODS (Probe, Linux::IEventHandler, Linux::IEventHandler::iid)

struct Pipe
{
	int fds[2] = {-1, -1};
	Pipe () { EXPECT_EQ (::pipe (fds), 0); }
	~Pipe ()
	{
		for (int fd : fds)
			if (fd >= 0)
				::close (fd);
	}
	int readEnd () const { return fds[0]; }
	void makeReadable () { ASSERT_EQ (::write (fds[1], "x", 1), 1); }
};

TEST (RunLoop, RefusesWhatHostsRefuse)
{
	Ref<RunLoop> loop (new RunLoop);
	Pipe p;
	Ref<Probe> a (new Probe), b (new Probe);

	EXPECT_EQ (loop->registerEventHandler (nullptr, p.readEnd ()), kInvalidArgument);
	EXPECT_EQ (loop->registerEventHandler (a.get (), -1), kInvalidArgument);
	EXPECT_EQ (loop->registerEventHandler (a.get (), p.readEnd ()), kResultOk);
	EXPECT_EQ (loop->registerEventHandler (b.get (), p.readEnd ()), kInvalidArgument);
	EXPECT_EQ (loop->registerTimer (nullptr, 10), kInvalidArgument);
	EXPECT_EQ (loop->registerTimer (a.get (), 0), kInvalidArgument);
	EXPECT_EQ (loop->registerTimer (a.get (), 10), kResultOk);
	EXPECT_EQ (loop->eventHandlerCount (), 1u);
	EXPECT_EQ (loop->timerCount (), 1u);

	EXPECT_NE (loop->unregisterEventHandler (b.get ()), kResultOk);
	EXPECT_NE (loop->unregisterTimer (b.get ()), kResultOk);
	EXPECT_NE (loop->unregisterEventHandler (nullptr), kResultOk);
	EXPECT_NE (loop->unregisterTimer (nullptr), kResultOk);

	// Held while registered, given back on unregistering; a second unregister is unknown.
	EXPECT_EQ (a->refs (), 3);
	EXPECT_EQ (loop->unregisterEventHandler (a.get ()), kResultOk);
	EXPECT_EQ (loop->unregisterTimer (a.get ()), kResultOk);
	EXPECT_NE (loop->unregisterTimer (a.get ()), kResultOk);
	EXPECT_EQ (a->refs (), 1);
	EXPECT_EQ (b->refs (), 1);
}

TEST (RunLoop, DispatchesReadableDescriptorsAndTimersWithoutSpinning)
{
	Ref<RunLoop> loop (new RunLoop);
	Pipe p, closedLater;
	Ref<Probe> reader (new Probe), ticker (new Probe), orphan (new Probe);
	ASSERT_EQ (loop->registerEventHandler (reader.get (), p.readEnd ()), kResultOk);

	// Nothing readable: the wait ends at `until` without a call.
	loop->iterate (Clock::now () + 5ms);
	EXPECT_EQ (reader->fdCalls, 0);
	p.makeReadable ();
	loop->iterate (Clock::now () + 5s);
	EXPECT_EQ (reader->fdCalls, 1);

	// A 30 ms timer over 200 ms: a handful of calls, each iteration asleep until one is due.
	loop->unregisterEventHandler (reader.get ());
	ASSERT_EQ (loop->registerTimer (ticker.get (), 30), kResultOk);
	const auto end = Clock::now () + 200ms;
	int iterations = 0;
	while (Clock::now () < end)
	{
		loop->iterate (end);
		++iterations;
	}
	EXPECT_GE (ticker->timerCalls, 1);
	EXPECT_LE (ticker->timerCalls, 7);
	EXPECT_LE (iterations, 20);

	// A descriptor closed behind the loop's back is dropped instead of polled forever.
	ASSERT_EQ (loop->registerEventHandler (orphan.get (), closedLater.readEnd ()), kResultOk);
	::close (closedLater.fds[0]);
	closedLater.fds[0] = -1;
	loop->iterate (Clock::now () + 5s);
	EXPECT_EQ (orphan->fdCalls, 0);
	EXPECT_EQ (loop->eventHandlerCount (), 0u);
	EXPECT_EQ (orphan->refs (), 1);
}

// A view that unregisters everything from inside a callback, its own handler and another,
// and drops its last reference to itself there.
TEST (RunLoop, HandlerUnregisteredInACallbackIsNotCalledAndOutlivesTheCallback)
{
	Ref<RunLoop> loop (new RunLoop);
	Pipe p1, p2;
	bool firstAlive = false, secondAlive = false;
	auto* first = new Probe (&firstAlive);
	auto* second = new Probe (&secondAlive);
	ASSERT_EQ (loop->registerEventHandler (first, p1.readEnd ()), kResultOk);
	ASSERT_EQ (loop->registerEventHandler (second, p2.readEnd ()), kResultOk);
	ASSERT_EQ (loop->registerTimer (first, 1), kResultOk);
	ASSERT_EQ (loop->registerTimer (second, 1), kResultOk);
	first->action = [&] {
		loop->unregisterEventHandler (first);
		loop->unregisterTimer (first);
		loop->unregisterEventHandler (second);
		loop->unregisterTimer (second);
		// Still inside first's call: the loop's reference keeps it alive until dispatch ends.
		first->release ();
		EXPECT_TRUE (firstAlive);
	};
	std::this_thread::sleep_for (5ms);
	p1.makeReadable ();
	p2.makeReadable ();
	loop->iterate (Clock::now () + 5s);

	EXPECT_FALSE (firstAlive);
	EXPECT_EQ (second->fdCalls + second->timerCalls, 0);
	EXPECT_EQ (second->refs (), 1);
	second->release ();
	EXPECT_FALSE (secondAlive);
	EXPECT_EQ (loop->eventHandlerCount (), 0u);
	EXPECT_EQ (loop->timerCount (), 0u);
}

} // namespace
