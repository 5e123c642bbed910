// The signal path over a run of samples. Included by one file per instruction set; every
// function has internal linkage (see simdlanes.h). Each output bit equals the one-sample-at-a-
// time path: the same operations in the same order per sample, with samples (not lines) side
// by side in the lanes wherever a sum runs across lines.
#pragma once

#include "simdlanes.h"
#include "tankstate.h"

namespace {

using tolvar::kNumLines;
using tolvar::RunValues;
using tolvar::TankState;

// Element read at a delay from the write position (0 and the line length read the element
// about to be written).
inline int32_t readPosition (int32_t writeIndex, int32_t delay, int32_t length)
{
	const int32_t p = writeIndex - delay;
	return p < 0 ? p + length : p;
}

inline int32_t smaller (int32_t a, int32_t b)
{
	return a < b ? a : b;
}

// Samples from the write position on before any line position reaches the end of its line.
int32_t samplesBeforeWrap (const TankState& s, int32_t n)
{
	const int32_t w = s.writeIndex;
	const int32_t length = s.bufferLength;
	n = smaller (n, length - w);
	n = smaller (n, length - readPosition (w, s.predelaySamples, length));
	n = smaller (n, length - readPosition (w, s.allpassDelay1, length));
	n = smaller (n, length - readPosition (w, s.allpassDelay2, length));
	for (int32_t d : s.lineDelay)
		n = smaller (n, length - readPosition (w, d, length));
	return n;
}

// Input low-pass, pre-delay and the two all-passes, sample after sample.
void processInput (TankState& s, const RunValues& v, int32_t first, int32_t n)
{
	const int32_t w = s.writeIndex;
	const int32_t length = s.bufferLength;
	double* predelayWrite = s.predelayLine + w;
	const double* predelayRead = s.predelayLine + readPosition (w, s.predelaySamples, length);
	const int32_t r1 = readPosition (w, s.allpassDelay1, length);
	const int32_t r2 = readPosition (w, s.allpassDelay2, length);
	const double* in1 = s.allpassInLine1 + r1;
	const double* out1 = s.allpassOutLine1 + r1;
	const double* in2 = s.allpassInLine2 + r2;
	const double* out2 = s.allpassOutLine2 + r2;
	double* in1Write = s.allpassInLine1 + w;
	double* out1Write = s.allpassOutLine1 + w;
	double* in2Write = s.allpassInLine2 + w;
	double* out2Write = s.allpassOutLine2 + w;

	const double pole = s.lowpassPole;
	const double numerator = s.lowpassNumerator;
	double prevIn = s.lowpassPrevIn;
	double prevOut = s.lowpassPrevOut;
	for (int32_t i = 0; i < n; ++i)
	{
		const int32_t at = first + i;
		const double m = (v.inL[at] + v.inR[at]) * v.networkGain[at];
		const double y = pole * prevOut + numerator * (m + prevIn);
		prevIn = m;
		prevOut = y;

		predelayWrite[i] = y;
		const double u = predelayRead[i];
		const double a1 = v.allpassGain1[at] * (out1[i] - u) + in1[i];
		const double a2 = v.allpassGain2[at] * (out2[i] - a1) + in2[i];
		in1Write[i] = u;
		out1Write[i] = a1;
		in2Write[i] = a1;
		out2Write[i] = a2;
		v.networkIn[at] = a2;
	}
	s.lowpassPrevIn = prevIn;
	s.lowpassPrevOut = prevOut;
}

template <typename L>
void hadamard16 (L (&h)[kNumLines])
{
	for (int stride = 1; stride < kNumLines; stride *= 2)
	{
		for (int base = 0; base < kNumLines; base += 2 * stride)
		{
			for (int j = base; j < base + stride; ++j)
			{
				const L p = h[j];
				const L r = h[j + stride];
				h[j] = p + r;
				h[j + stride] = p - r;
			}
		}
	}
}

// The network for n samples (a multiple of the lane width) starting skip samples into the
// run. Reads of a group of lanes must not see writes of the same group: every line delay is
// 0 or at least the lane width.
template <typename L>
void processFdnLanes (TankState& s, const RunValues& v, int32_t first, int32_t skip, int32_t n)
{
	constexpr int kWidth = L::kWidth;
	constexpr int kTiles = kNumLines / kWidth;
	const int32_t w = s.writeIndex + skip;
	const double* read[kNumLines];
	double* write[kNumLines];
	for (int k = 0; k < kNumLines; ++k)
	{
		read[k] = s.networkLines[k] + readPosition (s.writeIndex, s.lineDelay[k], s.bufferLength) + skip;
		write[k] = s.networkLines[k] + w;
	}
	// Damping runs along the samples, so there the lines share the lanes.
	L numerator[kTiles], pole[kTiles], state[kTiles];
	for (int t = 0; t < kTiles; ++t)
	{
		numerator[t] = L::load (s.dampNumerator + t * kWidth);
		pole[t] = L::load (s.dampPole + t * kWidth);
		state[t] = L::load (s.dampState + t * kWidth);
	}
	L weight[kNumLines];
	for (int k = 0; k < kNumLines; ++k)
		weight[k] = L::broadcast (s.injectionWeight[k]);
	const L quarter = L::broadcast (0.25);
	const L zero = L::broadcast (0.0);

	for (int32_t i = 0; i < n; i += kWidth)
	{
		const int32_t at = first + skip + i;
		L y[kNumLines];
		for (int k = 0; k < kNumLines; ++k)
			y[k] = L::load (read[k] + i);

		const L a = L::load (v.diffusionSmoothed + at);
		const L b = L::load (v.tapWeight + at);
		const L left = b * (y[8] - y[9] + y[10] - y[11] + y[12] + y[13] + y[14] + y[15]) +
		               a * (y[0] + y[1] + y[2] + y[3] + y[4] - y[5] + y[6] - y[7]);
		const L right = b * (y[8] + y[9] + y[10] + y[11] + y[12] - y[13] + y[14] - y[15]) +
		                a * (y[0] - y[1] + y[2] - y[3] + y[4] + y[5] + y[6] + y[7]);
		left.store (v.tapLeft + at);
		right.store (v.tapRight + at);

		L h[kNumLines];
		for (int t = 0; t < kTiles; ++t)
		{
			L tile[kWidth];
			for (int l = 0; l < kWidth; ++l)
				tile[l] = y[t * kWidth + l];
			transpose (tile);
			for (int j = 0; j < kWidth; ++j)
			{
				state[t] = numerator[t] * tile[j] + pole[t] * state[t];
				tile[j] = state[t];
			}
			transpose (tile);
			for (int l = 0; l < kWidth; ++l)
				h[t * kWidth + l] = tile[l];
		}

		hadamard16 (h);
		for (L& x : h)
			x = x * quarter;

		L sum = zero;
		for (int k = 0; k < kNumLines; ++k)
			sum = sum + weight[k] * h[k];
		const L xin = L::load (v.networkIn + at) - quarter * sum;

		const L gain = L::load (v.networkGain + at);
		for (int k = 0; k < kNumLines; ++k)
			((h[k] + xin) * gain).store (write[k] + i);
	}
	for (int t = 0; t < kTiles; ++t)
		state[t].store (s.dampState + t * kWidth);
}

// Sixteen lines read, tapped, damped, mixed and written back, for a run without wraps.
template <typename Wide>
void processFdn (TankState& s, const RunValues& v, int32_t first, int32_t n)
{
	bool wide = true;
	for (int32_t d : s.lineDelay)
		wide = wide && !(d >= 1 && d < Wide::kWidth);
	const int32_t grouped = wide ? n - n % Wide::kWidth : 0;
	if (grouped > 0)
		processFdnLanes<Wide> (s, v, first, 0, grouped);
	if (grouped < n)
		processFdnLanes<Lanes1> (s, v, first, grouped, n - grouped);
}

// Mid/side high-passes of the network taps, wet/dry mix and level, sample after sample.
template <typename Sample>
void processOutput (TankState& s, const RunValues& v, int32_t n, Sample* outL, Sample* outR)
{
	const double midPole = s.highpassMidPole;
	const double midNumerator = s.highpassMidNumerator;
	const double sidePole = s.highpassSidePole;
	const double sideNumerator = s.highpassSideNumerator;
	double midIn = s.highpassMidPrevIn;
	double midOut = s.highpassMidPrevOut;
	double sideIn = s.highpassSidePrevIn;
	double sideOut = s.highpassSidePrevOut;
	for (int32_t i = 0; i < n; ++i)
	{
		const double mid = v.tapLeft[i] + v.tapRight[i];
		const double side = v.tapLeft[i] - v.tapRight[i];
		const double hm = midPole * midOut + midNumerator * (mid - midIn);
		midIn = mid;
		midOut = hm;
		const double hs = sidePole * sideOut + sideNumerator * (side - sideIn);
		sideIn = side;
		sideOut = hs;

		const double wetL = (hm + hs) * 0.5;
		const double wetR = (hm - hs) * 0.5;
		const double left = v.mixSmoothed[i] * wetL + v.dryGain[i] * v.inL[i];
		const double right = v.mixSmoothed[i] * wetR + v.dryGain[i] * v.inR[i];
		outL[i] = static_cast<Sample> (left * v.levelSmoothed[i]);
		outR[i] = static_cast<Sample> (right * v.levelSmoothed[i]);
	}
	s.highpassMidPrevIn = midIn;
	s.highpassMidPrevOut = midOut;
	s.highpassSidePrevIn = sideIn;
	s.highpassSidePrevOut = sideOut;
}

// A run of samples through the whole signal path; the write position advances by n.
template <typename Wide, typename Sample>
void processTank (TankState& s, const RunValues& v, int32_t n, Sample* outL, Sample* outR)
{
	for (int32_t done = 0; done < n;)
	{
		const int32_t run = samplesBeforeWrap (s, n - done);
		processInput (s, v, done, run);
		processFdn<Wide> (s, v, done, run);
		s.writeIndex += run;
		if (s.writeIndex >= s.bufferLength)
			s.writeIndex = 0;
		done += run;
	}
	processOutput (s, v, n, outL, outR);
}

} // namespace
