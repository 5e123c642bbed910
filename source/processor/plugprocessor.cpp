#include "plugprocessor.h"

#include "plugcids.h"
#include "plugids.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <cmath>
#include <cstring>
#include <new>

namespace Steinberg {
namespace Vst {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kChangeSentinel = -987654321.0;

// Network line lengths in ms at a room scale of 1.
constexpr double kLineBaseMs[PlugProcessor::kNumLines] = {
    40.503959, 27.813877, 22.928411, 17.383673, 16.371867, 15.974569, 14.741325, 13.852415,
    13.190673, 13.153232, 12.145967, 11.91831,  10.859495, 10.663036, 10.489046, 9.037556};

// Truncating conversion that saturates instead of overflowing; NaN gives 0.
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

// A normalised value as the engine uses it: NaN and values below 0 become 0, above 1 become 1.
inline double engineValue (double v)
{
	if (!(v >= 0.0))
		return 0.0;
	return v > 1.0 ? 1.0 : v;
}

// One-pole corners are kept below the Nyquist frequency. With the LPCut range this only
// comes into play at sample rates up to about 35.5 kHz (and for the high-passes below 134 Hz).
inline double limitCorner (double hz, double rate)
{
	const double limit = 0.45 * rate;
	return hz > limit ? limit : hz;
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

inline bool hasTwoChannels (SpeakerArrangement arr)
{
	return __builtin_popcountll (arr) == 2;
}

} // namespace

PlugProcessor::PlugProcessor ()
{
	setControllerClass (kControllerClassId);

	record = StateRecord ();
	record.values[0] = 0.75;
	record.values[1] = 0.5;
	record.values[2] = 0.542562;
	record.values[3] = 0.378659;
	record.values[4] = 0.768622;
	record.values[5] = 1.0;
	record.values[6] = 0.75;
	record.values[7] = 0.464386;

	// Targets are known from the start, so the tail length is meaningful before activation.
	mapTargets ();
}

PlugProcessor::~PlugProcessor ()
{
	freeBuffers ();
}

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

	smoothingTimeMs = 50.0;
	highpassMidHz = 20.0;
	highpassSideHz = 60.0;
	sampleRate = 44100.0;
	freeBuffers ();
	writeIndex = 0;
	bufferLength = 0;
	noFade = false;
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
	sampleRate = setup.sampleRate;
	return AudioEffect::setupProcessing (setup);
}

tresult PLUGIN_API PlugProcessor::setActive (TBool state)
{
	if (!state)
	{
		freeBuffers ();
		return AudioEffect::setActive (state);
	}

	writeIndex = 0;
	samplesPerMs = sampleRate * 0.001;

	if (!(sampleRate > 0.0 && sampleRate <= kMaxSampleRate))
	{
		freeBuffers ();
		bufferLength = 0;
		AudioEffect::setActive (false);
		return kResultFalse;
	}

	const int32 quarter = truncToInt32 (sampleRate * 0.25);
	bufferLength = quarter + truncToInt32 (quarter * 0.001);
	if (bufferLength < 1)
		bufferLength = 1;

	freeBuffers ();
	allocateBuffers (bufferLength);
	if (!buffersPresent ())
	{
		bufferLength = 0;
		AudioEffect::setActive (false);
		return kOutOfMemory;
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

	return AudioEffect::setActive (state);
}

tresult PLUGIN_API PlugProcessor::setState (IBStream* state)
{
	const tresult result = readStateRecord (record, state);
	updateParameters (false);
	return result;
}

tresult PLUGIN_API PlugProcessor::getState (IBStream* state)
{
	return writeStateRecord (record, state);
}

uint32 PLUGIN_API PlugProcessor::getTailSamples ()
{
	const double tail = (reverbTimeMs * 0.001 + 0.5) * sampleRate;
	if (!(tail >= 0.0))
		return 0;
	if (tail >= 4294967295.0)
		return 0xFFFFFFFFu;
	return static_cast<uint32> (tail);
}

tresult PLUGIN_API PlugProcessor::process (ProcessData& data)
{
	if (IParameterChanges* changes = data.inputParameterChanges)
	{
		const int32 count = changes->getParameterCount ();
		for (int32 i = 0; i < count; ++i)
		{
			IParamValueQueue* queue = changes->getParameterData (i);
			if (!queue)
				continue;
			const int32 points = queue->getPointCount ();
			const ParamID id = queue->getParameterId ();
			if (id <= kLPCutId)
			{
				int32 offset = 0;
				ParamValue value = 0.0;
				if (queue->getPoint (points - 1, offset, value) == kResultOk)
				{
					if (id == kBypassId)
						record.bypass = value > 0.5;
					else
						record.values[id - 1] = value;
				}
			}
			updateParameters (false);
		}
	}

	if (data.numInputs <= 0 || data.numOutputs <= 0 || !data.inputs || !data.outputs)
		return kResultOk;
	if (data.numSamples <= 0)
		return kResultOk;

	AudioBusBuffers& in = data.inputs[0];
	AudioBusBuffers& out = data.outputs[0];
	const bool is32 = data.symbolicSampleSize == kSample32;

	if (record.bypass)
	{
		// The width follows the buffers actually handed over in this block.
		const size_t bytes = static_cast<size_t> (data.numSamples) * (is32 ? 4u : 8u);
		void** src = reinterpret_cast<void**> (in.channelBuffers32);
		void** dst = reinterpret_cast<void**> (out.channelBuffers32);
		if (!src || !dst)
			return kResultOk;
		const int32 channels = in.numChannels < out.numChannels ? in.numChannels : out.numChannels;
		for (int32 c = 0; c < channels; ++c)
		{
			if (src[c] && dst[c] && src[c] != dst[c])
				std::memcpy (dst[c], src[c], bytes);
		}
		return kResultOk;
	}

	// The engine reads and writes channels 0 and 1 of both buses.
	if (in.numChannels < 2 || out.numChannels < 2 || !in.channelBuffers32 || !out.channelBuffers32)
		return kResultOk;
	void** src = reinterpret_cast<void**> (in.channelBuffers32);
	void** dst = reinterpret_cast<void**> (out.channelBuffers32);
	if (!src[0] || !src[1] || !dst[0] || !dst[1])
		return kResultOk;

	if (!buffersPresent ())
	{
		// Not active: nothing to run, hand back silence.
		const size_t bytes = static_cast<size_t> (data.numSamples) * (is32 ? 4u : 8u);
		std::memset (dst[0], 0, bytes);
		std::memset (dst[1], 0, bytes);
		return kResultOk;
	}

	if (is32)
		processSamples32 (in.channelBuffers32, out.channelBuffers32, in.numChannels, data.numSamples);
	else
		processSamples64 (in.channelBuffers64, out.channelBuffers64, in.numChannels, data.numSamples);
	return kResultOk;
}

//------------------------------------------------------------------------
// Parameter mapping, smoothing and crossfade

void PlugProcessor::mapTargets ()
{
	const double level = engineValue (record.values[0]);
	const double mix = engineValue (record.values[1]);
	const double predelay = engineValue (record.values[2]);
	const double rvbTime = engineValue (record.values[3]);
	const double size = engineValue (record.values[4]);
	const double diffusion = engineValue (record.values[5]);
	const double hfDamp = engineValue (record.values[6]);
	const double lpCut = engineValue (record.values[7]);

	levelGain = std::exp2 (level * 7.97262742772967 - 5.979470570797252);
	mixAmount = mix;
	predelayMs = predelay == 0.0 ? 0.0 : std::exp2 (7.965784284662086 * predelay);
	reverbTimeMs = 600.0 * std::exp2 (rvbTime * 3.7369655941662057);
	roomSize = 1000.0 * std::exp2 (size * 4.321928094887363);
	diffusionAmount = diffusion == 0.0 ? 0.0 : 0.1 * std::exp2 (3.321928094887362 * diffusion);
	hfDamping = 0.94 * hfDamp;
	lowpassHz = 500.0 * std::exp2 (5.0 * lpCut);
}

void PlugProcessor::updateParameters (bool init)
{
	mapTargets ();

	// Ordered comparisons: a NaN never counts as a change.
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

	const double rvbTime = engineValue (record.values[3]);
	const double decayTimeMs = 687.0066 * std::exp2 (rvbTime * 3.7369655941662057) - 47.236978;
	computeTankCoefficients (init, decayTimeMs, 1.0 - hfDamping);
	lowpassNumerator *= 0.05;
}

void PlugProcessor::holdStep (double decayTimeMs, double dampRatio)
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

void PlugProcessor::advanceCrossfade (double decayTimeMs, double dampRatio)
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
			noFade = false;
		}
	}
}

template <typename Sample>
void PlugProcessor::processSamples (Sample** inputs, Sample** outputs, int32 numSamples)
{
	const Sample* inL = inputs[0];
	const Sample* inR = inputs[1];
	Sample* outL = outputs[0];
	Sample* outR = outputs[1];

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
		networkGain = noFade ? 1.0 : fadeGain;

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

void PlugProcessor::processSamples32 (Sample32** inputs, Sample32** outputs, int32 /*numChannels*/,
                                      int32 numSamples)
{
	processSamples (inputs, outputs, numSamples);
}

void PlugProcessor::processSamples64 (Sample64** inputs, Sample64** outputs, int32 /*numChannels*/,
                                      int32 numSamples)
{
	processSamples (inputs, outputs, numSamples);
}

//------------------------------------------------------------------------
// Coefficient design

int32 PlugProcessor::clampDelay (double samples) const
{
	const int32 d = truncToInt32 (samples);
	if (d < 0)
		return 0;
	return d > bufferLength ? bufferLength : d;
}

void PlugProcessor::computeInputCoefficients (bool init)
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

void PlugProcessor::computeTankCoefficients (bool init, double decayTimeMs, double dampRatio)
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

//------------------------------------------------------------------------
// Signal path

void PlugProcessor::processTank (double xL, double xR, double& outL, double& outR)
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

void PlugProcessor::processFdn (double x, double& outL, double& outR)
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

	// Fast Walsh-Hadamard transform, strides 1, 2, 4, 8.
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

//------------------------------------------------------------------------
// Delay memory

namespace {
template <typename F>
void forEachLine (PlugProcessor& p, F f)
{
	f (p.predelayLine);
	f (p.allpassInLine1);
	f (p.allpassOutLine1);
	f (p.allpassInLine2);
	f (p.allpassOutLine2);
	for (double*& line : p.networkLines)
		f (line);
}
} // namespace

void PlugProcessor::freeBuffers ()
{
	forEachLine (*this, [] (double*& line) {
		delete[] line;
		line = nullptr;
	});
}

void PlugProcessor::allocateBuffers (int32 length)
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

void PlugProcessor::clearBuffers (int32 length)
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
	for (double& s : dampState)
		s = 0.0;
}

} // namespace Vst
} // namespace Steinberg
