#pragma once

// X11 input in the library's terms: event state bits, mouse buttons, keys and clicks.

#include "../../cbuttonstate.h"
#include "../../cpoint.h"
#include "../../vstkeycode.h"

#include <xcb/xcb.h>

#include <vector>

namespace VSTGUI {
namespace X11 {

// Shift, Alt and Ctrl of an event's state as kShift, kAlt and kApple.
int32 modifiersOf (uint16_t state);
// The mouse buttons an event's state holds down.
int32 heldButtonsOf (uint16_t state);
// The state bit of a mouse button, 0 for the wheel buttons 4 to 7 and unknown ones.
int32 buttonOf (xcb_button_t button);

// The keyboard mapping of a connection, read again when the server says it changed.
class Keymap
{
public:
	void load (xcb_connection_t* connection);
	// The key of a key event: its virtual key, its character, or neither.
	VstKeyCode keyCodeOf (xcb_keycode_t code, uint16_t state) const;

private:
	uint32_t keysymOf (xcb_keycode_t code, bool shift) const;

	xcb_keycode_t minKeycode {0};
	uint8_t keysymsPerKeycode {0};
	std::vector<xcb_keysym_t> keysyms;
};

// Tells the second of two presses of one button, close in time and place.
class ClickCounter
{
public:
	// kDoubleClick for the second press of a run, otherwise 0.
	int32 press (xcb_button_t button, xcb_timestamp_t time, const CPoint& where);

private:
	xcb_button_t lastButton {0};
	xcb_timestamp_t lastTime {0};
	CPoint lastPoint;
	int count {0};
};

} // namespace X11
} // namespace VSTGUI
