// Mouse gestures: modes, reset click, fine tuning, ramp, cancel.
#include "slidertestutil.h"

#include <cmath>
#include <limits>

namespace VSTGUI {
namespace test {
namespace {

constexpr int32_t kH = CSliderBase::kHorizontal | CSliderBase::kLeft;
constexpr int32_t kHRight = CSliderBase::kHorizontal | CSliderBase::kRight;
constexpr int32_t kV = CSliderBase::kVertical | CSliderBase::kTop;
constexpr int32_t kVBottom = CSliderBase::kVertical | CSliderBase::kBottom;

// Horizontal views span x 10..210 at y 20..40, vertical ones y 10..210 at x 30..50;
// the 20 x 20 handle travels 180 pixels.
const CRect kHRect (10, 20, 210, 40);
const CRect kVRect (30, 10, 50, 210);
constexpr double kRange = 180.;

struct Geometry
{
	int32_t style;
	bool horizontal;
	bool flipped; // value 0 at the far end
};

// Point at a given distance along the axis, across the middle of the view.
CPoint along (const Geometry& g, double pos)
{
	return g.horizontal ? CPoint (pos, 30) : CPoint (40, pos);
}

// Near edge of the handle for a normalised value.
double handleStart (const Geometry& g, float value)
{
	float n = g.flipped ? 1.f - value : value;
	return 10. + std::trunc (static_cast<double> (n) * kRange);
}

// Normalised value that puts the handle's near edge at pos.
float valueForStart (const Geometry& g, double pos)
{
	float n = static_cast<float> ((pos - 10.) / kRange);
	return g.flipped ? 1.f - n : n;
}

std::string geometryName (const ::testing::TestParamInfo<Geometry>& info)
{
	static const char* names[] = {"Left", "Right", "Top", "Bottom"};
	return names[info.index];
}

class SliderModes : public SliderTest, public ::testing::WithParamInterface<Geometry>
{
protected:
	SharedPointer<TestSlider> make (CSliderMode mode)
	{
		const Geometry& g = GetParam ();
		auto s = owned (makeSlider (g.horizontal ? kHRect : kVRect, g.style, &listener));
		s->setSliderMode (mode);
		return s;
	}
	RecordingListener listener;
};

INSTANTIATE_TEST_SUITE_P (Orientations, SliderModes,
                          ::testing::Values (Geometry {kH, true, false},
                                             Geometry {kHRight, true, true},
                                             Geometry {kV, false, false},
                                             Geometry {kVBottom, false, true}),
                          geometryName);

TEST_P (SliderModes, DefaultSliderFollowsGlobalKWFreeClick)
{
	const Geometry& g = GetParam ();
	auto s = make (CSliderMode::UseGlobal);
	ASSERT_EQ (CSliderBase::getGlobalMode (), CSliderMode::KWFreeClick);
	EXPECT_EQ (s->getSliderMode (), CSliderMode::UseGlobal);
	EXPECT_EQ (s->getEffectiveSliderMode (), CSliderMode::KWFreeClick);

	// Beside the handle: centred grab, the handle's centre lands one pixel past the pointer.
	s->setValue (0.5f);
	CPoint p = along (g, 170.);
	EXPECT_EQ (s->onMouseDown (p, kLButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (s->getValue (), valueForStart (g, 161.));
}

TEST_P (SliderModes, PressOnHandleSnapsToWholePixelAndDragsRelatively)
{
	const Geometry& g = GetParam ();
	for (auto mode : {CSliderMode::KWFreeClick, CSliderMode::Touch, CSliderMode::RelativeTouch,
	                  CSliderMode::Ramp})
	{
		SCOPED_TRACE (static_cast<int> (mode));
		auto s = make (mode);
		s->setValue (0.33f);
		s->setDirty (false);
		listener.clear ();
		const double start = handleStart (g, 0.33f); // 0.33 * 180 = 59.4 -> 59
		ASSERT_EQ (start, g.flipped ? 130. : 69.);

		CPoint p = along (g, start + 6.);
		EXPECT_EQ (s->onMouseDown (p, kLButton), kMouseEventHandled);
		EXPECT_FALSE (s->isRamping ());
		EXPECT_FLOAT_EQ (s->getValue (), valueForStart (g, start));
		EXPECT_NE (s->getValue (), 0.33f);
		EXPECT_EQ (listener.begins, 1);
		ASSERT_EQ (listener.values.size (), 1u);

		CPoint q = along (g, start + 6. + 18.);
		EXPECT_EQ (s->onMouseMoved (q, kLButton), kMouseEventHandled);
		EXPECT_FLOAT_EQ (s->getValue (), valueForStart (g, start + 18.));

		// Only the axis coordinate counts.
		CPoint r = g.horizontal ? CPoint (q.x, 500) : CPoint (-300, q.y);
		s->onMouseMoved (r, kLButton);
		EXPECT_FLOAT_EQ (s->getValue (), valueForStart (g, start + 18.));

		EXPECT_EQ (s->onMouseUp (q, 0), kMouseEventHandled);
		EXPECT_EQ (listener.ends, 1);
		EXPECT_FALSE (s->isEditing ());
	}
}

TEST_P (SliderModes, KWFreeClickOnFarEdgeCountsAsBeside)
{
	const Geometry& g = GetParam ();
	auto s = make (CSliderMode::KWFreeClick);
	s->setValue (0.5f);
	const double start = handleStart (g, 0.5f); // 100
	CPoint p = along (g, start + 20.);          // right or bottom edge: outside
	s->onMouseDown (p, kLButton);
	EXPECT_FLOAT_EQ (s->getValue (), valueForStart (g, start + 20. - 9.));
}

TEST_P (SliderModes, FreeClickCentresEvenOnTheHandle)
{
	const Geometry& g = GetParam ();
	auto s = make (CSliderMode::FreeClick);
	s->setValue (0.5f);
	CPoint p = along (g, 105.);
	s->onMouseDown (p, kLButton);
	EXPECT_FLOAT_EQ (s->getValue (), valueForStart (g, 96.));
}

TEST_P (SliderModes, TouchIgnoresPressBesideHandle)
{
	const Geometry& g = GetParam ();
	auto s = make (CSliderMode::Touch);
	s->setValue (0.5f);
	s->setDefaultValue (0.2f);
	listener.clear ();
	for (int32_t buttons : {int32_t (kLButton), int32_t (kLButton | kAlt)})
	{
		CPoint p = along (g, 170.);
		EXPECT_EQ (s->onMouseDown (p, buttons), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
		EXPECT_EQ (s->getValue (), 0.5f);
		EXPECT_FALSE (s->isEditing ());
		EXPECT_EQ (listener.begins, 0);
		EXPECT_TRUE (listener.values.empty ());
		EXPECT_EQ (s->onMouseMoved (p, kLButton), kMouseEventNotHandled);
	}
}

TEST_P (SliderModes, RelativeTouchBesideHandleDragsAndSkipsReset)
{
	const Geometry& g = GetParam ();
	auto s = make (CSliderMode::RelativeTouch);
	s->setValue (0.5f);
	s->setDefaultValue (0.2f);
	CPoint p = along (g, 170.);
	EXPECT_EQ (s->onMouseDown (p, kLButton | kAlt), kMouseEventHandled);
	EXPECT_TRUE (s->isEditing ());
	EXPECT_FLOAT_EQ (s->getValue (), 0.5f);
	CPoint q = along (g, g.flipped ? 152. : 188.);
	s->onMouseMoved (q, kLButton);
	EXPECT_FLOAT_EQ (s->getValue (), 0.6f);
	s->onMouseUp (q, 0);

	// On the handle the same click resets.
	CPoint h = along (g, handleStart (g, s->getValue ()) + 3.);
	EXPECT_EQ (s->onMouseDown (h, kLButton | kAlt),
	           kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_FLOAT_EQ (s->getValue (), 0.2f);
}

TEST_P (SliderModes, RampStepsTowardPointerAndLandsCentred)
{
	const Geometry& g = GetParam ();
	auto s = make (CSliderMode::Ramp);
	s->setValue (0.5f);
	CPoint p = along (g, 150.);
	EXPECT_EQ (s->onMouseDown (p, kLButton), kMouseEventHandled);
	EXPECT_TRUE (s->isRamping ());
	EXPECT_EQ (s->getValue (), 0.5f);

	// Target: the value whose handle is centred one pixel past the pointer.
	const float target = valueForStart (g, 150. - 9.);
	const float sign = target > 0.5f ? 1.f : -1.f;
	loop.advance (15);
	EXPECT_EQ (s->getValue (), 0.5f);
	loop.advance (1);
	EXPECT_NEAR (s->getValue (), 0.5f + sign * 0.01f, 1e-6);
	loop.advance (16 * 4);
	EXPECT_NEAR (s->getValue (), 0.5f + sign * 0.05f, 1e-5);

	int ticks = 5;
	while (s->isRamping () && ticks < 100)
	{
		loop.advance (16);
		++ticks;
	}
	EXPECT_FALSE (s->isRamping ());
	EXPECT_EQ (ticks, 23); // 0.2278 away: 22 whole steps, then the last one lands
	EXPECT_FLOAT_EQ (s->getValue (), target);
	loop.advance (160);
	EXPECT_FLOAT_EQ (s->getValue (), target);

	// After arriving, a move drags with the handle centred on the pointer.
	CPoint q = along (g, 60.);
	s->onMouseMoved (q, kLButton);
	EXPECT_FLOAT_EQ (s->getValue (), valueForStart (g, 60. - 9.));
	s->onMouseUp (q, 0);
	EXPECT_FALSE (s->isEditing ());
}

TEST_P (SliderModes, RampReaimsAndStopsOnRelease)
{
	const Geometry& g = GetParam ();
	auto s = make (CSliderMode::Ramp);
	s->setValue (0.5f);
	CPoint p = along (g, 180.);
	s->onMouseDown (p, kLButton);
	loop.advance (16 * 3);
	const float afterThree = s->getValue ();
	EXPECT_NEAR (std::fabs (afterThree - 0.5f), 0.03f, 1e-5);

	// The pointer moves to the other side: the ramp turns around.
	CPoint q = along (g, 20.);
	EXPECT_EQ (s->onMouseMoved (q, kLButton), kMouseEventHandled);
	EXPECT_EQ (s->getValue (), afterThree);
	loop.advance (16);
	EXPECT_NEAR (std::fabs (s->getValue () - 0.5f), 0.02f, 1e-5);

	s->onMouseUp (q, 0);
	EXPECT_FALSE (s->isRamping ());
	const float stopped = s->getValue ();
	loop.advance (500);
	EXPECT_EQ (s->getValue (), stopped);
	EXPECT_EQ (loop.numTimers (), 0u);
}

TEST_P (SliderModes, CancelRestoresValueFromPress)
{
	const Geometry& g = GetParam ();
	auto s = make (CSliderMode::KWFreeClick);
	s->setValue (0.25f);
	s->setDirty (false);
	CPoint p = along (g, 170.);
	s->onMouseDown (p, kLButton);
	CPoint q = along (g, 40.);
	s->onMouseMoved (q, kLButton);
	ASSERT_NE (s->getValue (), 0.25f);
	s->setDirty (false); // drawn
	listener.clear ();

	EXPECT_EQ (s->onMouseCancel (), kMouseEventHandled);
	EXPECT_EQ (s->getValue (), 0.25f);
	EXPECT_EQ (listener.values, std::vector<float> {0.25f});
	EXPECT_EQ (listener.ends, 1);
	EXPECT_FALSE (s->isEditing ());

	// Outside an edit: nothing happens.
	listener.clear ();
	EXPECT_EQ (s->onMouseCancel (), kMouseEventHandled);
	EXPECT_EQ (listener.ends, 0);
	EXPECT_TRUE (listener.values.empty ());
}

TEST_P (SliderModes, EscapeCancelsDragAndRamp)
{
	const Geometry& g = GetParam ();
	auto s = make (CSliderMode::Ramp);
	s->setValue (0.5f);
	VstKeyCode esc;
	esc.virt = VKEY_ESCAPE;
	EXPECT_EQ (s->onKeyDown (esc), -1);

	CPoint p = along (g, 190.);
	s->onMouseDown (p, kLButton);
	loop.advance (16 * 5);
	ASSERT_NE (s->getValue (), 0.5f);
	EXPECT_EQ (s->onKeyDown (esc), 1);
	EXPECT_EQ (s->getValue (), 0.5f);
	EXPECT_FALSE (s->isRamping ());
	EXPECT_FALSE (s->isEditing ());
	loop.advance (100);
	EXPECT_EQ (s->getValue (), 0.5f);
}

//------------------------------------------------------------------------
class SliderMouse : public SliderTest
{
protected:
	SharedPointer<TestSlider> s = owned (makeSlider (kHRect, kH, &listener));
	RecordingListener listener;
};

TEST_F (SliderMouse, PressNeedsLeftButton)
{
	s->setValue (0.5f);
	for (int32_t b : {0, int32_t (kRButton), int32_t (kMButton | kAlt), int32_t (kRButton | kApple | kAlt)})
	{
		CPoint p (170, 30);
		EXPECT_EQ (s->onMouseDown (p, b), kMouseEventNotHandled);
		EXPECT_FALSE (s->isEditing ());
	}
	EXPECT_EQ (s->getValue (), 0.5f);
	EXPECT_EQ (listener.begins, 0);

	// Other buttons held with the left one do not matter at the press; moves need the
	// left button alone. The press still asks for the release that ends its edit.
	CPoint p (170, 30);
	EXPECT_EQ (s->onMouseDown (p, kLButton | kRButton), kMouseEventHandled);
	EXPECT_TRUE (s->isEditing ());
	EXPECT_EQ (s->getValue (), 0.5f);
	CPoint q (60, 30);
	EXPECT_EQ (s->onMouseMoved (q, kLButton | kButton4), kMouseEventNotHandled);
	EXPECT_EQ (s->getValue (), 0.5f);
	EXPECT_EQ (s->onMouseMoved (q, kLButton | kControl | kDoubleClick), kMouseEventHandled);
	EXPECT_NE (s->getValue (), 0.5f);
	s->onMouseUp (q, 0);
	EXPECT_FALSE (s->isEditing ());
	EXPECT_EQ (listener.begins, listener.ends);
}

TEST_F (SliderMouse, MoveAndReleaseOutsideAnEditDoNothing)
{
	s->setValue (0.5f);
	CPoint p (170, 30);
	EXPECT_EQ (s->onMouseMoved (p, kLButton), kMouseEventNotHandled);
	EXPECT_EQ (s->onMouseUp (p, kLButton), kMouseEventHandled);
	EXPECT_EQ (s->getValue (), 0.5f);
	EXPECT_EQ (listener.ends, 0);
}

TEST_F (SliderMouse, AltClickResetsToDefault)
{
	s->setDefaultValue (0.75f);
	for (int32_t extra : {0, int32_t (kDoubleClick)})
	{
		s->setValue (0.3f);
		listener.clear ();
		CPoint p (40, 30);
		EXPECT_EQ (s->onMouseDown (p, kLButton | kAlt | extra),
		           kMouseDownEventHandledButDontNeedMovedOrUpEvents);
		EXPECT_EQ (s->getValue (), 0.75f);
		EXPECT_EQ (listener.begins, 1);
		EXPECT_EQ (listener.values, std::vector<float> {0.75f});
		EXPECT_EQ (listener.ends, 1);
		EXPECT_FALSE (s->isEditing ());
		EXPECT_EQ (s->onMouseMoved (p, kLButton), kMouseEventNotHandled);
		EXPECT_EQ (s->getValue (), 0.75f);
	}

	// Already at the default: nothing is sent, and still no drag.
	listener.clear ();
	CPoint p (40, 30);
	EXPECT_EQ (s->onMouseDown (p, kLButton | kAlt),
	           kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (listener.begins, 0);
	EXPECT_TRUE (listener.values.empty ());
	EXPECT_FALSE (s->isEditing ());
}

TEST_F (SliderMouse, ClicksThatAreNoReset)
{
	s->setDefaultValue (0.75f);
	// Alt with Shift, Command or Control, and plain or Command clicks: ordinary presses.
	for (int32_t mods : {0, int32_t (kControl), int32_t (kAlt | kShift), int32_t (kAlt | kControl),
	                     int32_t (kAlt | kApple)})
	{
		SCOPED_TRACE (mods);
		s->setValue (0.3f);
		CPoint p (40, 30);
		EXPECT_EQ (s->onMouseDown (p, kLButton | mods), kMouseEventHandled);
		EXPECT_TRUE (s->isEditing ());
		EXPECT_NE (s->getValue (), 0.75f);
		s->onMouseUp (p, 0);
	}
}

TEST_F (SliderMouse, ShiftFineTuningAnchors)
{
	s->setValue (0.5f); // handle 100..120
	CPoint p (105, 30);
	EXPECT_EQ (s->onMouseDown (p, kLButton | kShift), kMouseEventHandled);
	EXPECT_EQ (s->getValue (), 0.5f);

	// Plain mapping 0.6: a tenth of the way from the anchor 0.5.
	CPoint q (123, 30);
	s->onMouseMoved (q, kLButton | kShift);
	EXPECT_FLOAT_EQ (s->getValue (), 0.51f);
	q.x = 141; // plain 0.7
	s->onMouseMoved (q, kLButton | kShift);
	EXPECT_FLOAT_EQ (s->getValue (), 0.52f);

	// Shift released: back to the plain mapping from the grab at the press.
	s->onMouseMoved (q, kLButton);
	EXPECT_FLOAT_EQ (s->getValue (), 0.7f);

	// Shift again with the press's state: anchored at the value before that plain move.
	q.x = 159; // plain 0.8
	s->onMouseMoved (q, kLButton | kShift);
	EXPECT_FLOAT_EQ (s->getValue (), 0.52f + 0.028f);
	s->onMouseUp (q, 0);

	// Shift coming into a plain drag anchors at the current value.
	s->setValue (0.5f);
	CPoint a (105, 30);
	s->onMouseDown (a, kLButton);
	a.x = 123;
	s->onMouseMoved (a, kLButton);
	EXPECT_FLOAT_EQ (s->getValue (), 0.6f);
	a.x = 141;
	s->onMouseMoved (a, kLButton | kShift);
	EXPECT_FLOAT_EQ (s->getValue (), 0.61f);
	a.x = 177; // plain 0.9
	s->onMouseMoved (a, kLButton | kShift);
	EXPECT_FLOAT_EQ (s->getValue (), 0.63f);
	s->onMouseUp (a, 0);
}

TEST_F (SliderMouse, ZoomFactorDividesTravel)
{
	s->setZoomFactor (4.f);
	s->setValue (0.5f);
	CPoint p (105, 30);
	s->onMouseDown (p, kLButton | kShift);
	CPoint q (141, 30); // plain 0.7
	s->onMouseMoved (q, kLButton | kShift);
	EXPECT_FLOAT_EQ (s->getValue (), 0.55f);
}

TEST_F (SliderMouse, PressEndsWheelEdit)
{
	s->setValue (0.5f);
	EXPECT_TRUE (s->onWheel (CPoint (0, 0), kMouseWheelAxisX, 1.f, 0));
	EXPECT_EQ (listener.begins, 1);
	EXPECT_EQ (listener.ends, 0);
	CPoint p (40, 30);
	s->onMouseDown (p, kLButton);
	EXPECT_EQ (listener.ends, 1);
	EXPECT_EQ (listener.begins, 2);
	EXPECT_TRUE (s->isEditing ());
	s->onMouseUp (p, 0);
	EXPECT_EQ (listener.ends, 2);
	EXPECT_FALSE (s->isEditing ());
	loop.advance (600);
	EXPECT_EQ (listener.ends, 2);
}

//------------------------------------------------------------------------
// Bad input.

TEST_F (SliderMouse, NaNCoordinatesStayInRange)
{
	const double nan = std::numeric_limits<double>::quiet_NaN ();
	for (auto mode : {CSliderMode::KWFreeClick, CSliderMode::Touch, CSliderMode::RelativeTouch,
	                  CSliderMode::FreeClick, CSliderMode::Ramp})
	{
		s->setSliderMode (mode);
		s->setValue (0.5f);
		CPoint p (nan, nan);
		auto result = s->onMouseDown (p, kLButton);
		EXPECT_TRUE (result == kMouseEventHandled ||
		             result == kMouseDownEventHandledButDontNeedMovedOrUpEvents);
		s->onMouseMoved (p, kLButton);
		loop.advance (16 * 5);
		EXPECT_GE (s->getValue (), 0.f);
		EXPECT_LE (s->getValue (), 1.f);
		s->onMouseUp (p, 0);
		EXPECT_FALSE (s->isEditing ());
	}
}

TEST_F (SliderMouse, ZeroRangeOrZoomStaysInRange)
{
	s->setHandleRangePrivate (0.);
	s->setValue (0.5f);
	CPoint p (150, 30);
	s->onMouseDown (p, kLButton);
	EXPECT_GE (s->getValue (), 0.f);
	EXPECT_LE (s->getValue (), 1.f);
	s->onMouseUp (p, 0);

	s->setSliderMode (CSliderMode::Ramp);
	CPoint r (150, 30);
	s->onMouseDown (r, kLButton);
	loop.advance (16 * 200);
	EXPECT_GE (s->getValue (), 0.f);
	EXPECT_LE (s->getValue (), 1.f);
	s->onMouseUp (r, 0);

	s->setSliderMode (CSliderMode::KWFreeClick);
	s->setViewSize (kHRect);
	s->setZoomFactor (0.f);
	s->setValue (0.5f);
	CPoint z (105, 30);
	s->onMouseDown (z, kLButton | kShift);
	z.x = 150;
	s->onMouseMoved (z, kLButton | kShift);
	EXPECT_GE (s->getValue (), 0.f);
	EXPECT_LE (s->getValue (), 1.f);
	s->onMouseUp (z, 0);
}

TEST_F (SliderMouse, RampTimerOutlivesItsSlider)
{
	s->setSliderMode (CSliderMode::Ramp);
	s->setValue (0.5f);
	CPoint p (190, 30);
	s->onMouseDown (p, kLButton);
	loop.advance (16);

	// The copy shares the running timer; the timer acts on the original only.
	SharedPointer<TestSlider> copy = owned (new TestSlider (*s));
	EXPECT_TRUE (copy->isRamping ());
	const float copied = copy->getValue ();
	loop.advance (16);
	EXPECT_NEAR (s->getValue (), 0.52f, 1e-5);
	EXPECT_EQ (copy->getValue (), copied);

	// The original goes away while the copy still holds the timer.
	s = nullptr;
	loop.advance (16 * 10);
	EXPECT_EQ (copy->getValue (), copied);
	copy = nullptr;
	EXPECT_EQ (loop.numTimers (), 0u);
}

TEST_F (SliderMouse, DestroyingRampingSliderStopsTimer)
{
	s->setSliderMode (CSliderMode::Ramp);
	s->setValue (0.5f);
	CPoint p (190, 30);
	s->onMouseDown (p, kLButton);
	EXPECT_EQ (loop.numTimers (), 1u);
	s = nullptr;
	EXPECT_EQ (loop.numTimers (), 0u);
	loop.advance (100);
}

} // namespace
} // namespace test
} // namespace VSTGUI
