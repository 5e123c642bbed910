#pragma once

#include "tankstate.h"

#include <cstdint>
#include <memory>

namespace tolvar {

// The hall reverb: input low-pass, pre-delay, two all-pass diffusers, a sixteen-line
// feedback delay network with per-line damping and mid/side high-passes, mixed with the dry
// input. Knows nothing of plug-in formats; a host-side component translates for it.
//
// prepare() is the only call that obtains memory; process() neither allocates, locks nor
// calls the system. Denormals: no flush-to-zero is set; a tiny offset on the input keeps the
// recursions out of the subnormal range.
class HallEngine
{
public:
	static constexpr int kNumValues = 8; // Level, Mix, Predelay, Rvb Time, Size, Diffusion, HFDamp, LPCut
	static constexpr double kMinSampleRate = 1.0;
	static constexpr double kMaxSampleRate = 1536000.0;

	HallEngine ();
	~HallEngine ();
	HallEngine (const HallEngine&) = delete;
	HallEngine& operator= (const HallEngine&) = delete;

	static bool usableSampleRate (double rate);

	// Sizes and clears the delay memory for a rate, clears every filter and restarts the
	// crossfade. False, with nothing changed, for an unusable rate or when memory is short.
	bool prepare (double sampleRate);
	void release ();
	bool isPrepared () const { return delayMemory != nullptr; }

	// The normalised values (0..1) of the eight parameters, applied from the next sample.
	void setValues (const double* values);

	// A run of stereo samples; outputs may be the inputs. Requires prepare().
	void process (const float* inL, const float* inR, float* outL, float* outR, int32_t numSamples);
	void process (const double* inL, const double* inR, double* outL, double* outR, int32_t numSamples);

	// Reverb time plus half a second, in samples.
	uint32_t tailSamples () const;
	static uint32_t tailSamples (double rvbTimeValue, double sampleRate);

	// The signal path for any x86-64 processor even where AVX2 is there (tests, benchmark).
	void useBaselineKernels (bool baseline);
	bool usesAvx2Kernels () const;

	// Read-only view for tests and measuring tools.
	struct Targets
	{
		double levelGain, mixAmount, predelayMs, reverbTimeMs, roomSize, diffusionAmount, hfDamping, lowpassHz;
	};
	const Targets& targets () const { return target; }
	const TankState& tank () const { return tankState; }
	double networkGain () const { return fadeGain; }
	bool changePending () const { return pending; }

private:
	static constexpr int32_t kMaxRun = 256;

	// Parameter mapping and the designs it leads to.
	void updateParameters (bool init);
	void computeTankCoefficients (bool init, double decayTimeMs, double dampRatio);
	void computeInputCoefficients (bool init);

	template <typename Sample>
	void processSamples (const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int32_t numSamples);
	template <typename Sample>
	void processTank (int32_t first, int32_t n, Sample* outL, Sample* outR);
	int32_t followSmoothing (int32_t n, bool& lengthsChanged);
	void designSmoothedCoefficients ();
	void designLines ();
	void advanceCrossfade (double decayTimeMs, double dampRatio);
	void holdStep (double decayTimeMs, double dampRatio);
	void mapTargets ();
	void clearState ();
	void clearIfNotFinite ();
	int32_t clampDelay (double samples) const;

	const TankKernels* kernels;
	bool avx2Available;

	double values[kNumValues] = {};
	double sampleRate = 0.0;
	double samplesPerMs = 0.0;
	Targets target {};

	double levelSmoothed = 0.0;
	double mixSmoothed = 0.0;
	double diffusionSmoothed = 0.0;
	double smoothingPole = 0.0;
	double smoothingPoleComplement = 0.0;

	double lastPredelayMs = 0.0;
	double lastRoomSize = 0.0;
	bool pending = false;
	bool fadingIn = false;
	double fadeGain = 0.0;
	double fadeInStep = 0.0;
	double fadeOutStep = 0.0;
	int32_t holdLength = 0;
	int32_t holdCounter = 0;
	bool holdEnded = false;

	// Coefficients that follow the smoothed values.
	double dryGain = 0.0;
	double allpassGain1 = 0.0;
	double allpassGain2 = 0.0;
	double tapWeight = 0.0;

	// Inputs of the last designs; a design runs again only when one of them differs.
	double lowpassDesignedHz;
	double allpassDesignedDiffusion;
	double lengthsDesignedSize;
	double lineDesignedDecay;
	double lineDesignedDampRatio;
	double lineDesignedSize;
	double lineDecayTimeMs = 0.0; // inputs the next line design is to use
	double lineDampRatio = 0.0;
	double lengthMs[kNumLines] = {};

	TankState tankState;
	std::unique_ptr<double[]> delayMemory;

	// Per-sample values of the current run, and whether they hold one constant value each.
	struct RunArrays
	{
		double inL[kMaxRun], inR[kMaxRun];
		double networkGain[kMaxRun], mixSmoothed[kMaxRun], dryGain[kMaxRun], levelSmoothed[kMaxRun];
		double allpassGain1[kMaxRun], allpassGain2[kMaxRun], diffusionSmoothed[kMaxRun], tapWeight[kMaxRun];
	};
	std::unique_ptr<RunArrays> run;
	bool runArraysConstant = false;
};

} // namespace tolvar
