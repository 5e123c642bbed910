#include "x11input.h"

#include <X11/keysym.h>

#include <cmath>
#include <cstdlib>

namespace VSTGUI {
namespace X11 {

namespace {

// Two presses of one button this close in time (ms) and place (pixels) are a double click.
constexpr uint32_t kDoubleClickTime = 400;
constexpr CCoord kDoubleClickDistance = 4.;

struct NamedKey
{
	uint32_t keysym;
	VirtualKey key;
};

constexpr NamedKey kNamedKeys[] = {
    {XK_BackSpace, VKEY_BACK},
    {XK_Tab, VKEY_TAB},
    {XK_Clear, VKEY_CLEAR},
    {XK_Return, VKEY_RETURN},
    {XK_Pause, VKEY_PAUSE},
    {XK_Escape, VKEY_ESCAPE},
    {XK_space, VKEY_SPACE},
    {XK_End, VKEY_END},
    {XK_Home, VKEY_HOME},
    {XK_Left, VKEY_LEFT},
    {XK_Up, VKEY_UP},
    {XK_Right, VKEY_RIGHT},
    {XK_Down, VKEY_DOWN},
    {XK_Page_Up, VKEY_PAGEUP},
    {XK_Page_Down, VKEY_PAGEDOWN},
    {XK_Select, VKEY_SELECT},
    {XK_Print, VKEY_PRINT},
    {XK_KP_Enter, VKEY_ENTER},
    {XK_Insert, VKEY_INSERT},
    {XK_Delete, VKEY_DELETE},
    {XK_Help, VKEY_HELP},
    {XK_KP_End, VKEY_END},
    {XK_KP_Home, VKEY_HOME},
    {XK_KP_Left, VKEY_LEFT},
    {XK_KP_Up, VKEY_UP},
    {XK_KP_Right, VKEY_RIGHT},
    {XK_KP_Down, VKEY_DOWN},
    {XK_KP_Page_Up, VKEY_PAGEUP},
    {XK_KP_Page_Down, VKEY_PAGEDOWN},
    {XK_KP_Insert, VKEY_INSERT},
    {XK_KP_Delete, VKEY_DELETE},
};

struct StateBit
{
	uint16_t x;
	int32 ours;
};

constexpr StateBit kModifierBits[] = {
    {XCB_MOD_MASK_SHIFT, kShift}, {XCB_MOD_MASK_1, kAlt}, {XCB_MOD_MASK_CONTROL, kApple}};
constexpr StateBit kKeyModifierBits[] = {{XCB_MOD_MASK_SHIFT, MODIFIER_SHIFT},
                                         {XCB_MOD_MASK_1, MODIFIER_ALTERNATE},
                                         {XCB_MOD_MASK_CONTROL, MODIFIER_CONTROL}};
constexpr StateBit kHeldButtonBits[] = {
    {XCB_BUTTON_MASK_1, kLButton}, {XCB_BUTTON_MASK_2, kMButton}, {XCB_BUTTON_MASK_3, kRButton}};

// The bits of an X event's state in our terms.
template <size_t N>
int32 bitsOf (uint16_t state, const StateBit (&table)[N])
{
	int32 result = 0;
	for (const auto& bit : table)
	{
		if (state & bit.x)
			result |= bit.ours;
	}
	return result;
}

// The character a keysym types (Latin-1 or a Unicode keysym), or 0.
int32 characterOf (uint32_t keysym)
{
	if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff))
		return static_cast<int32> (keysym);
	if (keysym >= 0x01000100 && keysym <= 0x0110ffff)
		return static_cast<int32> (keysym - 0x01000000);
	return 0;
}

} // namespace

int32 modifiersOf (uint16_t state)
{
	return bitsOf (state, kModifierBits);
}
int32 heldButtonsOf (uint16_t state)
{
	return bitsOf (state, kHeldButtonBits);
}

int32 buttonOf (xcb_button_t button)
{
	switch (button)
	{
		case 1:
			return kLButton;
		case 2:
			return kMButton;
		case 3:
			return kRButton;
		case 8:
			return kButton4;
		case 9:
			return kButton5;
		default:
			return 0;
	}
}

VstKeyCode Keymap::keyCodeOf (xcb_keycode_t code, uint16_t state) const
{
	const uint32_t keysym = keysymOf (code, (state & XCB_MOD_MASK_SHIFT) != 0);
	VstKeyCode key;
	for (const auto& named : kNamedKeys)
	{
		if (named.keysym == keysym)
			key.virt = named.key;
	}
	key.character = characterOf (keysym);
	key.modifier = static_cast<uint8> (bitsOf (state, kKeyModifierBits));
	return key;
}

void Keymap::load (xcb_connection_t* connection)
{
	const xcb_setup_t* setup = xcb_get_setup (connection);
	minKeycode = setup->min_keycode;
	keysymsPerKeycode = 0;
	keysyms.clear ();
	const auto cookie = xcb_get_keyboard_mapping (
	    connection, setup->min_keycode, static_cast<uint8_t> (setup->max_keycode - setup->min_keycode + 1));
	auto* reply = xcb_get_keyboard_mapping_reply (connection, cookie, nullptr);
	if (!reply)
		return;
	const xcb_keysym_t* first = xcb_get_keyboard_mapping_keysyms (reply);
	keysyms.assign (first, first + xcb_get_keyboard_mapping_keysyms_length (reply));
	keysymsPerKeycode = reply->keysyms_per_keycode;
	std::free (reply);
}

uint32_t Keymap::keysymOf (xcb_keycode_t code, bool shift) const
{
	if (keysymsPerKeycode == 0 || code < minKeycode)
		return 0;
	const size_t base = static_cast<size_t> (code - minKeycode) * keysymsPerKeycode;
	if (base + keysymsPerKeycode > keysyms.size ())
		return 0;
	const xcb_keysym_t shifted = shift && keysymsPerKeycode > 1 ? keysyms[base + 1] : 0;
	return shifted ? shifted : keysyms[base];
}

int32 ClickCounter::press (xcb_button_t button, xcb_timestamp_t time, const CPoint& where)
{
	const bool again = button == lastButton && time - lastTime <= kDoubleClickTime &&
	                   std::abs (where.x - lastPoint.x) <= kDoubleClickDistance &&
	                   std::abs (where.y - lastPoint.y) <= kDoubleClickDistance;
	count = again ? count + 1 : 1;
	lastButton = button;
	lastTime = time;
	lastPoint = where;
	return count == 2 ? kDoubleClick : 0;
}

} // namespace X11
} // namespace VSTGUI
