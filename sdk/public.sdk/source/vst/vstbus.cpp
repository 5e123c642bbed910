#include "public.sdk/source/vst/vstbus.h"

namespace Steinberg {
namespace Vst {

Bus::Bus(const TChar* newName, BusType type, int32 busFlags) : busType(type), flags(busFlags)
{
	setName(newName);
}

void Bus::setName(const TChar* newName)
{
	int32 i = 0;
	if (newName)
		for (; i < 127 && newName[i]; ++i)
			name[i] = newName[i];
	for (; i < 128; ++i)
		name[i] = 0;
}

bool Bus::getInfo(BusInfo& info)
{
	for (int32 i = 0; i < 128; ++i)
		info.name[i] = name[i];
	info.busType = busType;
	info.flags = static_cast<uint32>(flags);
	return true;
}

AudioBus::AudioBus(const TChar* newName, BusType type, int32 busFlags, SpeakerArrangement arr)
: Bus(newName, type, busFlags), speakerArr(arr)
{
}

bool AudioBus::getInfo(BusInfo& info)
{
	info.channelCount = SpeakerArr::getChannelCount(speakerArr);
	return Bus::getInfo(info);
}

EventBus::EventBus(const TChar* newName, BusType type, int32 busFlags, int32 channels)
: Bus(newName, type, busFlags), channelCount(channels)
{
}

bool EventBus::getInfo(BusInfo& info)
{
	info.channelCount = channelCount;
	return Bus::getInfo(info);
}

} // namespace Vst
} // namespace Steinberg
