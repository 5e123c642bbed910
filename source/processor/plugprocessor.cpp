#include "plugprocessor.h"

#include "paramtable.h"
#include "plugcids.h"
#include "plugids.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <cstring>

namespace Steinberg {
namespace Vst {

namespace {

StateRecord defaultRecord ()
{
	StateRecord r;
	for (ParamID id = kLevelId; id <= kLPCutId; ++id)
		r.values[id - 1] = recordDefault (kParamTable[id]);
	return r;
}

bool hasTwoChannels (SpeakerArrangement arr)
{
	return __builtin_popcountll (arr) == 2;
}

size_t sampleBytes (const ProcessData& data)
{
	return data.symbolicSampleSize == kSample32 ? sizeof (Sample32) : sizeof (Sample64);
}

void** channels (AudioBusBuffers& bus)
{
	return reinterpret_cast<void**> (bus.channelBuffers32);
}

// Zeroes channels from `first` on and flags them silent.
void silence (AudioBusBuffers& bus, int32 first, const ProcessData& data)
{
	void** ch = channels (bus);
	for (int32 c = first; c < bus.numChannels; ++c)
	{
		if (ch && ch[c])
			std::memset (ch[c], 0, sampleBytes (data) * static_cast<size_t> (data.numSamples));
		if (c < 64)
			bus.silenceFlags |= uint64 (1) << c;
	}
}

void silenceBuses (ProcessData& data, int32 firstBus)
{
	for (int32 b = firstBus; b < data.numOutputs; ++b)
		silence (data.outputs[b], 0, data);
}

} // namespace

PlugProcessor::PlugProcessor ()
: record (defaultRecord ()), lastRestore (record), restored ({record, 0}), processed ({record, 0})
{
	setControllerClass (kControllerClassId);
	hall.setValues (record.values);
}

PlugProcessor::~PlugProcessor () = default;

FUnknown* PlugProcessor::createInstance (void* /*context*/)
{
	return static_cast<IAudioProcessor*> (new PlugProcessor);
}

tresult PLUGIN_API PlugProcessor::initialize (FUnknown* context)
{
	if (AudioEffect::initialize (context) != kResultOk)
		return kResultFalse;

	addAudioInput (u"AudioInput", SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
	addAudioOutput (u"AudioOutput", SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
	sampleRate = 44100.0;
	hall.release ();
	return kResultOk;
}

tresult PLUGIN_API PlugProcessor::setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
                                                      SpeakerArrangement* outputs, int32 numOuts)
{
	if (numIns < 0 || numOuts < 0 || (numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
		return kInvalidArgument;
	if (numIns != 0 && !hasTwoChannels (inputs[0]))
		return kResultFalse;
	if (numOuts != 0 && !hasTwoChannels (outputs[0]))
		return kResultFalse;
	return AudioEffect::setBusArrangements (inputs, numIns, outputs, numOuts);
}

tresult PLUGIN_API PlugProcessor::canProcessSampleSize (int32 symbolicSampleSize)
{
	return static_cast<uint32> (symbolicSampleSize) <= 1u ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API PlugProcessor::setupProcessing (ProcessSetup& setup)
{
	// The delay memory is sized for the rate of the activation; a rate the engine cannot
	// run at is refused before anything changes.
	if (isActive () || !tolvar::HallEngine::usableSampleRate (setup.sampleRate))
		return kResultFalse;
	sampleRate = setup.sampleRate;
	return AudioEffect::setupProcessing (setup);
}

tresult PLUGIN_API PlugProcessor::setActive (TBool state)
{
	if (!state)
	{
		hall.release ();
		return AudioEffect::setActive (false);
	}
	if (isActive ())
		return kResultFalse;
	if (!tolvar::HallEngine::usableSampleRate (sampleRate))
		return kResultFalse;

	// No block runs during activation, so the audio side's state may be brought up to date here.
	if (takeRestoredState ())
		processed.post ({record, appliedSerial});
	if (!hall.prepare (sampleRate))
		return kOutOfMemory;
	return AudioEffect::setActive (true);
}

tresult PLUGIN_API PlugProcessor::setState (IBStream* state)
{
	StateRecord r = stateRecord ();
	const tresult result = readStateRecord (r, state);
	if (result != kResultOk)
		return result;
	lastRestore = r;
	restored.post ({r, ++restoreSerial});
	return result;
}

tresult PLUGIN_API PlugProcessor::getState (IBStream* state)
{
	return writeStateRecord (stateRecord (), state);
}

StateRecord PlugProcessor::stateRecord ()
{
	processed.fetch ();
	const Restore& latest = processed.value ();
	// A restore the audio side has not taken yet is the state as far as the host knows.
	return latest.serial == restoreSerial ? latest.record : lastRestore;
}

uint32 PLUGIN_API PlugProcessor::getTailSamples ()
{
	return tolvar::HallEngine::tailSamples (stateRecord ().values[kRvbTimeId - 1], sampleRate);
}

//------------------------------------------------------------------------
// Audio thread

bool PlugProcessor::takeRestoredState ()
{
	if (!restored.fetch ())
		return false;
	record = restored.value ().record;
	appliedSerial = restored.value ().serial;
	hall.setValues (record.values);
	return true;
}

// The last point of each queue, applied from the start of the block.
bool PlugProcessor::applyParameterChanges (IParameterChanges* changes)
{
	if (!changes)
		return false;
	bool changed = false;
	const int32 count = changes->getParameterCount ();
	for (int32 i = 0; i < count; ++i)
	{
		IParamValueQueue* queue = changes->getParameterData (i);
		if (!queue)
			continue;
		const ParamID id = queue->getParameterId ();
		const int32 points = queue->getPointCount ();
		if (id >= kNumParams || points <= 0)
			continue;
		int32 offset = 0;
		ParamValue value = 0.0;
		if (queue->getPoint (points - 1, offset, value) != kResultOk)
			continue;
		if (id == kBypassId)
		{
			record.bypass = value > 0.5;
		}
		else
		{
			record.values[id - 1] = value;
			hall.setValues (record.values);
		}
		changed = true;
	}
	return changed;
}

tresult PLUGIN_API PlugProcessor::process (ProcessData& data)
{
	bool changed = takeRestoredState ();
	changed = applyParameterChanges (data.inputParameterChanges) || changed;
	if (changed)
		processed.post ({record, appliedSerial});

	if (data.symbolicSampleSize != kSample32 && data.symbolicSampleSize != kSample64)
		return kInvalidArgument;
	if (data.numSamples <= 0 || data.numOutputs <= 0 || !data.outputs)
		return kResultOk;

	if (record.bypass)
		bypass (data);
	else if (!runEngine (data))
		silenceBuses (data, 0);
	return kResultOk;
}

// Input channels copied to the outputs of the same index; outputs without one are silent.
void PlugProcessor::bypass (ProcessData& data)
{
	AudioBusBuffers& out = data.outputs[0];
	int32 copied = 0;
	if (data.numInputs > 0 && data.inputs && channels (data.inputs[0]) && channels (out))
	{
		AudioBusBuffers& in = data.inputs[0];
		void** src = channels (in);
		void** dst = channels (out);
		copied = in.numChannels < out.numChannels ? in.numChannels : out.numChannels;
		if (copied < 0)
			copied = 0; // a negative channel count names no channel
		const size_t bytes = sampleBytes (data) * static_cast<size_t> (data.numSamples);
		for (int32 c = 0; c < copied; ++c)
		{
			const uint64 bit = c < 64 ? uint64 (1) << c : 0;
			if (!dst[c])
				continue;
			if (!src[c])
			{
				// An input channel the host left out passes on as silence.
				std::memset (dst[c], 0, bytes);
				out.silenceFlags |= bit;
				continue;
			}
			if (src[c] != dst[c])
				std::memcpy (dst[c], src[c], bytes);
			out.silenceFlags = (out.silenceFlags & ~bit) | (in.silenceFlags & bit);
		}
	}
	silence (out, copied, data);
	silenceBuses (data, 1);
}

// The engine on channels 0 and 1 of the main buses; false when it cannot run.
bool PlugProcessor::runEngine (ProcessData& data)
{
	if (!hall.isPrepared () || data.numInputs <= 0 || !data.inputs)
		return false;
	AudioBusBuffers& in = data.inputs[0];
	AudioBusBuffers& out = data.outputs[0];
	void** src = channels (in);
	void** dst = channels (out);
	if (in.numChannels < 2 || out.numChannels < 2 || !src || !dst || !src[0] || !src[1] || !dst[0] || !dst[1])
		return false;

	if (data.symbolicSampleSize == kSample32)
		hall.process (in.channelBuffers32[0], in.channelBuffers32[1], out.channelBuffers32[0],
		              out.channelBuffers32[1], data.numSamples);
	else
		hall.process (in.channelBuffers64[0], in.channelBuffers64[1], out.channelBuffers64[0],
		              out.channelBuffers64[1], data.numSamples);
	out.silenceFlags &= ~uint64 (3);
	silence (out, 2, data);
	silenceBuses (data, 1);
	return true;
}

} // namespace Vst
} // namespace Steinberg
