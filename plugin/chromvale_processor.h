#pragma once

#include "ofx/support/ofxsProcessing.h"
#include "pipeline/look_params.h"
#include "pipeline/pipeline_settings.h"

namespace ChromvaleBeta2 {

class LutArchive;

// Renders one image (or serves one LUT export) with the colour chain: on the
// host's CPU threads band by band, or by handing the whole source image to
// the OpenCL or CUDA back-end. Owns neither image.
class ChromvaleProcessor : public OFX::ImageProcessor {
 public:
    explicit ChromvaleProcessor(OFX::ImageEffect& effect);

    void setSrcImg(OFX::Image* image) { _srcImg = image; }
    // Fills the settings from the gathered parameters.
    void setSettings(const LookParams& params);
    // The archive the OpenCL back-end reads its kernel sources from.
    void setLutArchive(LutArchive* archive) { _lutArchive = archive; }
    const PipelineSettings& settings() const { return _settings; }

    // The chain for one colour, without the test views: what a baked LUT
    // holds. Safe to call from many threads at once.
    float4 processPixel(float4 source) const;

    void processImagesOpenCL() override;
    void processImagesCUDA() override;
    void processImagesMetal() override;
    void multiThreadProcessImages(OfxRectI window) override;

 private:
    // Both GPU back-ends process the whole source image into a destination
    // of the same geometry.
    void requireGpuImages() const;

    OFX::Image* _srcImg = nullptr;
    PipelineSettings _settings{};
    LutArchive* _lutArchive = nullptr;
};

}  // namespace ChromvaleBeta2
