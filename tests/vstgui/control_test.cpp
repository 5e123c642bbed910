#include "test_helpers.h"
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using namespace VSTGUI;
using Test::Log;
using Test::RecordingListener;
using Test::valueEntry;

namespace {
struct ControlFixture : ::testing::Test
{
	RecordingListener listener;
	CControl control {CRect (0., 0., 100., 20.), &listener, 7};
};
} // namespace

TEST_F (ControlFixture, valuesStayInRange)
{
	using Cases = std::initializer_list<std::pair<float, float>>; // value set, value read
	const float nan = std::numeric_limits<float>::quiet_NaN ();
	const float inf = std::numeric_limits<float>::infinity ();
	control.setMin (-36.f);
	control.setMax (12.f);
	for (auto [value, expected] : Cases {{20.f, 12.f}, {-100.f, -36.f}, {nan, -36.f}})
	{
		control.setValue (value);
		EXPECT_EQ (control.getValue (), expected) << value;
	}
	for (auto [value, expected] :
	     Cases {{0.25f, -24.f}, {1.5f, 12.f}, {-0.1f, -36.f}, {nan, -36.f}, {inf, 12.f}})
	{
		control.setValueNormalized (value);
		EXPECT_EQ (control.getValue (), expected) << value;
	}
	control.setValue (0.f);
	EXPECT_FLOAT_EQ (control.getValueNormalized (), 0.75f);
	control.setMax (-36.f); // empty range
	EXPECT_EQ (control.getValueNormalized (), 0.f);
	EXPECT_TRUE (listener.log.empty ()); // setters notify nobody
}

// The modifiers that are no reset are the slider tests' (Mouse.ResetClick); here the buttons.
TEST_F (ControlFixture, altClickResetsWithTheLeftButtonAloneAsOneEdit)
{
	control.setDefaultValue (0.25f);
	control.setValue (0.8f);
	control.setDirty (false);
	const int32 noResets[] = {kRButton | kAlt, kMButton | kAlt, kLButton | kMButton | kAlt,
	                          kLButton | kButton4 | kAlt, kLButton | kButton5 | kAlt, kAlt};
	for (int32 noReset : noResets)
	{
		EXPECT_FALSE (control.checkDefaultValue (noReset)) << noReset;
		EXPECT_EQ (control.getValue (), 0.8f) << noReset;
	}
	EXPECT_TRUE (listener.log.empty ());

	EXPECT_TRUE (control.checkDefaultValue (kLButton | kAlt));
	EXPECT_EQ (control.getValue (), 0.25f);
	EXPECT_EQ (listener.log, (Log {"begin", valueEntry (0.25f), "end"}));
	EXPECT_FALSE (control.isEditing ());
	EXPECT_TRUE (control.isDirty ());

	// At the default already: nothing to send or to draw.
	control.setDirty (false);
	EXPECT_TRUE (control.checkDefaultValue (kLButton | kAlt));
	EXPECT_EQ (listener.log.size (), 3u);
	EXPECT_FALSE (control.isDirty ());

	// Inside an open edit it stays silent until the outer end; a default out of range
	// is clamped into it.
	listener.log.clear ();
	control.setDefaultValue (4.f);
	control.beginEdit ();
	EXPECT_TRUE (control.checkDefaultValue (kLButton | kAlt));
	EXPECT_TRUE (control.isEditing ());
	EXPECT_EQ (listener.log, (Log {"begin", valueEntry (1.f)}));
	control.endEdit ();
	EXPECT_EQ (listener.log, (Log {"begin", valueEntry (1.f), "end"}));
}

namespace {
int assertCount = 0;
void countAssert (const char*, int, const char*, const char*) { ++assertCount; }
} // namespace

// Nested begins make one edit; an end too many is reported and ignored.
TEST_F (ControlFixture, editBracketIsCounted)
{
	for (int i = 0; i < 3; ++i)
		control.beginEdit ();
	control.endEdit ();
	control.endEdit ();
	EXPECT_TRUE (control.isEditing ());
	EXPECT_EQ (listener.log, (Log {"begin"}));
	control.endEdit ();
	EXPECT_FALSE (control.isEditing ());
	control.endEdit (); // no handler installed: silent
	setAssertionHandler (countAssert);
	assertCount = 0;
	control.endEdit ();
	setAssertionHandler (nullptr);
	EXPECT_EQ (assertCount, 1);
	// The count did not go negative: one begin opens the edit again.
	control.beginEdit ();
	EXPECT_TRUE (control.isEditing ());
	control.endEdit ();
	EXPECT_EQ (listener.log, (Log {"begin", "end", "begin", "end"}));
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

// Further listeners, each once, follow the own listener; one may leave while notified.
TEST_F (ControlFixture, furtherListenersFollowTheOwnListener)
{
	OneShotListener once;
	RecordingListener extra1, extra2;
	control.registerControlListener (&once);
	control.registerControlListener (&extra1);
	control.registerControlListener (&extra2);
	control.registerControlListener (&extra1); // once only
	control.setValue (0.5f);
	control.valueChanged ();
	control.valueChanged ();
	EXPECT_EQ (once.calls, 1);
	EXPECT_EQ (listener.log.size (), 2u);
	EXPECT_EQ (extra1.log.size (), 2u);

	control.unregisterControlListener (&extra1);
	control.beginEdit ();
	control.endEdit ();
	EXPECT_EQ (extra1.log.size (), 2u);
	EXPECT_EQ (extra2.log, (Log {valueEntry (0.5f), valueEntry (0.5f), "begin", "end"}));
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
