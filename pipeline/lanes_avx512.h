#pragma once

// Sixteen pixels per lane for the colour chain: the lane vocabulary of
// lut_cuda.h on AVX-512 registers (F, VL, DQ and BW, which every AVX-512
// processor since Skylake-SP has), reading tables through the eight-lane
// code. Only a translation unit compiled for them may include this;
// everything here has internal linkage.

#include <immintrin.h>

#include "lut_cuda.h"
#include "pipeline/flatten.h"
#include "pipeline/lane_math.h"
#include "pipeline/lanes_avx2.h"

namespace ChromvaleBeta2 {
namespace {

typedef RealPair<16> Real16;

// As in the eight-lane header, operators are free functions: member
// functions defined in a class body miss the file's target pragma (GCC).

// One bit per lane where a comparison holds.
struct Mask16 {
    __mmask16 bits;
};

// Table offsets. They stay below 2^31, so signed instructions serve.
struct Index16 {
    __m512i v;

    Index16() = default;
    Index16(__m512i x) : v(x) {}
    Index16(unsigned int s);
};

struct Lanes16 {
    __m512 v;

    Lanes16() = default;
    Lanes16(__m512 x) : v(x) {}
    Lanes16(float s);
};

inline Index16::Index16(unsigned int s) : v(_mm512_set1_epi32(static_cast<int>(s))) {}
inline Lanes16::Lanes16(float s) : v(_mm512_set1_ps(s)) {}

inline Mask16 operator&(Mask16 a, Mask16 b) {
    return {static_cast<__mmask16>(a.bits & b.bits)};
}
inline Mask16 operator|(Mask16 a, Mask16 b) {
    return {static_cast<__mmask16>(a.bits | b.bits)};
}

inline Index16 operator+(Index16 a, Index16 b) {
    return _mm512_add_epi32(a.v, b.v);
}
inline Index16 operator-(Index16 a, Index16 b) {
    return _mm512_sub_epi32(a.v, b.v);
}
inline Index16 operator*(Index16 a, Index16 b) {
    return _mm512_mullo_epi32(a.v, b.v);
}
inline Mask16 operator==(Index16 a, Index16 b) {
    return {_mm512_cmpeq_epi32_mask(a.v, b.v)};
}

inline Lanes16 operator+(Lanes16 a, Lanes16 b) {
    return _mm512_add_ps(a.v, b.v);
}
inline Lanes16 operator-(Lanes16 a, Lanes16 b) {
    return _mm512_sub_ps(a.v, b.v);
}
inline Lanes16 operator*(Lanes16 a, Lanes16 b) {
    return _mm512_mul_ps(a.v, b.v);
}
inline Lanes16 operator/(Lanes16 a, Lanes16 b) {
    return _mm512_div_ps(a.v, b.v);
}

inline Mask16 operator==(Lanes16 a, Lanes16 b) {
    return {_mm512_cmp_ps_mask(a.v, b.v, _CMP_EQ_OQ)};
}
inline Mask16 operator>=(Lanes16 a, Lanes16 b) {
    return {_mm512_cmp_ps_mask(a.v, b.v, _CMP_GE_OQ)};
}
inline Mask16 operator>(Lanes16 a, Lanes16 b) {
    return {_mm512_cmp_ps_mask(a.v, b.v, _CMP_GT_OQ)};
}

// min and max return the second operand when the first is NaN, as the
// scalar versions do; the chain never passes NaN second.
inline Lanes16 tmMin(Lanes16 a, Lanes16 b) {
    return _mm512_min_ps(a.v, b.v);
}
inline Lanes16 tmMax(Lanes16 a, Lanes16 b) {
    return _mm512_max_ps(a.v, b.v);
}

inline Lanes16 tmSelect(Mask16 m, Lanes16 a, Lanes16 b) {
    return _mm512_mask_blend_ps(m.bits, b.v, a.v);
}

inline Index16 tmSelect(Mask16 m, Index16 a, Index16 b) {
    return _mm512_mask_blend_epi32(m.bits, b.v, a.v);
}

inline Lanes16 tmLoad(const float* table, Index16 index) {
    return _mm512_i32gather_ps(index.v, table, 4);
}

// The 4 x 4 transpose within each 128-bit quarter: four registers of four
// RGBA pixels each become registers of one channel, and back, for it is its
// own inverse.
inline void transposeInQuarters(__m512& a, __m512& b, __m512& c, __m512& d) {
    const __m512 t0 = _mm512_unpacklo_ps(a, b);
    const __m512 t1 = _mm512_unpackhi_ps(a, b);
    const __m512 t2 = _mm512_unpacklo_ps(c, d);
    const __m512 t3 = _mm512_unpackhi_ps(c, d);
    a = _mm512_shuffle_ps(t0, t2, 0x44);
    b = _mm512_shuffle_ps(t0, t2, 0xEE);
    c = _mm512_shuffle_ps(t1, t3, 0x44);
    d = _mm512_shuffle_ps(t1, t3, 0xEE);
}

inline __m512 joinHalves(Lanes8 low, Lanes8 high) {
    return _mm512_insertf32x8(_mm512_castps256_ps512(low.v), high.v, 1);
}

inline TmColour<Lanes16> joinEightLaneHalves(const TmColour<Lanes8>& low, const TmColour<Lanes8>& high) {
    return tmColour(Lanes16(joinHalves(low.x, high.x)), Lanes16(joinHalves(low.y, high.y)),
                    Lanes16(joinHalves(low.z, high.z)), Lanes16(0.0f));
}

// Three floats per pixel, read as two groups of eight the eight-lane way. On
// an Intel Xeon this measured faster than three sixteen-wide gathers and than
// one sixteen-wide transpose of the same loads; on a Zen 4 the gathers
// measured a third slower, AVX-512's masked loads a tenth slower than loads
// reaching back one float, and four registers of quarters filled from
// memory a fifth slower.
inline TmColour<Lanes16> tmLoadRgb(const float* table, Index16 index) {
    const __m256i low = _mm512_castsi512_si256(index.v);
    const __m256i high = _mm512_extracti64x4_epi64(index.v, 1);
    if (__builtin_expect(_mm512_test_epi32_mask(index.v, index.v) != 0xFFFF, 0))
        return joinEightLaneHalves(loadEntriesFromFirst(table, low), loadEntriesFromFirst(table, high));
    return joinEightLaneHalves(loadEntries<loadAfterFloat>(table, low), loadEntries<loadAfterFloat>(table, high));
}

// Sixteen RGBA pixels to channels and back. The chain treats every lane
// alike, so the lanes need not follow the pixels' order: lane 4q + j holds
// pixel q + 4j, which a transpose within quarters gives without moving data
// across them (half the shuffles of a transpose to pixel order).
inline TmColour<Lanes16> loadPixels(const float* pixels, Lanes16) {
    __m512 r = _mm512_loadu_ps(pixels);
    __m512 g = _mm512_loadu_ps(pixels + 16);
    __m512 b = _mm512_loadu_ps(pixels + 32);
    __m512 a = _mm512_loadu_ps(pixels + 48);
    transposeInQuarters(r, g, b, a);
    return tmColour(Lanes16(r), Lanes16(g), Lanes16(b), Lanes16(a));
}

inline void storePixels(float* pixels, TmColour<Lanes16> colour) {
    __m512 p0 = colour.x.v, p1 = colour.y.v, p2 = colour.z.v, p3 = colour.w.v;
    transposeInQuarters(p0, p1, p2, p3);
    _mm512_storeu_ps(pixels, p0);
    _mm512_storeu_ps(pixels + 16, p1);
    _mm512_storeu_ps(pixels + 32, p2);
    _mm512_storeu_ps(pixels + 48, p3);
}

inline Index16 tmToIndex(Lanes16 x) {
    return _mm512_cvttps_epi32(x.v);
}
inline Lanes16 tmToFloat(Index16 i) {
    return _mm512_cvtepi32_ps(i.v);
}

// One instruction from x itself, which the table corners the fraction
// picks need not wait for the conversions to and from an index.
inline Lanes16 tmFraction(Lanes16 x, Index16) {
    return _mm512_reduce_ps(x.v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
}

inline Lanes16 tmToFloat(Real16 x) {
    const __m256 lo = _mm512_cvtpd_ps(x.lo);
    const __m256 hi = _mm512_cvtpd_ps(x.hi);
    return _mm512_insertf32x8(_mm512_castps256_ps512(lo), hi, 1);
}

inline Real16 tmToReal(Lanes16 x) {
    return {_mm512_cvtps_pd(_mm512_castps512_ps256(x.v)), _mm512_cvtps_pd(_mm512_extractf32x8_ps(x.v, 1))};
}

}  // namespace

template <>
struct TmLaneTraits<Lanes16> {
    typedef Index16 Index;
    typedef Mask16 Mask;
    typedef Real16 Real;
};

namespace {

// AVX-512 has the power's bit-level steps as instructions, subnormals
// included.
inline Lanes16 tmSplitExponent(Lanes16 x, Lanes16* exponent) {
    exponent->v = _mm512_getexp_ps(x.v);
    return _mm512_getmant_ps(x.v, _MM_MANT_NORM_1_2, _MM_MANT_SIGN_zero);
}
inline Lanes16 tmRoundToInteger(Lanes16 x) {
    return _mm512_roundscale_ps(x.v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
}
inline Lanes16 tmScaleByPowerOfTwo(Lanes16 p, Lanes16 n) {
    return _mm512_scalef_ps(p.v, n.v);
}

inline Lanes16 tmMulSub(Lanes16 a, Lanes16 b, Lanes16 c) {
    return _mm512_fmsub_ps(a.v, b.v, c.v);
}

TM_INLINE inline Lanes16 tmPow(Lanes16 base, float exponent) {
    return tmPowPositive(base, exponent);
}

}  // namespace
}  // namespace ChromvaleBeta2
