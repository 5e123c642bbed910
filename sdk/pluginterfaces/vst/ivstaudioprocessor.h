// The audio processor interface and the records of process().
#pragma once

#include "ivstcomponent.h"
#include "ivstprocesscontext.h"
#include "vstspeaker.h"

#include <cstddef>

// Class category of audio processor components.
#define kVstAudioEffectClass "Audio Module Class"

namespace Steinberg {
namespace Vst {

class IEventList;
class IParameterChanges;

// Sub-category strings, joined with '|'.
namespace PlugType {
const CString kFx = "Fx";
const CString kFxAnalyzer = "Fx|Analyzer";
const CString kFxDelay = "Fx|Delay";
const CString kFxDistortion = "Fx|Distortion";
const CString kFxDynamics = "Fx|Dynamics";
const CString kFxEQ = "Fx|EQ";
const CString kFxFilter = "Fx|Filter";
const CString kFxGenerator = "Fx|Generator";
const CString kFxMastering = "Fx|Mastering";
const CString kFxModulation = "Fx|Modulation";
const CString kFxPitchShift = "Fx|Pitch Shift";
const CString kFxRestoration = "Fx|Restoration";
const CString kFxReverb = "Fx|Reverb";
const CString kFxSpatial = "Fx|Spatial";
const CString kFxSurround = "Fx|Surround";
const CString kFxTools = "Fx|Tools";
const CString kFxNetwork = "Fx|Network";
const CString kInstrument = "Instrument";
const CString kInstrumentSynth = "Instrument|Synth";
const CString kAnalyzer = "Analyzer";
const CString kMono = "Mono";
const CString kStereo = "Stereo";
const CString kSurround = "Surround";
const CString kOnlyRealTime = "OnlyRT";
const CString kNoOfflineProcess = "NoOfflineProcess";
const CString kOnlyOfflineProcess = "OnlyOfflineProcess";
} // namespace PlugType

enum ComponentFlags
{
	kDistributable = 1 << 0,
	kSimpleModeSupported = 1 << 1
};

enum SymbolicSampleSizes
{
	kSample32 = 0,
	kSample64
};

enum ProcessModes
{
	kRealtime = 0,
	kPrefetch,
	kOffline
};

static const uint32 kNoTail = 0;
static const uint32 kInfiniteTail = kMaxInt32u;

struct ProcessSetup
{
	int32 processMode;
	int32 symbolicSampleSize;
	int32 maxSamplesPerBlock;
	SampleRate sampleRate;
};

struct AudioBusBuffers
{
	AudioBusBuffers() : numChannels(0), silenceFlags(0), channelBuffers64(nullptr) {}

	int32 numChannels;
	uint64 silenceFlags;
	union
	{
		Sample32** channelBuffers32;
		Sample64** channelBuffers64;
	};
};

struct ProcessData
{
	ProcessData()
	: processMode(0)
	, symbolicSampleSize(kSample32)
	, numSamples(0)
	, numInputs(0)
	, numOutputs(0)
	, inputs(nullptr)
	, outputs(nullptr)
	, inputParameterChanges(nullptr)
	, outputParameterChanges(nullptr)
	, inputEvents(nullptr)
	, outputEvents(nullptr)
	, processContext(nullptr)
	{
	}

	int32 processMode;
	int32 symbolicSampleSize;
	int32 numSamples;
	int32 numInputs;
	int32 numOutputs;
	AudioBusBuffers* inputs;
	AudioBusBuffers* outputs;
	IParameterChanges* inputParameterChanges;
	IParameterChanges* outputParameterChanges;
	IEventList* inputEvents;
	IEventList* outputEvents;
	ProcessContext* processContext;
};

class IAudioProcessor : public FUnknown
{
public:
	virtual tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
	                                              SpeakerArrangement* outputs, int32 numOuts) = 0;
	virtual tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) = 0;
	virtual tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) = 0;
	virtual uint32 PLUGIN_API getLatencySamples() = 0;
	virtual tresult PLUGIN_API setupProcessing(ProcessSetup& setup) = 0;
	virtual tresult PLUGIN_API setProcessing(TBool state) = 0;
	virtual tresult PLUGIN_API process(ProcessData& data) = 0;
	virtual uint32 PLUGIN_API getTailSamples() = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IAudioProcessor, 0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D)

class IProcessContextRequirements : public FUnknown
{
public:
	enum Flags
	{
		kNeedSystemTime = 1 << 0,
		kNeedContinousTimeSamples = 1 << 1,
		kNeedProjectTimeMusic = 1 << 2,
		kNeedBarPositionMusic = 1 << 3,
		kNeedCycleMusic = 1 << 4,
		kNeedSamplesToNextClock = 1 << 5,
		kNeedTempo = 1 << 6,
		kNeedTimeSignature = 1 << 7,
		kNeedChord = 1 << 8,
		kNeedFrameRate = 1 << 9,
		kNeedTransportState = 1 << 10
	};

	virtual uint32 PLUGIN_API getProcessContextRequirements() = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IProcessContextRequirements, 0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0)

static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, sampleRate) == 16, "ProcessSetup");
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, silenceFlags) == 8 &&
                  offsetof(AudioBusBuffers, channelBuffers32) == 16,
              "AudioBusBuffers");
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, inputs) == 24 &&
                  offsetof(ProcessData, inputParameterChanges) == 40 &&
                  offsetof(ProcessData, processContext) == 72,
              "ProcessData");

} // namespace Vst
} // namespace Steinberg
