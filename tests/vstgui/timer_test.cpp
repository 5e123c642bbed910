#include "test_helpers.h"
#include "testframe.h"
#include "vstgui/lib/controls/cmousewheeleditingsupport.h"
#include "vstgui/lib/cvstguitimer.h"
#include <gtest/gtest.h>

using namespace VSTGUI;
using Test::RecordingListener;

namespace {
using Log = std::vector<std::string>;

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

TEST_F (TimerFixture, stopAndRestart)
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

TEST_F (TimerFixture, destroyingTheTimerStopsIt)
{
	int count = 0;
	{
		auto t = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { ++count; }, 10, &loop);
		EXPECT_EQ (loop.numTimers (), 1u);
	}
	EXPECT_EQ (loop.numTimers (), 0u);
	loop.advance (50);
	EXPECT_EQ (count, 0);
}

TEST_F (TimerFixture, callbackMayReleaseTheLastReference)
{
	SharedPointer<CVSTGUITimer> holder;
	int count = 0;
	holder = makeOwned<CVSTGUITimer> (
	    [&] (CVSTGUITimer* self) {
		    ++count;
		    EXPECT_EQ (self, holder.get ());
		    holder = nullptr; // the timer is still alive until its callback returns
		    self->stop ();
	    },
	    16, &loop);
	loop.advance (100);
	EXPECT_EQ (count, 1);
	EXPECT_EQ (loop.numTimers (), 0u);
}

TEST_F (TimerFixture, callbackMayStopAnotherDueTimer)
{
	int secondCount = 0;
	auto second = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { ++secondCount; }, 10, &loop);
	auto first = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { second = nullptr; }, 5, &loop);
	loop.advance (10); // first at 5 drops second before its tick at 10
	EXPECT_EQ (secondCount, 0);
	EXPECT_EQ (loop.numTimers (), 1u);
}

TEST_F (TimerFixture, withoutRunLoopNothingStarts)
{
	int count = 0;
	auto t = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { ++count; }, 7, nullptr);
	EXPECT_FALSE (t->isRunning ());
	EXPECT_FALSE (t->start ());
	loop.advance (100);
	EXPECT_EQ (count, 0);
}

//------------------------------------------------------------------------
namespace {
struct WheelControl : CControl, CMouseWheelEditingSupport
{
	using CControl::CControl;
	void wheel () { onMouseWheelEditing (this); }
	void press () { invalidMouseWheelEditTimer (this); }
	using CMouseWheelEditingSupport::hasWheelEditTimer;
};

struct WheelFixture : TimerFixture
{
	RecordingListener listener;
	SharedPointer<CFrame> frame {VSTGUI::Test::openOffscreenFrame (loop)};
	WheelControl* control = add (new WheelControl (CRect (0., 0., 10., 10.), &listener, 1));

	WheelControl* add (WheelControl* c)
	{
		frame->addView (c);
		return c;
	}
};
} // namespace

TEST_F (WheelFixture, wheelDuringAnOpenEditLeavesThatEditToItsOwner)
{
	control->beginEdit (); // a drag in progress
	control->wheel ();
	loop.advance (600);
	EXPECT_TRUE (control->isEditing ());
	control->endEdit ();
	EXPECT_EQ (listener.log, (Log {"begin", "end"}));
}

TEST_F (WheelFixture, destroyingTheControlDropsThePendingTimer)
{
	auto* temp = add (new WheelControl (CRect (0., 0., 10., 10.), &listener, 2));
	temp->wheel ();
	EXPECT_EQ (loop.numTimers (), 1u);
	frame->removeView (temp);
	EXPECT_EQ (loop.numTimers (), 0u);
	EXPECT_EQ (listener.log, (Log {"begin", "end"}));
	loop.advance (1000);
}
