// One plug-in instance (processor and controller) driven as a host drives it.
#pragma once

#include "audiofile.h"
#include "hostobjects.h"
#include "module.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tolvarhost {

// Preallocated stereo in/out buffers and the ProcessData that points at them.
class AudioBlock
{
public:
	AudioBlock (int32 maxSamples, int32 symbolicSampleSize);

	// Copies frames [pos, pos+n) of in (zeros past its end) into the input channels.
	void fillInput (const StereoBuffer& in, size_t pos, int32 n);
	// Copies the first n output frames to out at pos.
	void takeOutput (StereoBuffer& out, size_t pos, int32 n) const;

	// Calls process with n samples; changes may be null.
	tresult process (Vst::IAudioProcessor* processor, int32 n, Vst::IParameterChanges* changes);

	Vst::ProcessData& data () { return processData; }
	int32 maxSamples () const { return capacity; }
	int32 sampleSize () const { return symbolicSize; }

	std::vector<float> in32[2], out32[2];
	std::vector<double> in64[2], out64[2];

private:
	int32 capacity;
	int32 symbolicSize;
	Vst::Sample32* in32Ptr[2] {};
	Vst::Sample32* out32Ptr[2] {};
	Vst::Sample64* in64Ptr[2] {};
	Vst::Sample64* out64Ptr[2] {};
	Vst::AudioBusBuffers inBus, outBus;
	Vst::ProcessContext context {};
	Vst::ProcessData processData;
};

// Parameter information as read through IEditController.
struct ParameterDescription
{
	Vst::ParamID id = 0;
	std::string title;
	std::string shortTitle;
	std::string units;
	int32 stepCount = 0;
	double defaultNormalized = 0.0;
	int32 unitId = 0;
	int32 flags = 0;
};

class PluginInstance
{
public:
	// Creates the first "Audio Module Class" class and its controller, initialises
	// both, connects them, hands the processor state to the controller and sets
	// the component handler. withController false leaves the controller out.
	static std::unique_ptr<PluginInstance> create (Module& module, std::string& error,
	                                               bool withController = true);
	~PluginInstance ();

	Vst::IComponent* component () const { return componentPtr.get (); }
	Vst::IAudioProcessor* processor () const { return processorPtr.get (); }
	Vst::IEditController* controller () const { return controllerPtr.get (); }
	HostApplication* hostApplication () const { return hostApp.get (); }
	ComponentHandler* componentHandler () const { return handler.get (); }
	const TUID& controllerClassId () const { return controllerCid; }
	// The processor class's name in the factory.
	const std::string& name () const { return className; }

	// getState -> setComponentState, as on loading a project.
	tresult syncControllerFromProcessor ();
	// setState on the processor, then setComponentState on the controller.
	tresult loadState (const std::vector<uint8_t>& bytes);
	// The processor's state record.
	bool saveState (std::vector<uint8_t>& bytes);

	// Arrangements, sample size, bus activation, setupProcessing,
	// setActive(true) and setProcessing(true).
	bool start (double sampleRate, int32 maxBlock, int32 symbolicSampleSize, std::string& error);
	// setProcessing(false) and setActive(false) when started.
	void stop ();
	bool isStarted () const { return started; }

	// Controller parameters in registration order.
	std::vector<ParameterDescription> parameters () const;
	// Finds a parameter id by its exact title.
	bool findParameter (const std::string& title, Vst::ParamID& id) const;
	// Value text of the controller for a normalised value.
	std::string valueText (Vst::ParamID id, double normalized) const;

private:
	PluginInstance () = default;
	void disconnect ();

	Ref<HostApplication> hostApp;
	Ref<ComponentHandler> handler;
	Ref<Vst::IComponent> componentPtr;
	Ref<Vst::IAudioProcessor> processorPtr;
	Ref<Vst::IEditController> controllerPtr;
	Ref<ConnectionProxy> toController, toComponent;
	TUID controllerCid {};
	std::string className;
	bool componentInitialized = false;
	bool controllerInitialized = false;
	bool started = false;
};

struct ParamSetting
{
	Vst::ParamID id;
	double normalized;
};

struct RenderSettings
{
	double sampleRate = 44100.0;
	int32 blockSize = 512;
	int32 bits = 32;
	std::vector<ParamSetting> params;
	// Longest tail rendered when the plug-in reports an infinite one (seconds).
	double maxTailSeconds = 60.0;
	// Called now and then with frames done and frames in total.
	std::function<void (int64, int64)> progress;
};

struct RenderResult
{
	StereoBuffer output;
	int64 inputFrames = 0;
	uint32 tailSamples = 0;
};

// Starts the instance, renders input followed by the reported tail and stops
// it again. The parameters travel in the first block's parameter changes.
bool render (PluginInstance& plugin, const StereoBuffer& input, const RenderSettings& settings,
             RenderResult& result, std::string& error);

} // namespace tolvarhost
