#pragma once

#include "vstguibase.h"

namespace VSTGUI {

// Bits of the 32-bit mouse and key state.
enum CButton : int32
{
	kLButton = 1 << 1,
	kMButton = 1 << 2,
	kRButton = 1 << 3,
	kShift = 1 << 4,
	kControl = 1 << 5, // Command on macOS
	kAlt = 1 << 6,     // Option on macOS
	kApple = 1 << 7,   // Control on macOS
	kButton4 = 1 << 8,
	kButton5 = 1 << 9,
	kDoubleClick = 1 << 10,
};

class CButtonState
{
public:
	constexpr CButtonState (int32 state = 0) : state (state) {}

	int32 operator() () const { return state; }
	int32 getButtonState () const { return state & kButtonMask; }
	int32 getModifierState () const { return state & kModifierMask; }

	bool isLeftButton () const { return (state & kLButton) != 0; }
	bool isRightButton () const { return (state & kRButton) != 0; }
	bool isDoubleClick () const { return (state & kDoubleClick) != 0; }

	int32 operator& (int32 mask) const { return state & mask; }
	CButtonState& operator|= (int32 bits)
	{
		state |= bits;
		return *this;
	}
	bool operator== (const CButtonState& o) const { return state == o.state; }
	bool operator!= (const CButtonState& o) const { return state != o.state; }

	static constexpr int32 kButtonMask = kLButton | kMButton | kRButton | kButton4 | kButton5;
	static constexpr int32 kModifierMask = kShift | kControl | kAlt | kApple;

private:
	int32 state;
};

enum CMouseEventResult
{
	kMouseEventNotImplemented = 0,
	kMouseEventHandled = 1,
	kMouseEventNotHandled = 2,
	kMouseDownEventHandledButDontNeedMovedOrUpEvents = 3,
};

enum CMouseWheelAxis
{
	kMouseWheelAxisX = 0,
	kMouseWheelAxisY = 1,
};

} // namespace VSTGUI
