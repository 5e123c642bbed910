#include "plugcontroller.h"

#include "kwparameters.h"
#include "paramtable.h"
#include "plugaboutcontroller.h"
#include "plugids.h"
#include "staterecord.h"

#include "pluginterfaces/vst/ivsthostapplication.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Steinberg {
namespace Vst {

PlugController::PlugController () = default;

PlugController::~PlugController () = default;

tresult PLUGIN_API PlugController::initialize (FUnknown* context)
{
	// A refused base initialisation (already initialised) is passed on: the
	// parameters of the first call stay as they are.
	const tresult result = EditController::initialize (context);
	if (result != kResultOk)
		return result;

	for (const ParamSpec& row : kParamTable)
	{
		if (row.mapping == ParamMapping::toggle)
		{
			parameters.addParameter (row.title, row.units, 1, row.defaultPlain,
			                         ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass, row.id,
			                         kRootUnitId, nullptr);
			continue;
		}
		RangeParameter* p;
		if (row.mapping == ParamMapping::exponential)
			p = new KWExpRangeParameter (row.title, row.id, row.units, ParameterInfo::kCanAutomate,
			                             row.minPlain, row.maxPlain, row.defaultPlain);
		else
			p = new KWRangeParameter (row.title, row.id, row.units, ParameterInfo::kCanAutomate,
			                          row.minPlain, row.maxPlain, row.defaultPlain);
		p->setPrecision (row.precision);
		parameters.addParameter (p);
	}
	return kResultOk;
}

tresult PLUGIN_API PlugController::setComponentState (IBStream* state)
{
	StateRecord record;
	tresult result = readStateRecord (record, state);
	if (result != kResultOk)
		return result;

	setParamNormalized (kBypassId, record.bypass ? 1. : 0.);
	for (ParamID tag = kLevelId; tag <= kLPCutId; ++tag)
	{
		// The processor runs a NaN value as 0; show the same.
		const double value = record.values[tag - 1];
		setParamNormalized (tag, std::isnan (value) ? 0. : value);
	}
	return kResultOk;
}

IPlugView* PLUGIN_API PlugController::createView (FIDString name)
{
	if (!name || std::strcmp (name, "editor") != 0)
		return nullptr;
	setKnobMode (kLinearMode);
	auto* editor = new VSTGUI::VST3Editor (this, "view", "plug.uidesc");
	// A missing or unreadable description gives no editor: hosts then show their own.
	if (!editor->isDescriptionLoaded ())
	{
		editor->release ();
		return nullptr;
	}
	return editor;
}

VSTGUI::IController* PlugController::createSubController (VSTGUI::UTF8StringPtr name,
                                                          const VSTGUI::IUIDescription*,
                                                          VSTGUI::VST3Editor*)
{
	static const char* const kAboutControllerName = "AboutController";
	if (!name || (name != kAboutControllerName && std::strcmp (name, kAboutControllerName) != 0))
		return nullptr;
	bool isAU = false;
	if (hostContext)
	{
		void* wrapper = nullptr;
		if (hostContext->queryInterface (IVst3ToAUWrapper::iid, &wrapper) == kResultOk && wrapper)
		{
			isAU = true;
			static_cast<IVst3ToAUWrapper*> (wrapper)->release ();
		}
	}
	auto* about = new AboutController (this, isAU);
	addAboutController (about);
	return about;
}

void PlugController::addAboutController (AboutController* controller)
{
	aboutControllers.push_back (controller);
}

void PlugController::removeAboutController (AboutController* controller)
{
	auto it = std::find (aboutControllers.begin (), aboutControllers.end (), controller);
	if (it != aboutControllers.end ())
		aboutControllers.erase (it);
}

FUnknown* PlugController::createInstance (void* /*context*/)
{
	return static_cast<IEditController*> (new PlugController ());
}

} // namespace Vst
} // namespace Steinberg
