#pragma once

#include <cstdint>

namespace tolvar {

constexpr int kNumLines = 16;

// What the signal path reads and writes sample by sample: the delay memory with its shared
// write position, the delays in samples, the coefficients that hold for a whole run, and the
// filter states.
struct TankState
{
	int32_t bufferLength = 0;
	int32_t writeIndex = 0;
	double* predelayLine = nullptr;
	double* allpassInLine1 = nullptr;
	double* allpassOutLine1 = nullptr;
	double* allpassInLine2 = nullptr;
	double* allpassOutLine2 = nullptr;
	double* networkLines[kNumLines] = {};

	int32_t predelaySamples = 0;
	int32_t allpassDelay1 = 0;
	int32_t allpassDelay2 = 0;
	int32_t lineDelay[kNumLines] = {};

	double lowpassPole = 0.0;
	double lowpassNumerator = 0.0;
	double highpassMidPole = 0.0;
	double highpassMidNumerator = 0.0;
	double highpassSidePole = 0.0;
	double highpassSideNumerator = 0.0;
	double dampNumerator[kNumLines] = {};
	double dampPole[kNumLines] = {};
	double injectionWeight[kNumLines] = {};

	double lowpassPrevIn = 0.0;
	double lowpassPrevOut = 0.0;
	double highpassMidPrevIn = 0.0;
	double highpassMidPrevOut = 0.0;
	double highpassSidePrevIn = 0.0;
	double highpassSidePrevOut = 0.0;
	double dampState[kNumLines] = {};
};

// Values that may change from sample to sample, one array element per sample of a run.
struct RunValues
{
	const double* inL;       // input plus the anti-denormal offset
	const double* inR;
	const double* networkGain;
	const double* mixSmoothed;
	const double* dryGain;
	const double* levelSmoothed;
	const double* allpassGain1;
	const double* allpassGain2;
	const double* diffusionSmoothed;
	const double* tapWeight;
};

// The signal path for a run of samples, compiled once per instruction set.
struct TankKernels
{
	void (*process32) (TankState& s, const RunValues& v, int32_t n, float* outL, float* outR);
	void (*process64) (TankState& s, const RunValues& v, int32_t n, double* outL, double* outR);
};

const TankKernels& baselineKernels ();
const TankKernels& avx2Kernels ();

} // namespace tolvar
