#include "referencehall.h"

#include <cmath>
#include <cstring>
#include <new>

namespace tolvartest {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kChangeSentinel = -987654321.0;
constexpr double kMaxSampleRate = 1536000.0;

constexpr double kLineBaseMs[ReferenceHall::kNumLines] = {
    40.503959, 27.813877, 22.928411, 17.383673, 16.371867, 15.974569, 14.741325, 13.852415,
    13.190673, 13.153232, 12.145967, 11.91831,  10.859495, 10.663036, 10.489046, 9.037556};

inline int32 truncToInt32 (double x)
{
	if (x >= -2147483648.0 && x < 2147483648.0)
		return static_cast<int32> (x);
	if (x >= 2147483648.0)
		return 2147483647;
	if (x < 0.0)
		return -2147483647 - 1;
	return 0;
}

inline double engineValue (double v)
{
	if (!(v >= 0.0))
		return 0.0;
	return v > 1.0 ? 1.0 : v;
}

inline double limitCorner (double hz, double rate)
{
	return hz < 0.5 * rate ? hz : 0.45 * rate;
}

void designHighpass (double hz, double rate, double& pole, double& numerator)
{
	const double w = limitCorner (hz, rate) * kTwoPi * (1.0 / rate);
	const double s = std::sin (w);
	const double c = std::cos (w);
	pole = (1.0 - s) / c;
	numerator = 0.5 * pole + 0.5;
}

} // namespace

ReferenceHall::ReferenceHall ()
{
	mapTargets ();
}

ReferenceHall::~ReferenceHall ()
{
	freeBuffers ();
}

bool ReferenceHall::prepare (double rate)
{
	if (!(rate >= 1.0 && rate <= kMaxSampleRate))
		return false;
	sampleRate = rate;
	writeIndex = 0;
	samplesPerMs = sampleRate * 0.001;

	const int32 quarter = truncToInt32 (sampleRate * 0.25);
	bufferLength = quarter + truncToInt32 (quarter * 0.001);
	if (bufferLength < 1)
		bufferLength = 1;

	freeBuffers ();
	allocateBuffers (bufferLength);
	if (!isPrepared ())
	{
		bufferLength = 0;
		return false;
	}
	clearBuffers (bufferLength);

	allpassMs1 = 4.771;
	allpassMs2 = 3.595;
	allpassDelay1 = clampDelay (allpassMs1 * samplesPerMs + 0.5);
	allpassDelay2 = clampDelay (allpassMs2 * samplesPerMs + 0.5);

	lastPredelayMs = kChangeSentinel;
	lastRoomSize = kChangeSentinel;
	changePending = false;
	fadingIn = false;
	fadeGain = 1.0;

	const double msPerSample = 1.0 / samplesPerMs;
	fadeInStep = msPerSample * 0.02;
	fadeOutStep = msPerSample * 0.006666666666666667;

	holdLength = truncToInt32 (samplesPerMs * 250.0 + 0.5);
	holdCounter = holdLength;

	smoothingPole = std::exp (-2.2 / (0.001 * sampleRate * smoothingTimeMs));
	smoothingPoleComplement = 1.0 - smoothingPole;

	designHighpass (highpassMidHz, sampleRate, highpassMidPole, highpassMidNumerator);
	designHighpass (highpassSideHz, sampleRate, highpassSidePole, highpassSideNumerator);

	updateParameters (true);
	return true;
}

void ReferenceHall::release ()
{
	freeBuffers ();
}

void ReferenceHall::setValues (const double* newValues)
{
	for (int32 i = 0; i < kNumValues; ++i)
		values[i] = newValues[i];
	updateParameters (false);
}

void ReferenceHall::process (const float* inL, const float* inR, float* outL, float* outR, int32 numSamples)
{
	processSamples (inL, inR, outL, outR, numSamples);
}

void ReferenceHall::process (const double* inL, const double* inR, double* outL, double* outR,
                             int32 numSamples)
{
	processSamples (inL, inR, outL, outR, numSamples);
}

void ReferenceHall::mapTargets ()
{
	const double level = engineValue (values[0]);
	const double mix = engineValue (values[1]);
	const double predelay = engineValue (values[2]);
	const double rvbTime = engineValue (values[3]);
	const double size = engineValue (values[4]);
	const double diffusion = engineValue (values[5]);
	const double hfDamp = engineValue (values[6]);
	const double lpCut = engineValue (values[7]);

	levelGain = std::exp2 (level * 7.97262742772967 - 5.979470570797252);
	mixAmount = mix;
	predelayMs = predelay == 0.0 ? 0.0 : std::exp2 (7.965784284662086 * predelay);
	reverbTimeMs = 600.0 * std::exp2 (rvbTime * 3.7369655941662057);
	roomSize = 1000.0 * std::exp2 (size * 4.321928094887363);
	diffusionAmount = diffusion == 0.0 ? 0.0 : 0.1 * std::exp2 (3.321928094887362 * diffusion);
	hfDamping = 0.94 * hfDamp;
	lowpassHz = 500.0 * std::exp2 (5.0 * lpCut);
}

void ReferenceHall::updateParameters (bool init)
{
	mapTargets ();

	if (predelayMs < lastPredelayMs || predelayMs > lastPredelayMs)
	{
		changePending = true;
		lastPredelayMs = predelayMs;
	}
	if (roomSize < lastRoomSize || roomSize > lastRoomSize)
	{
		changePending = true;
		lastRoomSize = roomSize;
	}

	if (init)
	{
		networkGain = fadeGain;
		levelSmoothed = levelGain;
		mixSmoothed = mixAmount;
		diffusionSmoothed = diffusionAmount;
	}

	const double rvbTime = engineValue (values[3]);
	const double decayTimeMs = 687.0066 * std::exp2 (rvbTime * 3.7369655941662057) - 47.236978;
	computeTankCoefficients (init, decayTimeMs, 1.0 - hfDamping);
	lowpassNumerator *= 0.05;
}

void ReferenceHall::holdStep (double decayTimeMs, double dampRatio)
{
	--holdCounter;
	if (holdCounter > 0)
		return;
	holdCounter = holdLength;
	changePending = false;
	fadingIn = true;
	computeTankCoefficients (false, decayTimeMs, dampRatio);
	lowpassNumerator *= 0.05;
}

void ReferenceHall::advanceCrossfade (double decayTimeMs, double dampRatio)
{
	if (changePending)
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

template <typename Sample>
void ReferenceHall::processSamples (const Sample* inL, const Sample* inR, Sample* outL, Sample* outR,
                                    int32 numSamples)
{
	bool finite = std::isfinite (lowpassPrevIn) && std::isfinite (lowpassPrevOut) &&
	              std::isfinite (highpassMidPrevIn) && std::isfinite (highpassMidPrevOut) &&
	              std::isfinite (highpassSidePrevIn) && std::isfinite (highpassSidePrevOut);
	for (double d : dampState)
		finite = finite && std::isfinite (d);
	if (!finite)
		clearBuffers (bufferLength);

	for (int32 i = 0; i < numSamples; ++i)
	{
		const double xL = static_cast<double> (inL[i]) + 1e-18;
		const double xR = static_cast<double> (inR[i]) + 1e-18;

		levelSmoothed = smoothingPole * levelSmoothed + smoothingPoleComplement * levelGain;
		mixSmoothed = smoothingPole * mixSmoothed + smoothingPoleComplement * mixAmount;
		diffusionSmoothed = smoothingPole * diffusionSmoothed + smoothingPoleComplement * diffusionAmount;

		const double decayTimeMs = 1.145011 * reverbTimeMs - 47.236978;
		const double dampRatio = 1.0 - hfDamping;
		computeTankCoefficients (false, decayTimeMs, dampRatio);
		lowpassNumerator *= 0.05;

		advanceCrossfade (decayTimeMs, dampRatio);
		networkGain = fadeGain;

		double left = 0.0;
		double right = 0.0;
		processTank (xL, xR, left, right);
		left *= levelSmoothed;
		right *= levelSmoothed;

		if (++writeIndex >= bufferLength)
			writeIndex = 0;

		outL[i] = static_cast<Sample> (left);
		outR[i] = static_cast<Sample> (right);
	}
}

int32 ReferenceHall::clampDelay (double samples) const
{
	const int32 d = truncToInt32 (samples);
	if (d < 0)
		return 0;
	return d > bufferLength ? bufferLength : d;
}

void ReferenceHall::computeInputCoefficients (bool init)
{
	dryGain = 1.0 - mixSmoothed;

	const double w = limitCorner (lowpassHz, sampleRate) * kTwoPi / sampleRate;
	const double s = std::sin (w);
	const double c = std::cos (w);
	lowpassPole = (1.0 - s) / c;
	lowpassNumerator = 0.5 - 0.5 * lowpassPole;

	if (!changePending || init)
		predelaySamples = clampDelay (samplesPerMs * predelayMs + 0.5);

	allpassGain1 = std::exp2 (allpassMs1 * -9.965784284662087 * (1.0 / (diffusionSmoothed * 150.0)));
	if (allpassGain1 > 0.85)
		allpassGain1 = 0.85;
	allpassGain2 = std::exp2 (allpassMs2 * -9.965784284662087 * (1.0 / (diffusionSmoothed * 150.0)));
	if (allpassGain2 > 0.85)
		allpassGain2 = 0.85;
}

void ReferenceHall::computeTankCoefficients (bool init, double decayTimeMs, double dampRatio)
{
	computeInputCoefficients (init);

	tapWeight = diffusionSmoothed * -0.3 + 1.3;

	const double roomScale = std::cbrt (roomSize * 10.0) * 0.1;
	double lengthMs[kNumLines];
	for (int32 k = 0; k < kNumLines; ++k)
		lengthMs[k] = kLineBaseMs[k] * roomScale;

	if (!changePending || init)
	{
		for (int32 k = 0; k < kNumLines; ++k)
			lineDelay[k] = clampDelay (samplesPerMs * lengthMs[k] + 0.5);
	}

	const double q = 1.0 - 1.0 / dampRatio;
	for (int32 k = 0; k < kNumLines; ++k)
	{
		const double g = std::pow (10.0, -3.0 * lengthMs[k] / decayTimeMs);
		const double n = 2.0 / (std::pow (g, q) + 1.0);
		dampNumerator[k] = g * n;
		dampPole[k] = 1.0 - n;
	}

	double sum = 0.0;
	for (int32 k = 0; k < kNumLines; ++k)
		sum += 1.0 - dampNumerator[k];
	for (int32 k = 0; k < kNumLines; ++k)
		injectionWeight[k] = (1.0 - dampNumerator[k]) / sum;
}

void ReferenceHall::processTank (double xL, double xR, double& outL, double& outR)
{
	const double m = (xL + xR) * networkGain;

	const double y = lowpassPole * lowpassPrevOut + lowpassNumerator * (m + lowpassPrevIn);
	lowpassPrevIn = m;
	lowpassPrevOut = y;

	predelayLine[writeIndex] = y;
	const double u = readLine (predelayLine, predelaySamples);

	const double a1 = allpassGain1 * (readLine (allpassOutLine1, allpassDelay1) - u) +
	                  readLine (allpassInLine1, allpassDelay1);
	const double a2 = allpassGain2 * (readLine (allpassOutLine2, allpassDelay2) - a1) +
	                  readLine (allpassInLine2, allpassDelay2);
	allpassInLine1[writeIndex] = u;
	allpassOutLine1[writeIndex] = a1;
	allpassInLine2[writeIndex] = a1;
	allpassOutLine2[writeIndex] = a2;

	double nL = 0.0;
	double nR = 0.0;
	processFdn (a2, nL, nR);

	const double mid = nL + nR;
	const double side = nL - nR;

	const double hm = highpassMidPole * highpassMidPrevOut + highpassMidNumerator * (mid - highpassMidPrevIn);
	highpassMidPrevIn = mid;
	highpassMidPrevOut = hm;

	const double hs =
	    highpassSidePole * highpassSidePrevOut + highpassSideNumerator * (side - highpassSidePrevIn);
	highpassSidePrevIn = side;
	highpassSidePrevOut = hs;

	const double wetL = (hm + hs) * 0.5;
	const double wetR = (hm - hs) * 0.5;

	outL = mixSmoothed * wetL + dryGain * xL;
	outR = mixSmoothed * wetR + dryGain * xR;
}

void ReferenceHall::processFdn (double x, double& outL, double& outR)
{
	double y[kNumLines];
	for (int32 k = 0; k < kNumLines; ++k)
		y[k] = readLine (networkLines[k], lineDelay[k]);

	const double a = diffusionSmoothed;
	const double b = tapWeight;
	outL = b * (y[8] - y[9] + y[10] - y[11] + y[12] + y[13] + y[14] + y[15]) +
	       a * (y[0] + y[1] + y[2] + y[3] + y[4] - y[5] + y[6] - y[7]);
	outR = b * (y[8] + y[9] + y[10] + y[11] + y[12] - y[13] + y[14] - y[15]) +
	       a * (y[0] - y[1] + y[2] - y[3] + y[4] + y[5] + y[6] + y[7]);

	double h[kNumLines];
	for (int32 k = 0; k < kNumLines; ++k)
	{
		h[k] = dampNumerator[k] * y[k] + dampPole[k] * dampState[k];
		dampState[k] = h[k];
	}

	for (int32 stride = 1; stride < kNumLines; stride *= 2)
	{
		for (int32 base = 0; base < kNumLines; base += 2 * stride)
		{
			for (int32 j = base; j < base + stride; ++j)
			{
				const double p = h[j];
				const double r = h[j + stride];
				h[j] = p + r;
				h[j + stride] = p - r;
			}
		}
	}
	for (double& v : h)
		v *= 0.25;

	double s = 0.0;
	for (int32 k = 0; k < kNumLines; ++k)
		s += injectionWeight[k] * h[k];
	const double xin = x - 0.25 * s;

	for (int32 k = 0; k < kNumLines; ++k)
		networkLines[k][writeIndex] = (h[k] + xin) * networkGain;
}

namespace {
template <typename F>
void forEachLine (ReferenceHall& r, F f)
{
	f (r.predelayLine);
	f (r.allpassInLine1);
	f (r.allpassOutLine1);
	f (r.allpassInLine2);
	f (r.allpassOutLine2);
	for (double*& line : r.networkLines)
		f (line);
}
} // namespace

void ReferenceHall::freeBuffers ()
{
	forEachLine (*this, [] (double*& line) {
		delete[] line;
		line = nullptr;
	});
}

void ReferenceHall::allocateBuffers (int32 length)
{
	if (length <= 0)
		return;
	bool failed = false;
	forEachLine (*this, [&] (double*& line) {
		delete[] line;
		line = new (std::nothrow) double[static_cast<size_t> (length)];
		failed = failed || !line;
	});
	if (failed)
		freeBuffers ();
}

void ReferenceHall::clearBuffers (int32 length)
{
	if (length > 0)
	{
		forEachLine (*this, [&] (double*& line) {
			if (line)
				std::memset (line, 0, sizeof (double) * static_cast<size_t> (length));
		});
	}
	writeIndex = 0;
	lowpassPrevIn = 0.0;
	lowpassPrevOut = 0.0;
	highpassMidPrevIn = highpassMidPrevOut = highpassSidePrevIn = highpassSidePrevOut = 0.0;
	for (double& s : dampState)
		s = 0.0;
}

} // namespace tolvartest
