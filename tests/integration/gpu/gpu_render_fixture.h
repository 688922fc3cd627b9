#pragma once

// Renders one instance of the plug-in on the CPU and through a GPU back-end of
// the host library, as a host would, and compares the two pictures.

#include <memory>
#include <string>
#include <vector>

#include "host/device_images.h"
#include "plugin_fixture.h"

namespace plugin_integration {

// What replaces or marks the picture: none, or one of the test toggles.
inline const std::vector<std::string>& testViews() {
    static const std::vector<std::string> views = {
        "", "testRampToggle", "testSatToggle", "testToneToggle", "testKorvoLUTToggle", "testKorvoOverlayToggle"};
    return views;
}

class GpuRenderTest : public PluginTest {
 protected:
    // The look tables, the two OpenCL kernel entries unless `withKernelSources`
    // is false, and the four test pictures if asked for (they are slow to write).
    void writeResources(bool withKernelSources, bool withTestPictures);

    // Every LUT stage and parametric correction on, and at most one test view.
    void setEveryStage(Instance& instance, const std::string& testView = "");

    // A picture with colours a little outside [0, 1] and varying alpha.
    static std::shared_ptr<HostImage> sourceImage(int width, int height);

    // Renders the whole source; on the CPU when `device` is null.
    static RenderResult renderAll(Instance& instance, DeviceImages* device);

    // Within 1e-5 per channel; names the first pixels that are not.
    static ::testing::AssertionResult sameImage(const HostImage& device, const HostImage& cpu);

    // Renders `width` x `height` on the CPU and on `device`, and compares.
    ::testing::AssertionResult deviceMatchesCpu(Instance& instance, DeviceImages& device, int width, int height);
};

}  // namespace plugin_integration
