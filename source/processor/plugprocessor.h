#pragma once

#include "public.sdk/source/vst/vstaudioeffect.h"
#include "staterecord.h"

namespace Steinberg {
namespace Vst {

// The hall reverb processor. The engine is a set of non-virtual members working on the
// fields below; the delay lines live from activation to deactivation.
class PlugProcessor : public AudioEffect
{
public:
	static constexpr int32 kNumLines = 16;
	// Activation accepts sample rates above 0 Hz up to this one.
	static constexpr double kMaxSampleRate = 1536000.0;

	PlugProcessor ();
	~PlugProcessor () override;

	tresult PLUGIN_API initialize (FUnknown* context) override;
	tresult PLUGIN_API setActive (TBool state) override;
	tresult PLUGIN_API setState (IBStream* state) override;
	tresult PLUGIN_API getState (IBStream* state) override;
	tresult PLUGIN_API setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
	                                       SpeakerArrangement* outputs, int32 numOuts) override;
	tresult PLUGIN_API canProcessSampleSize (int32 symbolicSampleSize) override;
	tresult PLUGIN_API setupProcessing (ProcessSetup& setup) override;
	tresult PLUGIN_API process (ProcessData& data) override;
	uint32 PLUGIN_API getTailSamples () override;

	static FUnknown* createInstance (void* context);

	// Parameter mapping, smoothing and the per-sample loop.
	void updateParameters (bool init);
	void processSamples32 (Sample32** inputs, Sample32** outputs, int32 numChannels, int32 numSamples);
	void processSamples64 (Sample64** inputs, Sample64** outputs, int32 numChannels, int32 numSamples);

	// Coefficient design.
	void computeTankCoefficients (bool init, double decayTimeMs, double dampRatio);
	void computeInputCoefficients (bool init);

	// Signal path and feedback delay network of one sample.
	void processTank (double xL, double xR, double& outL, double& outR);
	void processFdn (double x, double& outL, double& outR);

	// Delay memory.
	void freeBuffers ();
	void allocateBuffers (int32 length);
	void clearBuffers (int32 length);

	// True while the delay lines are held (between activation and deactivation).
	bool buffersPresent () const { return predelayLine != nullptr; }

protected:
	template <typename Sample>
	void processSamples (Sample** inputs, Sample** outputs, int32 numSamples);
	void advanceCrossfade (double decayTimeMs, double dampRatio);
	void holdStep (double decayTimeMs, double dampRatio);
	void mapTargets ();
	// Truncates a length in samples and keeps it within 0..bufferLength, so reads stay in the line.
	int32 clampDelay (double samples) const;
	double readLine (const double* line, int32 delay) const
	{
		int32 index = writeIndex - delay;
		if (index < 0)
			index += bufferLength;
		return line[index];
	}

public:
	// Engine state. Public so that tests and measuring tools can inspect it.

	// Parameter state.
	StateRecord record;
	double sampleRate = 0.0;
	double samplesPerMs = 0.0;

	// Engine targets.
	double levelGain = 0.0;
	double mixAmount = 0.0;
	double predelayMs = 0.0;
	double reverbTimeMs = 0.0;
	double roomSize = 0.0;
	double diffusionAmount = 0.0;
	double hfDamping = 0.0;
	double lowpassHz = 0.0;

	// Smoothing.
	double levelSmoothed = 0.0;
	double mixSmoothed = 0.0;
	double diffusionSmoothed = 0.0;
	double smoothingTimeMs = 0.0;
	double smoothingPole = 0.0;
	double smoothingPoleComplement = 0.0;

	// Change detection and crossfade.
	double lastPredelayMs = 0.0;
	double lastRoomSize = 0.0;
	bool changePending = false;
	bool fadingIn = false;
	bool noFade = true;
	double fadeGain = 0.0;
	double networkGain = 0.0;
	double fadeInStep = 0.0;
	double fadeOutStep = 0.0;
	int32 holdLength = 0;
	int32 holdCounter = 0;

	// Delay lines, all of bufferLength elements, sharing writeIndex.
	int32 bufferLength = 0;
	int32 writeIndex = 0;
	double* predelayLine = nullptr;
	double* allpassInLine1 = nullptr;
	double* allpassOutLine1 = nullptr;
	double* allpassInLine2 = nullptr;
	double* allpassOutLine2 = nullptr;
	double* networkLines[kNumLines] = {};

	// Coefficients.
	double lowpassPole = 0.0;
	double lowpassNumerator = 0.0;
	double dryGain = 0.0;
	int32 predelaySamples = 0;
	double allpassMs1 = 0.0;
	double allpassMs2 = 0.0;
	int32 allpassDelay1 = 0;
	int32 allpassDelay2 = 0;
	double allpassGain1 = 0.0;
	double allpassGain2 = 0.0;
	int32 lineDelay[kNumLines] = {};
	double dampNumerator[kNumLines] = {};
	double dampPole[kNumLines] = {};
	double injectionWeight[kNumLines] = {};
	double tapWeight = 0.0;
	double highpassMidHz = 0.0;
	double highpassSideHz = 0.0;
	double highpassMidPole = 0.0;
	double highpassMidNumerator = 0.0;
	double highpassSidePole = 0.0;
	double highpassSideNumerator = 0.0;

	// Filter states.
	double lowpassPrevIn = 0.0;
	double lowpassPrevOut = 0.0;
	double highpassMidPrevIn = 0.0;
	double highpassMidPrevOut = 0.0;
	double highpassSidePrevIn = 0.0;
	double highpassSidePrevOut = 0.0;
	double dampState[kNumLines] = {};
};

} // namespace Vst
} // namespace Steinberg
