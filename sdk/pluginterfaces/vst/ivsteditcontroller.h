// Edit controller, component handler and parameter information.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "vsttypes.h"

#include <cstddef>

// Class category of edit controller components.
#define kVstComponentControllerClass "Component Controller Class"

namespace Steinberg {
class IPlugView;
class IBStream;

namespace Vst {

struct ParameterInfo
{
	ParamID id;
	String128 title;
	String128 shortTitle;
	String128 units;
	int32 stepCount;
	ParamValue defaultNormalizedValue;
	UnitID unitId;
	int32 flags;

	enum ParameterFlags
	{
		kNoFlags = 0,
		kCanAutomate = 1 << 0,
		kIsReadOnly = 1 << 1,
		kIsWrapAround = 1 << 2,
		kIsList = 1 << 3,
		kIsHidden = 1 << 4,
		kIsProgramChange = 1 << 15,
		kIsBypass = 1 << 16
	};
};

static_assert(sizeof(ParameterInfo) == 792 && offsetof(ParameterInfo, title) == 4 &&
                  offsetof(ParameterInfo, shortTitle) == 260 && offsetof(ParameterInfo, units) == 516 &&
                  offsetof(ParameterInfo, stepCount) == 772 &&
                  offsetof(ParameterInfo, defaultNormalizedValue) == 776 && offsetof(ParameterInfo, unitId) == 784 &&
                  offsetof(ParameterInfo, flags) == 788,
              "ParameterInfo");

namespace ViewType {
const CString kEditor = "editor";
}

enum RestartFlags
{
	kReloadComponent = 1 << 0,
	kIoChanged = 1 << 1,
	kParamValuesChanged = 1 << 2,
	kLatencyChanged = 1 << 3,
	kParamTitlesChanged = 1 << 4,
	kMidiCCAssignmentChanged = 1 << 5,
	kNoteExpressionChanged = 1 << 6,
	kIoTitlesChanged = 1 << 7,
	kPrefetchableSupportChanged = 1 << 8,
	kRoutingInfoChanged = 1 << 9,
	kKeyswitchChanged = 1 << 10
};

enum KnobModes
{
	kCircularMode = 0,
	kRelativCircularMode,
	kLinearMode
};
typedef int32 KnobMode;

class IComponentHandler : public FUnknown
{
public:
	virtual tresult PLUGIN_API beginEdit(ParamID id) = 0;
	virtual tresult PLUGIN_API performEdit(ParamID id, ParamValue valueNormalized) = 0;
	virtual tresult PLUGIN_API endEdit(ParamID id) = 0;
	virtual tresult PLUGIN_API restartComponent(int32 flags) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IComponentHandler, 0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6)

class IComponentHandler2 : public FUnknown
{
public:
	virtual tresult PLUGIN_API setDirty(TBool state) = 0;
	virtual tresult PLUGIN_API requestOpenEditor(FIDString name = ViewType::kEditor) = 0;
	virtual tresult PLUGIN_API startGroupEdit() = 0;
	virtual tresult PLUGIN_API finishGroupEdit() = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IComponentHandler2, 0xF040B4B3, 0xA36045EC, 0xABCDC045, 0xB4D5A2CC)

class IComponentHandlerBusActivation : public FUnknown
{
public:
	virtual tresult PLUGIN_API requestBusActivation(MediaType type, BusDirection dir, int32 index,
	                                                TBool state) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IComponentHandlerBusActivation, 0x067D02C1, 0x5B4E274D, 0xA92D90FD, 0x6EAF7240)

class IEditController : public IPluginBase
{
public:
	virtual tresult PLUGIN_API setComponentState(IBStream* state) = 0;
	virtual tresult PLUGIN_API setState(IBStream* state) = 0;
	virtual tresult PLUGIN_API getState(IBStream* state) = 0;
	virtual int32 PLUGIN_API getParameterCount() = 0;
	virtual tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
	virtual tresult PLUGIN_API getParamStringByValue(ParamID id, ParamValue valueNormalized,
	                                                 String128 string) = 0;
	virtual tresult PLUGIN_API getParamValueByString(ParamID id, TChar* string,
	                                                 ParamValue& valueNormalized) = 0;
	virtual ParamValue PLUGIN_API normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
	virtual ParamValue PLUGIN_API plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
	virtual ParamValue PLUGIN_API getParamNormalized(ParamID id) = 0;
	virtual tresult PLUGIN_API setParamNormalized(ParamID id, ParamValue value) = 0;
	virtual tresult PLUGIN_API setComponentHandler(IComponentHandler* handler) = 0;
	// Returns a new view with one reference, or null.
	virtual IPlugView* PLUGIN_API createView(FIDString name) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IEditController, 0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E)

class IEditController2 : public FUnknown
{
public:
	virtual tresult PLUGIN_API setKnobMode(KnobMode mode) = 0;
	virtual tresult PLUGIN_API openHelp(TBool onlyCheck) = 0;
	virtual tresult PLUGIN_API openAboutBox(TBool onlyCheck) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IEditController2, 0x7F4EFE59, 0xF3204967, 0xAC27A3AE, 0xAFB63038)

class IEditControllerHostEditing : public FUnknown
{
public:
	virtual tresult PLUGIN_API beginEditFromHost(ParamID paramID) = 0;
	virtual tresult PLUGIN_API endEditFromHost(ParamID paramID) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IEditControllerHostEditing, 0xC1271208, 0x70594098, 0xB9DD34B3, 0x6BB0195E)

} // namespace Vst
} // namespace Steinberg
