#pragma once

// Four pixels per lane for the colour chain: the lane vocabulary of
// lut_cuda.h on SSE2 registers, which every x86-64 processor has. Everything
// here has internal linkage.

#include <emmintrin.h>

#include "lut_cuda.h"
#include "pipeline/flatten.h"
#include "pipeline/lane_math.h"

namespace ChromvaleBeta2 {
namespace {

typedef RealPair<4> Real4;

// All bits set in a lane where a comparison holds.
struct Mask4 {
    __m128i bits;
};

// Table offsets. They stay below 2^31, so signed instructions serve.
struct Index4 {
    __m128i v;

    Index4() = default;
    Index4(__m128i x) : v(x) {}
    Index4(unsigned int s) : v(_mm_set1_epi32(static_cast<int>(s))) {}
};

struct Lanes4 {
    __m128 v;

    Lanes4() = default;
    Lanes4(__m128 x) : v(x) {}
    Lanes4(float s) : v(_mm_set1_ps(s)) {}
};

inline Mask4 operator&(Mask4 a, Mask4 b) {
    return {_mm_and_si128(a.bits, b.bits)};
}
inline Mask4 operator|(Mask4 a, Mask4 b) {
    return {_mm_or_si128(a.bits, b.bits)};
}

inline Index4 operator+(Index4 a, Index4 b) {
    return _mm_add_epi32(a.v, b.v);
}
inline Index4 operator-(Index4 a, Index4 b) {
    return _mm_sub_epi32(a.v, b.v);
}
inline Mask4 operator==(Index4 a, Index4 b) {
    return {_mm_cmpeq_epi32(a.v, b.v)};
}

// SSE2 multiplies the even 32-bit lanes only: the odd ones go through a
// shift, and the low halves of the products are gathered again.
inline Index4 operator*(Index4 a, Index4 b) {
    const __m128i even = _mm_mul_epu32(a.v, b.v);
    const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a.v, 32), _mm_srli_epi64(b.v, 32));
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                              _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

inline Lanes4 operator+(Lanes4 a, Lanes4 b) {
    return _mm_add_ps(a.v, b.v);
}
inline Lanes4 operator-(Lanes4 a, Lanes4 b) {
    return _mm_sub_ps(a.v, b.v);
}
inline Lanes4 operator*(Lanes4 a, Lanes4 b) {
    return _mm_mul_ps(a.v, b.v);
}
inline Lanes4 operator/(Lanes4 a, Lanes4 b) {
    return _mm_div_ps(a.v, b.v);
}
inline Mask4 operator==(Lanes4 a, Lanes4 b) {
    return {_mm_castps_si128(_mm_cmpeq_ps(a.v, b.v))};
}
inline Mask4 operator>=(Lanes4 a, Lanes4 b) {
    return {_mm_castps_si128(_mm_cmpge_ps(a.v, b.v))};
}
inline Mask4 operator>(Lanes4 a, Lanes4 b) {
    return {_mm_castps_si128(_mm_cmpgt_ps(a.v, b.v))};
}

// min and max return the second operand when the first is NaN, as the
// scalar versions do; the chain never passes NaN second.
inline Lanes4 tmMin(Lanes4 a, Lanes4 b) {
    return _mm_min_ps(a.v, b.v);
}
inline Lanes4 tmMax(Lanes4 a, Lanes4 b) {
    return _mm_max_ps(a.v, b.v);
}

inline Lanes4 tmSelect(Mask4 m, Lanes4 a, Lanes4 b) {
    const __m128 mask = _mm_castsi128_ps(m.bits);
    return _mm_or_ps(_mm_and_ps(mask, a.v), _mm_andnot_ps(mask, b.v));
}

inline Index4 tmSelect(Mask4 m, Index4 a, Index4 b) {
    return _mm_or_si128(_mm_and_si128(m.bits, a.v), _mm_andnot_si128(m.bits, b.v));
}

inline void storeIndices(int (&at)[4], Index4 index) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), index.v);
}

inline Lanes4 tmLoad(const float* table, Index4 index) {
    int at[4];
    storeIndices(at, index);
    return _mm_setr_ps(table[at[0]], table[at[1]], table[at[2]], table[at[3]]);
}

// Three floats per pixel, eight bytes and four, then a transpose to channels.
inline TmColour<Lanes4> tmLoadRgb(const float* table, Index4 index) {
    int at[4];
    storeIndices(at, index);
    __m128 p[4];
    for (int i = 0; i < 4; ++i) {
        const float* entry = table + at[i];
        p[i] = _mm_movelh_ps(_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(entry)),
                             _mm_load_ss(entry + 2));
    }
    _MM_TRANSPOSE4_PS(p[0], p[1], p[2], p[3]);
    return tmColour(Lanes4(p[0]), Lanes4(p[1]), Lanes4(p[2]), Lanes4(0.0f));
}

// Four RGBA pixels to channels and back.
inline TmColour<Lanes4> loadPixels(const float* pixels, Lanes4) {
    __m128 r = _mm_loadu_ps(pixels), g = _mm_loadu_ps(pixels + 4);
    __m128 b = _mm_loadu_ps(pixels + 8), a = _mm_loadu_ps(pixels + 12);
    _MM_TRANSPOSE4_PS(r, g, b, a);
    return tmColour(Lanes4(r), Lanes4(g), Lanes4(b), Lanes4(a));
}

inline void storePixels(float* pixels, TmColour<Lanes4> colour) {
    __m128 p0 = colour.x.v, p1 = colour.y.v, p2 = colour.z.v, p3 = colour.w.v;
    _MM_TRANSPOSE4_PS(p0, p1, p2, p3);
    _mm_storeu_ps(pixels, p0);
    _mm_storeu_ps(pixels + 4, p1);
    _mm_storeu_ps(pixels + 8, p2);
    _mm_storeu_ps(pixels + 12, p3);
}

inline Index4 tmToIndex(Lanes4 x) {
    return _mm_cvttps_epi32(x.v);
}
inline Lanes4 tmToFloat(Index4 i) {
    return _mm_cvtepi32_ps(i.v);
}
inline Lanes4 tmFraction(Lanes4 x, Index4 whole) {
    return x - tmToFloat(whole);
}

inline Lanes4 tmToFloat(Real4 x) {
    return _mm_movelh_ps(_mm_cvtpd_ps(x.lo), _mm_cvtpd_ps(x.hi));
}
inline Real4 tmToReal(Lanes4 x) {
    return {_mm_cvtps_pd(x.v), _mm_cvtps_pd(_mm_movehl_ps(x.v, x.v))};
}

}  // namespace

template <>
struct TmLaneTraits<Lanes4> {
    typedef Index4 Index;
    typedef Mask4 Mask;
    typedef Real4 Real;
};

namespace {

inline Lanes4 tmSplitExponent(Lanes4 x, Lanes4* exponent) {
    return splitExponentBits(x.v, exponent->v);
}
inline Lanes4 tmRoundToInteger(Lanes4 x) {
    return roundToIntegerBits(x.v);
}
inline Lanes4 tmScaleByPowerOfTwo(Lanes4 p, Lanes4 n) {
    return scaleByPowerOfTwoBits(p.v, n.v);
}

// SSE2 has no fused multiply-subtract: the product is exact in double.
inline Lanes4 tmMulSub(Lanes4 a, Lanes4 b, Lanes4 c) {
    const auto low = [](__m128 x) { return _mm_cvtps_pd(x); };
    const auto high = [](__m128 x) { return _mm_cvtps_pd(_mm_movehl_ps(x, x)); };
    const __m128d lo = _mm_sub_pd(_mm_mul_pd(low(a.v), low(b.v)), low(c.v));
    const __m128d hi = _mm_sub_pd(_mm_mul_pd(high(a.v), high(b.v)), high(c.v));
    return _mm_movelh_ps(_mm_cvtpd_ps(lo), _mm_cvtpd_ps(hi));
}

TM_INLINE inline Lanes4 tmPow(Lanes4 base, float exponent) {
    return tmPowPositive(base, exponent);
}

}  // namespace
}  // namespace ChromvaleBeta2
