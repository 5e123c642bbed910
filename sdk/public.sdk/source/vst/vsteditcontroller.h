#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/vstcomponentbase.h"
#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg {
class IPlugView;

namespace Vst {

// Base class of edit controllers: owns the parameters, keeps the host's
// component handler and forwards edits to it.
class EditController : public ComponentBase, public IEditController, public IEditController2
{
public:
	EditController ();
	~EditController () override;

	// IPluginBase
	tresult PLUGIN_API initialize (FUnknown* context) override;
	tresult PLUGIN_API terminate () override;

	// IEditController
	tresult PLUGIN_API setComponentState (IBStream* state) override;
	tresult PLUGIN_API setState (IBStream* state) override;
	tresult PLUGIN_API getState (IBStream* state) override;
	int32 PLUGIN_API getParameterCount () override;
	tresult PLUGIN_API getParameterInfo (int32 paramIndex, ParameterInfo& info) override;
	tresult PLUGIN_API getParamStringByValue (ParamID tag, ParamValue valueNormalized,
	                                          String128 string) override;
	tresult PLUGIN_API getParamValueByString (ParamID tag, TChar* string,
	                                          ParamValue& valueNormalized) override;
	ParamValue PLUGIN_API normalizedParamToPlain (ParamID tag, ParamValue valueNormalized) override;
	ParamValue PLUGIN_API plainParamToNormalized (ParamID tag, ParamValue plainValue) override;
	ParamValue PLUGIN_API getParamNormalized (ParamID tag) override;
	tresult PLUGIN_API setParamNormalized (ParamID tag, ParamValue value) override;
	tresult PLUGIN_API setComponentHandler (IComponentHandler* handler) override;
	IPlugView* PLUGIN_API createView (FIDString name) override;

	// IEditController2
	tresult PLUGIN_API setKnobMode (KnobMode mode) override;
	tresult PLUGIN_API openHelp (TBool onlyCheck) override;
	tresult PLUGIN_API openAboutBox (TBool onlyCheck) override;

	// Edits reported to the host (kResultFalse without a component handler).
	virtual tresult beginEdit (ParamID tag);
	virtual tresult performEdit (ParamID tag, ParamValue valueNormalized);
	virtual tresult endEdit (ParamID tag);
	virtual tresult startGroupEdit ();
	virtual tresult finishGroupEdit ();
	virtual tresult setDirty (TBool state);
	virtual tresult requestOpenEditor (FIDString name = "editor");

	virtual Parameter* getParameterObject (ParamID tag) { return parameters.getParameter (tag); }
	virtual tresult getParameterInfoByTag (ParamID tag, ParameterInfo& info);

	IComponentHandler* getComponentHandler () const { return componentHandler; }

	// Knob mode last set by the host, shared by all controllers of the module.
	static KnobMode getHostKnobMode () { return hostKnobMode; }

	OBJ_METHODS (EditController, ComponentBase)

	// FUnknown
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override;
	uint32 PLUGIN_API addRef () override { return ComponentBase::addRef (); }
	uint32 PLUGIN_API release () override { return ComponentBase::release (); }

protected:
	ParameterContainer parameters;
	IPtr<IComponentHandler> componentHandler;
	IPtr<IComponentHandler2> componentHandler2;

	static KnobMode hostKnobMode;
};

} // namespace Vst
} // namespace Steinberg
