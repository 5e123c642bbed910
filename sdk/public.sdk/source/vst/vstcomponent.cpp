#include "public.sdk/source/vst/vstcomponent.h"

namespace Steinberg {
namespace Vst {

Component::Component() {}

Component::~Component() {}

tresult PLUGIN_API Component::initialize(FUnknown* context)
{
	return ComponentBase::initialize(context);
}

tresult PLUGIN_API Component::terminate()
{
	removeAllBusses();
	active = false;
	return ComponentBase::terminate();
}

tresult PLUGIN_API Component::getControllerClassId(TUID classID)
{
	if (!classID)
		return kInvalidArgument;
	if (!controllerClass.isValid())
		return kResultFalse;
	controllerClass.toTUID(classID);
	return kResultTrue;
}

tresult PLUGIN_API Component::setIoMode(IoMode /*mode*/)
{
	return kNotImplemented;
}

BusList* Component::getBusList(MediaType type, BusDirection dir)
{
	if (type == kAudio)
		return dir == kInput ? &audioInputs : (dir == kOutput ? &audioOutputs : nullptr);
	if (type == kEvent)
		return dir == kInput ? &eventInputs : (dir == kOutput ? &eventOutputs : nullptr);
	return nullptr;
}

int32 PLUGIN_API Component::getBusCount(MediaType type, BusDirection dir)
{
	BusList* list = getBusList(type, dir);
	return list ? list->count() : 0;
}

tresult PLUGIN_API Component::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info)
{
	BusList* list = getBusList(type, dir);
	Bus* bus = list ? list->at(index) : nullptr;
	if (!bus)
		return kInvalidArgument;
	info.mediaType = type;
	info.direction = dir;
	return bus->getInfo(info) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API Component::getRoutingInfo(RoutingInfo& /*inInfo*/, RoutingInfo& /*outInfo*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API Component::activateBus(MediaType type, BusDirection dir, int32 index, TBool state)
{
	BusList* list = getBusList(type, dir);
	Bus* bus = list ? list->at(index) : nullptr;
	if (!bus)
		return kInvalidArgument;
	bus->setActive(state);
	return kResultTrue;
}

tresult PLUGIN_API Component::setActive(TBool state)
{
	const bool wanted = state != 0;
	if (wanted == active)
		return kResultFalse; // already in the requested state
	active = wanted;
	return kResultOk;
}

tresult PLUGIN_API Component::setState(IBStream* /*state*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API Component::getState(IBStream* /*state*/)
{
	return kNotImplemented;
}

AudioBus* Component::addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType, int32 flags)
{
	auto* bus = new AudioBus(name, busType, flags, arr);
	audioInputs.push_back(owned<Bus>(bus));
	return bus;
}

AudioBus* Component::addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType, int32 flags)
{
	auto* bus = new AudioBus(name, busType, flags, arr);
	audioOutputs.push_back(owned<Bus>(bus));
	return bus;
}

EventBus* Component::addEventInput(const TChar* name, int32 channels, BusType busType, int32 flags)
{
	auto* bus = new EventBus(name, busType, flags, channels);
	eventInputs.push_back(owned<Bus>(bus));
	return bus;
}

EventBus* Component::addEventOutput(const TChar* name, int32 channels, BusType busType, int32 flags)
{
	auto* bus = new EventBus(name, busType, flags, channels);
	eventOutputs.push_back(owned<Bus>(bus));
	return bus;
}

tresult Component::removeAudioBusses()
{
	audioInputs.clear();
	audioOutputs.clear();
	return kResultOk;
}

tresult Component::removeEventBusses()
{
	eventInputs.clear();
	eventOutputs.clear();
	return kResultOk;
}

tresult Component::removeAllBusses()
{
	removeAudioBusses();
	removeEventBusses();
	return kResultOk;
}

} // namespace Vst
} // namespace Steinberg
