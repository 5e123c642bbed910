#include "cmousewheeleditingsupport.h"
#include "ccontrol.h"

namespace VSTGUI {

void CMouseWheelEditingSupport::onMouseWheelEditing (CControl* control)
{
	if (!control)
		return;
	if (!control->isEditing ())
	{
		control->beginEdit ();
		wheelOpenedEdit = true;
	}
	// The timer belongs to this object, which is part of the control, so the
	// control outlives every tick.
	wheelEditTimer = makeOwned<CVSTGUITimer> (
	    [this, control] (CVSTGUITimer*) { invalidMouseWheelEditTimer (control); },
	    kWheelEditTimeout);
}

void CMouseWheelEditingSupport::invalidMouseWheelEditTimer (CControl* control)
{
	if (!wheelEditTimer)
		return;
	wheelEditTimer = nullptr;
	if (wheelOpenedEdit && control && control->isEditing ())
		control->endEdit ();
	wheelOpenedEdit = false;
}

} // namespace VSTGUI
