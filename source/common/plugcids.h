#pragma once

#include "pluginterfaces/base/funknown.h"

namespace Steinberg {
namespace Vst {

// Class identifiers; hosts store them in projects, so they never change.
inline const FUID kProcessorClassId (0x6A3C91E2, 0x5B7F4D08, 0x9E21C4A7, 0x3F85B6D1);
inline const FUID kControllerClassId (0xC41D27B9, 0x82E64F3A, 0x1B9D70E5, 0xA7530C6F);

} // namespace Vst
} // namespace Steinberg
