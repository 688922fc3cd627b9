#include "ofx/support/ofxsProcessing.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "ofx/support/ofxsCore.h"

namespace OFX {
namespace {

// A thread is worth starting for this many pixels; a row counts at most this many, so
// wide windows are split by height alone.
constexpr std::int64_t kPixelsPerBand = 4096;

bool isEmpty(const OfxRectI& r) { return r.x1 >= r.x2 || r.y1 >= r.y2; }

bool contains(const OfxRectI& outer, const OfxRectI& inner) {
  return outer.x1 <= inner.x1 && inner.x2 <= outer.x2 && outer.y1 <= inner.y1 && inner.y2 <= outer.y2;
}

}  // namespace

void ImageProcessor::setGPURenderArgs(const RenderArguments& args) {
  _isEnabledOpenCL = args.isEnabledOpenCLRender;
  _isEnabledCUDA = args.isEnabledCudaRender;
  _isEnabledMetal = args.isEnabledMetalRender;
  if (_isEnabledOpenCL) _pOpenCLCmdQ = args.pOpenCLCmdQ;
  if (_isEnabledMetal) _pMetalCmdQ = args.pMetalCmdQ;
}

void ImageProcessor::processImagesOpenCL() { throwSuiteStatusException(kOfxStatErrUnsupported); }
void ImageProcessor::processImagesCUDA() { throwSuiteStatusException(kOfxStatErrUnsupported); }
void ImageProcessor::processImagesMetal() { throwSuiteStatusException(kOfxStatErrUnsupported); }

unsigned int ImageProcessor::bandCountFor(const OfxRectI& window) {
  if (isEmpty(window)) return 0;
  // 64-bit, so that no window height can overflow the count.
  const std::int64_t width = std::int64_t{window.x2} - window.x1;
  const std::int64_t height = std::int64_t{window.y2} - window.y1;
  const std::int64_t bands = height * std::min(width, kPixelsPerBand) / kPixelsPerBand;
  return static_cast<unsigned int>(std::min<std::int64_t>(bands, std::numeric_limits<unsigned int>::max()));
}

void ImageProcessor::process() {
  // An empty window has nothing to produce, and a window reaching outside the
  // destination would write outside its pixels.
  if (isEmpty(_renderWindow)) return;
  if (_dstImg != nullptr && !contains(_dstImg->getBounds(), _renderWindow)) return;

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
