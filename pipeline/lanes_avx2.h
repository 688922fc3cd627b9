#pragma once

// Eight pixels per lane for the colour chain: the lane vocabulary of
// lut_cuda.h on AVX2 registers. Only a translation unit compiled for AVX2
// and FMA may include this; everything here has internal linkage, so none of
// it can stand in for the baseline build's code.

#include <immintrin.h>

#include "lut_cuda.h"
#include "pipeline/flatten.h"
#include "pipeline/lane_math.h"

namespace ChromvaleBeta2 {
namespace {

typedef RealPair<8> Real8;

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

inline Index8::Index8(unsigned int s) : v(_mm256_set1_epi32(static_cast<int>(s))) {}
inline Lanes8::Lanes8(float s) : v(_mm256_set1_ps(s)) {}

inline Mask8 operator&(Mask8 a, Mask8 b) {
    return {_mm256_and_si256(a.bits, b.bits)};
}
inline Mask8 operator|(Mask8 a, Mask8 b) {
    return {_mm256_or_si256(a.bits, b.bits)};
}

inline Index8 operator+(Index8 a, Index8 b) {
    return _mm256_add_epi32(a.v, b.v);
}
inline Index8 operator-(Index8 a, Index8 b) {
    return _mm256_sub_epi32(a.v, b.v);
}
inline Index8 operator*(Index8 a, Index8 b) {
    return _mm256_mullo_epi32(a.v, b.v);
}
inline Mask8 operator==(Index8 a, Index8 b) {
    return {_mm256_cmpeq_epi32(a.v, b.v)};
}

inline Lanes8 operator+(Lanes8 a, Lanes8 b) {
    return _mm256_add_ps(a.v, b.v);
}
inline Lanes8 operator-(Lanes8 a, Lanes8 b) {
    return _mm256_sub_ps(a.v, b.v);
}
inline Lanes8 operator*(Lanes8 a, Lanes8 b) {
    return _mm256_mul_ps(a.v, b.v);
}
inline Lanes8 operator/(Lanes8 a, Lanes8 b) {
    return _mm256_div_ps(a.v, b.v);
}

template <int predicate>
Mask8 compareLanes(Lanes8 a, Lanes8 b) {
    return {_mm256_castps_si256(_mm256_cmp_ps(a.v, b.v, predicate))};
}

inline Mask8 operator==(Lanes8 a, Lanes8 b) {
    return compareLanes<_CMP_EQ_OQ>(a, b);
}
inline Mask8 operator>=(Lanes8 a, Lanes8 b) {
    return compareLanes<_CMP_GE_OQ>(a, b);
}
inline Mask8 operator>(Lanes8 a, Lanes8 b) {
    return compareLanes<_CMP_GT_OQ>(a, b);
}

// min and max return the second operand when the first is NaN, as the
// scalar versions do; the chain never passes NaN second.
inline Lanes8 tmMin(Lanes8 a, Lanes8 b) {
    return _mm256_min_ps(a.v, b.v);
}
inline Lanes8 tmMax(Lanes8 a, Lanes8 b) {
    return _mm256_max_ps(a.v, b.v);
}

inline Lanes8 tmSelect(Mask8 m, Lanes8 a, Lanes8 b) {
    return _mm256_blendv_ps(b.v, a.v, _mm256_castsi256_ps(m.bits));
}

inline Index8 tmSelect(Mask8 m, Index8 a, Index8 b) {
    return _mm256_blendv_epi8(b.v, a.v, m.bits);
}

inline Lanes8 tmLoad(const float* table, Index8 index) {
    return _mm256_i32gather_ps(table, index.v, 4);
}

// The 4 x 4 transpose within each 128-bit half: registers holding pixels
// p and p + 4 become registers holding one channel of pixels 0 to 7, and
// back, for it is its own inverse.
inline void transpose(__m256& a, __m256& b, __m256& c, __m256& d) {
    const __m256 t0 = _mm256_unpacklo_ps(a, b);
    const __m256 t1 = _mm256_unpackhi_ps(a, b);
    const __m256 t2 = _mm256_unpacklo_ps(c, d);
    const __m256 t3 = _mm256_unpackhi_ps(c, d);
    a = _mm256_shuffle_ps(t0, t2, 0x44);
    b = _mm256_shuffle_ps(t0, t2, 0xEE);
    c = _mm256_shuffle_ps(t1, t3, 0x44);
    d = _mm256_shuffle_ps(t1, t3, 0xEE);
}

// One table entry's three floats, in the last three of a register: a
// 16-byte load reaching back one float, which AMD's processors run markedly
// faster than a masked load (by a tenth on the eight-table render of a
// Zen 4) and can merge into the shuffle that takes it.
inline __m128 loadAfterFloat(const float* table, int at) {
    return _mm_loadu_ps(table + at - 1);
}

// The same for the table's first entry, which has nothing before it: a
// masked load turned to the same order.
inline __m128 loadFirstAfterFloat(const float* table, int at) {
    const __m128 rgb = _mm_maskload_ps(table + at, _mm_setr_epi32(-1, -1, -1, 0));
    return _mm_shuffle_ps(rgb, rgb, _MM_SHUFFLE(2, 1, 0, 3));
}

// Three floats per pixel, each read by `load`, then a transpose to channels.
template <__m128 (*load)(const float*, int)>
TmColour<Lanes8> loadEntries(const float* table, __m256i index) {
    // Two offsets per 64-bit extraction: on a Zen 4 a tenth faster than
    // eight scalar loads back from a store of the register, which keep the
    // load ports from the table.
    const __m128i lo = _mm256_castsi256_si128(index), hi = _mm256_extracti128_si256(index, 1);
    const unsigned long long q0 = _mm_cvtsi128_si64(lo), q1 = _mm_extract_epi64(lo, 1);
    const unsigned long long q2 = _mm_cvtsi128_si64(hi), q3 = _mm_extract_epi64(hi, 1);
    const int at[8] = {int(unsigned(q0)), int(q0 >> 32), int(unsigned(q1)), int(q1 >> 32),
                       int(unsigned(q2)), int(q2 >> 32), int(unsigned(q3)), int(q3 >> 32)};
    __m256 unused = _mm256_set_m128(load(table, at[4]), load(table, at[0]));
    __m256 r = _mm256_set_m128(load(table, at[5]), load(table, at[1]));
    __m256 g = _mm256_set_m128(load(table, at[6]), load(table, at[2]));
    __m256 b = _mm256_set_m128(load(table, at[7]), load(table, at[3]));
    transpose(unused, r, g, b);
    return tmColour(Lanes8(r), Lanes8(g), Lanes8(b), Lanes8(0.0f));
}

// Groups reading the first entry are rare (random colours reach it about
// once in 30 000 pixels), so their reads stay out of line, where they do not
// crowd the loop.
__attribute__((noinline, cold)) TmColour<Lanes8> loadEntriesFromFirst(const float* table, __m256i index) {
    return loadEntries<loadFirstAfterFloat>(table, index);
}

inline TmColour<Lanes8> tmLoadRgb(const float* table, Index8 index) {
    const __m256i first = _mm256_cmpeq_epi32(index.v, _mm256_setzero_si256());
    if (__builtin_expect(_mm256_testz_si256(first, first) == 0, 0)) return loadEntriesFromFirst(table, index.v);
    return loadEntries<loadAfterFloat>(table, index.v);
}

// Eight RGBA pixels to channels and back. The chain treats every lane
// alike, so the lanes need not follow the pixels' order: whole 32-byte loads
// and stores of pixel pairs and a transpose within each half put pixels 0,
// 2, 4 and 6 in the low half and 1, 3, 5 and 7 in the high one, without the
// half-register inserts and extracts a transpose to pixel order needs.
inline TmColour<Lanes8> loadPixels(const float* pixels, Lanes8) {
    __m256 r = _mm256_loadu_ps(pixels);
    __m256 g = _mm256_loadu_ps(pixels + 8);
    __m256 b = _mm256_loadu_ps(pixels + 16);
    __m256 a = _mm256_loadu_ps(pixels + 24);
    transpose(r, g, b, a);
    return tmColour(Lanes8(r), Lanes8(g), Lanes8(b), Lanes8(a));
}

inline void storePixels(float* pixels, TmColour<Lanes8> colour) {
    __m256 p0 = colour.x.v, p1 = colour.y.v, p2 = colour.z.v, p3 = colour.w.v;
    transpose(p0, p1, p2, p3);
    _mm256_storeu_ps(pixels, p0);
    _mm256_storeu_ps(pixels + 8, p1);
    _mm256_storeu_ps(pixels + 16, p2);
    _mm256_storeu_ps(pixels + 24, p3);
}

inline Index8 tmToIndex(Lanes8 x) {
    return _mm256_cvttps_epi32(x.v);
}
inline Lanes8 tmToFloat(Index8 i) {
    return _mm256_cvtepi32_ps(i.v);
}

// From x itself rather than from its truncation, so that the fraction, and
// the table corners it picks, need not wait for two conversions.
inline Lanes8 tmFraction(Lanes8 x, Index8) {
    return _mm256_sub_ps(x.v, _mm256_floor_ps(x.v));
}

inline Lanes8 tmToFloat(Real8 x) {
    return _mm256_set_m128(_mm256_cvtpd_ps(x.hi), _mm256_cvtpd_ps(x.lo));
}

inline Real8 tmToReal(Lanes8 x) {
    return {_mm256_cvtps_pd(_mm256_castps256_ps128(x.v)), _mm256_cvtps_pd(_mm256_extractf128_ps(x.v, 1))};
}

}  // namespace

template <>
struct TmLaneTraits<Lanes8> {
    typedef Index8 Index;
    typedef Mask8 Mask;
    typedef Real8 Real;
};

namespace {

inline Lanes8 tmSplitExponent(Lanes8 x, Lanes8* exponent) {
    return splitExponentBits(x.v, exponent->v);
}
inline Lanes8 tmRoundToInteger(Lanes8 x) {
    return _mm256_round_ps(x.v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
}
inline Lanes8 tmScaleByPowerOfTwo(Lanes8 p, Lanes8 n) {
    return scaleByPowerOfTwoBits(p.v, n.v);
}

inline Lanes8 tmMulSub(Lanes8 a, Lanes8 b, Lanes8 c) {
    return _mm256_fmsub_ps(a.v, b.v, c.v);
}

TM_INLINE inline Lanes8 tmPow(Lanes8 base, float exponent) {
    return tmPowPositive(base, exponent);
}

}  // namespace
}  // namespace ChromvaleBeta2
