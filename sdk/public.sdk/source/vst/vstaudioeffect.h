// AudioEffect: base of audio processor components.
#pragma once

#include "public.sdk/source/vst/vstcomponent.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

namespace Steinberg {
namespace Vst {

class AudioEffect : public Component, public IAudioProcessor, public IProcessContextRequirements
{
public:
	AudioEffect();
	~AudioEffect() override;

	// IAudioProcessor
	// kInvalidArgument for a negative count (or a missing array), kResultFalse for more
	// arrangements than buses (nothing applied), else applies them and gives kResultTrue.
	tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
	                                      int32 numOuts) SMTG_OVERRIDE;
	tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) SMTG_OVERRIDE;
	// Base: 32-bit samples only.
	tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
	uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE { return 0; }
	// Stores mode, block size and rate; the sample size only if canProcessSampleSize accepts it.
	tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
	tresult PLUGIN_API setProcessing(TBool /*state*/) SMTG_OVERRIDE { return kNotImplemented; }
	tresult PLUGIN_API process(ProcessData& /*data*/) SMTG_OVERRIDE { return kNotImplemented; }
	uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE { return kNoTail; }

	// IProcessContextRequirements
	uint32 PLUGIN_API getProcessContextRequirements() SMTG_OVERRIDE { return 0; }

	OBJ_METHODS(AudioEffect, Component)
	DEFINE_INTERFACES
	DEF_INTERFACE(IAudioProcessor)
	DEF_INTERFACE(IProcessContextRequirements)
	END_DEFINE_INTERFACES(Component)
	REFCOUNT_METHODS(Component)

protected:
	ProcessSetup processSetup;
};

} // namespace Vst
} // namespace Steinberg
