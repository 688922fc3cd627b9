// Wide glows on coarse cells: which cells a window needs and which pixels
// they read, the interpolation back to pixels, and renders that still give
// the same bits whatever the window or slices.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "film_texture.h"
#include "pipeline/texture/glow_cells.h"
#include "pipeline/texture/texture_render.h"
#include "pipeline/texture/texture_rows.h"

namespace TonemillTexture {
namespace {

TEST(GlowCells, EveryPixelFindsItsCellsAndReadsStayWithinTheReach) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> corner(-45, 45), extent(1, 40);
    for (int shift = 0; shift <= 3; ++shift)
        for (int box : {1, 4, 9}) {
            const int size = 1 << shift;
            const int reach = glowReach({box, shift});
            for (int trial = 0; trial < 60; ++trial) {
                const int x1 = corner(random), y1 = corner(random);
                const Rect window{x1, y1, x1 + extent(random), y1 + extent(random)};
                SCOPED_TRACE(testing::Message() << "shift " << shift << " box " << box << " window " << window.x1 << ","
                                                << window.y1 << "," << window.x2 << "," << window.y2);
                const Rect cells = glowCells(window, shift);
                const Rect reads = cellPixels(lightCells(cells, box), shift);
                EXPECT_GE(reads.x1, window.x1 - reach);
                EXPECT_GE(reads.y1, window.y1 - reach);
                EXPECT_LE(reads.x2, window.x2 + reach);
                EXPECT_LE(reads.y2, window.y2 + reach);
                for (int x = window.x1; x < window.x2; ++x) {
                    const TxGlowCell c = txGlowCell(x, shift);
                    // The pixel's centre lies between the centres of its
                    // cell and the next, at the weight's place.
                    ASSERT_EQ(2 * size * c.cell + size + static_cast<int>(c.weight), 2 * x + 1) << x;
                    ASSERT_LT(c.weight, 2u * size) << x;
                    EXPECT_GE(c.cell, cells.x1) << x;
                    EXPECT_LT(c.weight == 0 ? c.cell : c.cell + 1, cells.x2) << x;
                }
            }
        }
}

TEST(GlowCells, RowInterpolationIsTheOnePixelGlowAndKeepsFlatLight) {
    std::mt19937 random(8);
    std::uniform_int_distribution<std::uint32_t> light(0, TX_GLOW_LIMIT);
    constexpr int kCells = 23;
    std::vector<std::uint32_t> grid(2 * kCells), flat(2 * kCells, TX_GLOW_LIMIT);
    for (auto& v : grid) v = light(random);
    for (const char* path : {"sse2", "avx2"}) {
        const TextureRowKernels* kernels = textureRowKernelsFor(path);
        if (kernels == nullptr) continue;
        for (int shift = 1; shift <= 3; ++shift)
            for (const int y : {-9, 4})
                for (const int offset : {0, 1, (1 << shift) - 1}) {
                    SCOPED_TRACE(testing::Message() << path << " shift " << shift << " y " << y << " +" << offset);
                    // Pixels from cell -3 on, starting at its first pixel or later.
                    const int x1 = -3 * (1 << shift) + (1 << shift) / 2 + offset;
                    const int count = (kCells - 1) * (1 << shift) - offset;
                    const TxGlowCell cy = txGlowCell(y, shift);
                    std::vector<std::uint32_t> blended(kCells), out(static_cast<std::size_t>(kCells - 1) << shift);
                    const std::uint32_t* row =
                        kernels->interpolateCells(grid.data(), grid.data() + kCells, cy.weight, shift, -3, x1, kCells,
                                                  blended.data(), out.data());
                    for (int j = 0; j < count; ++j)
                        ASSERT_EQ(row[j], txGlowAt(grid.data(), kCells, -3, cy.cell, 0, shift, x1 + j, y)) << j;
                    row = kernels->interpolateCells(flat.data(), flat.data() + kCells, cy.weight, shift, -3, x1, kCells,
                                                    blended.data(), out.data());
                    EXPECT_EQ(std::count(row, row + count, TX_GLOW_LIMIT), count);
                }
    }
}

TEST(GlowCells, CellLightIsTheMeanOfItsPixelsLight) {
    constexpr int kShift = 2, kSize = 1 << kShift, kCount = 11;
    std::mt19937 random(4);
    std::uniform_real_distribution<float> luma(0.0f, 3.0f);
    std::vector<float> pixels(static_cast<std::size_t>(kSize) * kCount * kSize);
    for (auto& v : pixels) v = luma(random);
    const float* rows[kSize];
    for (int r = 0; r < kSize; ++r) rows[r] = &pixels[static_cast<std::size_t>(r) * kCount * kSize];
    std::vector<std::uint32_t> scratch(kCount * kSize), base(2 * kCount), wide(2 * kCount);
    textureRowKernelsFor("sse2")->gatherCells(rows, kShift, 0.8f, scratch.data(), base.data(), 2, kCount);
    for (int i = 0; i < kCount; ++i) {
        std::uint32_t sum = 0;
        for (int r = 0; r < kSize; ++r)
            for (int k = 0; k < kSize; ++k) sum += txGlowLight(rows[r][i * kSize + k], 0.8f);
        EXPECT_EQ(base[2 * i], sum / (kSize * kSize)) << i;
    }
    if (const TextureRowKernels* avx2 = textureRowKernelsFor("avx2")) {
        avx2->gatherCells(rows, kShift, 0.8f, scratch.data(), wide.data(), 2, kCount);
        EXPECT_EQ(base, wide);
    }
}

// A frame off the origin with a few bright spots among mid-tones.
class WideGlowRender : public ::testing::Test {
 protected:
    static constexpr Rect kFrame{-37, -21, 163, 99};

    void SetUp() override {
        const int width = kFrame.x2 - kFrame.x1, height = kFrame.y2 - kFrame.y1;
        source.assign(static_cast<std::size_t>(width) * height * 4, 0.3f);
        for (const auto& [x, y] : {std::pair{-30, -15}, {60, 40}, {150, 95}, {0, 0}})
            for (int c = 0; c < 3; ++c) at(source, x, y)[c] = 9.0f;
        output.assign(source.size(), -1.0f);
    }

    float* at(std::vector<float>& pixels, int x, int y) {
        const int width = kFrame.x2 - kFrame.x1;
        return &pixels[(static_cast<std::size_t>(y - kFrame.y1) * width + (x - kFrame.x1)) * 4];
    }
    PixelView view(std::vector<float>& pixels) {
        return {reinterpret_cast<char*>(pixels.data()), std::ptrdiff_t{kFrame.x2 - kFrame.x1} * 16, kFrame};
    }

    static TextureSettings settings(double halationRadius, double bloomRadius) {
        TextureParams p;
        p.grainBypass = true;
        p.halationRadius = halationRadius;
        p.bloomRadius = bloomRadius;
        return makeTextureSettings(p, 0.0, 1.0, kFrame.x1, kFrame.y1, kFrame.y2 - kFrame.y1);
    }

    std::vector<float> source, output;
};

TEST_F(WideGlowRender, WindowsAndSlicesGiveTheWholeFramesBits) {
    for (const auto& [halation, bloom] : {std::pair{27.0, 99.0}, {51.0, 200.0}}) {
        const TextureSettings s = settings(halation, bloom);
        ASSERT_GT(s.halationShift, 0);
        ASSERT_GT(s.bloomShift, s.halationShift);
        TextureWorkspace workspace;
        renderTexture(s, view(source), view(output), kFrame, workspace, 1, runInOrder);
        const std::vector<float> whole = output;
        // Windows on odd and even pixels and the frame's edges, each in a
        // number of slices, through the workspace the last one left.
        const Rect windows[] = {{-37, -21, 2, 30}, {3, 17, 118, 18}, {117, -20, 163, 99}, {-1, 50, 0, 97}};
        unsigned slices = 1;
        for (const Rect& window : windows) {
            SCOPED_TRACE(testing::Message() << halation << " " << window.x1 << "," << window.y1);
            std::fill(output.begin(), output.end(), -1.0f);
            renderTexture(s, view(source), view(output), window, workspace, slices += 2, runInOrder);
            for (int y = window.y1; y < window.y2; ++y)
                for (int x = window.x1; x < window.x2; ++x)
                    ASSERT_EQ(std::memcmp(at(output, x, y), &whole[at(output, x, y) - output.data()], 16), 0)
                        << x << ", " << y;
        }
    }
}

TEST_F(WideGlowRender, LightSpreadsNoFartherThanTheReach) {
    const TextureSettings s = settings(60.0, 0.0);  // halation on cells of 2, no bloom
    ASSERT_EQ(s.halationShift, 1);
    ASSERT_EQ(s.bloomBox, 0);
    std::fill(source.begin(), source.end(), 0.3f);
    for (int c = 0; c < 3; ++c) at(source, 60, 40)[c] = 50.0f;
    TextureWorkspace workspace;
    renderTexture(s, view(source), view(output), kFrame, workspace, 1, runInOrder);
    const int reach = glowReach({s.halationBox, s.halationShift});
    // Nothing beyond the reach changes; light arrives within most of it.
    for (int y = kFrame.y1; y < kFrame.y2; ++y)
        for (int x = kFrame.x1; x < kFrame.x2; ++x) {
            const int distance = std::max(std::abs(x - 60), std::abs(y - 40));
            const bool lit = at(output, x, y)[0] != at(source, x, y)[0];
            ASSERT_FALSE(distance > reach && lit) << x << ", " << y;
            ASSERT_TRUE(std::abs(x - 60) + std::abs(y - 40) > 3 * reach / 4 || lit) << x << ", " << y;
        }
}

}  // namespace
}  // namespace TonemillTexture
