#pragma once

// The power function for lanes of several pixels, written once over the
// lane vocabulary plus three bit-level primitives each lanes header supplies:
//   L splitExponent(L x, L& mantissa)  x = mantissa * 2^exponent, mantissa in
//                                       [0.5, 1), for normal positive x
//   L roundToNearest(L x)
//   L powerOfTwo(L n)                   2^n for integral n in [-126, 127]
// Include after the lanes header, inside no namespace.

#include <initializer_list>

namespace ChromvaleBeta2 {
namespace {

// Natural logarithm of x > 0, subnormals included: ln(m) + e ln(2) with m in
// [sqrt(1/2), sqrt(2)), ln(m) by a minimax polynomial in m - 1 and ln(2)
// split in two so the product with e stays exact.
template <typename L>
L logPositive(L x)
{
    const float smallestNormal = 1.17549435e-38f;
    const auto subnormal = L(smallestNormal) > x;
    x = tmSelect(subnormal, x * L(8388608.0f), x);  // times 2^23
    L m;
    L e = splitExponent(x, m) - tmSelect(subnormal, L(23.0f), L(0.0f));
    const auto low = L(0.707106781186547524f) > m;
    e = e - tmSelect(low, L(1.0f), L(0.0f));
    m = tmSelect(low, m + m, m) - L(1.0f);

    const L z = m * m;
    L p = L(7.0376836292e-2f);
    for (float c : {-1.1514610310e-1f, 1.1676998740e-1f, -1.2420140846e-1f, 1.4249322787e-1f, -1.6668057665e-1f,
                    2.0000714765e-1f, -2.4999993993e-1f, 3.3333331174e-1f})
        p = p * m + L(c);
    L y = p * m * z;
    y = y + e * L(-2.12194440e-4f);
    y = y - z * L(0.5f);
    return m + y + e * L(0.693359375f);
}

// e^t for t in [-87, 88]; below that 0, above it as for 88.
template <typename L>
L expBounded(L t)
{
    const auto underflow = L(-87.0f) > t;
    t = tmMin(tmMax(t, L(-87.0f)), L(88.0f));
    const L n = roundToNearest(t * L(1.44269504088896341f));
    L r = t - n * L(0.693359375f);
    r = r - n * L(-2.12194440e-4f);

    L p = L(1.9875691500e-4f);
    for (float c : {1.3981999507e-3f, 8.3334519073e-3f, 4.1665795894e-2f, 1.6666665459e-1f, 5.0000001201e-1f})
        p = p * r + L(c);
    const L y = p * (r * r) + r + L(1.0f);
    return tmSelect(underflow, L(0.0f), y * powerOfTwo(n));
}

// base^exponent for bases in (0, 1]; the chain selects 0 for a zero base
// itself. Agrees with powf to a few units in the last place.
template <typename L>
L lanePow(L base, float exponent)
{
    return expBounded(L(exponent) * logPositive(base));
}

}  // namespace
}  // namespace ChromvaleBeta2
