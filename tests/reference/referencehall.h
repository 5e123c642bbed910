#pragma once

#include "pluginterfaces/base/ftypes.h"

namespace tolvartest {

using Steinberg::int32;
using Steinberg::uint32;

// The hall reverb as it was first written: every coefficient designed again on every
// sample, one sample at a time. Kept as the yardstick the fast engine must equal bit for bit.
class ReferenceHall
{
public:
	static constexpr int32 kNumLines = 16;
	static constexpr int32 kNumValues = 8;

	ReferenceHall ();
	~ReferenceHall ();
	ReferenceHall (const ReferenceHall&) = delete;
	ReferenceHall& operator= (const ReferenceHall&) = delete;

	// Sizes and clears the delay lines for a rate and restarts the crossfade; false for an
	// unusable rate or when memory is short.
	bool prepare (double rate);
	void release ();
	bool isPrepared () const { return predelayLine != nullptr; }
	// The normalised values of Level .. LPCut, mapped at once.
	void setValues (const double* values);
	void process (const float* inL, const float* inR, float* outL, float* outR, int32 numSamples);
	void process (const double* inL, const double* inR, double* outL, double* outR, int32 numSamples);

	void updateParameters (bool init);
	void computeTankCoefficients (bool init, double decayTimeMs, double dampRatio);
	void computeInputCoefficients (bool init);
	void processTank (double xL, double xR, double& outL, double& outR);
	void processFdn (double x, double& outL, double& outR);
	void freeBuffers ();
	void allocateBuffers (int32 length);
	void clearBuffers (int32 length);

private:
	template <typename Sample>
	void processSamples (const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int32 numSamples);
	void advanceCrossfade (double decayTimeMs, double dampRatio);
	void holdStep (double decayTimeMs, double dampRatio);
	void mapTargets ();
	int32 clampDelay (double samples) const;
	double readLine (const double* line, int32 delay) const
	{
		int32 index = writeIndex - delay;
		if (index < 0)
			index += bufferLength;
		return line[index];
	}

public:
	double values[kNumValues] = {};
	double sampleRate = 0.0;
	double samplesPerMs = 0.0;

	double levelGain = 0.0;
	double mixAmount = 0.0;
	double predelayMs = 0.0;
	double reverbTimeMs = 0.0;
	double roomSize = 0.0;
	double diffusionAmount = 0.0;
	double hfDamping = 0.0;
	double lowpassHz = 0.0;

	double levelSmoothed = 0.0;
	double mixSmoothed = 0.0;
	double diffusionSmoothed = 0.0;
	double smoothingTimeMs = 50.0;
	double smoothingPole = 0.0;
	double smoothingPoleComplement = 0.0;

	double lastPredelayMs = 0.0;
	double lastRoomSize = 0.0;
	bool changePending = false;
	bool fadingIn = false;
	double fadeGain = 0.0;
	double networkGain = 0.0;
	double fadeInStep = 0.0;
	double fadeOutStep = 0.0;
	int32 holdLength = 0;
	int32 holdCounter = 0;

	int32 bufferLength = 0;
	int32 writeIndex = 0;
	double* predelayLine = nullptr;
	double* allpassInLine1 = nullptr;
	double* allpassOutLine1 = nullptr;
	double* allpassInLine2 = nullptr;
	double* allpassOutLine2 = nullptr;
	double* networkLines[kNumLines] = {};

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
	double highpassMidHz = 20.0;
	double highpassSideHz = 60.0;
	double highpassMidPole = 0.0;
	double highpassMidNumerator = 0.0;
	double highpassSidePole = 0.0;
	double highpassSideNumerator = 0.0;

	double lowpassPrevIn = 0.0;
	double lowpassPrevOut = 0.0;
	double highpassMidPrevIn = 0.0;
	double highpassMidPrevOut = 0.0;
	double highpassSidePrevIn = 0.0;
	double highpassSidePrevOut = 0.0;
	double dampState[kNumLines] = {};
};

} // namespace tolvartest
