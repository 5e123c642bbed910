#include "test_helpers.h"
#include "vstgui/lib/controls/cmousewheeleditingsupport.h"
#include "vstgui/lib/cvstguitimer.h"
#include <gtest/gtest.h>

using namespace VSTGUI;
using Test::Log;
using Test::RecordingListener;

namespace {
// Each test runs on its own virtual clock.
struct TimerFixture : ::testing::Test
{
	ManualRunLoop loop;
};
} // namespace

TEST_F (TimerFixture, firesOncePerPeriodInTimeOrder)
{
	std::vector<std::pair<int, uint64>> fired;
	auto a = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { fired.push_back ({16, loop.now ()}); }, 16, &loop);
	auto b = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { fired.push_back ({20, loop.now ()}); }, 20, &loop);
	loop.advance (15);
	EXPECT_TRUE (fired.empty ());
	loop.advance (1);
	ASSERT_EQ (fired.size (), 1u);
	loop.advance (32); // clock 48
	const std::vector<std::pair<int, uint64>> expected {
	    {16, 16}, {20, 20}, {16, 32}, {20, 40}, {16, 48}};
	EXPECT_EQ (fired, expected);
	EXPECT_EQ (loop.now (), 48u);
}

// A timer ticks only while started on a run loop, and stops for good when it goes.
TEST_F (TimerFixture, startStopAndDestroy)
{
	int count = 0;
	auto t = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { ++count; }, 10, &loop, false);
	EXPECT_FALSE (t->isRunning ());
	loop.advance (100);
	EXPECT_EQ (count, 0);
	EXPECT_TRUE (t->start ());
	EXPECT_FALSE (t->start ());
	loop.advance (25);
	EXPECT_EQ (count, 2);
	EXPECT_TRUE (t->stop ());
	EXPECT_FALSE (t->stop ());
	loop.advance (100);
	EXPECT_EQ (count, 2);
	EXPECT_EQ (loop.numTimers (), 0u);

	EXPECT_TRUE (t->start ());
	t = nullptr;
	EXPECT_EQ (loop.numTimers (), 0u);
	loop.advance (50);
	EXPECT_EQ (count, 2);

	auto homeless = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { ++count; }, 7, nullptr);
	EXPECT_FALSE (homeless->isRunning ());
	EXPECT_FALSE (homeless->start ());
	loop.advance (100);
	EXPECT_EQ (count, 2);
}

TEST_F (TimerFixture, newFireTimeRestartsTheCountdown)
{
	int count = 0;
	auto t = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { ++count; }, 100, &loop);
	loop.advance (90);
	t->setFireTime (50);
	EXPECT_EQ (t->getFireTime (), 50u);
	loop.advance (49);
	EXPECT_EQ (count, 0);
	loop.advance (1);
	EXPECT_EQ (count, 1);
	t->setFireTime (0); // raised to 1 ms, never a busy loop
	loop.advance (3);
	EXPECT_EQ (count, 4);
}

// A callback may drop its own timer's last reference, and stop another due timer.
TEST_F (TimerFixture, callbackMayReleaseItselfOrAnother)
{
	SharedPointer<CVSTGUITimer> self, other;
	int selfCount = 0, otherCount = 0;
	self = makeOwned<CVSTGUITimer> (
	    [&] (CVSTGUITimer* timer) {
		    ++selfCount;
		    EXPECT_EQ (timer, self.get ());
		    self = nullptr; // the timer is still alive until its callback returns
		    timer->stop ();
		    other = nullptr; // due at the same tick
	    },
	    10, &loop);
	other = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { ++otherCount; }, 10, &loop);
	loop.advance (100);
	EXPECT_EQ (selfCount, 1);
	EXPECT_EQ (otherCount, 0);
	EXPECT_EQ (loop.numTimers (), 0u);
}

//------------------------------------------------------------------------
namespace {
struct WheelControl : CControl, CMouseWheelEditingSupport
{
	using CControl::CControl;
	void wheel () { onMouseWheelEditing (this); }
};
} // namespace

// A wheel notch during a drag leaves the drag's edit to the drag.
TEST_F (TimerFixture, wheelDuringAnOpenEditLeavesThatEditToItsOwner)
{
	RecordingListener listener;
	auto frame = VSTGUI::Test::openOffscreenFrame (loop);
	auto* control = new WheelControl (CRect (0., 0., 10., 10.), &listener, 1);
	frame->addView (control);
	control->beginEdit (); // a drag in progress
	control->wheel ();
	loop.advance (600);
	EXPECT_TRUE (control->isEditing ());
	control->endEdit ();
	EXPECT_EQ (listener.log, (Log {"begin", "end"}));
}
