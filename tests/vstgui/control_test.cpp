#include "test_helpers.h"
#include "vstgui/lib/controls/ccontrol.h"
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using namespace VSTGUI;
using Test::RecordingListener;
using Test::valueEntry;

namespace {
using Log = std::vector<std::string>;

struct ControlFixture : ::testing::Test
{
	RecordingListener listener;
	CControl control {CRect (0., 0., 100., 20.), &listener, 7};
};
} // namespace

TEST (ControlSettings, modifierStaticsAndDefaults)
{
	EXPECT_EQ (CControl::kDefaultValueModifier, 64);
	EXPECT_EQ (CControl::kZoomModifier, 16);
	CControl c (CRect (0., 0., 10., 10.));
	EXPECT_EQ (c.getMin (), 0.f);
	EXPECT_EQ (c.getMax (), 1.f);
	EXPECT_EQ (c.getWheelInc (), 0.1f);
	EXPECT_FALSE (c.isEditing ());
	EXPECT_TRUE (c.getMouseEnabled ());
}

TEST_F (ControlFixture, valueIsClampedToRange)
{
	control.setMin (-36.f);
	control.setMax (12.f);
	control.setValue (20.f);
	EXPECT_EQ (control.getValue (), 12.f);
	control.setValue (-100.f);
	EXPECT_EQ (control.getValue (), -36.f);
	control.setValue (std::numeric_limits<float>::quiet_NaN ());
	EXPECT_EQ (control.getValue (), -36.f);

	control.setValue (0.f);
	EXPECT_FLOAT_EQ (control.getValueNormalized (), 0.75f);

	control.setMax (-36.f); // empty range
	EXPECT_EQ (control.getValueNormalized (), 0.f);
}

TEST_F (ControlFixture, normalizedValueClampsAndMapsLinearly)
{
	control.setMin (100.f);
	control.setMax (200.f);
	control.setValueNormalized (0.25f);
	EXPECT_FLOAT_EQ (control.getValue (), 125.f);
	control.setValueNormalized (1.5f);
	EXPECT_EQ (control.getValue (), 200.f);
	control.setValueNormalized (-0.1f);
	EXPECT_EQ (control.getValue (), 100.f);
	control.setValueNormalized (std::numeric_limits<float>::quiet_NaN ());
	EXPECT_EQ (control.getValue (), 100.f);
	control.setValueNormalized (std::numeric_limits<float>::infinity ());
	EXPECT_EQ (control.getValue (), 200.f);
	EXPECT_TRUE (listener.log.empty ()); // setters notify nobody
}

TEST_F (ControlFixture, altClickResetsWithOneCompleteEdit)
{
	control.setDefaultValue (0.25f);
	control.setValue (0.8f);
	control.setDirty (false);
	EXPECT_TRUE (control.checkDefaultValue (kLButton | kAlt));
	EXPECT_EQ (control.getValue (), 0.25f);
	EXPECT_EQ (listener.log, (Log {"begin", valueEntry (0.25f), "end"}));
	EXPECT_FALSE (control.isEditing ());
	EXPECT_TRUE (control.isDirty ());

	control.setDefaultValue (4.f); // clamped into the range
	EXPECT_TRUE (control.checkDefaultValue (kLButton | kAlt));
	EXPECT_EQ (control.getValue (), 1.f);
}

TEST_F (ControlFixture, altClickAtDefaultSendsNothing)
{
	control.setDefaultValue (0.25f);
	control.setValue (0.25f);
	control.setDirty (false);
	EXPECT_TRUE (control.checkDefaultValue (kLButton | kAlt));
	EXPECT_TRUE (listener.log.empty ());
	EXPECT_FALSE (control.isDirty ());
}

TEST_F (ControlFixture, clicksThatAreNoReset)
{
	control.setDefaultValue (0.25f);
	control.setValue (0.8f);
	const int32 noReset[] = {
	    kLButton,                   // plain click
	    kLButton | kControl,        // Command click
	    kLButton | kAlt | kShift,   // Option with Shift
	    kLButton | kAlt | kControl, // Option with Command
	    kLButton | kAlt | kApple,   // Option with Control
	    kRButton | kAlt | kApple,   // Control-click arrives as the right button
	    kRButton | kAlt,
	    kMButton | kAlt,
	    kLButton | kMButton | kAlt, // a second button held
	    kLButton | kButton4 | kAlt,
	    kLButton | kButton5 | kAlt,
	    kAlt,                       // no button at all
	};
	for (auto state : noReset)
	{
		EXPECT_FALSE (control.checkDefaultValue (state)) << state;
		EXPECT_EQ (control.getValue (), 0.8f) << state;
	}
	EXPECT_TRUE (listener.log.empty ());
}

TEST_F (ControlFixture, resetInsideAnOpenEditIsSilentUntilTheOuterEnd)
{
	control.setDefaultValue (0.f);
	control.setValue (0.5f);
	control.beginEdit ();
	EXPECT_TRUE (control.checkDefaultValue (kLButton | kAlt));
	EXPECT_TRUE (control.isEditing ());
	EXPECT_EQ (listener.log, (Log {"begin", valueEntry (0.f)}));
	control.endEdit ();
	EXPECT_EQ (listener.log, (Log {"begin", valueEntry (0.f), "end"}));
}

TEST_F (ControlFixture, editBracketIsCounted)
{
	control.beginEdit ();
	control.beginEdit ();
	control.beginEdit ();
	control.endEdit ();
	control.endEdit ();
	EXPECT_TRUE (control.isEditing ());
	EXPECT_EQ (listener.log, (Log {"begin"}));
	control.endEdit ();
	EXPECT_FALSE (control.isEditing ());
	EXPECT_EQ (listener.log, (Log {"begin", "end"}));
}

namespace {
int assertCount = 0;
void countAssert (const char*, int, const char*, const char*) { ++assertCount; }
} // namespace

TEST_F (ControlFixture, unbalancedEndIsReportedAndIgnored)
{
	control.endEdit (); // nothing installed: silent
	setAssertionHandler (countAssert);
	assertCount = 0;
	control.endEdit ();
	setAssertionHandler (nullptr);
	EXPECT_EQ (assertCount, 1);
	EXPECT_TRUE (listener.log.empty ());
	// The count did not go negative: one begin opens the edit again.
	control.beginEdit ();
	EXPECT_TRUE (control.isEditing ());
	control.endEdit ();
	EXPECT_EQ (listener.log, (Log {"begin", "end"}));
}

TEST_F (ControlFixture, furtherListenersFollowTheOwnListener)
{
	RecordingListener extra1, extra2;
	control.registerControlListener (&extra1);
	control.registerControlListener (&extra2);
	control.registerControlListener (&extra1); // once only
	control.setValue (0.5f);
	control.valueChanged ();
	EXPECT_EQ (listener.log.size (), 1u);
	EXPECT_EQ (extra1.log.size (), 1u);
	EXPECT_EQ (extra2.log.size (), 1u);

	control.unregisterControlListener (&extra1);
	control.beginEdit ();
	control.endEdit ();
	EXPECT_EQ (extra1.log.size (), 1u);
	EXPECT_EQ (extra2.log, (Log {valueEntry (0.5f), "begin", "end"}));
}

namespace {
// Unregisters itself on its first notification.
struct OneShotListener : IControlListener
{
	void valueChanged (CControl* c) override
	{
		++calls;
		c->unregisterControlListener (this);
	}
	int calls = 0;
};
} // namespace

TEST_F (ControlFixture, listenerMayUnregisterWhileNotified)
{
	OneShotListener once;
	RecordingListener after;
	control.registerControlListener (&once);
	control.registerControlListener (&after);
	control.valueChanged ();
	control.valueChanged ();
	EXPECT_EQ (once.calls, 1);
	EXPECT_EQ (after.log.size (), 2u);
}

TEST_F (ControlFixture, dirtyFollowsValueAndFlag)
{
	EXPECT_TRUE (control.isDirty ()); // never drawn
	control.setDirty (false);
	EXPECT_FALSE (control.isDirty ());
	control.setValue (0.3f);
	EXPECT_TRUE (control.isDirty ());
	control.setDirty (false);
	control.setValue (0.3f);
	EXPECT_FALSE (control.isDirty ());
	control.setDirty (true);
	EXPECT_TRUE (control.isDirty ());
}

TEST_F (ControlFixture, copyKeepsSettingsButNoEditOrFurtherListeners)
{
	RecordingListener extra;
	control.registerControlListener (&extra);
	control.setMin (-1.f);
	control.setDefaultValue (0.2f);
	control.setWheelInc (0.05f);
	control.setValue (0.4f);
	control.beginEdit ();
	CControl copy (control);
	EXPECT_EQ (copy.getValue (), 0.4f);
	EXPECT_EQ (copy.getMin (), -1.f);
	EXPECT_EQ (copy.getDefaultValue (), 0.2f);
	EXPECT_EQ (copy.getWheelInc (), 0.05f);
	EXPECT_EQ (copy.getTag (), 7);
	EXPECT_EQ (copy.getListener (), &listener);
	EXPECT_FALSE (copy.isEditing ());
	const auto extraBefore = extra.log;
	copy.valueChanged ();
	EXPECT_EQ (extra.log, extraBefore);
	EXPECT_EQ (listener.log.back (), valueEntry (0.4f));
	control.endEdit ();
}

TEST (ControlKeys, mapVstKeyModifier)
{
	EXPECT_EQ (CControl::mapVstKeyModifier (0), 0);
	EXPECT_EQ (CControl::mapVstKeyModifier (MODIFIER_SHIFT), kShift);
	EXPECT_EQ (CControl::mapVstKeyModifier (MODIFIER_ALTERNATE), kAlt);
	EXPECT_EQ (CControl::mapVstKeyModifier (MODIFIER_COMMAND), kControl);
	EXPECT_EQ (CControl::mapVstKeyModifier (MODIFIER_CONTROL), kApple);
	EXPECT_EQ (CControl::mapVstKeyModifier (MODIFIER_SHIFT | MODIFIER_CONTROL), kShift | kApple);
	EXPECT_EQ (CControl::mapVstKeyModifier (0xF0), 0);
}
