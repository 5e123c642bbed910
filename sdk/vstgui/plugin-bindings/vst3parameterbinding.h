#pragma once

#include "../lib/iviewlistener.h"
#include "base/source/fobject.h"
#include "public.sdk/source/vst/vstparameters.h"
#include <atomic>
#include <vector>

namespace VSTGUI {

class CControl;
class ChangeSignal;

// Keeps the controls of one parameter in step with it. A change of the parameter may be
// reported on any thread; it is only recorded then and signalled, and applyPendingChange
// moves the controls on the UI thread. Bound controls work in the normalised range 0..1.
class ParameterBinding : public Steinberg::FObject, public ViewListenerAdapter
{
public:
	// signal (may be null) is raised for every recorded change and must outlive unbind().
	ParameterBinding (Steinberg::Vst::Parameter* parameter, ChangeSignal* signal);
	~ParameterBinding () override;

	Steinberg::Vst::Parameter* getParameter () const { return parameter; }
	// Sets the control's range, default and value from the parameter; a display shows
	// the parameter's value text with its units.
	void addControl (CControl* control);
	// UI thread: applies the last change recorded since the previous call, and redraws a
	// control already at that value but not yet drawn at it.
	void applyPendingChange ();
	// Stops following the parameter and lets go of the controls; a control whose
	// listener is editorListener gets none.
	void unbind (IControlListener* editorListener);

	// IDependent
	void PLUGIN_API update (Steinberg::FUnknown* changedUnknown, Steinberg::int32 message) override;
	// IViewListener
	void viewWillDelete (CView* view) override;

	OBJ_METHODS (ParameterBinding, FObject)

private:
	void removeControl (CControl* control);

	Steinberg::IPtr<Steinberg::Vst::Parameter> parameter;
	ChangeSignal* signal;
	std::vector<CControl*> controls;
	// Written by update() on whatever thread changed the parameter.
	std::atomic<double> pendingValue {0.};
	std::atomic<bool> pending {false};
};

} // namespace VSTGUI
