#pragma once

#include "../cvstguitimer.h"

namespace VSTGUI {

class CControl;

// Keeps a run of wheel events in one edit that ends 500 ms after the last event.
class CMouseWheelEditingSupport
{
public:
	static constexpr uint32 kWheelEditTimeout = 500;

protected:
	CMouseWheelEditingSupport () = default;
	// A copy starts without a pending wheel edit.
	CMouseWheelEditingSupport (const CMouseWheelEditingSupport&) {}
	CMouseWheelEditingSupport& operator= (const CMouseWheelEditingSupport&) { return *this; }
	~CMouseWheelEditingSupport () noexcept = default;

	// Opens an edit unless the control is already editing, and (re)starts the timeout.
	void onMouseWheelEditing (CControl* control);
	// Drops a pending timeout and ends the edit that the wheel opened.
	void invalidMouseWheelEditTimer (CControl* control);

	bool hasWheelEditTimer () const { return wheelEditTimer != nullptr; }

private:
	SharedPointer<CVSTGUITimer> wheelEditTimer;
	bool wheelOpenedEdit {false};
};

} // namespace VSTGUI
