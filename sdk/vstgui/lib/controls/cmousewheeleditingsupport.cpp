#include "cmousewheeleditingsupport.h"
#include "ccontrol.h"
#include "../cframe.h"

namespace VSTGUI {

void CMouseWheelEditingSupport::onMouseWheelEditing (CControl* control)
{
	if (!control)
		return;
	// The timeout runs on the frame's run loop; outside a frame there is no edit to time.
	auto runLoopOf = [control] () -> IRunLoop* {
		auto* frame = control->getFrame ();
		return frame ? frame->getRunLoop () : nullptr;
	};
	if (!runLoopOf ())
		return;
	if (!control->isEditing ())
	{
		control->beginEdit ();
		wheelOpenedEdit = true;
	}
	// A listener told of the begin may have closed the frame (a host closing its editor),
	// which ended the edit and took the run loop away.
	IRunLoop* runLoop = runLoopOf ();
	if (!runLoop)
	{
		wheelOpenedEdit = false;
		return;
	}
	// The timer belongs to this object, which is part of the control, so the
	// control outlives every tick.
	wheelEditTimer = makeOwned<CVSTGUITimer> (
	    [this, control] (CVSTGUITimer*) {
		    // Ending the edit may close the frame and release the control.
		    SharedPointer<CControl> keep (control);
		    invalidMouseWheelEditTimer (control);
	    },
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
