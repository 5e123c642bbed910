#include "staterecord.h"

#include "base/source/fstreamer.h"
#include "pluginterfaces/base/ibstream.h"

namespace Steinberg {
namespace Vst {

tresult readStateRecord (StateRecord& record, IBStream* stream)
{
	if (!stream)
		return kResultFalse;

	IBStreamer streamer (stream, kLittleEndian);

	int64 reserved = 0;
	int32 bypass = 0;
	double values[StateRecord::kNumValues] = {};
	int32 flags[StateRecord::kNumFlags] = {};

	if (!streamer.readInt64 (reserved))
		return kResultFalse;
	if (!streamer.readInt32 (bypass))
		return kResultFalse;
	for (double& v : values)
	{
		if (!streamer.readDouble (v))
			return kResultFalse;
	}
	for (int32& f : flags)
	{
		if (!streamer.readInt32 (f))
			return kResultFalse;
	}

	record.bypass = bypass > 0;
	for (int32 i = 0; i < StateRecord::kNumValues; ++i)
		record.values[i] = values[i];
	for (int32 i = 0; i < StateRecord::kNumFlags; ++i)
		record.flags[i] = flags[i] > 0;
	return kResultOk;
}

tresult writeStateRecord (const StateRecord& record, IBStream* stream)
{
	if (!stream)
		return kResultFalse;

	IBStreamer streamer (stream, kLittleEndian);

	if (!streamer.writeInt64 (0))
		return kResultFalse;
	if (!streamer.writeInt32 (record.bypass ? 1 : 0))
		return kResultFalse;
	for (double v : record.values)
	{
		if (!streamer.writeDouble (v))
			return kResultFalse;
	}
	for (bool f : record.flags)
	{
		if (!streamer.writeInt32 (f ? 1 : 0))
			return kResultFalse;
	}
	return kResultOk;
}

} // namespace Vst
} // namespace Steinberg
