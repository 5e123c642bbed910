// Component: the IComponent base with buses and the controller class id.
#pragma once

#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vstcomponentbase.h"
#include "pluginterfaces/vst/ivstcomponent.h"

namespace Steinberg {
namespace Vst {

class Component : public ComponentBase, public IComponent
{
public:
	Component();
	~Component() override;

	void setControllerClass(const FUID& cid) { controllerClass = cid; }
	void setControllerClass(const TUID cid) { controllerClass = FUID::fromTUID(cid); }

	// IPluginBase: terminate also removes every bus.
	tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API terminate() SMTG_OVERRIDE;

	// IComponent
	tresult PLUGIN_API getControllerClassId(TUID classID) SMTG_OVERRIDE;
	tresult PLUGIN_API setIoMode(IoMode mode) SMTG_OVERRIDE;
	int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) SMTG_OVERRIDE;
	tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) SMTG_OVERRIDE;
	tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) SMTG_OVERRIDE;
	tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) SMTG_OVERRIDE;
	// Records the activation state; kResultFalse when already in the requested state.
	tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;
	tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE;
	tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE;

	bool isActive() const { return active; }

	AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
	                        int32 flags = BusInfo::kDefaultActive);
	AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
	                         int32 flags = BusInfo::kDefaultActive);
	EventBus* addEventInput(const TChar* name, int32 channels = 16, BusType busType = kMain,
	                        int32 flags = BusInfo::kDefaultActive);
	EventBus* addEventOutput(const TChar* name, int32 channels = 16, BusType busType = kMain,
	                         int32 flags = BusInfo::kDefaultActive);

	AudioBus* getAudioInput(int32 index) const { return static_cast<AudioBus*>(audioInputs.at(index)); }
	AudioBus* getAudioOutput(int32 index) const { return static_cast<AudioBus*>(audioOutputs.at(index)); }

	tresult removeAudioBusses();
	tresult removeEventBusses();
	tresult removeAllBusses();

	// Null for an unknown media type or direction.
	BusList* getBusList(MediaType type, BusDirection dir);

	OBJ_METHODS(Component, ComponentBase)
	DEFINE_INTERFACES
	DEF_INTERFACE(IComponent)
	END_DEFINE_INTERFACES(ComponentBase)
	REFCOUNT_METHODS(ComponentBase)

protected:
	FUID controllerClass;
	BusList audioInputs {kAudio, kInput};
	BusList audioOutputs {kAudio, kOutput};
	BusList eventInputs {kEvent, kInput};
	BusList eventOutputs {kEvent, kOutput};
	bool active = false;
};

} // namespace Vst
} // namespace Steinberg
