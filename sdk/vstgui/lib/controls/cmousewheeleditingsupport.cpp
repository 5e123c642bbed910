#include "cmousewheeleditingsupport.h"
#include "ccontrol.h"
#include "../cframe.h"

namespace VSTGUI {

void CMouseWheelEditingSupport::onMouseWheelEditing (CControl* control)
{
	if (!control)
		return;
	// The timeout runs on the frame's run loop; outside a frame there is no edit to time.
	auto* frame = control->getFrame ();
	IRunLoop* runLoop = frame ? frame->getRunLoop () : nullptr;
	if (!runLoop)
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
	    kWheelEditTimeout, runLoop);
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
