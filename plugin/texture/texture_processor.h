#pragma once

#include "ofx/support/ofxsProcessing.h"
#include "pipeline/texture/texture_render.h"

namespace TonemillTexture {

// Renders one window on the host's CPU threads (the glows' row and column
// phases before the bands, then grain and glows composed band by band), or
// hands it whole to the OpenCL or CUDA back-end.
class TextureProcessor : public OFX::ImageProcessor {
 public:
    TextureProcessor(OFX::ImageEffect& effect, const TextureSettings& settings, const PixelView& source,
                     const PixelView& destination, TextureWorkspace& workspace)
        : OFX::ImageProcessor(effect),
          m_settings(settings),
          m_source(source),
          m_destination(destination),
          m_workspace(workspace) {}

    void preProcess() override;
    void processImagesOpenCL() override;
    void processImagesCUDA() override;
    void multiThreadProcessImages(OfxRectI window) override;

 private:
    // Device buffers hold whole rows packed one after another.
    void requirePackedRows(const char* backEnd) const;

    const TextureSettings& m_settings;
    PixelView m_source;
    PixelView m_destination;
    TextureWorkspace& m_workspace;
};

}  // namespace TonemillTexture
