#include "gpu/kernel_arguments.h"

#include "pipeline/lut_stages.h"
#include "pipeline/lut_table.h"
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
    ChainSettings chain = s;  // the stage accessors serve attaching too, which writes them
    const auto stages = lutStages();
    for (std::size_t slot = 0; slot < stages.size() && slot < kTestImageUpload; ++slot) {
        const LutStage& stage = stages[slot];
        uploads[slot] = stage.kind == LutTable::kKind1D ? table1D(stage.lut(chain), stage.lutSize(chain))
                                                        : table3D(stage.lut(chain), stage.lutSize(chain));
    }
    uploads[kTestImageUpload] = picture(s.testImage, s.testImageSize);
    uploads[kZoneOverlayUpload] = picture(s.zoneOverlay, s.zoneOverlaySize);
    return uploads;
}

bool haveImages(const void* source, const void* destination, const char* backEnd, Diagnostics& diagnostics) {
    if (source != nullptr && destination != nullptr) return true;
    diagnostics.error("%s render without a %s image", backEnd, source ? "destination" : "source");
    return false;
}

}  // namespace ChromvaleBeta2
