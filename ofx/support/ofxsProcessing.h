#pragma once
// The base of every processor that fills a window of a destination image: it hands the
// whole window to one GPU hook when the host enabled a GPU path for the render, and
// otherwise cuts it into bands of whole rows run on the host's CPU threads.

#include "ofxCore.h"
#include "ofx/support/action_arguments.h"
#include "ofx/support/ofxsImageEffect.h"
#include "ofx/support/ofxsMultiThread.h"

namespace OFX {

class ImageProcessor : public MultiThread::Processor {
 public:
    explicit ImageProcessor(ImageEffect& effect) : _effect(effect) {}
    ~ImageProcessor() override = default;

    // Runs thread `threadIndex`'s band of `threadCount` equal bands of the render window.
    void multiThreadFunction(unsigned int threadIndex, unsigned int threadCount) override;

    virtual void preProcess() {}
    // The GPU hooks refuse unless a processor supplies them.
    virtual void processImagesOpenCL();
    virtual void processImagesCUDA();
    virtual void processImagesMetal();
    // Fills `window` of the destination; called concurrently on disjoint row bands.
    virtual void multiThreadProcessImages(OfxRectI window) = 0;
    virtual void postProcess() {}
    virtual void process();

    void setDstImg(Image* image) { _dstImg = image; }
    void setRenderWindow(OfxRectI window) { _renderWindow = window; }
    void setGPURenderArgs(const RenderArguments& args);

    // Band count for a window, before the host's CPU count caps it: one per 4096 pixels,
    // counting at most 4096 pixels of each row.
    static unsigned int bandCountFor(const OfxRectI& window);

 protected:
    ImageEffect& _effect;
    Image* _dstImg = nullptr;
    OfxRectI _renderWindow{0, 0, 0, 0};
    bool _isEnabledOpenCL = false;
    bool _isEnabledCUDA = false;
    bool _isEnabledMetal = false;
    void* _pOpenCLCmdQ = nullptr;
    void* _pMetalCmdQ = nullptr;
};

}  // namespace OFX
