#pragma once

// Eight pixels per lane for the colour chain: the lane vocabulary of
// lut_cuda.h on AVX2 registers. Only a translation unit compiled for AVX2
// and FMA may include this; everything here has internal linkage, so none of
// it can stand in for the baseline build's code.

#include <immintrin.h>

#include <initializer_list>

#include "lut_cuda.h"

namespace ChromvaleBeta2 {
namespace {

// Member functions defined in a class body miss the file's target pragma
// (GCC), so the operators are free functions; argument-dependent lookup
// finds them from the chain's templates.

// All bits set in a lane where a comparison holds.
struct Mask8 {
    __m256i bits;
};

// Table offsets. They stay below 2^31, so signed instructions serve.
struct Index8 {
    __m256i v;

    Index8() = default;
    Index8(__m256i x) : v(x) {}
    Index8(unsigned int s);
};

struct Lanes8 {
    __m256 v;

    Lanes8() = default;
    Lanes8(__m256 x) : v(x) {}
    Lanes8(float s);
};

// Eight doubles, for the saturation matrix.
struct Real8 {
    __m256d lo, hi;

    Real8() = default;
    Real8(__m256d l, __m256d h) : lo(l), hi(h) {}
    Real8(double s);
};

inline Index8::Index8(unsigned int s) : v(_mm256_set1_epi32(static_cast<int>(s))) {}
inline Lanes8::Lanes8(float s) : v(_mm256_set1_ps(s)) {}
inline Real8::Real8(double s) : lo(_mm256_set1_pd(s)), hi(lo) {}

inline Mask8 operator&(Mask8 a, Mask8 b) { return {_mm256_and_si256(a.bits, b.bits)}; }
inline Mask8 operator|(Mask8 a, Mask8 b) { return {_mm256_or_si256(a.bits, b.bits)}; }

inline Index8 operator+(Index8 a, Index8 b) { return _mm256_add_epi32(a.v, b.v); }
inline Index8 operator-(Index8 a, Index8 b) { return _mm256_sub_epi32(a.v, b.v); }
inline Index8 operator*(Index8 a, Index8 b) { return _mm256_mullo_epi32(a.v, b.v); }
inline Mask8 operator==(Index8 a, Index8 b) { return {_mm256_cmpeq_epi32(a.v, b.v)}; }

inline Lanes8 operator+(Lanes8 a, Lanes8 b) { return _mm256_add_ps(a.v, b.v); }
inline Lanes8 operator-(Lanes8 a, Lanes8 b) { return _mm256_sub_ps(a.v, b.v); }
inline Lanes8 operator*(Lanes8 a, Lanes8 b) { return _mm256_mul_ps(a.v, b.v); }

template <int predicate>
Mask8 compareLanes(Lanes8 a, Lanes8 b)
{
    return {_mm256_castps_si256(_mm256_cmp_ps(a.v, b.v, predicate))};
}

inline Mask8 operator==(Lanes8 a, Lanes8 b) { return compareLanes<_CMP_EQ_OQ>(a, b); }
inline Mask8 operator>=(Lanes8 a, Lanes8 b) { return compareLanes<_CMP_GE_OQ>(a, b); }
inline Mask8 operator>(Lanes8 a, Lanes8 b) { return compareLanes<_CMP_GT_OQ>(a, b); }

inline Real8 operator+(Real8 a, Real8 b) { return {_mm256_add_pd(a.lo, b.lo), _mm256_add_pd(a.hi, b.hi)}; }
inline Real8 operator-(Real8 a, Real8 b) { return {_mm256_sub_pd(a.lo, b.lo), _mm256_sub_pd(a.hi, b.hi)}; }
inline Real8 operator*(Real8 a, Real8 b) { return {_mm256_mul_pd(a.lo, b.lo), _mm256_mul_pd(a.hi, b.hi)}; }

// min and max return the second operand when the first is NaN, as the
// scalar versions do; the chain never passes NaN second.
inline Lanes8 tmMin(Lanes8 a, Lanes8 b) { return _mm256_min_ps(a.v, b.v); }
inline Lanes8 tmMax(Lanes8 a, Lanes8 b) { return _mm256_max_ps(a.v, b.v); }

inline Lanes8 tmSelect(Mask8 m, Lanes8 a, Lanes8 b)
{
    return _mm256_blendv_ps(b.v, a.v, _mm256_castsi256_ps(m.bits));
}

inline Index8 tmSelect(Mask8 m, Index8 a, Index8 b) { return _mm256_blendv_epi8(b.v, a.v, m.bits); }

inline Lanes8 tmLoad(const float* table, Index8 index) { return _mm256_i32gather_ps(table, index.v, 4); }

// Three floats per pixel: one 16-byte load each (masked, so the entry at
// the table's end reads nothing beyond it), then a transpose to channels.
inline TmColour<Lanes8> tmLoadRgb(const float* table, Index8 index)
{
    // Through memory: eight scalar loads cost less than eight extractions.
    alignas(32) int at[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), index.v);
    asm("" : "+m"(at));
    const __m128i rgb = _mm_setr_epi32(-1, -1, -1, 0);
    __m256 a = _mm256_set_m128(_mm_maskload_ps(table + at[4], rgb), _mm_maskload_ps(table + at[0], rgb));
    __m256 b = _mm256_set_m128(_mm_maskload_ps(table + at[5], rgb), _mm_maskload_ps(table + at[1], rgb));
    __m256 c = _mm256_set_m128(_mm_maskload_ps(table + at[6], rgb), _mm_maskload_ps(table + at[2], rgb));
    __m256 d = _mm256_set_m128(_mm_maskload_ps(table + at[7], rgb), _mm_maskload_ps(table + at[3], rgb));
    const __m256 t0 = _mm256_unpacklo_ps(a, b);
    const __m256 t1 = _mm256_unpackhi_ps(a, b);
    const __m256 t2 = _mm256_unpacklo_ps(c, d);
    const __m256 t3 = _mm256_unpackhi_ps(c, d);
    return tmColour(Lanes8(_mm256_shuffle_ps(t0, t2, 0x44)), Lanes8(_mm256_shuffle_ps(t0, t2, 0xEE)),
                    Lanes8(_mm256_shuffle_ps(t1, t3, 0x44)), Lanes8(0.0f));
}

inline Index8 tmToIndex(Lanes8 x) { return _mm256_cvttps_epi32(x.v); }
inline Lanes8 tmToFloat(Index8 i) { return _mm256_cvtepi32_ps(i.v); }

inline Lanes8 tmToFloat(Real8 x)
{
    return _mm256_set_m128(_mm256_cvtpd_ps(x.hi), _mm256_cvtpd_ps(x.lo));
}

inline Real8 tmToReal(Lanes8 x)
{
    return {_mm256_cvtps_pd(_mm256_castps256_ps128(x.v)), _mm256_cvtps_pd(_mm256_extractf128_ps(x.v, 1))};
}

// Natural logarithm of x > 0 (subnormals included): x = m * 2^e with m in
// [sqrt(1/2), sqrt(2)), ln(m) by a minimax polynomial in m - 1.
inline __m256 logPositive(__m256 x)
{
    const __m256 subnormal = _mm256_cmp_ps(x, _mm256_set1_ps(1.17549435e-38f), _CMP_LT_OQ);
    x = _mm256_blendv_ps(x, _mm256_mul_ps(x, _mm256_set1_ps(8388608.0f)), subnormal);
    const __m256 exponentBias = _mm256_blendv_ps(_mm256_set1_ps(126.0f), _mm256_set1_ps(149.0f), subnormal);

    const __m256i bits = _mm256_castps_si256(x);
    __m256 e = _mm256_sub_ps(_mm256_cvtepi32_ps(_mm256_srli_epi32(bits, 23)), exponentBias);
    __m256 m = _mm256_castsi256_ps(
        _mm256_or_si256(_mm256_and_si256(bits, _mm256_set1_epi32(0x007fffff)), _mm256_set1_epi32(0x3f000000)));
    const __m256 small = _mm256_cmp_ps(m, _mm256_set1_ps(0.707106781186547524f), _CMP_LT_OQ);
    e = _mm256_sub_ps(e, _mm256_and_ps(small, _mm256_set1_ps(1.0f)));
    m = _mm256_sub_ps(_mm256_add_ps(m, _mm256_and_ps(small, m)), _mm256_set1_ps(1.0f));

    const __m256 z = _mm256_mul_ps(m, m);
    __m256 p = _mm256_set1_ps(7.0376836292e-2f);
    for (float c : {-1.1514610310e-1f, 1.1676998740e-1f, -1.2420140846e-1f, 1.4249322787e-1f, -1.6668057665e-1f,
                    2.0000714765e-1f, -2.4999993993e-1f, 3.3333331174e-1f})
        p = _mm256_fmadd_ps(p, m, _mm256_set1_ps(c));
    __m256 y = _mm256_mul_ps(_mm256_mul_ps(p, m), z);
    y = _mm256_fmadd_ps(e, _mm256_set1_ps(-2.12194440e-4f), y);
    y = _mm256_fnmadd_ps(z, _mm256_set1_ps(0.5f), y);
    return _mm256_fmadd_ps(e, _mm256_set1_ps(0.693359375f), _mm256_add_ps(m, y));
}

// e^t for t in [-87, 88]; below that 0, above it t = 88.
inline __m256 expBounded(__m256 t)
{
    const __m256 underflow = _mm256_cmp_ps(t, _mm256_set1_ps(-87.0f), _CMP_LT_OQ);
    t = _mm256_min_ps(_mm256_max_ps(t, _mm256_set1_ps(-87.0f)), _mm256_set1_ps(88.0f));
    const __m256 n = _mm256_round_ps(_mm256_mul_ps(t, _mm256_set1_ps(1.44269504088896341f)),
                                     _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    __m256 r = _mm256_fnmadd_ps(n, _mm256_set1_ps(0.693359375f), t);
    r = _mm256_fnmadd_ps(n, _mm256_set1_ps(-2.12194440e-4f), r);

    __m256 p = _mm256_set1_ps(1.9875691500e-4f);
    for (float c : {1.3981999507e-3f, 8.3334519073e-3f, 4.1665795894e-2f, 1.6666665459e-1f, 5.0000001201e-1f})
        p = _mm256_fmadd_ps(p, r, _mm256_set1_ps(c));
    const __m256 y = _mm256_add_ps(_mm256_fmadd_ps(p, _mm256_mul_ps(r, r), r), _mm256_set1_ps(1.0f));
    const __m256i scale = _mm256_slli_epi32(_mm256_add_epi32(_mm256_cvtps_epi32(n), _mm256_set1_epi32(127)), 23);
    return _mm256_andnot_ps(underflow, _mm256_mul_ps(y, _mm256_castsi256_ps(scale)));
}

// base^exponent for bases in (0, 1]; the chain selects 0 for a zero base
// itself. Agrees with powf to a few units in the last place.
inline Lanes8 tmPow(Lanes8 base, float exponent)
{
    return expBounded(_mm256_mul_ps(_mm256_set1_ps(exponent), logPositive(base.v)));
}

}  // namespace

template <>
struct TmLaneTraits<Lanes8> {
    typedef Index8 Index;
    typedef Mask8 Mask;
    typedef Real8 Real;
};

}  // namespace ChromvaleBeta2
