#include "ofx/support/ofxsProcessing.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"

namespace OFX {
namespace {

// A thread is worth starting for this many pixels; a row counts at most this many, so
// wide windows are split by height alone.
constexpr std::int64_t kPixelsPerBand = 4096;

bool isEmpty(const OfxRectI& r) {
    return r.x1 >= r.x2 || r.y1 >= r.y2;
}

OfxRectI intersection(const OfxRectI& a, const OfxRectI& b) {
    return {std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)};
}

bool sameRect(const OfxRectI& a, const OfxRectI& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

}  // namespace

void ImageProcessor::setGPURenderArgs(const RenderArguments& args) {
    _isEnabledOpenCL = args.isEnabledOpenCLRender;
    _isEnabledCUDA = args.isEnabledCudaRender;
    _isEnabledMetal = args.isEnabledMetalRender;
    if (_isEnabledOpenCL) _pOpenCLCmdQ = args.pOpenCLCmdQ;
    if (_isEnabledMetal) _pMetalCmdQ = args.pMetalCmdQ;
}

void ImageProcessor::processImagesOpenCL() {
    throwSuiteStatusException(kOfxStatErrUnsupported);
}
void ImageProcessor::processImagesCUDA() {
    throwSuiteStatusException(kOfxStatErrUnsupported);
}
void ImageProcessor::processImagesMetal() {
    throwSuiteStatusException(kOfxStatErrUnsupported);
}

unsigned int ImageProcessor::bandCountFor(const OfxRectI& window) {
    if (isEmpty(window)) return 0;
    // 64-bit, so that no window height can overflow the count.
    const std::int64_t width = std::int64_t{window.x2} - window.x1;
    const std::int64_t height = std::int64_t{window.y2} - window.y1;
    const std::int64_t bands = height * std::min(width, kPixelsPerBand) / kPixelsPerBand;
    return static_cast<unsigned int>(std::min<std::int64_t>(bands, std::numeric_limits<unsigned int>::max()));
}

void ImageProcessor::process() {
    // Only pixels the destination holds can be written; a window reaching past it still
    // owes the host the part inside. A window wholly outside has nothing to render.
    if (_dstImg != nullptr) {
        const OfxRectI& bounds = _dstImg->getBounds();
        const OfxRectI inside = intersection(_renderWindow, bounds);
        if (!isEmpty(inside) && !sameRect(inside, _renderWindow)) {
            Log::warning(true,
                         "Render window (%d, %d)-(%d, %d) reaches past the destination (%d, %d)-(%d, %d); rendering "
                         "the part inside.",
                         _renderWindow.x1, _renderWindow.y1, _renderWindow.x2, _renderWindow.y2, bounds.x1, bounds.y1,
                         bounds.x2, bounds.y2);
        }
        _renderWindow = inside;
    }
    if (isEmpty(_renderWindow)) return;

    preProcess();
    if (_isEnabledOpenCL) {
        processImagesOpenCL();
    } else if (_isEnabledCUDA) {
        processImagesCUDA();
    } else if (_isEnabledMetal) {
        processImagesMetal();
    } else {
        const unsigned int threads = std::min(MultiThread::getNumCPUs(), bandCountFor(_renderWindow));
        multiThread(std::max(threads, 1u));
    }
    postProcess();
}

void ImageProcessor::multiThreadFunction(unsigned int threadIndex, unsigned int threadCount) {
    if (threadCount == 0) return;
    const unsigned int rows = static_cast<unsigned int>(_renderWindow.y2) - static_cast<unsigned int>(_renderWindow.y1);
    const unsigned int band = std::max((threadCount - 1 + rows) / threadCount, 1u);
    const unsigned int start = threadIndex * band;
    if (start >= rows) return;
    const unsigned int end = std::min((threadIndex + 1) * band, rows);

    OfxRectI window = _renderWindow;
    window.y1 = static_cast<int>(static_cast<unsigned int>(_renderWindow.y1) + start);
    window.y2 = static_cast<int>(static_cast<unsigned int>(_renderWindow.y1) + end);
    multiThreadProcessImages(window);
}

}  // namespace OFX
