// Geometry, wheel, keys, construction, copies and settings.
#include "slidertestutil.h"

#include <limits>
#include <string>

namespace VSTGUI {
namespace test {
namespace {

TEST (SliderGeometry, ResizeAndHandleRect)
{
	auto handle = bitmap (20, 10);
	// The minimum/maximum form's handleMinPos (5) lasts until the first size change.
	auto s = owned (new TestSlider (CRect (10, 20, 210, 40), nullptr, 0, 15, 185, handle, nullptr,
	                                CPoint (0, 0), S::kHorizontal | S::kLeft));
	EXPECT_EQ (s->getHandleMinPosPrivate (), 5.);
	s->setOffsetHandle (CPoint (5, 0));
	s->setViewSize (CRect (10, 20, 210, 40));
	EXPECT_EQ (s->getHandleMinPosPrivate (), 0.);
	EXPECT_EQ (s->getHandleRangePrivate (), 170.);
	EXPECT_EQ (s->getMinPosPrivate (), 5.);
	EXPECT_EQ (s->getMaxPosPrivate (), 195.);
	EXPECT_EQ (s->calculateHandleRect (0.f), CRect (15, 20, 35, 30));
	EXPECT_EQ (s->calculateHandleRect (1.f), CRect (185, 20, 205, 30));
	for (int32_t flip : {int32_t (S::kRight), int32_t (S::kBottom)})
	{
		s->setStyle (S::kHorizontal | flip);
		EXPECT_EQ (s->calculateHandleRect (0.f), CRect (185, 20, 205, 30));
	}
	s->setViewSize (CRect (10, 20, 211, 40)); // travel 171: 0.5 gives 85
	EXPECT_EQ (s->calculateHandleRect (0.5f).right, 10. + 5. + 85. + 20.);
	s->setViewSize (CRect (0, 0, 25, 10)); // shorter than handle and offsets
	EXPECT_EQ (s->getHandleRangePrivate (), -5.);

	auto v = makeSlider (CRect (30, 10, 50, 210), S::kVertical | S::kBottom, nullptr, 10, 20);
	v->setOffsetHandle (CPoint (2, 5));
	v->setViewSize (v->getViewSize ());
	EXPECT_EQ (v->getHandleRangePrivate (), 170.);
	EXPECT_EQ (v->getMaxPosPrivate (), 195.);
	EXPECT_EQ (v->calculateHandleRect (0.f), CRect (32, 185, 42, 205));
	EXPECT_EQ (v->calculateHandleRect (1.f), CRect (32, 15, 42, 35));

	// Clamps act on one edge each: minPos -10 and maxPos 180 here.
	auto c = owned (new TestSlider (CRect (10, 0, 210, 20), nullptr, 0, 0, 170, nullptr, nullptr,
	                                CPoint (0, 0), S::kHorizontal));
	c->setHandleSizePrivate (20, 20);
	EXPECT_EQ (c->calculateHandleRect (1.f), CRect (180, 0, 190, 20)); // shortened
	c->setHandleMinPosPrivate (30);
	EXPECT_EQ (c->calculateHandleRect (0.f), CRect (40, 0, 60, 20)); // moved up, full size
}

TEST (SliderGeometry, SetHandle)
{
	auto s = makeSlider (CRect (10, 20, 210, 40), S::kHorizontal, nullptr, 1, 1);
	const auto invalids = s->getInvalidCount ();
	auto handle = bitmap (20, 10);
	s->setHandle (handle);
	s->setHandle (handle);
	EXPECT_EQ (handle->getNumberOfReferences (), 2);
	EXPECT_EQ (s->getHandleSizePrivate (), CPoint (20, 10));
	EXPECT_EQ (s->getHandleRangePrivate (), 180.);
	s->setHandle (nullptr);
	EXPECT_EQ (handle->getNumberOfReferences (), 1);
	EXPECT_EQ (s->getHandleSizePrivate (), CPoint (1, 1));
	EXPECT_EQ (s->getHandleRangePrivate (), 180.);
	EXPECT_EQ (s->getMaxPosPrivate (), 181.);
	EXPECT_EQ (s->getInvalidCount (), invalids);
}

//------------------------------------------------------------------------
struct Direction
{
	const char* name;
	int32_t style;
	float wheel, left, up, right, down;
};

const Direction kDirections[] = {
    {"HorizontalLeft", S::kHorizontal | S::kLeft, -1, -1, 1, 1, -1},
    {"HorizontalRight", S::kHorizontal | S::kRight, 1, 1, -1, -1, 1},
    {"VerticalBottom", S::kVertical | S::kBottom, 1, -1, 1, 1, -1},
    {"VerticalTop", S::kVertical | S::kTop, -1, 1, -1, -1, 1}};

class Directions : public SliderTest, public ::testing::WithParamInterface<Direction>
{
protected:
	SharedPointer<TestSlider> make (float value)
	{
		const bool horizontal = GetParam ().style & S::kHorizontal;
		auto s = makeSlider (horizontal ? CRect (0, 0, 200, 20) : CRect (0, 0, 20, 200),
		                     GetParam ().style, &listener);
		s->setValue (value);
		s->setDirty (false);
		listener.clear ();
		return s;
	}
};

INSTANTIATE_TEST_SUITE_P (Table, Directions, ::testing::ValuesIn (kDirections),
                          [] (const auto& info) { return std::string (info.param.name); });

TEST_P (Directions, WheelAndItsEdit)
{
	auto s = make (0.5f);
	const bool horizontal = GetParam ().style & S::kHorizontal;
	const auto axis = horizontal ? kMouseWheelAxisX : kMouseWheelAxisY;
	const auto other = horizontal ? kMouseWheelAxisY : kMouseWheelAxisX;
	EXPECT_FALSE (s->onWheel (CPoint (), other, 1.f, 0));
	EXPECT_FALSE (s->isEditing ());

	EXPECT_TRUE (s->onWheel (CPoint (), axis, 1.f, 0));
	EXPECT_FLOAT_EQ (s->getValue (), 0.5f + GetParam ().wheel * 0.1f);
	loop.advance (400);
	EXPECT_TRUE (s->onWheel (CPoint (), axis, 2.f, kShift));
	EXPECT_FLOAT_EQ (s->getValue (), 0.5f + GetParam ().wheel * 0.12f);
	EXPECT_EQ (listener.values.size (), 2u);
	loop.advance (499);
	EXPECT_EQ (listener.ends, 0);
	loop.advance (1);
	EXPECT_EQ (listener.begins, 1);
	EXPECT_EQ (listener.ends, 1);

	// At the limit: still used, still an edit, no notification.
	s->setValue (1.f);
	s->setDirty (false);
	listener.clear ();
	EXPECT_TRUE (s->onWheel (CPoint (), axis, GetParam ().wheel, 0));
	EXPECT_EQ (s->getValue (), 1.f);
	EXPECT_TRUE (listener.values.empty ());
	EXPECT_TRUE (s->isEditing ());
	// A press ends the wheel edit before its own begins.
	CPoint p (5, 5);
	s->onMouseDown (p, kLButton);
	EXPECT_EQ (listener.ends, 1);
	EXPECT_EQ (listener.begins, 2);
	s->onMouseUp (p, 0);

	s->setMouseEnabled (false);
	EXPECT_FALSE (s->onWheel (CPoint (), axis, 1.f, 0));
}

TEST_P (Directions, ArrowKeys)
{
	const Direction& d = GetParam ();
	for (auto [virt, sign] : {std::pair<uint8_t, float> {VKEY_LEFT, d.left}, {VKEY_UP, d.up},
	                          {VKEY_RIGHT, d.right}, {VKEY_DOWN, d.down}})
	{
		SCOPED_TRACE (int (virt));
		auto s = make (0.5f);
		VstKeyCode key;
		key.virt = virt;
		EXPECT_EQ (s->onKeyDown (key), 1);
		EXPECT_FLOAT_EQ (s->getValue (), 0.5f + sign * 0.1f);
		EXPECT_EQ (listener.begins, 1);
		EXPECT_EQ (listener.values.size (), 1u);
		EXPECT_EQ (listener.ends, 1);
		key.modifier = MODIFIER_SHIFT;
		EXPECT_EQ (s->onKeyDown (key), 1);
		EXPECT_FLOAT_EQ (s->getValue (), 0.5f + sign * 0.11f);

		s->setValue (sign < 0 ? 0.f : 1.f); // at the limit the key changes nothing
		s->setDirty (false);
		listener.clear ();
		EXPECT_EQ (s->onKeyDown (key), 1);
		EXPECT_EQ (listener.begins + listener.values.size (), 0u);
	}
	auto s = make (0.5f);
	VstKeyCode other;
	other.character = 'a';
	EXPECT_EQ (s->onKeyDown (other), -1);
	other.virt = VKEY_RETURN;
	EXPECT_EQ (s->onKeyDown (other), -1);
	other.virt = VKEY_ESCAPE;
	EXPECT_EQ (s->onKeyDown (other), -1);
}

// Escape during a wheel edit restores the value from before the wheel edit, not the
// start value of an earlier drag, and the listener hears of it.
TEST_P (Directions, EscapeUndoesTheWheelEdit)
{
	auto s = make (0.5f);
	const auto axis = GetParam ().style & S::kHorizontal ? kMouseWheelAxisX : kMouseWheelAxisY;
	CPoint p (5, 5);
	s->onMouseDown (p, kLButton); // an earlier drag from 0.5
	CPoint q (150, 150);
	s->onMouseMoved (q, kLButton);
	s->onMouseUp (q, 0);
	const float dragged = s->getValue ();
	ASSERT_NE (dragged, 0.5f);
	s->onWheel (CPoint (), axis, 1.f, 0);
	s->onWheel (CPoint (), axis, 1.f, 0);
	listener.clear ();
	VstKeyCode escape;
	escape.virt = VKEY_ESCAPE;
	EXPECT_EQ (s->onKeyDown (escape), 1);
	EXPECT_EQ (s->getValue (), dragged);
	EXPECT_EQ (listener.values, std::vector<float> {dragged});
	EXPECT_EQ (listener.ends, 1);
	EXPECT_FALSE (s->isEditing ());
}

//------------------------------------------------------------------------
TEST (SliderConstruction, Forms)
{
	// As the view creator makes it.
	auto s = owned (new TestSlider (CRect (), nullptr, -1, 0, 0, nullptr, nullptr, CPoint (), 5));
	EXPECT_EQ (s->getHandleRangePrivate (), 0.);
	EXPECT_EQ (s->getMaxPosPrivate (), 1.);
	EXPECT_EQ (s->getFrameWidth (), 1.);
	EXPECT_EQ (s->getDrawStyle (), 0);
	EXPECT_EQ (s->getFrameColor (), CColor (127, 127, 127, 255));
	EXPECT_EQ (s->getBackColor (), CColor (0, 0, 0, 255));
	EXPECT_EQ (s->getValueColor (), CColor (255, 255, 255, 255));
	EXPECT_TRUE (s->wantsFocus ());
	EXPECT_EQ (s->getSliderMode (), CSliderMode::UseGlobal);
	EXPECT_EQ (s->getZoomFactor (), 10.f);

	auto handle = bitmap (20, 10);
	auto back = bitmap (200, 20);
	auto m = owned (new TestSlider (CRect (10, 20, 210, 40), nullptr, 7, 15, 185, handle, back,
	                                CPoint (3, 4), S::kHorizontal | S::kLeft));
	EXPECT_EQ (m->getHandleRangePrivate (), 170.);
	EXPECT_EQ (m->getMinPosPrivate (), 5.);
	EXPECT_EQ (m->getMaxPosPrivate (), 195.);
	EXPECT_EQ (m->getOffset (), CPoint (3, 4));
	EXPECT_EQ (handle->getNumberOfReferences (), 2);
	EXPECT_EQ (back->getNumberOfReferences (), 2);

	auto o = owned (new TestSlider (CRect (10, 20, 210, 40), nullptr, 0, CPoint (5, 3), 150,
	                                handle, nullptr, CPoint (), S::kHorizontal));
	EXPECT_EQ (o->getHandleRangePrivate (), 130.);
	EXPECT_EQ (o->getMinPosPrivate (), 5.);
	EXPECT_EQ (o->getMaxPosPrivate (), 155.);
	EXPECT_TRUE (o->wantsFocus ());

	// Vertical: top edge, handle height, y offset.
	auto vm = owned (new TestSlider (CRect (10, 20, 30, 220), nullptr, 0, 25, 195, handle, nullptr,
	                                 CPoint (), S::kVertical));
	EXPECT_EQ (vm->getHandleMinPosPrivate (), 5.);
	EXPECT_EQ (vm->getMaxPosPrivate (), 185.);

	m = o = vm = nullptr;
	EXPECT_EQ (handle->getNumberOfReferences (), 1);
	EXPECT_EQ (back->getNumberOfReferences (), 1);
}

TEST (SliderConstruction, SizeToFitAndOffset)
{
	auto back = bitmap (30, 200);
	auto s = owned (new TestSlider (CRect (10, 20, 15, 25), nullptr, 0, 0, 0, bitmap (30, 20),
	                                back, CPoint (), S::kVertical | S::kBottom));
	EXPECT_TRUE (s->sizeToFit ());
	EXPECT_EQ (s->getViewSize (), CRect (10, 20, 40, 220));
	EXPECT_EQ (s->getMouseableArea (), CRect (10, 20, 40, 220));
	EXPECT_EQ (s->getHandleRangePrivate (), 180.);
	const auto invalids = s->getInvalidCount ();
	s->setOffset (CPoint (4, 7));
	EXPECT_EQ (s->getOffset (), CPoint (4, 7));
	EXPECT_EQ (s->getInvalidCount (), invalids);

	auto bare = makeSlider (CRect (10, 20, 15, 25), S::kVertical, nullptr);
	EXPECT_FALSE (bare->sizeToFit ());
	EXPECT_EQ (bare->getViewSize (), CRect (10, 20, 15, 25));
}

TEST (SliderConstruction, VariantsForceOrientation)
{
	const CRect r (0, 0, 20, 200);
	const std::tuple<bool, int32_t, int32_t> cases[] = {
	    {true, 0, 2}, {true, S::kBottom, 34}, {false, S::kLeft, 5}, {false, 9, 9}, {true, 1, 3}};
	for (auto [vertical, in, out] : cases)
	{
		SharedPointer<CSlider> a, b;
		if (vertical)
		{
			a = owned<CSlider> (new CVerticalSlider (r, nullptr, 0, 0, 0, nullptr, nullptr, CPoint (), in));
			b = owned<CSlider> (new CVerticalSlider (r, nullptr, 0, CPoint (), 9, nullptr, nullptr, CPoint (), in));
		}
		else
		{
			a = owned<CSlider> (new CHorizontalSlider (r, nullptr, 0, 0, 0, nullptr, nullptr, CPoint (), in));
			b = owned<CSlider> (new CHorizontalSlider (r, nullptr, 0, CPoint (), 9, nullptr, nullptr, CPoint (), in));
		}
		EXPECT_EQ (a->getStyle (), out);
		EXPECT_EQ (b->getStyle (), out);
	}
}

TEST_F (SliderTest, Copies)
{
	auto handle = bitmap (10, 20);
	auto t = attach (owned (new TestSlider (CRect (0, 0, 20, 200), nullptr, 0, CPoint (1, 2), 180,
	                                        handle, nullptr, CPoint (2, 1), S::kVertical | S::kBottom)));
	t->onWheel (CPoint (), kMouseWheelAxisY, 1.f, 0);
	ASSERT_TRUE (t->hasWheelEditTimer ());
	auto tc = owned (new TestSlider (*t));
	EXPECT_FALSE (tc->hasWheelEditTimer ());
	EXPECT_FALSE (tc->isEditing ());
	EXPECT_EQ (tc->getHandleRangePrivate (), 160.);
	EXPECT_EQ (tc->getMinPosPrivate (), 2.);
	EXPECT_EQ (tc->getMaxPosPrivate (), 182.);

	auto v = owned<CSlider> (new CVerticalSlider (CRect (0, 0, 20, 200), nullptr, 0, CPoint (1, 2),
	                                              180, handle, nullptr, CPoint (2, 1), S::kBottom));
	v->setSliderMode (CSliderMode::Ramp);
	v->setZoomFactor (3.5f);
	v->setDrawStyle (CSlider::kDrawFrame | CSlider::kDrawValue);
	v->setFrameWidth (2.5);
	v->setBackColor (CColor (5, 6, 7, 8));
	auto copy = owned (static_cast<CSlider*> (v->newCopy ()));
	EXPECT_EQ (dynamic_cast<CVerticalSlider*> (copy.get ()), nullptr);
	EXPECT_EQ (copy->getStyle (), S::kVertical | S::kBottom);
	EXPECT_EQ (copy->getSliderMode (), CSliderMode::Ramp);
	EXPECT_EQ (copy->getZoomFactor (), 3.5f);
	EXPECT_EQ (copy->getOffset (), CPoint (2, 1));
	EXPECT_EQ (copy->getDrawStyle (), CSlider::kDrawFrame | CSlider::kDrawValue);
	EXPECT_EQ (copy->getFrameWidth (), 2.5);
	EXPECT_EQ (copy->getBackColor (), CColor (5, 6, 7, 8));
	EXPECT_EQ (copy->calculateHandleRect (0.3f), v->calculateHandleRect (0.3f));
	EXPECT_EQ (copy->getHandle (), handle.get ());
	EXPECT_EQ (handle->getNumberOfReferences (), 5);
	frame->removeView (t);
	t = tc = nullptr;
	v = nullptr;
	EXPECT_EQ (handle->getNumberOfReferences (), 2);
	EXPECT_EQ (copy->getHandle ()->getWidth (), 10.);
}

TEST (SliderAppearance, SettersInvalidateOnlyOnChange)
{
	auto s = makeSlider (CRect (0, 0, 100, 20), S::kHorizontal, nullptr);
	auto count = s->getInvalidCount ();
	s->setFrameColor (CColor (127, 127, 127, 255));
	s->setDrawStyle (0);
	s->setFrameWidth (std::numeric_limits<double>::quiet_NaN ());
	EXPECT_EQ (s->getInvalidCount (), count);
	EXPECT_EQ (s->getFrameWidth (), 1.);
	s->setFrameColor (CColor (127, 127, 127, 254)); // alpha alone differs
	s->setDrawStyle (-7);
	s->setFrameWidth (-1.);
	EXPECT_EQ (s->getInvalidCount (), count + 3);
	EXPECT_EQ (s->getFrameColor (), CColor (127, 127, 127, 254));
}

//------------------------------------------------------------------------
std::vector<std::string> assertions;
void recordAssertion (const char*, int, const char*, const char* message)
{
	assertions.push_back (message ? message : "");
}

TEST (SliderModeSettings, NamesGlobalModeAndReports)
{
	const std::string* names = getModeStrings ();
	const char* expected[] = {"touch", "relative touch", "free click", "KW free click", "ramp",
	                          "use global"};
	for (int i = 0; i < kNumSliderModes; ++i)
	{
		EXPECT_EQ (names[i], expected[i]);
		EXPECT_EQ (getSliderModeName (static_cast<CSliderMode> (i)), &names[i]);
	}
	EXPECT_EQ (getModeStrings (), names);
	EXPECT_EQ (getSliderModeName (static_cast<CSliderMode> (6)), nullptr);
	EXPECT_EQ (getSliderModeName (static_cast<CSliderMode> (-1)), nullptr);
	EXPECT_EQ (CSliderBase::getGlobalMode (), CSliderMode::KWFreeClick);
	EXPECT_EQ (CControl::kDefaultValueModifier, kAlt);
	EXPECT_EQ (CControl::kZoomModifier, kShift);

	assertions.clear ();
	setAssertionHandler (&recordAssertion);
	auto s = makeSlider (CRect (0, 0, 100, 20), S::kHorizontal, nullptr);
	s->setStyle (S::kHorizontal | S::kVertical);
	s->setStyle (S::kLeft);
	EXPECT_EQ (s->getStyle (), S::kLeft);
	s->setSliderMode (static_cast<CSliderMode> (9));
	EXPECT_EQ (static_cast<int> (s->getSliderMode ()), 9);
	CSliderBase::setGlobalMode (CSliderMode::UseGlobal);
	EXPECT_EQ (CSliderBase::getGlobalMode (), CSliderMode::UseGlobal);
	CSliderBase::setGlobalMode (CSliderMode::KWFreeClick);
	setAssertionHandler (nullptr);
	EXPECT_EQ (assertions, (std::vector<std::string> {"", "", "do not set the global mode to use global"}));
}

} // namespace
} // namespace test
} // namespace VSTGUI
