// Extra view interface: finding the parameter under a point.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "vsttypes.h"

namespace Steinberg {
namespace Vst {

class IParameterFinder : public FUnknown
{
public:
	virtual tresult PLUGIN_API findParameter(int32 xPos, int32 yPos, ParamID& resultTag) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IParameterFinder, 0x0F618302, 0x215D4587, 0xA512073C, 0x77B9D383)

} // namespace Vst
} // namespace Steinberg
