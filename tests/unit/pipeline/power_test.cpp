#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "lut_cuda.h"

namespace ChromvaleBeta2 {
namespace {

// Units in the last place of a float result, against the power in double.
double ulpsOff(float got, double exact) {
    const double ulp = std::ldexp(1.0, std::max(std::ilogb(exact), -126) - 23);
    return std::fabs(got - exact) / ulp;
}

// The exponents the chain raises to: gamma and push/pull between 0.1 and
// 10, the fallback 100 for a setting of 0, and a negative one.
constexpr float kExponents[] = {0.01f, 0.1f, 0.4545f, 0.8658f, 1.0f, 1.21f, 2.2f, 4.0f, 10.0f, 100.0f, -1.3f};

TEST(Power, StaysCloseToTheExactPowerOverTheUnitRange) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (float y : kExponents) {
        SCOPED_TRACE(y);
        double worstUlps = 0.0, worstError = 0.0;
        for (int i = 0; i < 200000; ++i) {
            // Half the bases uniform, half spread over every binade down to the subnormals.
            const float x = i % 2 == 0 ? unit(rng) : std::ldexp(unit(rng), -static_cast<int>(rng() % 150));
            if (x <= 0.0f) continue;
            const double exact = std::pow(static_cast<double>(x), static_cast<double>(y));
            if (exact > std::numeric_limits<float>::max()) continue;
            const float got = tmPowPositive(x, y);
            if (exact <= 1.0) worstError = std::max(worstError, std::fabs(got - exact));
            // Past 2^-126 the float's own spacing is coarser than its relative size.
            if (exact >= 1.2e-38 && std::fabs(y) <= 10.0f) worstUlps = std::max(worstUlps, ulpsOff(got, exact));
        }
        EXPECT_LE(worstError, 8e-8);
        EXPECT_LE(worstUlps, 1.5);
    }
}

TEST(Power, KeepsOneAndTheEdgesOfTheFloats) {
    for (float y : kExponents) {
        SCOPED_TRACE(y);
        EXPECT_EQ(tmPowPositive(1.0f, y), 1.0f);
        // The smallest subnormal and the largest float below 1 as bases.
        const float tiny = std::numeric_limits<float>::denorm_min();
        const double exact = std::pow(static_cast<double>(tiny), static_cast<double>(y));
        if (exact >= 1.2e-38 && exact <= 1.0) {
            EXPECT_LE(ulpsOff(tmPowPositive(tiny, y), exact), 1.5);
        }
        EXPECT_NEAR(tmPowPositive(0.99999994f, y), std::pow(0.99999994, static_cast<double>(y)), 1e-7);
    }
    // Results beyond the floats: zero below, infinite above, subnormal between.
    EXPECT_EQ(tmPowPositive(0.5f, 200.0f), 0.0f);
    EXPECT_EQ(tmPowPositive(0.5f, -200.0f), std::numeric_limits<float>::infinity());
    EXPECT_NEAR(tmPowPositive(0.5f, 140.0f), std::ldexp(1.0f, -140), std::ldexp(1.0f, -149));
    EXPECT_EQ(tmPowPositive(0.5f, 149.0f), std::numeric_limits<float>::denorm_min());
    // An infinite exponent, as the reciprocal of a subnormal gamma gives.
    const float infinite = std::numeric_limits<float>::infinity();
    EXPECT_EQ(tmPowPositive(0.5f, infinite), 0.0f);
    EXPECT_EQ(tmPowPositive(1.5f, infinite), infinite);
    EXPECT_EQ(tmPowPositive(0.5f, -infinite), infinite);
    EXPECT_EQ(tmPowPositive(1.0f, infinite), 1.0f);
}

}  // namespace
}  // namespace ChromvaleBeta2
