// MIDI controller mapping, queried on the edit controller.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "vsttypes.h"

namespace Steinberg {
namespace Vst {

class IMidiMapping : public FUnknown
{
public:
	virtual tresult PLUGIN_API getMidiControllerAssignment(int32 busIndex, int16 channel,
	                                                       CtrlNumber midiControllerNumber, ParamID& id) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IMidiMapping, 0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5)

} // namespace Vst
} // namespace Steinberg
