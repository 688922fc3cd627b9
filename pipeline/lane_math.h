#pragma once

// Double-precision lanes and the power function for lanes of several
// pixels, written once for every register width. The power works in double
// precision, so that the final rounding to float gives what powf gives but
// for the rarest ties. A lanes header includes this first, and supplies the
// conversions tmToReal and tmToFloat between its float lanes and RealPair.

#include <initializer_list>

#include "lut_cuda.h"

namespace ChromvaleBeta2 {
namespace {

// N doubles in two registers (__m128d or __m256d in GCC's vector terms, so
// the operators below apply to either): as many doubles as the float lanes
// hold.
template <int N>
struct RealPair {
    typedef double Half __attribute__((vector_size(N / 2 * sizeof(double))));
    typedef long long Bits __attribute__((vector_size(N / 2 * sizeof(double))));
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
RealPair<N> operator-(RealPair<N> a, RealPair<N> b) {
    return eachHalf(a, b, [](auto x, auto y) { return x - y; });
}
template <int N>
RealPair<N> operator*(RealPair<N> a, RealPair<N> b) {
    return eachHalf(a, b, [](auto x, auto y) { return x * y; });
}
template <int N>
RealPair<N> operator/(RealPair<N> a, RealPair<N> b) {
    return eachHalf(a, b, [](auto x, auto y) { return x / y; });
}

// A double weight times lanes, as the saturation matrix writes it.
template <int N>
RealPair<N> operator*(double a, RealPair<N> b) {
    return RealPair<N>(a) * b;
}
template <int N>
RealPair<N> operator*(RealPair<N> a, double b) {
    return a * RealPair<N>(b);
}

template <int N>
RealPair<N> tmMin(RealPair<N> a, RealPair<N> b) {
    return eachHalf(a, b, [](auto x, auto y) { return x < y ? x : y; });
}
template <int N>
RealPair<N> tmMax(RealPair<N> a, RealPair<N> b) {
    return eachHalf(a, b, [](auto x, auto y) { return x > y ? x : y; });
}

// 2^52: a small integer added to it lies in the low mantissa bits.
constexpr double kTwoTo52 = 4503599627370496.0;

// x = mantissa * 2^exponent with mantissa in [0.5, 1), for normal positive
// x; returns the exponent.
template <int N>
RealPair<N> splitExponent(RealPair<N> x, RealPair<N>& mantissa) {
    typedef typename RealPair<N>::Half Half;
    typedef typename RealPair<N>::Bits Bits;
    auto split = [](Half v, Half& m) {
        const Bits bits = (Bits)v;
        m = (Half)((bits & 0x000FFFFFFFFFFFFFLL) | 0x3FE0000000000000LL);
        const Half biased = (Half)((bits >> 52) | (Bits)(Half{} + kTwoTo52));
        return biased - kTwoTo52 - 1022.0;
    };
    return {split(x.lo, mantissa.lo), split(x.hi, mantissa.hi)};
}

// Adding and taking away 1.5 * 2^52 rounds to nearest, ties to even, under
// the default rounding mode.
template <int N>
RealPair<N> roundToNearest(RealPair<N> x) {
    const RealPair<N> shift(1.5 * kTwoTo52);
    return (x + shift) - shift;
}

// 2^n for integral n in [-1022, 1023].
template <int N>
RealPair<N> powerOfTwo(RealPair<N> n) {
    typedef typename RealPair<N>::Half Half;
    typedef typename RealPair<N>::Bits Bits;
    auto power = [](Half v) { return (Half)(((Bits)(v + (kTwoTo52 + 1023.0))) << 52); };
    return {power(n.lo), power(n.hi)};
}

// ln(x) for x > 0 given in double (every float, subnormals included, is a
// normal double): x = m 2^e, m sqrt(2) = (1 + s) / (1 - s) with |s| < 0.172,
// ln(m sqrt(2)) = 2 atanh(s) by its series, which has converged to 2e-11 by
// the s^11 term.
template <typename R>
R logPositive(R x) {
    R m;
    const R e = splitExponent(x, m);
    m = m * R(1.4142135623730951);
    const R s = (m - R(1.0)) / (m + R(1.0));
    const R s2 = s * s;
    R p = R(2.0 / 11.0);
    for (double c : {2.0 / 9.0, 2.0 / 7.0, 2.0 / 5.0, 2.0 / 3.0, 2.0}) p = p * s2 + R(c);
    return s * p + (e - R(0.5)) * R(0.6931471805599453);
}

// e^t: t = n ln(2) + r with |r| <= ln(2) / 2, e^r by its Taylor series to
// r^9 (converged to 1e-11), 2^n through the exponent bits. t is kept
// within +-200 first: beyond that the float result is 0 or infinite anyway.
template <typename R>
R expBounded(R t) {
    t = tmMin(tmMax(t, R(-200.0)), R(200.0));
    const R n = roundToNearest(t * R(1.4426950408889634));
    const R r = t - n * R(0.6931471803691238) - n * R(1.9082149292705877e-10);
    R y = R(1.0);
    for (int k = 9; k >= 1; --k) y = y * (r * R(1.0 / k)) + R(1.0);
    return y * powerOfTwo(n);
}

// base^exponent for bases in (0, 1]; the chain selects 0 for a zero base
// itself.
template <typename L>
L lanePow(L base, float exponent) {
    typedef typename TmLaneTraits<L>::Real R;
    return tmToFloat(expBounded(R(static_cast<double>(exponent)) * logPositive(tmToReal(base))));
}

}  // namespace
}  // namespace ChromvaleBeta2
