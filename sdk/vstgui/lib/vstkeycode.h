#pragma once

#include "vstguibase.h"

namespace VSTGUI {

struct VstKeyCode
{
	int32 character {0};
	uint8 virt {0};     // a VirtualKey, 0 for a character key
	uint8 modifier {0}; // CKeyModifier bits
};

enum VirtualKey : uint8
{
	VKEY_BACK = 1,
	VKEY_TAB,
	VKEY_CLEAR,
	VKEY_RETURN,
	VKEY_PAUSE,
	VKEY_ESCAPE,
	VKEY_SPACE,
	VKEY_NEXT,
	VKEY_END,
	VKEY_HOME,
	VKEY_LEFT,
	VKEY_UP,
	VKEY_RIGHT,
	VKEY_DOWN,
	VKEY_PAGEUP,
	VKEY_PAGEDOWN,
	VKEY_SELECT,
	VKEY_PRINT,
	VKEY_ENTER,
	VKEY_SNAPSHOT,
	VKEY_INSERT,
	VKEY_DELETE,
	VKEY_HELP,
};

enum CKeyModifier : uint8
{
	MODIFIER_SHIFT = 1 << 0,
	MODIFIER_ALTERNATE = 1 << 1,
	MODIFIER_COMMAND = 1 << 2,
	MODIFIER_CONTROL = 1 << 3,
};

} // namespace VSTGUI
