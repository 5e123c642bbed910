#include "hallengine.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace tolvar {

namespace {

constexpr double kTwoPi = 2.0 * 3.141592653589793;
// Stored as the last pre-delay and size on activation, so the first mapping sees a change.
constexpr double kChangeSentinel = -987654321.0;
constexpr double kNotDesigned = std::numeric_limits<double>::quiet_NaN ();

// Parameter mapping: octaves spanned by each exponential range. Predelay and Rvb Time use
// values one unit in the last place from the rounded log2; the mapped times depend on them.
constexpr double kLevelOctaves = std::log2 (10.0) * 48.0 / 20.0; // -36..12 dB
constexpr double kLevelMinOctaves = std::log2 (10.0) * 36.0 / 20.0;
constexpr double kPredelayOctaves = 7.965784284662086; // log2 (250 ms / 1 ms)
constexpr double kRvbTimeOctaves = 3.7369655941662057; // log2 (8 s / 0.6 s)
constexpr double kSizeOctaves = std::log2 (20000.0 / 1000.0);
constexpr double kDiffusionOctaves = std::log2 (1.0 / 0.1);
constexpr double kRvbTimeMinMs = 600.0;
constexpr double kSizeMin = 1000.0;
constexpr double kDiffusionMin = 0.1;
constexpr double kHFDampMax = 0.94;
constexpr double kLPCutMinHz = 500.0;
constexpr double kLPCutOctaves = 5.0; // 500..16000 Hz

// Decay time of a line at low frequencies for a reverb time: 1.145011 x reverb time - 47.24 ms.
constexpr double kDecayPerReverbTime = 1.145011;
constexpr double kDecayOffsetMs = 47.236978;

constexpr double kSmoothingTimeMs = 50.0;
constexpr double kFadeOutMs = 150.0;
constexpr double kFadeInMs = 50.0;
constexpr double kHoldMs = 250.0;
constexpr double kHighpassMidHz = 20.0;
constexpr double kHighpassSideHz = 60.0;
constexpr double kAllpassMs1 = 4.771;
constexpr double kAllpassMs2 = 3.595;
constexpr double kAllpassGainLimit = 0.85;
// The all-passes ring down by 60 dB (a factor of 1000) in 150 ms x diffusion.
constexpr double kAllpassDecayOctaves = -std::log2 (1000.0);
constexpr double kAllpassRingMs = 150.0;
constexpr double kInputGain = 0.05;
// Added to every input sample: keeps the filters out of the subnormal range.
constexpr double kAntiDenormal = 1e-18;

// Network line lengths in ms at a room scale of 1.
constexpr double kLineBaseMs[kNumLines] = {40.503959, 27.813877, 22.928411, 17.383673, 16.371867, 15.974569,
                                           14.741325, 13.852415, 13.190673, 13.153232, 12.145967, 11.91831,
                                           10.859495, 10.663036, 10.489046, 9.037556};

constexpr int kNumLinesInMemory = 5 + kNumLines;

// Truncating conversion that saturates instead of overflowing; NaN gives 0.
int32_t truncToInt32 (double x)
{
	if (x >= -2147483648.0 && x < 2147483648.0)
		return static_cast<int32_t> (x);
	if (x >= 2147483648.0)
		return 2147483647;
	if (x < 0.0)
		return -2147483647 - 1;
	return 0;
}

// A normalised value as the engine uses it: NaN and values below 0 become 0, above 1 become 1.
double engineValue (double v)
{
	if (!(v >= 0.0))
		return 0.0;
	return v > 1.0 ? 1.0 : v;
}

// The one-pole design holds below the Nyquist frequency; a corner at or above it is
// brought down to 0.45 of the rate, where the filter is well inside its stable range.
double limitCorner (double hz, double rate)
{
	return hz < 0.5 * rate ? hz : 0.45 * rate;
}

// One-pole high-pass: unit gain at Nyquist, a zero at DC.
void designHighpass (double hz, double rate, double& pole, double& numerator)
{
	const double w = limitCorner (hz, rate) * kTwoPi * (1.0 / rate);
	const double s = std::sin (w);
	const double c = std::cos (w);
	pole = (1.0 - s) / c;
	numerator = 0.5 * pole + 0.5;
}

bool sameBits (double a, double b)
{
	return std::memcmp (&a, &b, sizeof a) == 0;
}

// One step of the smoothing leaves the value where it is.
bool settled (double smoothed, double target, double pole, double complement)
{
	return sameBits (pole * smoothed + complement * target, smoothed);
}

void fill (double* array, double value, int32_t n)
{
	for (int32_t i = 0; i < n; ++i)
		array[i] = value;
}

// The delays that change only where a crossfade hold ends.
struct HeldDelays
{
	int32_t predelaySamples;
	int32_t lineDelay[kNumLines];

	explicit HeldDelays (const TankState& s) : predelaySamples (s.predelaySamples)
	{
		std::memcpy (lineDelay, s.lineDelay, sizeof lineDelay);
	}
	void swap (TankState& s)
	{
		std::swap (predelaySamples, s.predelaySamples);
		std::swap (lineDelay, s.lineDelay);
	}
};

bool avx2Supported ()
{
	static const bool supported = [] {
		__builtin_cpu_init ();
		return __builtin_cpu_supports ("avx2") != 0;
	}();
	return supported;
}

} // namespace

HallEngine::HallEngine ()
: avx2Available (avx2Supported ()), run (new RunArrays)
{
	kernels = avx2Available ? &avx2Kernels () : &baselineKernels ();
	lowpassDesignedHz = allpassDesignedDiffusion = lengthsDesignedSize = kNotDesigned;
	lineDesignedDecay = lineDesignedDampRatio = lineDesignedSize = kNotDesigned;
	mapTargets ();
}

HallEngine::~HallEngine () = default;

bool HallEngine::usableSampleRate (double rate)
{
	return rate >= kMinSampleRate && rate <= kMaxSampleRate;
}

void HallEngine::useBaselineKernels (bool baseline)
{
	kernels = avx2Available && !baseline ? &avx2Kernels () : &baselineKernels ();
}

bool HallEngine::usesAvx2Kernels () const
{
	return kernels != &baselineKernels ();
}

//------------------------------------------------------------------------
// Delay memory and activation

bool HallEngine::prepare (double rate)
{
	if (!usableSampleRate (rate))
		return false;

	// 250 ms of samples and a tenth of a percent more, rounded down twice.
	const int32_t quarter = truncToInt32 (rate * 0.25);
	int32_t length = quarter + truncToInt32 (quarter * 0.001);
	if (length < 1)
		length = 1;
	double* memory = new (std::nothrow) double[static_cast<size_t> (length) * kNumLinesInMemory];
	if (!memory)
		return false;
	delayMemory.reset (memory);

	TankState& s = tankState;
	s.bufferLength = length;
	double* line = memory;
	for (double** p : {&s.predelayLine, &s.allpassInLine1, &s.allpassOutLine1, &s.allpassInLine2, &s.allpassOutLine2})
	{
		*p = line;
		line += length;
	}
	for (double*& networkLine : s.networkLines)
	{
		networkLine = line;
		line += length;
	}

	sampleRate = rate;
	samplesPerMs = rate * 0.001;
	clearState ();

	s.allpassDelay1 = clampDelay (kAllpassMs1 * samplesPerMs + 0.5);
	s.allpassDelay2 = clampDelay (kAllpassMs2 * samplesPerMs + 0.5);

	lastPredelayMs = kChangeSentinel;
	lastRoomSize = kChangeSentinel;
	pending = false;
	fadingIn = false;
	fadeGain = 1.0;
	const double msPerSample = 1.0 / samplesPerMs;
	fadeInStep = msPerSample * (1.0 / kFadeInMs);
	fadeOutStep = msPerSample * (1.0 / kFadeOutMs);
	holdLength = truncToInt32 (samplesPerMs * kHoldMs + 0.5);
	holdCounter = holdLength;

	smoothingPole = std::exp (-2.2 / (0.001 * sampleRate * kSmoothingTimeMs));
	smoothingPoleComplement = 1.0 - smoothingPole;

	designHighpass (kHighpassMidHz, sampleRate, s.highpassMidPole, s.highpassMidNumerator);
	designHighpass (kHighpassSideHz, sampleRate, s.highpassSidePole, s.highpassSideNumerator);

	// The designs so far were for another rate.
	lowpassDesignedHz = lengthsDesignedSize = lineDesignedSize = kNotDesigned;
	runArraysConstant = false;
	updateParameters (true);
	return true;
}

void HallEngine::release ()
{
	delayMemory.reset ();
	TankState& s = tankState;
	s.predelayLine = s.allpassInLine1 = s.allpassOutLine1 = s.allpassInLine2 = s.allpassOutLine2 = nullptr;
	for (double*& line : s.networkLines)
		line = nullptr;
}

void HallEngine::clearState ()
{
	TankState& s = tankState;
	std::memset (delayMemory.get (), 0, sizeof (double) * static_cast<size_t> (s.bufferLength) * kNumLinesInMemory);
	s.writeIndex = 0;
	s.lowpassPrevIn = s.lowpassPrevOut = 0.0;
	s.highpassMidPrevIn = s.highpassMidPrevOut = 0.0;
	s.highpassSidePrevIn = s.highpassSidePrevOut = 0.0;
	for (double& d : s.dampState)
		d = 0.0;
}

// A non-finite value stays in the recursions for good; start them afresh instead.
void HallEngine::clearIfNotFinite ()
{
	const TankState& s = tankState;
	bool finite = true;
	for (double v : {s.lowpassPrevIn, s.lowpassPrevOut, s.highpassMidPrevIn, s.highpassMidPrevOut,
	                 s.highpassSidePrevIn, s.highpassSidePrevOut})
		finite = finite && std::isfinite (v);
	for (double d : s.dampState)
		finite = finite && std::isfinite (d);
	if (!finite)
		clearState ();
}

int32_t HallEngine::clampDelay (double samples) const
{
	const int32_t d = truncToInt32 (samples);
	if (d < 0)
		return 0;
	return d > tankState.bufferLength ? tankState.bufferLength : d;
}

//------------------------------------------------------------------------
// Parameter mapping, smoothing and crossfade

void HallEngine::setValues (const double* newValues)
{
	for (int i = 0; i < kNumValues; ++i)
		values[i] = newValues[i];
	updateParameters (false);
}

void HallEngine::mapTargets ()
{
	const double level = engineValue (values[0]);
	const double mix = engineValue (values[1]);
	const double predelay = engineValue (values[2]);
	const double rvbTime = engineValue (values[3]);
	const double size = engineValue (values[4]);
	const double diffusion = engineValue (values[5]);
	const double hfDamp = engineValue (values[6]);
	const double lpCut = engineValue (values[7]);

	target.levelGain = std::exp2 (level * kLevelOctaves - kLevelMinOctaves);
	target.mixAmount = mix;
	target.predelayMs = predelay == 0.0 ? 0.0 : std::exp2 (kPredelayOctaves * predelay);
	target.reverbTimeMs = kRvbTimeMinMs * std::exp2 (rvbTime * kRvbTimeOctaves);
	target.roomSize = kSizeMin * std::exp2 (size * kSizeOctaves);
	target.diffusionAmount = diffusion == 0.0 ? 0.0 : kDiffusionMin * std::exp2 (kDiffusionOctaves * diffusion);
	target.hfDamping = kHFDampMax * hfDamp;
	target.lowpassHz = kLPCutMinHz * std::exp2 (kLPCutOctaves * lpCut);
}

uint32_t HallEngine::tailSamples (double rvbTimeValue, double rate)
{
	const double reverbTimeMs = kRvbTimeMinMs * std::exp2 (engineValue (rvbTimeValue) * kRvbTimeOctaves);
	const double tail = (reverbTimeMs * 0.001 + 0.5) * rate;
	if (!(tail >= 0.0))
		return 0;
	if (tail >= 4294967295.0)
		return 0xFFFFFFFFu;
	return static_cast<uint32_t> (tail);
}

uint32_t HallEngine::tailSamples () const
{
	return tailSamples (values[3], sampleRate);
}

void HallEngine::updateParameters (bool init)
{
	mapTargets ();

	// Ordered comparisons: a NaN never counts as a change.
	if (target.predelayMs < lastPredelayMs || target.predelayMs > lastPredelayMs)
	{
		pending = true;
		lastPredelayMs = target.predelayMs;
	}
	if (target.roomSize < lastRoomSize || target.roomSize > lastRoomSize)
	{
		pending = true;
		lastRoomSize = target.roomSize;
	}

	if (init)
	{
		levelSmoothed = target.levelGain;
		mixSmoothed = target.mixAmount;
		diffusionSmoothed = target.diffusionAmount;
		runArraysConstant = false;
	}

	const double rvbTime = engineValue (values[3]);
	const double decayTimeMs =
	    kRvbTimeMinMs * kDecayPerReverbTime * std::exp2 (rvbTime * kRvbTimeOctaves) - kDecayOffsetMs;
	computeTankCoefficients (init, decayTimeMs, 1.0 - target.hfDamping);
}

void HallEngine::holdStep (double decayTimeMs, double dampRatio)
{
	--holdCounter;
	if (holdCounter > 0)
		return;
	holdCounter = holdLength;
	pending = false;
	fadingIn = true;
	computeTankCoefficients (false, decayTimeMs, dampRatio);
	holdEnded = true;
}

void HallEngine::advanceCrossfade (double decayTimeMs, double dampRatio)
{
	if (pending)
	{
		fadingIn = false;
		if (fadeGain > 0.0)
		{
			fadeGain -= fadeOutStep;
			if (!(fadeGain > 0.0))
			{
				fadeGain = 0.0;
				holdStep (decayTimeMs, dampRatio);
			}
		}
		else
		{
			holdStep (decayTimeMs, dampRatio);
		}
	}
	else if (fadingIn)
	{
		fadeGain += fadeInStep;
		if (fadeGain > 1.0)
		{
			fadeGain = 1.0;
			fadingIn = false;
		}
	}
}

//------------------------------------------------------------------------
// Coefficient design. Each design runs again only when its inputs changed; equal inputs
// give equal bits, so skipping it changes nothing.

void HallEngine::computeInputCoefficients (bool init)
{
	TankState& s = tankState;
	if (!sameBits (target.lowpassHz, lowpassDesignedHz))
	{
		lowpassDesignedHz = target.lowpassHz;
		const double w = limitCorner (target.lowpassHz, sampleRate) * kTwoPi / sampleRate;
		const double sine = std::sin (w);
		const double cosine = std::cos (w);
		s.lowpassPole = (1.0 - sine) / cosine;
		s.lowpassNumerator = (0.5 - 0.5 * s.lowpassPole) * kInputGain;
	}

	if (!pending || init)
		s.predelaySamples = clampDelay (samplesPerMs * target.predelayMs + 0.5);

	designSmoothedCoefficients ();
}

// The coefficients that follow the smoothed mix and diffusion.
void HallEngine::designSmoothedCoefficients ()
{
	dryGain = 1.0 - mixSmoothed;
	tapWeight = diffusionSmoothed * -0.3 + 1.3;
	if (sameBits (diffusionSmoothed, allpassDesignedDiffusion))
		return;
	allpassDesignedDiffusion = diffusionSmoothed;
	const double perRing = 1.0 / (diffusionSmoothed * kAllpassRingMs);
	allpassGain1 = std::exp2 (kAllpassMs1 * kAllpassDecayOctaves * perRing);
	if (allpassGain1 > kAllpassGainLimit)
		allpassGain1 = kAllpassGainLimit;
	allpassGain2 = std::exp2 (kAllpassMs2 * kAllpassDecayOctaves * perRing);
	if (allpassGain2 > kAllpassGainLimit)
		allpassGain2 = kAllpassGainLimit;
}

void HallEngine::computeTankCoefficients (bool init, double decayTimeMs, double dampRatio)
{
	computeInputCoefficients (init);

	if (!sameBits (target.roomSize, lengthsDesignedSize))
	{
		lengthsDesignedSize = target.roomSize;
		const double roomScale = std::cbrt (target.roomSize * 10.0) * 0.1;
		for (int k = 0; k < kNumLines; ++k)
			lengthMs[k] = kLineBaseMs[k] * roomScale;
	}
	if (!pending || init)
	{
		for (int k = 0; k < kNumLines; ++k)
			tankState.lineDelay[k] = clampDelay (samplesPerMs * lengthMs[k] + 0.5);
	}

	// The damping and injection design is the costly one; it runs when process needs it.
	lineDecayTimeMs = decayTimeMs;
	lineDampRatio = dampRatio;
}

void HallEngine::designLines ()
{
	if (sameBits (lineDecayTimeMs, lineDesignedDecay) && sameBits (lineDampRatio, lineDesignedDampRatio) &&
	    sameBits (lengthsDesignedSize, lineDesignedSize))
		return;
	lineDesignedDecay = lineDecayTimeMs;
	lineDesignedDampRatio = lineDampRatio;
	lineDesignedSize = lengthsDesignedSize;

	TankState& s = tankState;
	const double q = 1.0 - 1.0 / lineDampRatio;
	for (int k = 0; k < kNumLines; ++k)
	{
		// Gain of one pass for a 60 dB decay in decayTimeMs, and the damping around it.
		const double g = std::pow (10.0, -3.0 * lengthMs[k] / lineDecayTimeMs);
		const double n = 2.0 / (std::pow (g, q) + 1.0);
		s.dampNumerator[k] = g * n;
		s.dampPole[k] = 1.0 - n;
	}
	double sum = 0.0;
	for (int k = 0; k < kNumLines; ++k)
		sum += 1.0 - s.dampNumerator[k];
	for (int k = 0; k < kNumLines; ++k)
		s.injectionWeight[k] = (1.0 - s.dampNumerator[k]) / sum;
}

//------------------------------------------------------------------------
// Processing

// Advances smoothing and crossfade over up to n samples and writes their per-sample values.
// Stops after a sample at which the delay lengths changed.
int32_t HallEngine::followSmoothing (int32_t n, bool& lengthsChanged)
{
	lengthsChanged = false;
	const double decayTimeMs = kDecayPerReverbTime * target.reverbTimeMs - kDecayOffsetMs;
	const double dampRatio = 1.0 - target.hfDamping;
	computeTankCoefficients (false, decayTimeMs, dampRatio);

	const double pole = smoothingPole;
	const double complement = smoothingPoleComplement;
	RunArrays& a = *run;
	const bool steady = !pending && !fadingIn && settled (levelSmoothed, target.levelGain, pole, complement) &&
	                    settled (mixSmoothed, target.mixAmount, pole, complement) &&
	                    settled (diffusionSmoothed, target.diffusionAmount, pole, complement);
	if (steady)
	{
		if (!runArraysConstant || !sameBits (a.networkGain[0], fadeGain) || !sameBits (a.levelSmoothed[0], levelSmoothed) ||
		    !sameBits (a.mixSmoothed[0], mixSmoothed) || !sameBits (a.diffusionSmoothed[0], diffusionSmoothed))
		{
			fill (a.networkGain, fadeGain, kMaxRun);
			fill (a.levelSmoothed, levelSmoothed, kMaxRun);
			fill (a.mixSmoothed, mixSmoothed, kMaxRun);
			fill (a.dryGain, dryGain, kMaxRun);
			fill (a.diffusionSmoothed, diffusionSmoothed, kMaxRun);
			fill (a.tapWeight, tapWeight, kMaxRun);
			fill (a.allpassGain1, allpassGain1, kMaxRun);
			fill (a.allpassGain2, allpassGain2, kMaxRun);
			runArraysConstant = true;
		}
		return n;
	}

	runArraysConstant = false;
	for (int32_t i = 0; i < n; ++i)
	{
		levelSmoothed = pole * levelSmoothed + complement * target.levelGain;
		mixSmoothed = pole * mixSmoothed + complement * target.mixAmount;
		diffusionSmoothed = pole * diffusionSmoothed + complement * target.diffusionAmount;
		designSmoothedCoefficients ();

		holdEnded = false;
		advanceCrossfade (decayTimeMs, dampRatio);

		a.networkGain[i] = fadeGain;
		a.levelSmoothed[i] = levelSmoothed;
		a.mixSmoothed[i] = mixSmoothed;
		a.dryGain[i] = dryGain;
		a.diffusionSmoothed[i] = diffusionSmoothed;
		a.tapWeight[i] = tapWeight;
		a.allpassGain1[i] = allpassGain1;
		a.allpassGain2[i] = allpassGain2;
		if (holdEnded)
		{
			lengthsChanged = true;
			return i + 1;
		}
	}
	return n;
}

template <typename Sample>
void HallEngine::processTank (int32_t first, int32_t n, Sample* outL, Sample* outR)
{
	const RunArrays& a = *run;
	const RunValues v {a.inL + first,          a.inR + first,          a.networkGain + first,
	                   a.mixSmoothed + first,  a.dryGain + first,      a.levelSmoothed + first,
	                   a.allpassGain1 + first, a.allpassGain2 + first, a.diffusionSmoothed + first,
	                   a.tapWeight + first};
	if constexpr (sizeof (Sample) == sizeof (float))
		kernels->process32 (tankState, v, n, outL + first, outR + first);
	else
		kernels->process64 (tankState, v, n, outL + first, outR + first);
}

template <typename Sample>
void HallEngine::processSamples (const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int32_t numSamples)
{
	if (!isPrepared () || numSamples <= 0)
		return;
	clearIfNotFinite ();

	RunArrays& a = *run;
	TankState& s = tankState;
	for (int32_t done = 0; done < numSamples;)
	{
		HeldDelays before (s);
		const int32_t left = numSamples - done;
		bool lengthsChanged = false;
		const int32_t n = followSmoothing (left < kMaxRun ? left : kMaxRun, lengthsChanged);
		designLines ();
		for (int32_t i = 0; i < n; ++i)
		{
			a.inL[i] = static_cast<double> (inL[done + i]) + kAntiDenormal;
			a.inR[i] = static_cast<double> (inR[done + i]) + kAntiDenormal;
		}

		if (lengthsChanged)
		{
			// The new lengths hold from the last of these samples on.
			before.swap (s);
			processTank (0, n - 1, outL + done, outR + done);
			before.swap (s);
			processTank (n - 1, 1, outL + done, outR + done);
		}
		else
		{
			processTank (0, n, outL + done, outR + done);
		}
		done += n;
	}
}

void HallEngine::process (const float* inL, const float* inR, float* outL, float* outR, int32_t numSamples)
{
	processSamples (inL, inR, outL, outR, numSamples);
}

void HallEngine::process (const double* inL, const double* inR, double* outL, double* outR, int32_t numSamples)
{
	processSamples (inL, inR, outL, outR, numSamples);
}

} // namespace tolvar
