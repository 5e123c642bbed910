// Shared helpers for the slider tests.
#pragma once

#include "cslider.h"

#include "vstgui/lib/crunloop.h"

#include <gtest/gtest.h>
#include <vector>

namespace VSTGUI {
namespace test {

// Counts what a control tells its listener.
struct RecordingListener : IControlListener
{
	int begins {0};
	int ends {0};
	std::vector<float> values;

	void valueChanged (CControl* control) override { values.push_back (control->getValue ()); }
	void controlBeginEdit (CControl*) override { ++begins; }
	void controlEndEdit (CControl*) override { ++ends; }
	void clear ()
	{
		begins = ends = 0;
		values.clear ();
	}
};

// Opens the protected geometry and state of the base class to the tests.
class TestSlider : public CSlider
{
public:
	using CSlider::CSlider;
	TestSlider (const TestSlider&) = default;

	using CSliderBase::calculateDelta;
	using CSliderBase::doRamping;
	using CSliderBase::getControlSizePrivate;
	using CSliderBase::getHandleMinPosPrivate;
	using CSliderBase::getHandleRangePrivate;
	using CSliderBase::getHandleSizePrivate;
	using CSliderBase::getMaxPosPrivate;
	using CSliderBase::getMinPosPrivate;
	using CSliderBase::isRamping;
	using CSliderBase::setHandleRangePrivate;
	using CSliderBase::setHandleSizePrivate;
	using CMouseWheelEditingSupport::hasWheelEditTimer;

	// A handle of the given size without a bitmap, with the travel recomputed.
	void setHandleSize (CCoord w, CCoord h)
	{
		setHandleSizePrivate (w, h);
		setViewSize (getViewSize ());
	}
};

// Sliders created on the heap and released by forget().
inline TestSlider* makeSlider (const CRect& r, int32_t style, IControlListener* listener,
                               CCoord handleW = 20., CCoord handleH = 20.)
{
	auto* s = new TestSlider (r, listener, 1, 0, 0, nullptr, nullptr, CPoint (0, 0), style);
	s->setHandleSize (handleW, handleH);
	return s;
}

// Every test gets its own hand-stepped run loop.
class SliderTest : public ::testing::Test
{
protected:
	void SetUp () override { setRunLoop (&loop); }
	void TearDown () override { setRunLoop (nullptr); }

	ManualRunLoop loop;
};

} // namespace test
} // namespace VSTGUI
