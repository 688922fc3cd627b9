#include "plugin/texture/texture_processor.h"

#include <algorithm>
#include <functional>

#include "ofx/support/ofxsMultiThread.h"

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
    const OfxRectI& w = _renderWindow;
    const Rect window{w.x1, w.y1, w.x2, w.y2};
    const unsigned threads = std::max(1u, std::min(OFX::MultiThread::getNumCPUs(), bandCountFor(w)));
    spreadGlows(m_settings, m_source, window, m_workspace, threads, runOnHostThreads);
}

void TextureProcessor::multiThreadProcessImages(OfxRectI window) {
    composeTexture(m_settings, m_source, m_destination, Rect{window.x1, window.y1, window.x2, window.y2}, m_workspace);
}

}  // namespace TonemillTexture
