#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>

#include "lut_cuda.h"
#include "tests/unit/pipeline/chain_fixtures.h"

namespace ChromvaleBeta2 {
namespace {

using testing::identity1D;
using testing::identity3D;
using testing::random3D;

float4 rgb(float r, float g, float b) {
    return make_float4(r, g, b, 0.0f);
}

// Tetrahedral interpolation by sorting the fractions, in double: walk from
// the lower corner to the upper one, raising the axes in order of their
// fraction. Any order among equal fractions gives the same value.
std::array<double, 3> referenceLookup(const LutTable& t, float4 colour) {
    const uint32_t n = t.m_dims;
    const double in[3] = {colour.x, colour.y, colour.z};
    uint32_t lower[3];
    double f[3];
    for (int a = 0; a < 3; ++a) {
        const double p = (n - 1) * std::clamp(in[a], 0.0, 1.0);
        lower[a] = std::min(static_cast<uint32_t>(p), n - 1);
        f[a] = p - lower[a];
    }
    std::array<int, 3> order = {0, 1, 2};
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return f[a] > f[b]; });

    auto entry = [&](const uint32_t(&at)[3], int c) {
        return double{t.data[3 * ((size_t{at[2]} * n + at[1]) * n + at[0]) + c]};
    };
    std::array<double, 3> result{};
    uint32_t corner[3] = {lower[0], lower[1], lower[2]};
    double previous = 1.0;
    for (int step = 0; step <= 3; ++step) {
        const double fraction = step < 3 ? f[order[step]] : 0.0;
        for (int c = 0; c < 3; ++c) result[c] += (previous - fraction) * entry(corner, c);
        if (step < 3) corner[order[step]] = std::min(corner[order[step]] + 1, n - 1);
        previous = fraction;
    }
    return result;
}

void expectMatchesReference(const LutTable& t, float4 colour) {
    const float4 got = lookup3D(t.data.data(), t.m_dims, colour);
    const std::array<double, 3> want = referenceLookup(t, colour);
    EXPECT_NEAR(got.x, want[0], 2e-6) << colour.x << " " << colour.y << " " << colour.z;
    EXPECT_NEAR(got.y, want[1], 2e-6) << colour.x << " " << colour.y << " " << colour.z;
    EXPECT_NEAR(got.z, want[2], 2e-6) << colour.x << " " << colour.y << " " << colour.z;
    EXPECT_NEAR(got.w, 1.0f, 1e-6);
}

// With N = 5 the lattice step is 1/4, so these fractions are exact in float
// and ties between them are exact ties.
float onGrid(int cell, float fraction) {
    return (static_cast<float>(cell) + fraction) / 4.0f;
}

struct Fractions {
    const char* name;
    float r, g, b;
};

// One strict order per tetrahedron, then every kind of tie.
constexpr Fractions kOrdersAndTies[] = {
    {"g>b>r", 0.25f, 0.75f, 0.5f},  {"b>r>g", 0.5f, 0.25f, 0.75f},  {"b>g>r", 0.25f, 0.5f, 0.75f},
    {"r>g>b", 0.75f, 0.5f, 0.25f},  {"g>r>b", 0.5f, 0.75f, 0.25f},  {"r>b>g", 0.75f, 0.25f, 0.5f},
    {"r=g=b", 0.5f, 0.5f, 0.5f},    {"g=b>r", 0.25f, 0.75f, 0.75f}, {"r=b>g", 0.75f, 0.25f, 0.75f},
    {"r=g>b", 0.75f, 0.75f, 0.25f}, {"r=g<b", 0.25f, 0.25f, 0.75f}, {"g=b<r", 0.75f, 0.25f, 0.25f},
    {"r=b<g", 0.25f, 0.75f, 0.25f}, {"r>g=b=0", 0.5f, 0.0f, 0.0f},
};

TEST(Lookup3D, EveryTetrahedronAndTieAgreesWithTheReference) {
    std::mt19937 rng(7);
    const LutTable identity = identity3D(5);
    const LutTable table = random3D(5, rng);
    for (const Fractions& f : kOrdersAndTies) {
        SCOPED_TRACE(f.name);
        const float4 colour = rgb(onGrid(1, f.r), onGrid(2, f.g), onGrid(3, f.b));
        expectMatchesReference(table, colour);
        const float4 same = lookup3D(identity.data.data(), 5, colour);
        EXPECT_NEAR(same.x, colour.x, 1e-6);
        EXPECT_NEAR(same.y, colour.y, 1e-6);
        EXPECT_NEAR(same.z, colour.z, 1e-6);
    }
}

TEST(Lookup3D, RandomColoursAgreeWithTheReference) {
    std::mt19937 rng(11);
    for (uint32_t n : {2u, 17u, 33u}) {
        const LutTable table = random3D(n, rng, -0.5f, 1.5f);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        for (int i = 0; i < 2000; ++i) expectMatchesReference(table, rgb(unit(rng), unit(rng), unit(rng)));
    }
}

TEST(Lookup3D, CoordinatesOutsideTheUnitRangeAreClamped) {
    std::mt19937 rng(5);
    const LutTable table = random3D(4, rng);
    const float* data = table.data.data();
    auto expectSame = [&](float4 a, float4 b) {
        const float4 x = lookup3D(data, 4, a);
        const float4 y = lookup3D(data, 4, b);
        EXPECT_EQ(x.x, y.x);
        EXPECT_EQ(x.y, y.y);
        EXPECT_EQ(x.z, y.z);
    };
    expectSame(rgb(-3.0f, 0.4f, 7.0f), rgb(0.0f, 0.4f, 1.0f));
    expectSame(rgb(1.0f, 1.0f, 1.0f), rgb(2.0f, 1e30f, std::numeric_limits<float>::infinity()));
    // The top corner is the last entry: nothing past the table is read.
    const float4 top = lookup3D(data, 4, rgb(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(top.x, table.data[table.data.size() - 3]);
    EXPECT_EQ(top.z, table.data.back());
    // A NaN coordinate samples the top of its axis, the same on every target.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    expectSame(rgb(nan, 0.3f, nan), rgb(1.0f, 0.3f, 1.0f));
}

TEST(Lookup3D, SinglePointTableAnswersItsEntry) {
    LutTable table = identity3D(1);
    table.data = {0.2f, 0.4f, 0.6f};
    for (float c : {-1.0f, 0.0f, 0.5f, 1.0f, 3.0f}) {
        const float4 got = lookup3D(table.data.data(), 1, rgb(c, 1.0f - c, c));
        EXPECT_EQ(got.x, 0.2f);
        EXPECT_EQ(got.y, 0.4f);
        EXPECT_EQ(got.z, 0.6f);
        EXPECT_EQ(got.w, 1.0f);
    }
}

TEST(Lookup1D, HitsEntriesExactlyAndInterpolatesBetweenThem) {
    LutTable table = identity1D(3);
    table.data = {0.0f, 1.0f, 0.5f, 0.2f, 0.6f, 0.5f, 1.0f, 0.0f, 0.5f};
    const float* data = table.data.data();

    const float4 middle = lookup1D(data, 3, 0.5f);
    EXPECT_EQ(middle.x, 0.2f);
    EXPECT_EQ(middle.y, 0.6f);
    EXPECT_EQ(middle.w, 1.0f);

    const float4 quarter = lookup1D(data, 3, 0.25f);
    EXPECT_FLOAT_EQ(quarter.x, 0.1f);
    EXPECT_FLOAT_EQ(quarter.y, 0.8f);
    EXPECT_FLOAT_EQ(quarter.z, 0.5f);

    const float4 upper = lookup1D(data, 3, 0.875f);
    EXPECT_FLOAT_EQ(upper.x, 0.8f);
    EXPECT_FLOAT_EQ(upper.y, 0.15f);

    EXPECT_EQ(lookup1D(data, 3, -2.0f).x, 0.0f);
    EXPECT_EQ(lookup1D(data, 3, 1.0f).x, 1.0f);
    EXPECT_EQ(lookup1D(data, 3, 9.0f).y, 0.0f);
    EXPECT_EQ(lookup1D(data, 3, std::numeric_limits<float>::quiet_NaN()).x, 1.0f);
    EXPECT_EQ(lookup1D(data, 1, 0.7f).y, 1.0f);
}

}  // namespace
}  // namespace ChromvaleBeta2
