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

template <typename L>
void hadamard16 (L (&h)[kNumLines])
{
#pragma GCC unroll 4
	for (int stride = 1; stride < kNumLines; stride *= 2)
	{
#pragma GCC unroll 8
		for (int base = 0; base < kNumLines; base += 2 * stride)
		{
#pragma GCC unroll 8
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

// One run of the signal path without wraps, a group of lane-width samples at a time. The
// one-pole recursions go from lane to lane; everything else takes the group at once. Reads
// of a group must not see writes of the same group (see fitsLanes). Works on local copies of
// the state, written back by finish.
template <typename L, typename Sample>
class TankRun
{
public:
	static constexpr int kWidth = L::kWidth;
	static constexpr int kTiles = kNumLines / kWidth;

	TankRun (TankState& state, const RunValues& values, int32_t skip) : s (state), v (values)
	{
		const int32_t w = s.writeIndex + skip;
		const int32_t length = s.bufferLength;
		predelayWrite = s.predelayLine + w;
		predelayRead = s.predelayLine + readPosition (s.writeIndex, s.predelaySamples, length) + skip;
		const int32_t r1 = readPosition (s.writeIndex, s.allpassDelay1, length) + skip;
		const int32_t r2 = readPosition (s.writeIndex, s.allpassDelay2, length) + skip;
		in1 = s.allpassInLine1 + r1;
		out1 = s.allpassOutLine1 + r1;
		in2 = s.allpassInLine2 + r2;
		out2 = s.allpassOutLine2 + r2;
		in1Write = s.allpassInLine1 + w;
		out1Write = s.allpassOutLine1 + w;
		in2Write = s.allpassInLine2 + w;
		out2Write = s.allpassOutLine2 + w;
		for (int k = 0; k < kNumLines; ++k)
		{
			read[k] = s.networkLines[k] + readPosition (s.writeIndex, s.lineDelay[k], length) + skip;
			write[k] = s.networkLines[k] + w;
		}

		lowpassNumerator = L::broadcast (s.lowpassNumerator);
		midNumerator = L::broadcast (s.highpassMidNumerator);
		sideNumerator = L::broadcast (s.highpassSideNumerator);
		lowpassIn = s.lowpassPrevIn;
		lowpassOut = s.lowpassPrevOut;
		midIn = s.highpassMidPrevIn;
		midOut = s.highpassMidPrevOut;
		sideIn = s.highpassSidePrevIn;
		sideOut = s.highpassSidePrevOut;
		// Damping runs along the samples, so there the lines share the lanes.
		for (int t = 0; t < kTiles; ++t)
		{
			numerator[t] = L::load (s.dampNumerator + t * kWidth);
			pole[t] = L::load (s.dampPole + t * kWidth);
			damp[t] = L::load (s.dampState + t * kWidth);
		}
		for (int k = 0; k < kNumLines; ++k)
			weight[k] = L::broadcast (s.injectionWeight[k]);
	}

	// Whether groups of this width keep every read of a group clear of the group's writes.
	static bool fitsLanes (const TankState& s)
	{
		auto clear = [] (int32_t d) { return !(d >= 1 && d < kWidth); };
		bool fits = clear (s.allpassDelay1) && clear (s.allpassDelay2) && clear (s.bufferLength - s.predelaySamples);
		for (int32_t d : s.lineDelay)
			fits = fits && clear (d);
		return fits;
	}

	void finish ()
	{
		s.lowpassPrevIn = lowpassIn;
		s.lowpassPrevOut = lowpassOut;
		s.highpassMidPrevIn = midIn;
		s.highpassMidPrevOut = midOut;
		s.highpassSidePrevIn = sideIn;
		s.highpassSidePrevOut = sideOut;
		for (int t = 0; t < kTiles; ++t)
			damp[t].store (s.dampState + t * kWidth);
	}

	// Samples at..at + width of the run arrays; i counts from the start of this run.
	void processGroup (int32_t at, int32_t i, Sample* outL, Sample* outR)
	{
		const L xL = L::load (v.inL + at);
		const L xR = L::load (v.inR + at);
		L left, right;
		processFdn (at, i, processInput (xL + xR, at, i), left, right);
		processOutput (left, right, xL, xR, at, outL, outR);
	}

private:
	// Input low-pass, pre-delay and the two all-passes; gives the network input.
	L processInput (L sum, int32_t at, int32_t i)
	{
		const L m = sum * L::load (v.networkGain + at);
		const L y = recurse (lowpassNumerator * (m + L::shiftIn (lowpassIn, m)), s.lowpassPole, lowpassOut);
		lowpassIn = m.last ();

		y.store (predelayWrite + i);
		const L u = L::load (predelayRead + i);
		const L a1 = L::load (v.allpassGain1 + at) * (L::load (out1 + i) - u) + L::load (in1 + i);
		const L a2 = L::load (v.allpassGain2 + at) * (L::load (out2 + i) - a1) + L::load (in2 + i);
		u.store (in1Write + i);
		a1.store (out1Write + i);
		a1.store (in2Write + i);
		a2.store (out2Write + i);
		return a2;
	}

	// Sixteen lines read, tapped, damped, mixed and written back.
	void processFdn (int32_t at, int32_t i, L x, L& left, L& right)
	{
		L y[kNumLines];
#pragma GCC unroll 16
		for (int k = 0; k < kNumLines; ++k)
			y[k] = L::load (read[k] + i);

		const L a = L::load (v.diffusionSmoothed + at);
		const L b = L::load (v.tapWeight + at);
		left = b * (y[8] - y[9] + y[10] - y[11] + y[12] + y[13] + y[14] + y[15]) +
		       a * (y[0] + y[1] + y[2] + y[3] + y[4] - y[5] + y[6] - y[7]);
		right = b * (y[8] + y[9] + y[10] + y[11] + y[12] - y[13] + y[14] - y[15]) +
		        a * (y[0] - y[1] + y[2] - y[3] + y[4] + y[5] + y[6] + y[7]);

		L h[kNumLines];
#pragma GCC unroll 16
		for (int t = 0; t < kTiles; ++t)
		{
			L tile[kWidth];
#pragma GCC unroll 4
			for (int l = 0; l < kWidth; ++l)
				tile[l] = y[t * kWidth + l];
			transpose (tile);
#pragma GCC unroll 4
			for (int j = 0; j < kWidth; ++j)
			{
				damp[t] = numerator[t] * tile[j] + pole[t] * damp[t];
				tile[j] = damp[t];
			}
			transpose (tile);
#pragma GCC unroll 4
			for (int l = 0; l < kWidth; ++l)
				h[t * kWidth + l] = tile[l];
		}

		hadamard16 (h);
		const L quarter = L::broadcast (0.25);
#pragma GCC unroll 16
		for (L& z : h)
			z = z * quarter;

		L sum = L::broadcast (0.0);
#pragma GCC unroll 16
		for (int k = 0; k < kNumLines; ++k)
			sum = sum + weight[k] * h[k];
		const L xin = x - quarter * sum;

		const L gain = L::load (v.networkGain + at);
#pragma GCC unroll 16
		for (int k = 0; k < kNumLines; ++k)
			((h[k] + xin) * gain).store (write[k] + i);
	}

	// Mid/side high-passes of the network taps, wet/dry mix and level.
	void processOutput (L left, L right, L xL, L xR, int32_t at, Sample* outL, Sample* outR)
	{
		const L mid = left + right;
		const L side = left - right;
		const L hm = recurse (midNumerator * (mid - L::shiftIn (midIn, mid)), s.highpassMidPole, midOut);
		const L hs = recurse (sideNumerator * (side - L::shiftIn (sideIn, side)), s.highpassSidePole, sideOut);
		midIn = mid.last ();
		sideIn = side.last ();

		const L half = L::broadcast (0.5);
		const L wetL = (hm + hs) * half;
		const L wetR = (hm - hs) * half;
		const L mix = L::load (v.mixSmoothed + at);
		const L dry = L::load (v.dryGain + at);
		const L level = L::load (v.levelSmoothed + at);
		((mix * wetL + dry * xL) * level).store (outL + at);
		((mix * wetR + dry * xR) * level).store (outR + at);
	}

	TankState& s;
	const RunValues& v;
	double* predelayWrite;
	const double* predelayRead;
	const double *in1, *out1, *in2, *out2;
	double *in1Write, *out1Write, *in2Write, *out2Write;
	const double* read[kNumLines];
	double* write[kNumLines];
	L lowpassNumerator, midNumerator, sideNumerator;
	double lowpassIn, lowpassOut, midIn, midOut, sideIn, sideOut;
	L numerator[kTiles], pole[kTiles], damp[kTiles], weight[kNumLines];
};

template <typename L, typename Sample>
void processRun (TankState& s, const RunValues& v, int32_t first, int32_t skip, int32_t n, Sample* outL, Sample* outR)
{
	TankRun<L, Sample> run (s, v, skip);
	for (int32_t i = 0; i < n; i += L::kWidth)
		run.processGroup (first + skip + i, i, outL, outR);
	run.finish ();
}

// A run of samples through the whole signal path; the write position advances by n.
template <typename Wide, typename Sample>
void processTank (TankState& s, const RunValues& v, int32_t n, Sample* outL, Sample* outR)
{
	const bool wide = TankRun<Wide, Sample>::fitsLanes (s);
	for (int32_t done = 0; done < n;)
	{
		const int32_t run = samplesBeforeWrap (s, n - done);
		const int32_t grouped = wide ? run - run % Wide::kWidth : 0;
		if (grouped > 0)
			processRun<Wide> (s, v, done, 0, grouped, outL, outR);
		if (grouped < run)
			processRun<Lanes1> (s, v, done, grouped, run - grouped, outL, outR);
		s.writeIndex += run;
		if (s.writeIndex >= s.bufferLength)
			s.writeIndex = 0;
		done += run;
	}
}

} // namespace
