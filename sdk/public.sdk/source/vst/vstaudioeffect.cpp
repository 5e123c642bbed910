#include "public.sdk/source/vst/vstaudioeffect.h"

namespace Steinberg {
namespace Vst {

AudioEffect::AudioEffect()
{
	processSetup.processMode = kRealtime;
	processSetup.symbolicSampleSize = kSample32;
	processSetup.maxSamplesPerBlock = 1024;
	processSetup.sampleRate = 44100.0;
}

AudioEffect::~AudioEffect() {}

tresult PLUGIN_API AudioEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                   SpeakerArrangement* outputs, int32 numOuts)
{
	if (numIns < 0 || numOuts < 0)
		return kInvalidArgument;
	if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
		return kInvalidArgument;
	if (numIns > audioInputs.count() || numOuts > audioOutputs.count())
		return kResultFalse;
	for (int32 i = 0; i < numIns; ++i)
		static_cast<AudioBus*>(audioInputs.at(i))->setArrangement(inputs[i]);
	for (int32 i = 0; i < numOuts; ++i)
		static_cast<AudioBus*>(audioOutputs.at(i))->setArrangement(outputs[i]);
	return kResultTrue;
}

tresult PLUGIN_API AudioEffect::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr)
{
	BusList* list = getBusList(kAudio, dir);
	auto* bus = list ? static_cast<AudioBus*>(list->at(index)) : nullptr;
	if (!bus)
		return kInvalidArgument;
	arr = bus->getArrangement();
	return kResultTrue;
}

tresult PLUGIN_API AudioEffect::canProcessSampleSize(int32 symbolicSampleSize)
{
	return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API AudioEffect::setupProcessing(ProcessSetup& setup)
{
	processSetup.processMode = setup.processMode;
	processSetup.maxSamplesPerBlock = setup.maxSamplesPerBlock;
	processSetup.sampleRate = setup.sampleRate;
	if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue)
		return kResultFalse;
	processSetup.symbolicSampleSize = setup.symbolicSampleSize;
	return kResultOk;
}

} // namespace Vst
} // namespace Steinberg
