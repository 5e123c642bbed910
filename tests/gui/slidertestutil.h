// Shared helpers for the slider tests.
#pragma once

#include "cslider.h"

#include "../vstgui/test_helpers.h"
#include "vstgui/lib/cbitmap.h"

#include <gtest/gtest.h>
#include <vector>

namespace VSTGUI {
namespace test {

using S = CSliderBase;

// Counts what a control tells its listener.
struct RecordingListener : IControlListener
{
	int begins {0};
	int ends {0};
	std::vector<float> values;

	void valueChanged (CControl* control) override { values.push_back (control->getValue ()); }
	void controlBeginEdit (CControl*) override { ++begins; }
	void controlEndEdit (CControl*) override { ++ends; }
	void clear () { *this = {}; }
};

// Opens the protected geometry and state of the base class to the tests.
class TestSlider : public CSlider
{
public:
	using CSlider::CSlider;
	TestSlider (const TestSlider&) = default;

	using CSliderBase::getHandleMinPosPrivate;
	using CSliderBase::getHandleRangePrivate;
	using CSliderBase::getHandleSizePrivate;
	using CSliderBase::getMaxPosPrivate;
	using CSliderBase::getMinPosPrivate;
	using CSliderBase::isRamping;
	using CSliderBase::setHandleMinPosPrivate;
	using CSliderBase::setHandleRangePrivate;
	using CSliderBase::setHandleSizePrivate;
	using CMouseWheelEditingSupport::hasWheelEditTimer;
};

// A slider with a w x h handle and no bitmaps, its travel computed from the view.
inline SharedPointer<TestSlider> makeSlider (const CRect& r, int32_t style,
                                             IControlListener* listener, CCoord w = 20.,
                                             CCoord h = 20.)
{
	auto s = owned (new TestSlider (r, listener, 1, 0, 0, nullptr, nullptr, CPoint (0, 0), style));
	s->setHandleSizePrivate (w, h);
	s->setViewSize (r);
	return s;
}

inline SharedPointer<CBitmap> bitmap (CCoord w, CCoord h) { return makeOwned<CBitmap> (w, h); }

// Every test gets its own frame on a hand-stepped run loop; the sliders it makes live
// in that frame, so that their timers run.
class SliderTest : public ::testing::Test
{
protected:
	void TearDown () override { frame->close (); }

	SharedPointer<TestSlider> makeSlider (const CRect& r, int32_t style, IControlListener* l,
	                                      CCoord w = 20., CCoord h = 20.)
	{
		return attach (test::makeSlider (r, style, l, w, h));
	}
	template <class T>
	SharedPointer<T> attach (SharedPointer<T> view)
	{
		view->remember ();
		frame->addView (view);
		return view;
	}

	ManualRunLoop loop;
	RecordingListener listener;
	SharedPointer<CFrame> frame {VSTGUI::Test::openOffscreenFrame (loop, CRect (0., 0., 1000., 1000.))};
};

} // namespace test
} // namespace VSTGUI
