#include "plugin/texture/texture_processor.h"

#include <algorithm>
#include <functional>

#include "gpu/texture/texture_cuda_launcher.h"
#include "gpu/texture/texture_opencl_launcher.h"
#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"
#include "ofx/support/ofxsMultiThread.h"
#include "plugin/shared/engine_diagnostics.h"

namespace TonemillTexture {

namespace {

// One phase's slices on the host's threads.
class PhaseRun : public OFX::MultiThread::Processor {
 public:
    explicit PhaseRun(const std::function<void(unsigned, unsigned)>& work) : m_work(work) {}
    void multiThreadFunction(unsigned int threadIndex, unsigned int threadCount) override {
        m_work(threadIndex, threadCount);
    }

 private:
    const std::function<void(unsigned, unsigned)>& m_work;
};

void runOnHostThreads(unsigned count, const std::function<void(unsigned, unsigned)>& work) {
    PhaseRun(work).multiThread(count);
}

}  // namespace

void TextureProcessor::preProcess() {
    if (_isEnabledOpenCL || _isEnabledCUDA) return;
    const OfxRectI& w = _renderWindow;
    const Rect window{w.x1, w.y1, w.x2, w.y2};
    const unsigned threads = std::max(1u, std::min(OFX::MultiThread::getNumCPUs(), bandCountFor(w)));
    spreadGlows(m_settings, m_source, window, m_workspace, threads, runOnHostThreads);
}

void TextureProcessor::requirePackedRows(const char* backEnd) const {
    for (const PixelView* view : {&m_source, &m_destination}) {
        if (view->rowBytes != std::ptrdiff_t{view->bounds.x2 - view->bounds.x1} * 4 * std::ptrdiff_t{sizeof(float)}) {
            OFX::Log::error(true, "Texture: %s images must have packed rows", backEnd);
            OFX::throwSuiteStatusException(kOfxStatErrUnsupported);
        }
    }
}

void TextureProcessor::processImagesOpenCL() {
    requirePackedRows("OpenCL");
    const OfxRectI& w = _renderWindow;
    ChromvaleBeta2::Diagnostics diagnostics;
    const ChromvaleBeta2::GpuOutcome outcome = launchOpenClTexture(
        _pOpenCLCmdQ, m_settings, DeviceImage{m_source.base, m_source.bounds},
        DeviceImage{m_destination.base, m_destination.bounds}, Rect{w.x1, w.y1, w.x2, w.y2}, diagnostics);
    ChromvaleBeta2::finishGpuRender(outcome, diagnostics);
}

void TextureProcessor::processImagesCUDA() {
    requirePackedRows("CUDA");
    const OfxRectI& w = _renderWindow;
    ChromvaleBeta2::Diagnostics diagnostics;
    const ChromvaleBeta2::GpuOutcome outcome = launchCudaTexture(
        m_settings, DeviceImage{m_source.base, m_source.bounds}, DeviceImage{m_destination.base, m_destination.bounds},
        Rect{w.x1, w.y1, w.x2, w.y2}, diagnostics);
    ChromvaleBeta2::finishGpuRender(outcome, diagnostics);
}

void TextureProcessor::multiThreadProcessImages(OfxRectI window) {
    composeTexture(m_settings, m_source, m_destination, Rect{window.x1, window.y1, window.x2, window.y2}, m_workspace);
}

}  // namespace TonemillTexture
