// Doubles in SIMD lanes for the engine's run kernels. Included by one kernel file per
// instruction set, each compiled with its own target flags; everything here has internal
// linkage so that no instruction set's code can stand in for another's at link time.
// Every operation acts lane by lane exactly as the scalar operation would.
#pragma once

#include <immintrin.h>

namespace {

// One double: the remainder of a run, and runs whose delays are too short for wider lanes.
struct Lanes1
{
	static constexpr int kWidth = 1;
	double v;

	static Lanes1 load (const double* p) { return {*p}; }
	static Lanes1 broadcast (double x) { return {x}; }
	static Lanes1 fromLanes (const double (&x)[1]) { return {x[0]}; }
	// [first, v0, .., v(n-2)]: the previous sample in every lane.
	static Lanes1 shiftIn (double first, Lanes1) { return {first}; }
	void store (double* p) const { *p = v; }
	void store (float* p) const { *p = static_cast<float> (v); }
	void toLanes (double (&x)[1]) const { x[0] = v; }
	double last () const { return v; }
	friend Lanes1 operator+ (Lanes1 a, Lanes1 b) { return {a.v + b.v}; }
	friend Lanes1 operator- (Lanes1 a, Lanes1 b) { return {a.v - b.v}; }
	friend Lanes1 operator* (Lanes1 a, Lanes1 b) { return {a.v * b.v}; }
};

inline void transpose (Lanes1 (&)[1]) {}

#ifdef __SSE2__
struct Lanes2
{
	static constexpr int kWidth = 2;
	__m128d v;

	static Lanes2 load (const double* p) { return {_mm_loadu_pd (p)}; }
	static Lanes2 broadcast (double x) { return {_mm_set1_pd (x)}; }
	static Lanes2 fromLanes (const double (&x)[2]) { return {_mm_setr_pd (x[0], x[1])}; }
	static Lanes2 shiftIn (double first, Lanes2 a) { return {_mm_unpacklo_pd (_mm_set_sd (first), a.v)}; }
	void store (double* p) const { _mm_storeu_pd (p, v); }
	void store (float* p) const { _mm_storel_pi (reinterpret_cast<__m64*> (p), _mm_cvtpd_ps (v)); }
	void toLanes (double (&x)[2]) const { _mm_storeu_pd (x, v); }
	double last () const { return _mm_cvtsd_f64 (_mm_unpackhi_pd (v, v)); }
	friend Lanes2 operator+ (Lanes2 a, Lanes2 b) { return {_mm_add_pd (a.v, b.v)}; }
	friend Lanes2 operator- (Lanes2 a, Lanes2 b) { return {_mm_sub_pd (a.v, b.v)}; }
	friend Lanes2 operator* (Lanes2 a, Lanes2 b) { return {_mm_mul_pd (a.v, b.v)}; }
};

inline void transpose (Lanes2 (&r)[2])
{
	const __m128d a = r[0].v;
	r[0].v = _mm_unpacklo_pd (a, r[1].v);
	r[1].v = _mm_unpackhi_pd (a, r[1].v);
}
#endif

#ifdef __AVX2__
struct Lanes4
{
	static constexpr int kWidth = 4;
	__m256d v;

	static Lanes4 load (const double* p) { return {_mm256_loadu_pd (p)}; }
	static Lanes4 broadcast (double x) { return {_mm256_set1_pd (x)}; }
	static Lanes4 fromLanes (const double (&x)[4]) { return {_mm256_setr_pd (x[0], x[1], x[2], x[3])}; }
	static Lanes4 shiftIn (double first, Lanes4 a)
	{
		// [a3, a0, a1, a2], then lane 0 replaced.
		const __m256d rotated = _mm256_permute4x64_pd (a.v, 0x93);
		return {_mm256_blend_pd (rotated, _mm256_set1_pd (first), 1)};
	}
	void store (double* p) const { _mm256_storeu_pd (p, v); }
	void store (float* p) const { _mm_storeu_ps (p, _mm256_cvtpd_ps (v)); }
	void toLanes (double (&x)[4]) const { _mm256_storeu_pd (x, v); }
	double last () const
	{
		const __m128d high = _mm256_extractf128_pd (v, 1);
		return _mm_cvtsd_f64 (_mm_unpackhi_pd (high, high));
	}
	friend Lanes4 operator+ (Lanes4 a, Lanes4 b) { return {_mm256_add_pd (a.v, b.v)}; }
	friend Lanes4 operator- (Lanes4 a, Lanes4 b) { return {_mm256_sub_pd (a.v, b.v)}; }
	friend Lanes4 operator* (Lanes4 a, Lanes4 b) { return {_mm256_mul_pd (a.v, b.v)}; }
};

inline void transpose (Lanes4 (&r)[4])
{
	const __m256d t0 = _mm256_unpacklo_pd (r[0].v, r[1].v);
	const __m256d t1 = _mm256_unpackhi_pd (r[0].v, r[1].v);
	const __m256d t2 = _mm256_unpacklo_pd (r[2].v, r[3].v);
	const __m256d t3 = _mm256_unpackhi_pd (r[2].v, r[3].v);
	r[0].v = _mm256_permute2f128_pd (t0, t2, 0x20);
	r[1].v = _mm256_permute2f128_pd (t1, t3, 0x20);
	r[2].v = _mm256_permute2f128_pd (t0, t2, 0x31);
	r[3].v = _mm256_permute2f128_pd (t1, t3, 0x31);
}
#endif

// One-pole recursion along the lanes: out_j = pole * out_(j-1) + c_j, state = out of the
// previous sample, in and out.
template <typename L>
L recurse (L c, double pole, double& state)
{
	double x[L::kWidth];
	c.toLanes (x);
	for (double& xj : x)
	{
		state = pole * state + xj;
		xj = state;
	}
	return L::fromLanes (x);
}

} // namespace
