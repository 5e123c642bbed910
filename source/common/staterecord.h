#pragma once

#include "pluginterfaces/base/funknown.h"

namespace Steinberg {
class IBStream;

namespace Vst {

// Everything the processor saves: bypass, 14 doubles (0..7 are the normalised values of
// parameters 1..8, the rest are carried along) and 4 carried flags. 140 bytes on a stream.
struct StateRecord
{
	static constexpr int32 kNumValues = 14;
	static constexpr int32 kNumFlags = 4;
	static constexpr int32 kStreamSize = 140;

	bool bypass = false;
	double values[kNumValues] = {};
	bool flags[kNumFlags] = {};
};

// All-or-nothing read: on failure (absent or short stream) the record is untouched.
tresult readStateRecord (StateRecord& record, IBStream* stream);
// Writes the 140 bytes in order, stopping at the first item the stream does not take whole.
tresult writeStateRecord (const StateRecord& record, IBStream* stream);

} // namespace Vst
} // namespace Steinberg
