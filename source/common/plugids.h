#pragma once

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {

// Parameter identifiers shared by the processor, the controller and the editor (control tags).
enum PlugParamIds : ParamID
{
	kBypassId = 0,
	kLevelId = 1,
	kMixId = 2,
	kPredelayId = 3,
	kRvbTimeId = 4,
	kSizeId = 5,
	kDiffusionId = 6,
	kHFDampId = 7,
	kLPCutId = 8,

	kNumParams = 9
};

} // namespace Vst
} // namespace Steinberg
