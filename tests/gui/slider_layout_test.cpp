// Geometry, wheel, keys, construction, copies, modes and settings.
#include "slidertestutil.h"

#include "vstgui/lib/cbitmap.h"

#include <cmath>
#include <limits>
#include <string>

namespace VSTGUI {
namespace test {
namespace {

using S = CSliderBase;

SharedPointer<CBitmap> bitmap (CCoord w, CCoord h) { return makeOwned<CBitmap> (w, h); }

SharedPointer<TestSlider> offsetRangeSlider (const CRect& r, CPoint offset, int32_t range,
                                             CBitmap* handle, int32_t style)
{
	return owned (new TestSlider (r, nullptr, 0, offset, range, handle, nullptr, CPoint (0, 0), style));
}

//------------------------------------------------------------------------
TEST (SliderGeometry, ResizeRecomputesTravel)
{
	auto handle = bitmap (20, 10);
	// The minimum/maximum form leaves handleMinPos 5 until the first size change.
	auto s = owned (new TestSlider (CRect (10, 20, 210, 40), nullptr, 0, 15, 185, handle, nullptr,
	                                CPoint (0, 0), S::kHorizontal | S::kLeft));
	ASSERT_EQ (s->getHandleMinPosPrivate (), 5.);
	s->setOffsetHandle (CPoint (5, 0));
	s->setViewSize (CRect (10, 20, 210, 40));
	EXPECT_EQ (s->getHandleMinPosPrivate (), 0.);
	EXPECT_EQ (s->getHandleRangePrivate (), 170.);
	EXPECT_EQ (s->getMinPosPrivate (), 5.);
	EXPECT_EQ (s->getMaxPosPrivate (), 195.);

	EXPECT_EQ (s->calculateHandleRect (0.f), CRect (15, 20, 35, 30));
	EXPECT_EQ (s->calculateHandleRect (1.f), CRect (185, 20, 205, 30));

	// Flipped by kRight, and by kBottom on a horizontal slider as well.
	for (int32_t flip : {int32_t (S::kRight), int32_t (S::kBottom)})
	{
		s->setStyle (S::kHorizontal | flip);
		EXPECT_EQ (s->calculateHandleRect (0.f), CRect (185, 20, 205, 30));
		EXPECT_EQ (s->calculateHandleRect (1.f), CRect (15, 20, 35, 30));
	}
	s->setStyle (S::kHorizontal | S::kLeft);

	// Travel is floored: 0.5 * 171 gives 85.
	s->setViewSize (CRect (10, 20, 211, 40));
	EXPECT_EQ (s->getHandleRangePrivate (), 171.);
	EXPECT_EQ (s->getMaxPosPrivate (), 196.);
	EXPECT_EQ (s->calculateHandleRect (0.5f).left, 10. + 5. + 85.);

	// A view shorter than the handle plus both offsets gives a negative travel.
	s->setViewSize (CRect (0, 0, 25, 10));
	EXPECT_EQ (s->getHandleRangePrivate (), -5.);
	EXPECT_EQ (s->getMaxPosPrivate (), 20.);
}

TEST (SliderGeometry, VerticalUsesTopHeightAndYOffset)
{
	auto handle = bitmap (10, 20);
	auto s = owned (new TestSlider (CRect (30, 10, 50, 210), nullptr, 0, 15, 185, handle, nullptr,
	                                CPoint (0, 0), S::kVertical | S::kBottom));
	EXPECT_EQ (s->getHandleMinPosPrivate (), 5.);
	EXPECT_EQ (s->getHandleRangePrivate (), 170.);
	EXPECT_EQ (s->getMinPosPrivate (), 5.);
	EXPECT_EQ (s->getMaxPosPrivate (), 195.);

	s->setOffsetHandle (CPoint (2, 5));
	s->setViewSize (CRect (30, 10, 50, 210));
	EXPECT_EQ (s->getHandleMinPosPrivate (), 0.);
	EXPECT_EQ (s->getHandleRangePrivate (), 170.);
	EXPECT_EQ (s->getMinPosPrivate (), 5.);
	EXPECT_EQ (s->getMaxPosPrivate (), 195.);
	// kBottom: value 0 at the bottom.
	EXPECT_EQ (s->calculateHandleRect (0.f), CRect (32, 185, 42, 205));
	EXPECT_EQ (s->calculateHandleRect (1.f), CRect (32, 15, 42, 35));
	s->setStyle (S::kVertical | S::kTop);
	EXPECT_EQ (s->calculateHandleRect (0.f), CRect (32, 15, 42, 35));
}

TEST (SliderGeometry, ClampsActOnOneEdgeEach)
{
	// Minimum position left of the view: minPos -10, maxPos 180.
	auto s = owned (new TestSlider (CRect (10, 0, 210, 20), nullptr, 0, 0, 170, nullptr, nullptr,
	                                CPoint (0, 0), S::kHorizontal));
	s->setHandleSizePrivate (20, 20);
	ASSERT_EQ (s->getMinPosPrivate (), -10.);
	ASSERT_EQ (s->getMaxPosPrivate (), 180.);
	// Far edge lowered to maxPos: the handle is shortened, not moved back.
	EXPECT_EQ (s->calculateHandleRect (1.f), CRect (180, 0, 190, 20));

	// Travel below minPos moves the near edge up and keeps the full size.
	auto t = owned (new TestSlider (CRect (10, 0, 210, 20), nullptr, 0, 40, 200, nullptr, nullptr,
	                                CPoint (0, 0), S::kHorizontal));
	t->setHandleSizePrivate (20, 20);
	ASSERT_EQ (t->getMinPosPrivate (), 30.);
	EXPECT_EQ (t->calculateHandleRect (0.f), CRect (40, 0, 60, 20));
}

TEST (SliderGeometry, SetHandleResizesWithoutRedraw)
{
	auto s = owned (new TestSlider (CRect (10, 20, 210, 40), nullptr, 0, 0, 0, nullptr, nullptr,
	                                CPoint (0, 0), S::kHorizontal | S::kLeft));
	s->setViewSize (CRect (10, 20, 210, 40));
	s->setDirty (false);
	const auto invalids = s->getInvalidCount ();
	auto handle = bitmap (20, 10);
	s->setHandle (handle);
	EXPECT_EQ (s->getHandle (), handle.get ());
	EXPECT_EQ (handle->getNumberOfReferences (), 2);
	EXPECT_EQ (s->getHandleSizePrivate (), CPoint (20, 10));
	EXPECT_EQ (s->getHandleRangePrivate (), 180.);
	EXPECT_EQ (s->getMaxPosPrivate (), 200.);
	EXPECT_EQ (s->getInvalidCount (), invalids);

	s->setHandle (handle); // same bitmap: no new reference
	EXPECT_EQ (handle->getNumberOfReferences (), 2);

	s->setHandle (nullptr);
	EXPECT_EQ (handle->getNumberOfReferences (), 1);
	EXPECT_EQ (s->getHandle (), nullptr);
	EXPECT_EQ (s->getHandleSizePrivate (), CPoint (1, 1));
	EXPECT_EQ (s->getHandleRangePrivate (), 180.);
	EXPECT_EQ (s->getMaxPosPrivate (), 181.);
	EXPECT_EQ (s->getInvalidCount (), invalids);
}

//------------------------------------------------------------------------
struct Direction
{
	int32_t style;
	float wheel;
	float left, up, right, down;
};

std::string directionName (const ::testing::TestParamInfo<Direction>& info)
{
	static const char* names[] = {"HorizontalLeft", "HorizontalRight", "VerticalBottom",
	                              "VerticalTop"};
	return names[info.index];
}

class SliderDirections : public SliderTest, public ::testing::WithParamInterface<Direction>
{
protected:
	SharedPointer<TestSlider> make ()
	{
		const bool horizontal = GetParam ().style & S::kHorizontal;
		auto s = owned (makeSlider (horizontal ? CRect (0, 0, 200, 20) : CRect (0, 0, 20, 200),
		                            GetParam ().style, &listener));
		s->setValue (0.5f);
		return s;
	}
	RecordingListener listener;
};

INSTANTIATE_TEST_SUITE_P (
    Table, SliderDirections,
    ::testing::Values (Direction {S::kHorizontal | S::kLeft, -1, -1, 1, 1, -1},
                       Direction {S::kHorizontal | S::kRight, 1, 1, -1, -1, 1},
                       Direction {S::kVertical | S::kBottom, 1, -1, 1, 1, -1},
                       Direction {S::kVertical | S::kTop, -1, 1, -1, -1, 1}),
    directionName);

TEST_P (SliderDirections, Wheel)
{
	auto s = make ();
	const bool horizontal = GetParam ().style & S::kHorizontal;
	const auto axis = horizontal ? kMouseWheelAxisX : kMouseWheelAxisY;
	const auto otherAxis = horizontal ? kMouseWheelAxisY : kMouseWheelAxisX;

	EXPECT_FALSE (s->onWheel (CPoint (5, 5), otherAxis, 1.f, 0));
	EXPECT_EQ (s->getValue (), 0.5f);
	EXPECT_FALSE (s->isEditing ());
	EXPECT_EQ (listener.begins, 0);

	EXPECT_TRUE (s->onWheel (CPoint (5, 5), axis, 1.f, 0));
	EXPECT_FLOAT_EQ (s->getValue (), 0.5f + GetParam ().wheel * 0.1f);
	EXPECT_TRUE (s->onWheel (CPoint (5, 5), axis, 2.f, kShift));
	EXPECT_FLOAT_EQ (s->getValue (), 0.5f + GetParam ().wheel * 0.12f);
	EXPECT_EQ (listener.values.size (), 2u);

	// One edit for the run, ending 500 ms after the last event.
	EXPECT_EQ (listener.begins, 1);
	loop.advance (499);
	EXPECT_EQ (listener.ends, 0);
	EXPECT_TRUE (s->onWheel (CPoint (5, 5), axis, 1.f, 0));
	loop.advance (499);
	EXPECT_EQ (listener.ends, 0);
	loop.advance (1);
	EXPECT_EQ (listener.ends, 1);
	EXPECT_EQ (listener.begins, 1);
	EXPECT_FALSE (s->isEditing ());
}

TEST_P (SliderDirections, WheelAtLimitStillHandled)
{
	auto s = make ();
	const bool horizontal = GetParam ().style & S::kHorizontal;
	s->setValue (1.f);
	s->setDirty (false);
	// The distance that would raise the value.
	const float up = GetParam ().wheel;
	EXPECT_TRUE (s->onWheel (CPoint (), horizontal ? kMouseWheelAxisX : kMouseWheelAxisY, up, 0));
	EXPECT_EQ (s->getValue (), 1.f);
	EXPECT_TRUE (s->isEditing ());
	EXPECT_TRUE (listener.values.empty ());
}

TEST_P (SliderDirections, ArrowKeys)
{
	const Direction& d = GetParam ();
	const std::pair<uint8_t, float> keys[] = {
	    {VKEY_LEFT, d.left}, {VKEY_UP, d.up}, {VKEY_RIGHT, d.right}, {VKEY_DOWN, d.down}};
	for (auto [virt, sign] : keys)
	{
		SCOPED_TRACE (int (virt));
		auto s = make ();
		s->setDirty (false);
		listener.clear ();
		VstKeyCode key;
		key.virt = virt;
		EXPECT_EQ (s->onKeyDown (key), 1);
		EXPECT_FLOAT_EQ (s->getValue (), 0.5f + sign * 0.1f);
		EXPECT_EQ (listener.begins, 1);
		EXPECT_EQ (listener.values.size (), 1u);
		EXPECT_EQ (listener.ends, 1);
		EXPECT_FALSE (s->isEditing ());

		key.modifier = MODIFIER_SHIFT;
		EXPECT_EQ (s->onKeyDown (key), 1);
		EXPECT_FLOAT_EQ (s->getValue (), 0.5f + sign * 0.11f);
	}
}

TEST_P (SliderDirections, KeysAtLimitAndOtherKeys)
{
	auto s = make ();
	s->setValue (0.f);
	s->setDirty (false);
	listener.clear ();
	const Direction& d = GetParam ();
	VstKeyCode key;
	key.virt = d.left < 0 ? VKEY_LEFT : VKEY_RIGHT; // lowers the value
	EXPECT_EQ (s->onKeyDown (key), 1);
	EXPECT_EQ (s->getValue (), 0.f);
	EXPECT_EQ (listener.begins, 0);
	EXPECT_TRUE (listener.values.empty ());

	for (uint8_t other : {uint8_t (0), uint8_t (VKEY_RETURN), uint8_t (VKEY_PAGEUP)})
	{
		key.virt = other;
		key.character = 'a';
		EXPECT_EQ (s->onKeyDown (key), -1);
	}
	EXPECT_EQ (s->getValue (), 0.f);
}

TEST_F (SliderTest, WheelIgnoredWhenMouseDisabled)
{
	auto s = owned (makeSlider (CRect (0, 0, 200, 20), S::kHorizontal, nullptr));
	s->setValue (0.5f);
	s->setMouseEnabled (false);
	EXPECT_FALSE (s->onWheel (CPoint (), kMouseWheelAxisX, 1.f, 0));
	EXPECT_EQ (s->getValue (), 0.5f);
	EXPECT_FALSE (s->isEditing ());
}

TEST_F (SliderTest, EscapeDuringWheelEditEndsIt)
{
	RecordingListener listener;
	auto s = owned (makeSlider (CRect (0, 0, 200, 20), S::kHorizontal, &listener));
	s->setValue (0.5f);
	s->onWheel (CPoint (), kMouseWheelAxisX, 1.f, 0);
	VstKeyCode esc;
	esc.virt = VKEY_ESCAPE;
	EXPECT_EQ (s->onKeyDown (esc), 1);
	EXPECT_FALSE (s->isEditing ());
	// No press yet: the value stays where the wheel put it.
	EXPECT_FLOAT_EQ (s->getValue (), 0.4f);
	EXPECT_EQ (listener.ends, 1);
	loop.advance (600);
	EXPECT_EQ (listener.ends, 1);
}

//------------------------------------------------------------------------
TEST (SliderConstruction, AsTheViewCreatorMakesIt)
{
	auto s = owned (new TestSlider (CRect (0, 0, 0, 0), nullptr, -1, 0, 0, nullptr, nullptr,
	                                CPoint (0, 0), S::kHorizontal | S::kLeft));
	EXPECT_EQ (s->getStyle (), 5);
	EXPECT_EQ (s->getHandleMinPosPrivate (), 0.);
	EXPECT_EQ (s->getHandleRangePrivate (), 0.);
	EXPECT_EQ (s->getMinPosPrivate (), 0.);
	EXPECT_EQ (s->getMaxPosPrivate (), 1.);
	EXPECT_EQ (s->getHandleSizePrivate (), CPoint (1, 1));
	EXPECT_EQ (s->getFrameWidth (), 1.);
	EXPECT_EQ (s->getDrawStyle (), 0);
	EXPECT_EQ (s->getFrameColor (), CColor (127, 127, 127, 255));
	EXPECT_EQ (s->getBackColor (), CColor (0, 0, 0, 255));
	EXPECT_EQ (s->getValueColor (), CColor (255, 255, 255, 255));
	EXPECT_TRUE (s->wantsFocus ());
	EXPECT_EQ (s->getSliderMode (), CSliderMode::UseGlobal);
	EXPECT_EQ (s->getZoomFactor (), 10.f);
	EXPECT_EQ (s->getOffsetHandle (), CPoint (0, 0));
	EXPECT_EQ (s->getHandle (), nullptr);
}

TEST (SliderConstruction, MinMaxForm)
{
	auto handle = bitmap (20, 10);
	auto back = bitmap (200, 20);
	auto s = owned (new TestSlider (CRect (10, 20, 210, 40), nullptr, 7, 15, 185, handle, back,
	                                CPoint (3, 4), S::kHorizontal | S::kLeft));
	EXPECT_EQ (s->getHandleMinPosPrivate (), 5.);
	EXPECT_EQ (s->getHandleRangePrivate (), 170.);
	EXPECT_EQ (s->getMinPosPrivate (), 5.);
	EXPECT_EQ (s->getMaxPosPrivate (), 195.);
	EXPECT_EQ (s->getHandleSizePrivate (), CPoint (20, 10));
	EXPECT_EQ (s->getOffset (), CPoint (3, 4));
	EXPECT_EQ (s->getBackground (), back.get ());
	EXPECT_EQ (s->getTag (), 7);
	EXPECT_EQ (handle->getNumberOfReferences (), 2);
	EXPECT_EQ (back->getNumberOfReferences (), 2);
	s = nullptr;
	EXPECT_EQ (handle->getNumberOfReferences (), 1);
	EXPECT_EQ (back->getNumberOfReferences (), 1);
}

TEST (SliderConstruction, OffsetRangeForm)
{
	auto handle = bitmap (20, 10);
	auto s = offsetRangeSlider (CRect (10, 20, 210, 40), CPoint (5, 3), 150, handle,
	                            S::kHorizontal | S::kLeft);
	EXPECT_EQ (s->getHandleRangePrivate (), 130.);
	EXPECT_EQ (s->getMinPosPrivate (), 5.);
	EXPECT_EQ (s->getMaxPosPrivate (), 155.);
	EXPECT_EQ (s->getOffsetHandle (), CPoint (5, 3));
	EXPECT_TRUE (s->wantsFocus ());

	auto v = offsetRangeSlider (CRect (10, 20, 30, 220), CPoint (3, 5), 150, handle,
	                            S::kVertical | S::kBottom);
	EXPECT_EQ (v->getHandleRangePrivate (), 140.);
	EXPECT_EQ (v->getMinPosPrivate (), 5.);
	EXPECT_EQ (v->getMaxPosPrivate (), 155.);
}

TEST (SliderConstruction, VerticalMinMaxFormUsesTopEdge)
{
	auto handle = bitmap (20, 10);
	auto s = owned (new TestSlider (CRect (10, 20, 30, 220), nullptr, 0, 25, 195, handle, nullptr,
	                                CPoint (0, 0), S::kVertical | S::kBottom));
	EXPECT_EQ (s->getHandleMinPosPrivate (), 5.);
	EXPECT_EQ (s->getHandleRangePrivate (), 170.);
	EXPECT_EQ (s->getMaxPosPrivate (), 185.);
}

TEST (SliderConstruction, SizeToFitBackground)
{
	auto back = bitmap (30, 200);
	auto handle = bitmap (30, 20);
	auto s = owned (new TestSlider (CRect (10, 20, 15, 25), nullptr, 0, 0, 0, handle, back,
	                                CPoint (0, 0), S::kVertical | S::kBottom));
	EXPECT_TRUE (s->sizeToFit ());
	EXPECT_EQ (s->getViewSize (), CRect (10, 20, 40, 220));
	EXPECT_EQ (s->getMouseableArea (), CRect (10, 20, 40, 220));
	EXPECT_EQ (s->getHandleRangePrivate (), 180.);

	auto bare = owned (new TestSlider (CRect (10, 20, 15, 25), nullptr, 0, 0, 0, nullptr,
	                                   nullptr, CPoint (0, 0), S::kVertical));
	EXPECT_FALSE (bare->sizeToFit ());
	EXPECT_EQ (bare->getViewSize (), CRect (10, 20, 15, 25));
}

TEST (SliderConstruction, OffsetAccessorsDoNotRedraw)
{
	auto s = owned (makeSlider (CRect (0, 0, 100, 20), S::kHorizontal, nullptr));
	const auto invalids = s->getInvalidCount ();
	s->setOffset (CPoint (4, 7));
	EXPECT_EQ (s->getOffset (), CPoint (4, 7));
	EXPECT_EQ (s->getInvalidCount (), invalids);
}

TEST (SliderConstruction, VariantsForceOrientation)
{
	const CRect r (0, 0, 20, 200);
	struct Case
	{
		bool vertical;
		int32_t in, out;
	} cases[] = {{true, 0, 2},
	             {true, S::kBottom, 34},
	             {false, S::kLeft, 5},
	             {false, S::kHorizontal | S::kRight, 9},
	             {true, S::kHorizontal, 3}};
	for (const auto& c : cases)
	{
		SharedPointer<CSlider> a, b;
		if (c.vertical)
		{
			a = owned<CSlider> (new CVerticalSlider (r, nullptr, 0, 0, 0, nullptr, nullptr, CPoint (), c.in));
			b = owned<CSlider> (new CVerticalSlider (r, nullptr, 0, CPoint (), 100, nullptr, nullptr, CPoint (), c.in));
		}
		else
		{
			a = owned<CSlider> (new CHorizontalSlider (r, nullptr, 0, 0, 0, nullptr, nullptr, CPoint (), c.in));
			b = owned<CSlider> (new CHorizontalSlider (r, nullptr, 0, CPoint (), 100, nullptr, nullptr, CPoint (), c.in));
		}
		EXPECT_EQ (a->getStyle (), c.out);
		EXPECT_EQ (b->getStyle (), c.out);
	}
}

//------------------------------------------------------------------------
TEST_F (SliderTest, CopiesShareBitmapAndSettings)
{
	auto handle = bitmap (20, 10);
	auto back = bitmap (200, 20);
	auto s = owned (new TestSlider (CRect (10, 20, 210, 40), nullptr, 3, CPoint (5, 3), 150,
	                                handle, back, CPoint (2, 1), S::kHorizontal | S::kRight));
	s->setSliderMode (CSliderMode::Ramp);
	s->setZoomFactor (3.5f);
	s->setDrawStyle (CSlider::kDrawFrame | CSlider::kDrawValue);
	s->setFrameWidth (2.5);
	s->setFrameColor (CColor (1, 2, 3, 4));
	s->setBackColor (CColor (5, 6, 7, 8));
	s->setValueColor (CColor (9, 10, 11, 12));
	s->setValue (0.25f);
	// A pending wheel edit is not copied.
	s->onWheel (CPoint (), kMouseWheelAxisX, 1.f, 0);
	ASSERT_TRUE (s->hasWheelEditTimer ());

	auto c = owned (new TestSlider (*s));
	EXPECT_FALSE (c->hasWheelEditTimer ());
	EXPECT_FALSE (c->isEditing ());
	EXPECT_EQ (c->getStyle (), s->getStyle ());
	EXPECT_EQ (c->getSliderMode (), CSliderMode::Ramp);
	EXPECT_EQ (c->getZoomFactor (), 3.5f);
	EXPECT_EQ (c->getOffsetHandle (), CPoint (5, 3));
	EXPECT_EQ (c->getOffset (), CPoint (2, 1));
	EXPECT_EQ (c->getHandleSizePrivate (), CPoint (20, 10));
	EXPECT_EQ (c->getHandleRangePrivate (), 130.);
	EXPECT_EQ (c->getMinPosPrivate (), 5.);
	EXPECT_EQ (c->getMaxPosPrivate (), 155.);
	EXPECT_EQ (c->getDrawStyle (), CSlider::kDrawFrame | CSlider::kDrawValue);
	EXPECT_EQ (c->getFrameWidth (), 2.5);
	EXPECT_EQ (c->getFrameColor (), CColor (1, 2, 3, 4));
	EXPECT_EQ (c->getBackColor (), CColor (5, 6, 7, 8));
	EXPECT_EQ (c->getValueColor (), CColor (9, 10, 11, 12));
	EXPECT_EQ (c->getValue (), s->getValue ());
	EXPECT_EQ (c->getHandle (), handle.get ());
	EXPECT_EQ (handle->getNumberOfReferences (), 3);

	s = nullptr;
	EXPECT_EQ (handle->getNumberOfReferences (), 2);
	EXPECT_EQ (c->getHandle ()->getWidth (), 20.);
	c = nullptr;
	EXPECT_EQ (handle->getNumberOfReferences (), 1);
	EXPECT_EQ (back->getNumberOfReferences (), 1);
}

TEST (SliderCopies, NewCopyOfVariantIsPlainSlider)
{
	auto handle = bitmap (10, 20);
	auto v = owned<CSlider> (new CVerticalSlider (CRect (0, 0, 20, 200), nullptr, 0, CPoint (1, 2),
	                                              180, handle, nullptr, CPoint (), S::kBottom));
	v->setDrawStyle (CSlider::kDrawBack);
	v->setBackColor (CColor (10, 20, 30, 40));
	v->setFrameWidth (3.);
	auto copy = owned (v->newCopy ());
	ASSERT_NE (copy.get (), nullptr);
	auto* slider = dynamic_cast<CSlider*> (copy.get ());
	ASSERT_NE (slider, nullptr);
	EXPECT_EQ (dynamic_cast<CVerticalSlider*> (copy.get ()), nullptr);
	EXPECT_EQ (slider->getStyle (), S::kVertical | S::kBottom);
	EXPECT_EQ (slider->getDrawStyle (), CSlider::kDrawBack);
	EXPECT_EQ (slider->getBackColor (), CColor (10, 20, 30, 40));
	EXPECT_EQ (slider->getFrameWidth (), 3.);
	EXPECT_EQ (slider->getHandle (), handle.get ());
	EXPECT_EQ (slider->getOffsetHandle (), CPoint (1, 2));
	EXPECT_EQ (slider->calculateHandleRect (0.3f), v->calculateHandleRect (0.3f));
}

//------------------------------------------------------------------------
TEST (SliderAppearance, SettersInvalidateOnlyOnChange)
{
	auto s = owned (makeSlider (CRect (0, 0, 100, 20), S::kHorizontal, nullptr));
	auto count = s->getInvalidCount ();

	s->setFrameColor (CColor (127, 127, 127, 255));
	s->setBackColor (CColor (0, 0, 0, 255));
	s->setValueColor (CColor (255, 255, 255, 255));
	s->setDrawStyle (0);
	s->setFrameWidth (1.);
	s->setFrameWidth (std::numeric_limits<double>::quiet_NaN ());
	EXPECT_EQ (s->getInvalidCount (), count);
	EXPECT_EQ (s->getFrameWidth (), 1.);

	s->setFrameColor (CColor (127, 127, 127, 254));
	EXPECT_EQ (s->getFrameColor (), CColor (127, 127, 127, 254));
	EXPECT_EQ (s->getInvalidCount (), ++count);
	s->setBackColor (CColor (0, 0, 1, 255));
	EXPECT_EQ (s->getInvalidCount (), ++count);
	s->setValueColor (CColor (255, 0, 255, 255));
	EXPECT_EQ (s->getInvalidCount (), ++count);
	s->setDrawStyle (-7);
	EXPECT_EQ (s->getDrawStyle (), -7);
	EXPECT_EQ (s->getInvalidCount (), ++count);
	s->setFrameWidth (-1.);
	EXPECT_EQ (s->getFrameWidth (), -1.);
	EXPECT_EQ (s->getInvalidCount (), ++count);
}

//------------------------------------------------------------------------
struct AssertLog
{
	static std::vector<std::string>& messages ()
	{
		static std::vector<std::string> m;
		return m;
	}
	static void handler (const char*, int, const char*, const char* message)
	{
		messages ().push_back (message ? message : "");
	}
};

TEST (SliderModeSettings, NamesAndValues)
{
	const std::string* names = getModeStrings ();
	const char* expected[] = {"touch", "relative touch", "free click", "KW free click", "ramp",
	                          "use global"};
	for (int i = 0; i < kNumSliderModes; ++i)
	{
		EXPECT_EQ (names[i], expected[i]);
		EXPECT_EQ (getSliderModeName (static_cast<CSliderMode> (i)), &names[i]);
	}
	EXPECT_EQ (static_cast<int> (CSliderMode::KWFreeClick), 3);
	EXPECT_EQ (static_cast<int> (CSliderMode::Ramp), 4);
	EXPECT_EQ (static_cast<int> (CSliderMode::UseGlobal), 5);
	EXPECT_EQ (getModeStrings (), names);
	EXPECT_EQ (getSliderModeName (static_cast<CSliderMode> (6)), nullptr);
	EXPECT_EQ (getSliderModeName (static_cast<CSliderMode> (-1)), nullptr);
}

TEST (SliderModeSettings, BadSettingsAreReportedAndStored)
{
	AssertLog::messages ().clear ();
	setAssertionHandler (&AssertLog::handler);

	auto s = owned (makeSlider (CRect (0, 0, 100, 20), S::kHorizontal, nullptr));
	EXPECT_TRUE (AssertLog::messages ().empty ());
	s->setStyle (S::kHorizontal | S::kVertical);
	EXPECT_EQ (s->getStyle (), 3);
	s->setStyle (S::kLeft);
	EXPECT_EQ (s->getStyle (), 4);
	EXPECT_EQ (AssertLog::messages ().size (), 2u);

	// An unknown stored mode is kept as it is.
	s->setSliderMode (static_cast<CSliderMode> (9));
	EXPECT_EQ (static_cast<int> (s->getSliderMode ()), 9);

	const auto before = CSliderBase::getGlobalMode ();
	CSliderBase::setGlobalMode (CSliderMode::UseGlobal);
	ASSERT_EQ (AssertLog::messages ().size (), 3u);
	EXPECT_EQ (AssertLog::messages ().back (), "do not set the global mode to use global");
	EXPECT_EQ (CSliderBase::getGlobalMode (), CSliderMode::UseGlobal);
	CSliderBase::setGlobalMode (before);
	EXPECT_EQ (AssertLog::messages ().size (), 3u);
	setAssertionHandler (nullptr);
}

TEST (SliderModeSettings, ControlSettings)
{
	EXPECT_EQ (CControl::kDefaultValueModifier, 64);
	EXPECT_EQ (CControl::kZoomModifier, 16);
}

} // namespace
} // namespace test
} // namespace VSTGUI
