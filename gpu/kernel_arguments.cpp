#include "gpu/kernel_arguments.h"

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"
#include "pipeline/pipeline_settings.h"

namespace ChromvaleBeta2 {
namespace {

constexpr std::size_t kBytesPerEntry = 3 * sizeof(float);

HostUpload table3D(const float* data, std::uint32_t points) {
    if (data == nullptr || points == 0) return {};
    const std::size_t n = points;
    return {data, n * n * n * kBytesPerEntry, points};
}

HostUpload table1D(const float* data, std::uint32_t entries) {
    if (data == nullptr || entries == 0) return {};
    return {data, std::size_t{entries} * kBytesPerEntry, entries};
}

HostUpload picture(const unsigned char* data, std::uint32_t bytes) {
    if (data == nullptr || bytes < kDeviceImageBytes) return {};
    return {data, bytes, bytes};
}

}  // namespace

HostUploads hostUploads(const PipelineSettings& s) {
    HostUploads uploads;
    uploads[kIdtUpload] = table3D(s.idtLut, s.idtLutSize);
    uploads[kContrastUpload] = table1D(s.contrastLut, s.contrastLutSize);
    uploads[kPaletteUpload] = table3D(s.paletteLut, s.paletteLutSize);
    uploads[kPrintUpload] = table3D(s.printLut, s.printLutSize);
    uploads[kOdtUpload] = table3D(s.odtLut, s.odtLutSize);
    uploads[kGamutRedUpload] = table3D(s.gamutLut[0], s.gamutLutSize[0]);
    uploads[kGamutGreenUpload] = table3D(s.gamutLut[1], s.gamutLutSize[1]);
    uploads[kGamutBlueUpload] = table3D(s.gamutLut[2], s.gamutLutSize[2]);
    uploads[kPostProcessUpload] = table3D(s.postProcessLut, s.postProcessLutSize);
    uploads[kZoneUpload] = table3D(s.zoneLut, s.zoneLutSize);
    uploads[kTestImageUpload] = picture(s.testImage, s.testImageSize);
    uploads[kZoneOverlayUpload] = picture(s.zoneOverlay, s.zoneOverlaySize);
    return uploads;
}

void requireImages(const void* source, const void* destination, const char* backEnd) {
    if (source != nullptr && destination != nullptr) return;
    OFX::Log::error(true, "%s render without a %s image", backEnd, source ? "destination" : "source");
    OFX::throwSuiteStatusException(kOfxStatFailed);
}

}  // namespace ChromvaleBeta2
