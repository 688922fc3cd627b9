#pragma once

// The power function for lanes of several pixels, written once over the
// lane vocabulary. It works in double precision, so that the final rounding
// to float gives what powf gives but for the rarest ties. Each lanes header
// supplies, for its double-precision lanes R:
//   R operator/(R, R), tmMin(R, R), tmMax(R, R)
//   R splitExponent(R x, R& mantissa)  x = mantissa * 2^exponent, mantissa in
//                                       [0.5, 1), for normal positive x
//   R roundToNearest(R x)
//   R powerOfTwo(R n)                   2^n for integral n in [-1022, 1023]
// Include after the lanes header, inside no namespace.

#include <initializer_list>

namespace ChromvaleBeta2 {
namespace {

// ln(x) for x > 0 given in double (every float, subnormals included, is a
// normal double): x = m 2^e, m sqrt(2) = (1 + s) / (1 - s) with |s| < 0.172,
// ln(m sqrt(2)) = 2 atanh(s) by its series, which has converged to 2e-11 by
// the s^11 term.
template <typename R>
R logPositive(R x)
{
    R m;
    const R e = splitExponent(x, m);
    m = m * R(1.4142135623730951);
    const R s = (m - R(1.0)) / (m + R(1.0));
    const R s2 = s * s;
    R p = R(2.0 / 11.0);
    for (double c : {2.0 / 9.0, 2.0 / 7.0, 2.0 / 5.0, 2.0 / 3.0, 2.0})
        p = p * s2 + R(c);
    return s * p + (e - R(0.5)) * R(0.6931471805599453);
}

// e^t: t = n ln(2) + r with |r| <= ln(2) / 2, e^r by its Taylor series to
// r^9 (converged to 1e-11), 2^n through the exponent bits. t is kept
// within +-200 first: beyond that the float result is 0 or infinite anyway.
template <typename R>
R expBounded(R t)
{
    t = tmMin(tmMax(t, R(-200.0)), R(200.0));
    const R n = roundToNearest(t * R(1.4426950408889634));
    const R r = t - n * R(0.6931471803691238) - n * R(1.9082149292705877e-10);
    R y = R(1.0);
    for (int k = 9; k >= 1; --k)
        y = y * (r * R(1.0 / k)) + R(1.0);
    return y * powerOfTwo(n);
}

// base^exponent for bases in (0, 1]; the chain selects 0 for a zero base
// itself.
template <typename L>
L lanePow(L base, float exponent)
{
    typedef typename TmLaneTraits<L>::Real R;
    return tmToFloat(expBounded(R(static_cast<double>(exponent)) * logPositive(tmToReal(base))));
}

}  // namespace
}  // namespace ChromvaleBeta2
