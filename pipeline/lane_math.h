#pragma once

// Double-precision lanes and the bit-level steps of the power for lanes of
// several pixels, written once for every register width. A lanes header
// includes this first, and supplies the conversions tmToReal and tmToFloat
// between its float lanes and RealPair.

#include "lut_cuda.h"

namespace ChromvaleBeta2 {
namespace {

// N doubles in two registers (__m128d or __m256d in GCC's vector terms, so
// the operators below apply to either): as many doubles as the float lanes
// hold.
template <int N>
struct RealPair {
    typedef double Half __attribute__((vector_size(N / 2 * sizeof(double))));
    Half lo, hi;

    RealPair() = default;
    RealPair(Half l, Half h) : lo(l), hi(h) {}
    RealPair(double s);
};

template <int N>
RealPair<N>::RealPair(double s) : lo(Half{} + s), hi(lo) {}

// Applies f to the registers of a and b in turn.
template <int N, typename F>
RealPair<N> eachHalf(const RealPair<N>& a, const RealPair<N>& b, F f) {
    return {f(a.lo, b.lo), f(a.hi, b.hi)};
}

template <int N>
RealPair<N> operator+(RealPair<N> a, RealPair<N> b) {
    return eachHalf(a, b, [](auto x, auto y) { return x + y; });
}
template <int N>
RealPair<N> operator*(RealPair<N> a, RealPair<N> b) {
    return eachHalf(a, b, [](auto x, auto y) { return x * y; });
}

// A double weight times lanes, as the saturation matrix writes it.
template <int N>
RealPair<N> operator*(double a, RealPair<N> b) {
    return RealPair<N>(a) * b;
}

// The steps of tmPowPositive (lut_cuda.h) that work on a float's bits,
// for registers of floats in GCC's vector terms (__m128 and __m256): the
// lanes headers wrap them for their lane types. Each gives what the
// one-pixel versions give, bit for bit.

// x = m 2^exponent with m in [1, 2), for positive finite x; subnormals are
// first scaled into the normal range.
template <typename V>
V splitExponentBits(V x, V& exponent) {
    typedef int Bits __attribute__((vector_size(sizeof(V))));
    const Bits tiny = x < 1.17549435e-38f;
    x = (V)(((Bits)(x * 16777216.0f) & tiny) | ((Bits)x & ~tiny));
    const Bits bits = (Bits)x;
    exponent = __builtin_convertvector((bits >> 23) - 127 - (tiny & 24), V);
    return (V)((bits & 0x007FFFFF) | 0x3F800000);
}

// The nearest integer, ties to even, for |x| < 2^22: adding 1.5 * 2^23
// leaves no fraction bits, under the default rounding mode.
template <typename V>
V roundToIntegerBits(V x) {
    return (x + 12582912.0f) - 12582912.0f;
}

// p 2^n for integral n in [-151, 129] and p near 1: two normal factors, the
// first product exact, so the result is rounded once.
template <typename V>
V scaleByPowerOfTwoBits(V p, V n) {
    typedef int Bits __attribute__((vector_size(sizeof(V))));
    const Bits k = __builtin_convertvector(n, Bits);
    const Bits half = k >> 1;
    return p * (V)((half + 127) << 23) * (V)((k - half + 127) << 23);
}

}  // namespace
}  // namespace ChromvaleBeta2
