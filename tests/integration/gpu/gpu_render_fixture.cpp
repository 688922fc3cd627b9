#include "gpu_render_fixture.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "look_tables.h"

namespace plugin_integration {
namespace {

std::string kernelText(const char* file) {
    std::ifstream in(std::string(TONEMILL_SOURCE_DIR) + "/kernels/" + file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A 1920 x 1080 picture, opaque or, for the zone guide, mostly transparent.
std::vector<unsigned char> testPicture(unsigned seed, bool sparseAlpha) {
    std::vector<unsigned char> rgba(1920u * 1080u * 4u);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        const std::size_t x = (i / 4) % 1920, y = (i / 4) / 1920;
        rgba[i] = static_cast<unsigned char>(x * 3 + seed);
        rgba[i + 1] = static_cast<unsigned char>(y * 5 + x);
        rgba[i + 2] = static_cast<unsigned char>(x ^ (y + seed));
        rgba[i + 3] = sparseAlpha ? static_cast<unsigned char>((x + y) % 4 == 0 ? 255 : 0) : 255;
    }
    return rgba;
}

}  // namespace

void GpuRenderTest::writeResources(bool withKernelSources, bool withTestPictures) {
    auto entries = lookTables();
    if (withKernelSources) {
        entries["OCL/lut_cuda.h"] = kernelText("lut_cuda.h");
        entries["OCL/chromvale_cuda.cu"] = kernelText("chromvale_cuda.cu");
    }
    bundle.writeArchive(entries);
    if (!withTestPictures) return;
    const char* pictures[] = {"LightnesRamp.png", "SaturationRamp.png", "tonemap.png", "korvozones.png"};
    for (unsigned p = 0; p < 4; ++p) bundle.writePng(pictures[p], 1920, 1080, testPicture(p * 40, p == 3));
}

void GpuRenderTest::setEveryStage(Instance& instance, const std::string& testView) {
    const std::vector<std::pair<std::string, ParamValue>> values = {{"gamutRAdjust", true},
                                                                    {"gamutGAdjust", true},
                                                                    {"gamutBAdjust", true},
                                                                    {"gamutRAdjustValue", 60.0},
                                                                    {"gamutGAdjustValue", 30.0},
                                                                    {"gamutBAdjustValue", 80.0},
                                                                    {"idtProfile", 2},
                                                                    {"PrinterLight", 0.03},
                                                                    {"lift", 0.02},
                                                                    {"liftB", 0.04},
                                                                    {"gamma", 1.15},
                                                                    {"gammaG", 0.9},
                                                                    {"gain", 1.05},
                                                                    {"gainR", 0.9},
                                                                    {"CMYAmount", 1.05},
                                                                    {"M", 0.9},
                                                                    {"PushPullLight", 1.1},
                                                                    {"temperature", -300.0},
                                                                    {"saturation", 0.25},
                                                                    {"contrastOptions", 2},
                                                                    {"contrastIntensity", 0.6},
                                                                    {"colorPaletteAOptions", 3},
                                                                    {"colorPaletteMajorSelections", 4},
                                                                    {"colorPaletteAIntensity", 0.7},
                                                                    {"colorPaletteBOptions", 2},
                                                                    {"colorPaletteBIntensity", 0.5},
                                                                    {"postProcessAdjust", true},
                                                                    {"postProcessOptions", 1},
                                                                    {"postProcessValue", 0.45},
                                                                    {"outputProfileOptions", 20},
                                                                    {"globalBlendEnabled", true},
                                                                    {"globalBlend", 0.85}};
    for (const auto& [name, value] : values) instance.setValue(name, value);
    if (!testView.empty()) instance.setValue(testView, true);
}

std::shared_ptr<HostImage> GpuRenderTest::sourceImage(int width, int height) {
    auto image = HostImage::rgbaFloat({0, 0, width, height});
    image->fill([](int x, int y) {
        return RgbaPixel{-0.05f + 0.011f * float(x % 100), 0.07f * float(y % 16),
                         0.5f + 0.4f * std::sin(0.1f * float(x + y)), 0.2f + 0.003f * float(x % 256)};
    });
    return image;
}

RenderResult GpuRenderTest::renderAll(Instance& instance, DeviceImages* device) {
    const OfxRectI bounds = instance.clip(kOfxImageEffectSimpleSourceClipName).image->bounds();
    RenderRequest request = renderOf(bounds);
    request.device = device;
    return instance.render(request);
}

::testing::AssertionResult GpuRenderTest::sameImage(const HostImage& device, const HostImage& cpu) {
    const OfxRectI b = cpu.bounds();
    int mismatches = 0;
    auto failure = ::testing::AssertionFailure();
    for (int y = b.y1; y < b.y2 && mismatches < 5; ++y) {
        for (int x = b.x1; x < b.x2 && mismatches < 5; ++x) {
            const RgbaPixel d = device.pixel(x, y), c = cpu.pixel(x, y);
            for (int channel = 0; channel < 4; ++channel) {
                if (!(std::fabs(d[channel] - c[channel]) <= 1e-5f)) {
                    ++mismatches;
                    failure << "pixel (" << x << ", " << y << ") channel " << channel << ": device " << d[channel]
                            << ", CPU " << c[channel] << "\n";
                }
            }
        }
    }
    return mismatches == 0 ? ::testing::AssertionSuccess() : failure;
}

::testing::AssertionResult GpuRenderTest::deviceMatchesCpu(Instance& instance, DeviceImages& device, int width,
                                                           int height) {
    instance.setImage(kOfxImageEffectSimpleSourceClipName, sourceImage(width, height));
    const RenderResult cpu = renderAll(instance, nullptr);
    const RenderResult gpu = renderAll(instance, &device);
    if (cpu.status != kOfxStatOK || gpu.status != kOfxStatOK) {
        return ::testing::AssertionFailure() << "render status CPU " << cpu.status << ", device " << gpu.status;
    }
    return sameImage(*gpu.output, *cpu.output);
}

}  // namespace plugin_integration
