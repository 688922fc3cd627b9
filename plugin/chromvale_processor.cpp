#include "plugin/chromvale_processor.h"

#include <algorithm>
#include <vector>

#include "formats/lut_archive.h"
#include "gpu/cuda_launcher.h"
#include "gpu/opencl_launcher.h"
#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"
#include "pipeline/cpu_chain.h"
#include "pipeline/set_settings.h"
#include "plugin/shared/engine_diagnostics.h"

namespace ChromvaleBeta2 {
namespace {

constexpr int kRgbaFloatBytes = 4 * sizeof(float);

int width(const OfxRectI& r) {
    return r.x2 - r.x1;
}
int height(const OfxRectI& r) {
    return r.y2 - r.y1;
}

// The kernel texts the archive carries, packed from kernels/ at build time.
constexpr const char* kHeaderEntry = "OCL/lut_cuda.h";
constexpr const char* kKernelEntry = "OCL/chromvale_cuda.cu";

// The text of one archive entry; empty, with an error line, when it cannot be read.
std::string kernelSource(LutArchive* archive, const char* entry, Diagnostics& diagnostics) {
    std::vector<unsigned char> text;
    if (archive == nullptr || !archive->extract(entry, text)) {
        diagnostics.error("Failed to read %s [%d]", entry, 1);
        return {};
    }
    return std::string(text.begin(), text.end());
}

bool sameRect(const OfxRectI& a, const OfxRectI& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

}  // namespace

ChromvaleProcessor::ChromvaleProcessor(OFX::ImageEffect& effect) : OFX::ImageProcessor(effect) {}

void ChromvaleProcessor::setSettings(const LookParams& params) {
    ChromvaleBeta2::setSettings(_settings, params);
}

float4 ChromvaleProcessor::processPixel(float4 source) const {
    return processColour(_settings, source);
}

// The kernels index source and destination with the source's width and
// height, so a destination of other bounds would be written out of range.
void ChromvaleProcessor::requireGpuImages() const {
    if (_srcImg == nullptr || _dstImg == nullptr) {
        OFX::Log::error(true, "GPU render without a %s image", _srcImg == nullptr ? "source" : "destination");
        OFX::throwSuiteStatusException(kOfxStatFailed);
    }
    const OfxRectI& src = _srcImg->getBounds();
    const OfxRectI& dst = _dstImg->getBounds();
    if (!sameRect(src, dst)) {
        OFX::Log::error(true,
                        "GPU render needs source and destination images of the same bounds: "
                        "source (%d, %d)-(%d, %d), destination (%d, %d)-(%d, %d)",
                        src.x1, src.y1, src.x2, src.y2, dst.x1, dst.y1, dst.x2, dst.y2);
        OFX::throwSuiteStatusException(kOfxStatFailed);
    }
}

void ChromvaleProcessor::processImagesOpenCL() {
    requireGpuImages();
    const OfxRectI& bounds = _srcImg->getBounds();
    LutArchive* archive = _lutArchive;
    const KernelSourceReader readSources = [archive](Diagnostics& diagnostics) {
        return KernelSources{kernelSource(archive, kHeaderEntry, diagnostics),
                             kernelSource(archive, kKernelEntry, diagnostics)};
    };
    Diagnostics diagnostics;
    const GpuOutcome outcome = launchOpenClPipeline(_pOpenCLCmdQ, width(bounds), height(bounds), _settings, readSources,
                                                    _srcImg->getPixelData(), _dstImg->getPixelData(), diagnostics);
    finishGpuRender(outcome, diagnostics);
}

void ChromvaleProcessor::processImagesCUDA() {
    requireGpuImages();
    const OfxRectI& bounds = _srcImg->getBounds();
    Diagnostics diagnostics;
    const GpuOutcome outcome = launchCudaPipeline(width(bounds), height(bounds), _settings, _srcImg->getPixelData(),
                                                  _dstImg->getPixelData(), diagnostics);
    finishGpuRender(outcome, diagnostics);
}

void ChromvaleProcessor::processImagesMetal() {
    OFX::Log::print("processImagesMetal not implemented");
    OFX::throwSuiteStatusException(kOfxStatErrUnsupported);
}

void ChromvaleProcessor::multiThreadProcessImages(OfxRectI window) {
    if (_dstImg == nullptr || _dstImg->getPixelBytes() != kRgbaFloatBytes) return;
    // Only a float RGBA source can be read as one; anything else renders as
    // if there were no source.
    const OFX::Image* source = _srcImg != nullptr && _srcImg->getPixelBytes() == kRgbaFloatBytes ? _srcImg : nullptr;
    const int together = rowsRenderedTogether(window.x2 - window.x1);
    std::vector<SourceRow> rows;
    std::vector<float*> destinations;
    for (int y = window.y1; y < window.y2;) {
        if (_effect.abort()) return;
        rows.clear();
        destinations.clear();
        for (const int last = std::min(window.y2, y + together); y < last; ++y) {
            auto* destination = static_cast<float*>(_dstImg->getPixelAddress(window.x1, y));
            if (destination == nullptr) continue;
            SourceRow row;
            if (source != nullptr) {
                const OfxRectI& bounds = source->getBounds();
                row.pixels = static_cast<const float*>(source->getPixelAddress(bounds.x1, y));
                row.x1 = bounds.x1;
                row.x2 = bounds.x2;
                row.y = y - bounds.y1;
            }
            rows.push_back(row);
            destinations.push_back(destination);
        }
        renderRows(_settings, rows.data(), destinations.data(), static_cast<int>(rows.size()), window.x1, window.x2);
    }
}

}  // namespace ChromvaleBeta2
