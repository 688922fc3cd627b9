#pragma once

// The built texture bundle loaded through the host library, with helpers for
// pictures and for comparing and measuring renders.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/bundle.h"
#include "host/host.h"
#include "host/instance.h"

namespace texture_integration {

using namespace tonemill::host;

// Every part off: tests switch on the one they look at.
inline const std::vector<std::pair<std::string, ParamValue>> kAllBypassed = {
    {"grainToggle", true}, {"halationToggle", true}, {"bloomToggle", true}};

class TextureTest : public ::testing::Test {
 protected:
    Plugin& plugin() {
        if (!loaded) {
            host = std::make_unique<Host>();
            loaded = &host->openBundle(TONEMILL_TEXTURE_BUNDLE).plugin(0);
            EXPECT_EQ(loaded->load(), kOfxStatOK);
            EXPECT_EQ(loaded->describe(), kOfxStatOK);
        }
        return *loaded;
    }

    std::unique_ptr<Instance> create(const std::vector<std::pair<std::string, ParamValue>>& values = {},
                                     const std::string& context = kOfxImageEffectContextFilter) {
        OfxStatus status = kOfxStatFailed;
        auto instance = plugin().createInstance(context, &status);
        EXPECT_EQ(status, kOfxStatOK);
        for (const auto& [name, value] : values) instance->setValue(name, value);
        return instance;
    }

    // A grey ramp across with a bright disc, so every part has work to do.
    static std::shared_ptr<HostImage> scene(int width, int height) {
        auto image = HostImage::rgbaFloat({0, 0, width, height});
        image->fill([&](int x, int y) {
            const float dx = float(x - width / 3), dy = float(y - height / 2);
            const float v = (dx * dx + dy * dy < float(height * height) / 64.0f) ? 3.0f : 0.1f + 0.8f * x / width;
            return RgbaPixel{v, 0.9f * v, 0.8f * v, 1.0f};
        });
        return image;
    }

    static std::shared_ptr<HostImage> flat(int width, int height, float v) {
        auto image = HostImage::rgbaFloat({0, 0, width, height});
        image->fill([&](int, int) { return RgbaPixel{v, v, v, 1.0f}; });
        return image;
    }

    // Renders `window` (empty: all) at `time` into an output of the source's bounds.
    static std::shared_ptr<HostImage> render(Instance& instance, OfxRectI window = {0, 0, 0, 0}, double time = 0.0,
                                             OfxPointD scale = {1.0, 1.0}) {
        RenderRequest request;
        request.window = window;
        request.time = time;
        request.renderScale = scale;
        RenderResult result = instance.render(request);
        EXPECT_EQ(result.status, kOfxStatOK);
        return result.output;
    }

    // Bitwise comparison over `area`; the first difference is reported.
    static void expectSamePixels(const HostImage& a, const HostImage& b, OfxRectI area) {
        for (int y = area.y1; y < area.y2; ++y)
            for (int x = area.x1; x < area.x2; ++x)
                if (a.pixel(x, y) != b.pixel(x, y)) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") differs: " << a.pixel(x, y)[0] << " vs "
                                  << b.pixel(x, y)[0];
                    return;
                }
    }

    std::unique_ptr<Host> host;
    Plugin* loaded = nullptr;
};

// Deviation of output minus input in channel `c` over the image.
inline double deviation(const HostImage& out, const HostImage& in, int c) {
    double sum = 0, squares = 0;
    const OfxRectI b = out.bounds();
    const double n = double(b.x2 - b.x1) * (b.y2 - b.y1);
    for (int y = b.y1; y < b.y2; ++y)
        for (int x = b.x1; x < b.x2; ++x) {
            const double d = out.pixel(x, y)[c] - in.pixel(x, y)[c];
            sum += d;
            squares += d * d;
        }
    return std::sqrt(squares / n - (sum / n) * (sum / n));
}

}  // namespace texture_integration
