#include "public.sdk/source/vst/vsteditcontroller.h"

#include <cmath>

namespace Steinberg {
namespace Vst {

KnobMode EditController::hostKnobMode = kCircularMode;

EditController::EditController () = default;

EditController::~EditController () = default;

tresult PLUGIN_API EditController::initialize (FUnknown* context)
{
	return ComponentBase::initialize (context);
}

tresult PLUGIN_API EditController::terminate ()
{
	parameters.removeAll ();
	componentHandler = nullptr;
	componentHandler2 = nullptr;
	return ComponentBase::terminate ();
}

tresult PLUGIN_API EditController::setComponentState (IBStream* /*state*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API EditController::setState (IBStream* /*state*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API EditController::getState (IBStream* /*state*/)
{
	return kNotImplemented;
}

int32 PLUGIN_API EditController::getParameterCount ()
{
	return parameters.getParameterCount ();
}

tresult PLUGIN_API EditController::getParameterInfo (int32 paramIndex, ParameterInfo& info)
{
	Parameter* p = parameters.getParameterByIndex (paramIndex);
	if (!p)
		return kResultFalse;
	info = p->getInfo ();
	return kResultTrue;
}

tresult EditController::getParameterInfoByTag (ParamID tag, ParameterInfo& info)
{
	Parameter* p = getParameterObject (tag);
	if (!p)
		return kResultFalse;
	info = p->getInfo ();
	return kResultTrue;
}

tresult PLUGIN_API EditController::getParamStringByValue (ParamID tag, ParamValue valueNormalized,
                                                          String128 string)
{
	if (!string)
		return kInvalidArgument;
	Parameter* p = getParameterObject (tag);
	if (!p)
		return kResultFalse;
	p->toString (valueNormalized, string);
	return kResultTrue;
}

tresult PLUGIN_API EditController::getParamValueByString (ParamID tag, TChar* string,
                                                          ParamValue& valueNormalized)
{
	if (!string)
		return kInvalidArgument;
	Parameter* p = getParameterObject (tag);
	if (!p)
		return kResultFalse;
	return p->fromString (string, valueNormalized) ? kResultTrue : kResultFalse;
}

ParamValue PLUGIN_API EditController::normalizedParamToPlain (ParamID tag,
                                                              ParamValue valueNormalized)
{
	Parameter* p = getParameterObject (tag);
	return p ? p->toPlain (valueNormalized) : valueNormalized;
}

ParamValue PLUGIN_API EditController::plainParamToNormalized (ParamID tag, ParamValue plainValue)
{
	Parameter* p = getParameterObject (tag);
	return p ? p->toNormalized (plainValue) : plainValue;
}

ParamValue PLUGIN_API EditController::getParamNormalized (ParamID tag)
{
	Parameter* p = getParameterObject (tag);
	return p ? p->getNormalized () : 0.;
}

tresult PLUGIN_API EditController::setParamNormalized (ParamID tag, ParamValue value)
{
	Parameter* p = getParameterObject (tag);
	if (!p)
		return kResultFalse;
	if (std::isnan (value))
		return kInvalidArgument;
	p->setNormalized (value);
	return kResultTrue;
}

tresult PLUGIN_API EditController::setComponentHandler (IComponentHandler* handler)
{
	if (componentHandler == handler)
		return kResultTrue;
	componentHandler = handler;
	componentHandler2 = nullptr;
	if (handler)
		componentHandler2 = queryInterfacePtr<IComponentHandler2> (handler);
	return kResultTrue;
}

IPlugView* PLUGIN_API EditController::createView (FIDString /*name*/)
{
	return nullptr;
}

tresult PLUGIN_API EditController::setKnobMode (KnobMode mode)
{
	if (mode < kCircularMode || mode > kLinearMode)
		return kInvalidArgument;
	hostKnobMode = mode;
	return kResultTrue;
}

tresult PLUGIN_API EditController::openHelp (TBool /*onlyCheck*/)
{
	return kResultFalse;
}

tresult PLUGIN_API EditController::openAboutBox (TBool /*onlyCheck*/)
{
	return kResultFalse;
}

tresult EditController::beginEdit (ParamID tag)
{
	return componentHandler ? componentHandler->beginEdit (tag) : kResultFalse;
}

tresult EditController::performEdit (ParamID tag, ParamValue valueNormalized)
{
	return componentHandler ? componentHandler->performEdit (tag, valueNormalized) : kResultFalse;
}

tresult EditController::endEdit (ParamID tag)
{
	return componentHandler ? componentHandler->endEdit (tag) : kResultFalse;
}

tresult EditController::startGroupEdit ()
{
	return componentHandler2 ? componentHandler2->startGroupEdit () : kNotImplemented;
}

tresult EditController::finishGroupEdit ()
{
	return componentHandler2 ? componentHandler2->finishGroupEdit () : kNotImplemented;
}

tresult EditController::setDirty (TBool state)
{
	return componentHandler2 ? componentHandler2->setDirty (state) : kNotImplemented;
}

tresult EditController::requestOpenEditor (FIDString name)
{
	return componentHandler2 ? componentHandler2->requestOpenEditor (name) : kNotImplemented;
}

tresult PLUGIN_API EditController::queryInterface (const TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	QUERY_INTERFACE (iid, obj, IEditController::iid, IEditController)
	QUERY_INTERFACE (iid, obj, IEditController2::iid, IEditController2)
	return ComponentBase::queryInterface (iid, obj);
}

} // namespace Vst
} // namespace Steinberg
