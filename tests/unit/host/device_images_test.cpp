#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "host/bundle.h"
#include "host/cuda_images.h"
#include "host/host.h"
#include "host/instance.h"
#include "host/opencl_images.h"
#include "ofxGPURender.h"

using namespace tonemill::host;

namespace {

// Device memory that is plain host memory, so the CPU probe plug-in can render
// into it while the host goes through every step of a device render.
class HeapDevice : public DeviceImages {
 public:
    std::map<void*, std::vector<std::byte>> live;
    int uploads = 0, downloads = 0;
    int queueObject = 0;

    const char* enabledProperty() const override { return kOfxImageEffectPropOpenCLEnabled; }
    const char* queueProperty() const override { return kOfxImageEffectPropOpenCLCommandQueue; }
    void* queue() override { return &queueObject; }
    DeviceBuffer upload(const HostImage& image) override {
        ++uploads;
        auto rows = image.packedBottomUp();
        void* handle = rows.data();
        live.emplace(handle, std::move(rows));
        return {handle, std::abs(image.rowBytes())};
    }
    void download(const DeviceBuffer& buffer, HostImage& image) override {
        ++downloads;
        image.unpackBottomUp(live.at(buffer.handle).data());
    }
    void release(const DeviceBuffer& buffer) noexcept override { live.erase(buffer.handle); }
};

TEST(DeviceRender, ImagesTravelAsDeviceBuffersAndTheOutputComesBack) {
    Host host;
    Plugin& plugin = host.openBundle(TONEMILL_PROBE_BUNDLE).plugin(0);
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    auto instance = plugin.createInstance(kOfxImageEffectContextFilter);
    ASSERT_TRUE(instance);
    instance->setValue("gain", 3.0);
    auto source = HostImage::rgbaFloat({0, 0, 5, 7}, RowOrder::TopDown);
    source->fill([](int x, int y) { return RgbaPixel{float(x), float(y), 0.0f, 1.0f}; });
    instance->setImage(kOfxImageEffectSimpleSourceClipName, source);

    HeapDevice device;
    RenderRequest request;
    request.device = &device;
    request.outputRowOrder = RowOrder::TopDown;
    int openClFlag = -1, cudaFlag = -1;
    void* queue = nullptr;
    request.editInArgs = [&](PropertySet& in) {
        openClFlag = in.getInt(kOfxImageEffectPropOpenCLEnabled);
        cudaFlag = in.getInt(kOfxImageEffectPropCudaEnabled);
        queue = in.getPointer(kOfxImageEffectPropOpenCLCommandQueue);
    };
    RenderResult result = instance->render(request);
    ASSERT_EQ(result.status, kOfxStatOK);
    EXPECT_EQ(openClFlag, 1);
    EXPECT_EQ(cudaFlag, 0);
    EXPECT_EQ(queue, &device.queueObject);
    EXPECT_EQ(device.uploads, 2);
    EXPECT_EQ(device.downloads, 1);  // only the output is copied back
    EXPECT_TRUE(device.live.empty());
    EXPECT_EQ(result.output->pixel(4, 6), (RgbaPixel{12.0f, 18.0f, 0.0f, 1.0f}));

    // A CPU render afterwards gets CPU pointers and no flags again.
    request.device = nullptr;
    ASSERT_EQ(instance->render(request).status, kOfxStatOK);
    EXPECT_EQ(openClFlag, 0);
    EXPECT_EQ(queue, nullptr);
}

// Copies a padded top-down image to the device and back.
void expectRoundTrip(DeviceImages& device) {
    ImageFormat padded;
    padded.rowOrder = RowOrder::TopDown;
    padded.rowPaddingBytes = 16;
    HostImage image({2, 3, 9, 8}, padded);
    image.fill([](int x, int y) { return RgbaPixel{float(x), float(y), 0.5f, 1.0f}; });
    DeviceBuffer buffer = device.upload(image);
    EXPECT_NE(buffer.handle, nullptr);
    EXPECT_EQ(buffer.rowBytes, -image.rowBytes());
    HostImage copy({2, 3, 9, 8}, padded);
    device.download(buffer, copy);
    device.release(buffer);
    EXPECT_EQ(std::memcmp(copy.storage(), image.storage(), image.byteSize()), 0);
}

template <class Device>
std::unique_ptr<Device> openOrNull(std::string& why) {
    try {
        return Device::open();
    } catch (const std::runtime_error& error) {
        why = error.what();
        return nullptr;
    }
}

TEST(OpenClImages, BuffersRoundTripAndQueuesAreDistinct) {
    std::string why;
    auto device = openOrNull<OpenClImages>(why);
    if (!device) GTEST_SKIP() << why;
    expectRoundTrip(*device);
    auto second = device->withNewQueue();
    EXPECT_NE(second->queue(), device->queue());
    EXPECT_FALSE(device->deviceName().empty());
}

TEST(CudaImages, DevicePointersRoundTripOrTheMissingDriverIsNamed) {
    std::string why;
    auto device = openOrNull<CudaImages>(why);
    if (!device) {
        EXPECT_NE(why.find("CUDA images"), std::string::npos) << why;
        GTEST_SKIP() << why;
    }
    expectRoundTrip(*device);
    EXPECT_EQ(device->queue(), nullptr);
}

}  // namespace
