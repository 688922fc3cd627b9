// The texture's row loops: each instruction set's build gives the same bits,
// and the render's grain is the one-pixel grain the OpenCL kernel adds.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "film_texture.h"
#include "pipeline/texture/texture_render.h"
#include "pipeline/texture/texture_rows.h"

namespace TonemillTexture {
namespace {

constexpr int kWidth = 203;  // not a multiple of any vector width
constexpr int kHeight = 7;

TextureSettings grainSettings() {
    TextureParams p;
    p.halationBypass = p.bloomBypass = true;
    p.grainAmount = 2.0;
    return makeTextureSettings(p, 3.0, 1.0, -5, 2, 300);
}

std::vector<float> testPixels(int count) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> value(-0.2f, 1.4f);
    std::vector<float> pixels(static_cast<std::size_t>(count) * 4);
    for (auto& v : pixels) v = value(random);
    pixels[5] = std::numeric_limits<float>::quiet_NaN();
    pixels[9] = -0.0f;
    return pixels;
}

PixelView viewOf(std::vector<float>& pixels, const Rect& bounds) {
    return {reinterpret_cast<char*>(pixels.data()), std::ptrdiff_t{bounds.x2 - bounds.x1} * 4 * 4, bounds};
}

TEST(TextureRows, RenderedGrainIsTheOnePixelGrainBitForBit) {
    const TextureSettings s = grainSettings();
    const Rect frame{-5, 2, -5 + kWidth, 2 + kHeight};
    std::vector<float> source = testPixels(kWidth * kHeight), output(source.size());
    TextureWorkspace workspace;
    renderTexture(s, viewOf(source, frame), viewOf(output, frame), frame, workspace, 1, runInOrder);
    for (int y = frame.y1; y < frame.y2; ++y)
        for (int x = frame.x1; x < frame.x2; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y - frame.y1) * kWidth + (x - frame.x1)) * 4;
            float rgb[3] = {source[at], source[at + 1], source[at + 2]};
            txAddGrain(&s, x, y, rgb);
            EXPECT_EQ(std::memcmp(rgb, &output[at], sizeof rgb), 0) << x << ", " << y;
            EXPECT_EQ(std::memcmp(&source[at + 3], &output[at + 3], sizeof(float)), 0) << x << ", " << y;
        }
}

TEST(TextureRows, WiderInstructionSetsGiveTheBaselineBits) {
    const TextureRowKernels* wide = textureRowKernelsFor("avx2");
    if (wide == nullptr) GTEST_SKIP() << "this processor has no AVX2";
    const TextureRowKernels& base = *textureRowKernelsFor("sse2");
    std::mt19937 random(5);
    std::uniform_int_distribution<std::uint32_t> light(0, TX_GLOW_LIMIT);

    std::vector<std::uint32_t> lines(static_cast<std::size_t>(kWidth) * 40), down1(lines.size()), down2(lines.size());
    for (auto& v : lines) v = light(random);
    std::vector<std::uint32_t> sums(kWidth);
    base.boxDown(lines.data(), down1.data(), 40, kWidth, kWidth, 6, sums.data());
    wide->boxDown(lines.data(), down2.data(), 40, kWidth, kWidth, 6, sums.data());
    EXPECT_EQ(down1, down2);

    const std::vector<float> luma = testPixels(kLightRows * kWidth / 4);
    const float* lumaRows[kLightRows];
    for (int r = 0; r < kLightRows; ++r) lumaRows[r] = luma.data() + static_cast<std::size_t>(r) * kWidth / 2;
    // Each pixel's light (cells of one pixel, NaN among them), then eight
    // rows of it interleaved.
    const std::size_t half = kWidth / 2;
    std::vector<std::uint32_t> pixelLight(half), cells1(kLightRows * half), cells2(cells1.size());
    for (int r = 0; r < kLightRows; ++r) {
        base.gatherCells(&lumaRows[r], 0, 0.3f, pixelLight.data(), &cells1[r * half], 1, half);
        wide->gatherCells(&lumaRows[r], 0, 0.3f, pixelLight.data(), &cells2[r * half], 1, half);
    }
    EXPECT_EQ(cells1, cells2);
    EXPECT_EQ(cells1[half + 1], txGlowLight(lumaRows[1][1], 0.3f));
    const std::uint32_t* cellRows[kLightRows];
    for (int r = 0; r < kLightRows; ++r) cellRows[r] = &cells1[r * half];
    std::vector<std::uint32_t> light1(kLightRows * half), light2(light1.size());
    base.interleaveCells(cellRows, light1.data(), half);
    wide->interleaveCells(cellRows, light2.data(), half);
    EXPECT_EQ(light1, light2);
    EXPECT_EQ(light1[kLightRows + 1], cells1[half + 1]);

    std::vector<float> nodes1(kWidth), nodes2(kWidth);
    base.hashNodes(0x1234u, -7, nodes1.data(), nodes1.size());
    wide->hashNodes(0x1234u, -7, nodes2.data(), nodes2.size());
    EXPECT_EQ(std::memcmp(nodes1.data(), nodes2.data(), nodes1.size() * sizeof(float)), 0);

    TextureSettings s = grainSettings();
    s.halationGain[0] = 0.7f;
    s.halationGain[1] = 0.2f;
    s.bloomGain = 0.3f;
    std::vector<int> node(kWidth);
    std::vector<float> t(kWidth), norm(kWidth);
    for (int x = 0; x < kWidth; ++x) {
        const TxLatticeAxis a = txLatticeAxis(0.0f, 0.7f, x);
        node[x] = a.node;
        t[x] = a.t;
        norm[x] = a.norm;
    }
    std::vector<float> blended(kWidth);
    GrainRow grain{node.data(), t.data(), norm.data(), txLatticeAxis(0.0f, 0.7f, 3),
                   {},          {},       kWidth - 1,  blended.data()};
    for (int c = 0; c < 3; ++c) {
        grain.below[c] = nodes1.data();
        grain.above[c] = nodes1.data() + 1;
    }
    const std::vector<float> in = testPixels(kWidth);
    std::vector<float> out1(in.size()), out2(in.size()), noise(3 * kWidth);
    for (const bool glows : {false, true})
        for (const bool withGrain : {false, true}) {
            ComposeRow row{in.data(), out1.data(), kWidth, nullptr, nullptr, nullptr, noise.data()};
            if (glows) {
                row.halation = lines.data();
                row.bloom = lines.data() + kWidth;
            }
            if (withGrain) row.grain = &grain;
            base.compose(s, row);
            row.out = out2.data();
            wide->compose(s, row);
            EXPECT_EQ(std::memcmp(out1.data(), out2.data(), out1.size() * sizeof(float)), 0) << glows << withGrain;
        }
}

}  // namespace
}  // namespace TonemillTexture
