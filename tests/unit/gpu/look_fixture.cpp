#include "tests/unit/gpu/look_fixture.h"

#include <cmath>
#include <random>

#include "pipeline/cpu_chain.h"

namespace ChromvaleBeta2::testing {
namespace {

// A smooth, clearly non-identity colour map with a little noise, different per seed.
std::vector<float> table3D(unsigned points, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> noise(-0.02f, 0.02f);
    std::vector<float> data;
    data.reserve(std::size_t{points} * points * points * 3);
    const float step = 1.0f / static_cast<float>(points - 1);
    for (unsigned b = 0; b < points; ++b) {
        for (unsigned g = 0; g < points; ++g) {
            for (unsigned r = 0; r < points; ++r) {
                const float x = r * step, y = g * step, z = b * step;
                data.push_back(0.85f * x + 0.1f * y * z + 0.04f * std::sin(seed + 3.0f * x) + noise(random));
                data.push_back(0.9f * y + 0.08f * x * x + 0.03f * std::cos(seed + 2.0f * z) + noise(random));
                data.push_back(0.8f * z + 0.15f * std::sqrt(x * y) + noise(random));
            }
        }
    }
    return data;
}

std::vector<float> table1D(unsigned entries) {
    std::vector<float> data;
    for (unsigned i = 0; i < entries; ++i) {
        const float x = static_cast<float>(i) / static_cast<float>(entries - 1);
        data.push_back(x * x * (3.0f - 2.0f * x));
        data.push_back(std::pow(x, 0.8f));
        data.push_back(std::pow(x, 1.25f));
    }
    return data;
}

std::vector<unsigned char> picture(unsigned seed, bool sparseAlpha) {
    std::vector<unsigned char> bytes(1920u * 1080u * 4u);
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        const std::size_t pixel = i / 4, x = pixel % 1920, y = pixel / 1920;
        bytes[i] = static_cast<unsigned char>(x * 7 + seed);
        bytes[i + 1] = static_cast<unsigned char>(y * 13 + x);
        bytes[i + 2] = static_cast<unsigned char>(x * y + seed * 31);
        bytes[i + 3] = sparseAlpha ? static_cast<unsigned char>((x + y) % 3 == 0 ? 200 : 0) : 255;
    }
    return bytes;
}

}  // namespace

Look::Look(bool withStages, TestView view) {
    ChainSettings& s = settings;
    for (int c = 0; c < 3; ++c) {
        s.gamma[c] = s.gain[c] = s.temperatureGain[c] = s.pushPull[c] = s.cmy[c] = 1.0f;
    }
    s.globalBlend = 1.0f;
    if (withStages) {
        const float lift[] = {0.02f, 0.01f, -0.015f}, gamma[] = {1.1f, 0.9f, 1.0f},
                    gain[] = {1.05f, 0.97f, 1.0f}, temperature[] = {1.02f, 1.0f, 0.97f},
                    printer[] = {0.01f, -0.02f, 0.0f}, pushPull[] = {0.9f, 0.9f, 0.9f},
                    cmy[] = {0.95f, 1.05f, 1.0f}, gamutMix[] = {0.7f, 0.8f, 0.9f};
        for (int c = 0; c < 3; ++c) {
            s.lift[c] = lift[c];
            s.gamma[c] = gamma[c];
            s.gain[c] = gain[c];
            s.temperatureGain[c] = temperature[c];
            s.printerLight[c] = printer[c];
            s.pushPull[c] = pushPull[c];
            s.cmy[c] = cmy[c];
            s.gamutMix[c] = gamutMix[c];
        }
        s.saturation = 0.3f;
        s.contrastMix = 0.6f;
        s.paletteMix = 0.75f;
        s.printMix = 0.5f;
        s.postProcessMix = 0.4f;
        s.globalBlend = 0.8f;

        // Odd and small lattices as well as the usual 17 and 33 points.
        const unsigned points[] = {17, 9, 33, 5, 2, 17, 7};
        const float** slots[] = {&s.idtLut, &s.paletteLut, &s.printLut, &s.odtLut,
                                 &s.gamutLut[0], &s.gamutLut[1], &s.postProcessLut};
        unsigned* sizes[] = {&s.idtLutSize, &s.paletteLutSize, &s.printLutSize, &s.odtLutSize,
                             &s.gamutLutSize[0], &s.gamutLutSize[1], &s.postProcessLutSize};
        for (int t = 0; t < 7; ++t) {
            tables[t] = table3D(points[t], 11u + t);
            *slots[t] = tables[t].data();
            *sizes[t] = points[t];
        }
        tables[7] = table3D(9, 99);
        s.gamutLut[2] = tables[7].data();
        s.gamutLutSize[2] = 9;
        tables[8] = table1D(64);
        s.contrastLut = tables[8].data();
        s.contrastLutSize = 64;
    }
    if (view == TestView::kTestImage) {
        testImage = picture(3, false);
        s.testImage = testImage.data();
        s.testImageSize = static_cast<unsigned>(testImage.size());
    } else if (view == TestView::kZoneLut) {
        tables[9] = table3D(33, 5);
        s.zoneLut = tables[9].data();
        s.zoneLutSize = 33;
    } else if (view == TestView::kZoneOverlay) {
        zoneOverlay = picture(8, true);
        s.zoneOverlay = zoneOverlay.data();
        s.zoneOverlaySize = static_cast<unsigned>(zoneOverlay.size());
    }
}

std::vector<float> sourcePixels(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> colour(-0.05f, 1.05f);
    std::uniform_real_distribution<float> alpha(0.0f, 1.0f);
    std::vector<float> pixels(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = colour(random);
        pixels[i + 1] = colour(random);
        pixels[i + 2] = colour(random);
        pixels[i + 3] = alpha(random);
    }
    return pixels;
}

std::vector<float> cpuRender(const PipelineSettings& settings, const std::vector<float>& source,
                             int width, int height) {
    std::vector<float> output(source.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t i = 4 * (static_cast<std::size_t>(y) * width + x);
            const float4 in = make_float4(source[i], source[i + 1], source[i + 2], source[i + 3]);
            const float4 out = processColourAt(settings, in, x, y);
            output[i] = out.x;
            output[i + 1] = out.y;
            output[i + 2] = out.z;
            output[i + 3] = out.w;
        }
    }
    return output;
}

::testing::AssertionResult sameImage(const std::vector<float>& device, const std::vector<float>& cpu) {
    if (device.size() != cpu.size()) return ::testing::AssertionFailure() << "sizes differ";
    int mismatches = 0;
    auto result = ::testing::AssertionFailure();
    for (std::size_t i = 0; i < cpu.size() && mismatches < 5; ++i) {
        if (!(std::fabs(device[i] - cpu[i]) <= 1e-5f)) {
            ++mismatches;
            result << "pixel " << i / 4 << " channel " << i % 4 << ": device " << device[i] << ", CPU "
                   << cpu[i] << "\n";
        }
    }
    return mismatches == 0 ? ::testing::AssertionSuccess() : result;
}

}  // namespace ChromvaleBeta2::testing
