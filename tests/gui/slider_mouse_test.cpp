// Mouse gestures: modes, reset click, fine tuning, ramp, cancel, bad input.
#include "slidertestutil.h"

#include <cmath>
#include <limits>
#include <string>

namespace VSTGUI {
namespace test {
namespace {

// Horizontal views span x 10..210, vertical ones y 10..210; the 20 x 20 handle travels 180.
struct Geometry
{
	const char* name;
	int32_t style;
	bool flipped; // value 0 at the far end
};

const Geometry kGeometries[] = {{"Left", S::kHorizontal | S::kLeft, false},
                                {"Right", S::kHorizontal | S::kRight, true},
                                {"Top", S::kVertical | S::kTop, false},
                                {"Bottom", S::kVertical | S::kBottom, true}};

class Gesture : public SliderTest, public ::testing::WithParamInterface<Geometry>
{
protected:
	bool horizontal () const { return GetParam ().style & S::kHorizontal; }

	SharedPointer<TestSlider> make (CSliderMode mode, float value)
	{
		auto s = makeSlider (horizontal () ? CRect (10, 20, 210, 40) : CRect (30, 10, 50, 210),
		                     GetParam ().style, &listener);
		s->setSliderMode (mode);
		s->setValue (value);
		s->setDefaultValue (0.2f);
		s->setDirty (false);
		listener.clear ();
		return s;
	}
	// A point at pos along the axis; the other coordinate lies inside the view unless
	// asked otherwise (it must not matter).
	CPoint at (double pos, bool offAxis = false) const
	{
		if (horizontal ())
			return CPoint (pos, offAxis ? 500 : 30);
		return CPoint (offAxis ? -300 : 40, pos);
	}
	// Normalised value whose handle starts at pos.
	float valueAt (double pos) const
	{
		float n = static_cast<float> ((pos - 10.) / 180.);
		return GetParam ().flipped ? 1.f - n : n;
	}
	double handleStart (float value) const
	{
		float n = GetParam ().flipped ? 1.f - value : value;
		return 10. + std::trunc (static_cast<double> (n) * 180.);
	}
};

INSTANTIATE_TEST_SUITE_P (Orientations, Gesture, ::testing::ValuesIn (kGeometries),
                          [] (const auto& info) { return std::string (info.param.name); });

enum Outcome
{
	kSnap,    // relative drag; the value snaps to the handle's whole-pixel position
	kCentre,  // the handle's centre jumps one pixel past the pointer
	kIgnored, // no edit, no change
	kRamp,    // the value is left to the ramp
};

TEST_P (Gesture, PressOnAndBesideHandle)
{
	struct Case
	{
		CSliderMode mode;
		double pos; // beside: absolute; on the handle: from its start
		bool onHandle;
		Outcome outcome;
	} cases[] = {
	    {CSliderMode::UseGlobal, 6, true, kSnap},     {CSliderMode::UseGlobal, 170, false, kCentre},
	    {CSliderMode::KWFreeClick, 6, true, kSnap},   {CSliderMode::KWFreeClick, 20, true, kCentre},
	    {CSliderMode::KWFreeClick, 170, false, kCentre}, {CSliderMode::FreeClick, 6, true, kCentre},
	    {CSliderMode::FreeClick, 170, false, kCentre}, {CSliderMode::Touch, 6, true, kSnap},
	    {CSliderMode::Touch, 170, false, kIgnored},   {CSliderMode::RelativeTouch, 6, true, kSnap},
	    {CSliderMode::RelativeTouch, 170, false, kSnap}, {CSliderMode::Ramp, 6, true, kSnap},
	    {CSliderMode::Ramp, 170, false, kRamp},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE (std::to_string (int (c.mode)) + " at " + std::to_string (c.pos));
		auto s = make (c.mode, 0.33f);
		const double start = handleStart (0.33f); // 0.33 * 180 = 59.4: 59
		const double pos = c.onHandle ? start + c.pos : c.pos;
		CPoint p = at (pos);
		EXPECT_EQ (s->onMouseDown (p, kLButton), c.outcome == kIgnored
		                                             ? kMouseDownEventHandledButDontNeedMovedOrUpEvents
		                                             : kMouseEventHandled);
		EXPECT_EQ (s->isEditing (), c.outcome != kIgnored);
		EXPECT_EQ (s->isRamping (), c.outcome == kRamp);
		const double newStart = c.outcome == kCentre ? pos - 9. : start;
		if (c.outcome == kSnap || c.outcome == kCentre)
		{
			EXPECT_FLOAT_EQ (s->getValue (), valueAt (newStart));
			EXPECT_NE (s->getValue (), 0.33f);
			EXPECT_EQ (listener.values.size (), 1u);
			CPoint q = at (pos + 18., true);
			EXPECT_EQ (s->onMouseMoved (q, kLButton), kMouseEventHandled);
			EXPECT_FLOAT_EQ (s->getValue (), valueAt (newStart + 18.));
		}
		else
		{
			EXPECT_EQ (s->getValue (), 0.33f);
			EXPECT_TRUE (listener.values.empty ());
		}
		EXPECT_EQ (s->onMouseUp (p, 0), kMouseEventHandled);
		EXPECT_FALSE (s->isEditing ());
		EXPECT_FALSE (s->isRamping ());
		EXPECT_EQ (listener.begins, c.outcome == kIgnored ? 0 : 1);
		EXPECT_EQ (listener.ends, listener.begins);
	}
}

TEST_P (Gesture, RampStepsToCentredTarget)
{
	auto s = make (CSliderMode::Ramp, 0.5f); // handle 100..120
	CPoint p = at (150.);
	s->onMouseDown (p, kLButton);
	const float target = valueAt (150. - 9.);
	const float sign = target > 0.5f ? 1.f : -1.f;
	loop.advance (15);
	EXPECT_EQ (s->getValue (), 0.5f);
	loop.advance (1);
	EXPECT_NEAR (s->getValue (), 0.5f + sign * 0.01f, 1e-6);
	int ticks = 1;
	for (; s->isRamping () && ticks < 100; ++ticks)
		loop.advance (16);
	EXPECT_EQ (ticks, 23); // 0.2278 away: 22 steps of 0.01, then the last lands on the target
	EXPECT_FLOAT_EQ (s->getValue (), target);
	loop.advance (160);
	EXPECT_FLOAT_EQ (s->getValue (), target);
	// Arrived: moves drag with the handle centred on the pointer.
	CPoint q = at (60.);
	s->onMouseMoved (q, kLButton);
	EXPECT_FLOAT_EQ (s->getValue (), valueAt (51.));
	s->onMouseUp (q, 0);

	// Moves re-aim a running ramp; the release stops it at once.
	CPoint r = at (180.);
	s->onMouseDown (r, kLButton);
	loop.advance (16 * 3);
	const float afterThree = s->getValue ();
	EXPECT_NEAR (std::fabs (afterThree - valueAt (51.)), 0.03f, 1e-5);
	CPoint back = at (20.);
	EXPECT_EQ (s->onMouseMoved (back, kLButton), kMouseEventHandled);
	EXPECT_EQ (s->getValue (), afterThree);
	loop.advance (16);
	EXPECT_NEAR (std::fabs (s->getValue () - valueAt (51.)), 0.02f, 1e-5);
	s->onMouseUp (back, 0);
	const float stopped = s->getValue ();
	loop.advance (500);
	EXPECT_EQ (s->getValue (), stopped);
	EXPECT_EQ (loop.numTimers (), 0u);
}

TEST_P (Gesture, CancelAndEscapeRestoreValueFromPress)
{
	for (auto mode : {CSliderMode::KWFreeClick, CSliderMode::Ramp})
	{
		auto s = make (mode, 0.25f);
		VstKeyCode esc;
		esc.virt = VKEY_ESCAPE;
		EXPECT_EQ (s->onKeyDown (esc), -1);
		CPoint p = at (190.);
		s->onMouseDown (p, kLButton);
		loop.advance (16 * 5);
		ASSERT_NE (s->getValue (), 0.25f);
		s->setDirty (false); // drawn
		listener.clear ();
		if (mode == CSliderMode::Ramp)
			EXPECT_EQ (s->onKeyDown (esc), 1);
		else
			EXPECT_EQ (s->onMouseCancel (), kMouseEventHandled);
		EXPECT_EQ (s->getValue (), 0.25f);
		EXPECT_EQ (listener.values, std::vector<float> {0.25f});
		EXPECT_EQ (listener.ends, 1);
		EXPECT_FALSE (s->isEditing ());
		loop.advance (100);
		EXPECT_EQ (s->getValue (), 0.25f);
		EXPECT_EQ (s->onMouseCancel (), kMouseEventHandled);
		EXPECT_EQ (listener.ends, 1);
	}
}

//------------------------------------------------------------------------
class Mouse : public SliderTest
{
protected:
	SharedPointer<TestSlider> s = makeSlider (CRect (10, 20, 210, 40), S::kHorizontal, &listener);
};

TEST_F (Mouse, ResetClick)
{
	constexpr int32_t L = kLButton;
	struct Case
	{
		CSliderMode mode;
		double x; // the handle lies at 64..84
		int32_t buttons;
		CMouseEventResult result;
		bool reset;
	} cases[] = {
	    {CSliderMode::KWFreeClick, 150, L | kAlt, kMouseDownEventHandledButDontNeedMovedOrUpEvents, true},
	    {CSliderMode::KWFreeClick, 150, L | kAlt | kDoubleClick, kMouseDownEventHandledButDontNeedMovedOrUpEvents, true},
	    {CSliderMode::FreeClick, 70, L | kAlt, kMouseDownEventHandledButDontNeedMovedOrUpEvents, true},
	    {CSliderMode::Ramp, 150, L | kAlt, kMouseDownEventHandledButDontNeedMovedOrUpEvents, true},
	    {CSliderMode::RelativeTouch, 70, L | kAlt, kMouseDownEventHandledButDontNeedMovedOrUpEvents, true},
	    {CSliderMode::RelativeTouch, 150, L | kAlt, kMouseEventHandled, false},
	    {CSliderMode::Touch, 150, L | kAlt, kMouseDownEventHandledButDontNeedMovedOrUpEvents, false},
	    {CSliderMode::KWFreeClick, 150, L, kMouseEventHandled, false},
	    {CSliderMode::KWFreeClick, 150, L | kControl, kMouseEventHandled, false},
	    {CSliderMode::KWFreeClick, 150, L | kAlt | kShift, kMouseEventHandled, false},
	    {CSliderMode::KWFreeClick, 150, L | kAlt | kControl, kMouseEventHandled, false},
	    {CSliderMode::KWFreeClick, 150, L | kAlt | kApple, kMouseEventHandled, false},
	    {CSliderMode::KWFreeClick, 150, kRButton | kAlt, kMouseEventNotHandled, false},
	};
	s->setDefaultValue (0.75f);
	for (const auto& c : cases)
	{
		SCOPED_TRACE (std::to_string (c.buttons) + " mode " + std::to_string (int (c.mode)));
		s->setSliderMode (c.mode);
		s->setValue (0.3f);
		listener.clear ();
		CPoint p (c.x, 30);
		EXPECT_EQ (s->onMouseDown (p, c.buttons), c.result);
		EXPECT_EQ (s->getValue () == 0.75f, c.reset);
		EXPECT_EQ (s->isRamping (), false);
		if (c.reset)
		{
			EXPECT_EQ (listener.begins, 1);
			EXPECT_EQ (listener.values, std::vector<float> {0.75f});
			EXPECT_EQ (listener.ends, 1);
			EXPECT_EQ (s->onMouseMoved (p, kLButton), kMouseEventNotHandled);
		}
		EXPECT_EQ (s->isEditing (), c.result == kMouseEventHandled);
		s->onMouseUp (p, 0);
	}
	// Already at the default: nothing is sent, and no drag starts.
	s->setValue (0.75f);
	listener.clear ();
	CPoint p (150, 30);
	EXPECT_EQ (s->onMouseDown (p, kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (listener.begins + listener.ends + listener.values.size (), 0u);
	EXPECT_FALSE (s->isEditing ());
}

TEST_F (Mouse, ShiftFineTuningAnchors)
{
	s->setValue (0.5f); // handle 100..120, grabbed 5 in
	CPoint p (105, 30);
	EXPECT_EQ (s->onMouseDown (p, kLButton | kShift), kMouseEventHandled);
	EXPECT_EQ (s->getValue (), 0.5f);
	// x 123, 141, 159, 177 map plainly to 0.6, 0.7, 0.8, 0.9.
	auto move = [&] (double x, int32_t buttons) {
		CPoint q (x, 30);
		s->onMouseMoved (q, buttons);
		return s->getValue ();
	};
	EXPECT_FLOAT_EQ (move (123, kLButton | kShift), 0.51f); // anchor 0.5 from the first move
	EXPECT_FLOAT_EQ (move (141, kLButton | kShift), 0.52f);
	EXPECT_FLOAT_EQ (move (141, kLButton), 0.7f); // released: plain mapping
	// Held again with the press's state: anchored at the value before the plain move.
	EXPECT_FLOAT_EQ (move (159, kLButton | kShift), 0.548f);
	s->onMouseUp (p, 0);

	s->setValue (0.5f);
	s->onMouseDown (p, kLButton);
	EXPECT_FLOAT_EQ (move (123, kLButton), 0.6f);
	EXPECT_FLOAT_EQ (move (141, kLButton | kShift), 0.61f); // anchored where Shift came in
	EXPECT_FLOAT_EQ (move (177, kLButton | kShift), 0.63f);
	s->setZoomFactor (4.f);
	EXPECT_FLOAT_EQ (move (177, kLButton | kShift), 0.675f);
	s->onMouseUp (p, 0);
}

// A handle 10 across and 20 along the axis, offset 15 across and 5 along, travel 170: at 0.5 it
// covers 100..120 along and 35..45 across. The offset enters the grab offset, the hit test looks
// at both axes.
TEST_F (SliderTest, OffsetHandleGrabAndHitTest)
{
	for (bool horizontal : {true, false})
	{
		SCOPED_TRACE (horizontal ? "horizontal" : "vertical");
		auto pt = [&] (double along, double across) {
			return horizontal ? CPoint (along, across) : CPoint (across, along);
		};
		auto make = [&] (CSliderMode mode) {
			const CRect r = horizontal ? CRect (10, 20, 210, 60) : CRect (20, 10, 60, 210);
			auto s = makeSlider (r, horizontal ? S::kHorizontal | S::kLeft : S::kVertical | S::kTop,
			                     &listener, horizontal ? 20 : 10, horizontal ? 10 : 20);
			s->setOffsetHandle (horizontal ? CPoint (5, 15) : CPoint (15, 5));
			s->setViewSize (r);
			s->setSliderMode (mode);
			s->setValue (0.5f);
			return s;
		};
		const float centredAt105 = 81.f / 170.f; // centred grab offset 15 + 9

		auto s = make (CSliderMode::KWFreeClick);
		CPoint p = pt (105, 40);
		EXPECT_EQ (s->onMouseDown (p, kLButton), kMouseEventHandled);
		EXPECT_FLOAT_EQ (s->getValue (), 0.5f);
		CPoint q = pt (122, 40);
		s->onMouseMoved (q, kLButton);
		EXPECT_FLOAT_EQ (s->getValue (), 0.6f);
		s->onMouseUp (q, 0);

		// Level with the handle along the axis but beside it across: not on the handle.
		s = make (CSliderMode::KWFreeClick);
		p = pt (105, 25);
		s->onMouseDown (p, kLButton);
		EXPECT_FLOAT_EQ (s->getValue (), centredAt105);
		s->onMouseUp (p, 0);

		s = make (CSliderMode::Touch);
		EXPECT_EQ (s->onMouseDown (p, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
		EXPECT_EQ (s->getValue (), 0.5f);

		s = make (CSliderMode::FreeClick);
		p = pt (105, 40);
		s->onMouseDown (p, kLButton);
		EXPECT_FLOAT_EQ (s->getValue (), centredAt105);
		s->onMouseUp (p, 0);

		s = make (CSliderMode::Ramp);
		p = pt (160, 40);
		s->onMouseDown (p, kLButton);
		loop.advance (16 * 40);
		EXPECT_FALSE (s->isRamping ());
		EXPECT_FLOAT_EQ (s->getValue (), 136.f / 170.f);
		s->onMouseUp (p, 0);
	}
}

TEST_F (Mouse, ExtraButtonsAtPressStillEndTheEdit)
{
	s->setValue (0.5f);
	CPoint p (170, 30);
	EXPECT_EQ (s->onMouseDown (p, kLButton | kRButton), kMouseEventHandled);
	EXPECT_EQ (s->getValue (), 0.5f);
	CPoint q (60, 30);
	EXPECT_EQ (s->onMouseMoved (q, kLButton | kButton4), kMouseEventNotHandled);
	EXPECT_EQ (s->getValue (), 0.5f);
	EXPECT_EQ (s->onMouseMoved (q, kLButton | kControl | kDoubleClick), kMouseEventHandled);
	EXPECT_NE (s->getValue (), 0.5f);
	s->onMouseUp (q, 0);
	EXPECT_FALSE (s->isEditing ());
	EXPECT_EQ (listener.begins, 1);
	EXPECT_EQ (listener.ends, 1);
}

TEST_F (Mouse, BadInputStaysInRange)
{
	const double nan = std::numeric_limits<double>::quiet_NaN ();
	auto check = [&] (CPoint p, int32_t buttons, CPoint q) {
		s->setValue (0.5f);
		s->onMouseDown (p, buttons);
		s->onMouseMoved (q, buttons);
		loop.advance (16 * 200);
		EXPECT_GE (s->getValue (), 0.f);
		EXPECT_LE (s->getValue (), 1.f);
		s->onMouseUp (q, 0);
		EXPECT_FALSE (s->isEditing ());
	};
	for (auto mode : {CSliderMode::KWFreeClick, CSliderMode::Touch, CSliderMode::RelativeTouch,
	                  CSliderMode::FreeClick, CSliderMode::Ramp})
	{
		s->setSliderMode (mode);
		check (CPoint (nan, nan), kLButton, CPoint (nan, nan));
		check (CPoint (105, 30), kLButton, CPoint (nan, 30));
		s->setHandleRangePrivate (0.);
		check (CPoint (150, 30), kLButton, CPoint (20, 30));
		s->setViewSize (s->getViewSize ());
		s->setZoomFactor (0.f);
		check (CPoint (105, 30), kLButton | kShift, CPoint (150, 30));
		s->setZoomFactor (10.f);
	}
	EXPECT_EQ (loop.numTimers (), 0u);
}

// Between two paints the listener still hears a move back to the drawn value, and a
// cancel that restores it.
TEST_F (Mouse, ListenerHearsEveryChangeWithoutAPaint)
{
	s->setValue (0.5f);
	s->setDirty (false); // drawn at 0.5; no paint from here on
	CPoint on (110, 30), away (146, 30);
	s->onMouseDown (on, kLButton);
	s->onMouseMoved (away, kLButton);
	s->onMouseMoved (on, kLButton);
	EXPECT_EQ (listener.values, (std::vector<float> {0.7f, 0.5f}));
	s->onMouseUp (on, 0);

	listener.clear ();
	s->onMouseDown (on, kLButton);
	s->onMouseMoved (away, kLButton);
	s->onMouseCancel ();
	EXPECT_EQ (listener.values, (std::vector<float> {0.7f, 0.5f}));
	EXPECT_EQ (listener.ends, 1);
}

// A copy made while a ramp runs has no ramp of its own: its first drag is a drag.
TEST_F (Mouse, CopyOfARampingSliderStartsIdle)
{
	s->setSliderMode (CSliderMode::Ramp);
	s->setValue (0.5f);
	CPoint p (190, 30);
	s->onMouseDown (p, kLButton);
	loop.advance (16);
	auto copy = attach (owned (new TestSlider (*s)));
	EXPECT_FALSE (copy->isRamping ());
	s->onMouseUp (p, 0);
	EXPECT_EQ (loop.numTimers (), 0u);

	copy->setSliderMode (CSliderMode::KWFreeClick);
	CPoint q (60, 30);
	copy->onMouseDown (q, kLButton);
	EXPECT_FLOAT_EQ (copy->getValue (), 41.f / 180.f); // centred one pixel past the pointer
	copy->onMouseUp (q, 0);
}

// The ramp's timer runs on the frame's run loop and goes when the slider leaves it.
TEST_F (Mouse, RampEndsWithItsFrame)
{
	s->setSliderMode (CSliderMode::Ramp);
	CPoint p (190, 30);
	s->onMouseDown (p, kLButton);
	EXPECT_EQ (loop.numTimers (), 1u);
	frame->removeView (s);
	EXPECT_EQ (loop.numTimers (), 0u);
	EXPECT_FALSE (s->isEditing ());
	EXPECT_EQ (listener.ends, 1);
	loop.advance (100);

	// Outside a frame there is no run loop, so nothing ticks.
	s->onMouseDown (p, kLButton);
	const float pressed = s->getValue ();
	loop.advance (160);
	EXPECT_EQ (s->getValue (), pressed);
	s->onMouseUp (p, 0);
}

} // namespace
} // namespace test
} // namespace VSTGUI
