#pragma once

#include <vector>

#include "ofx/support/ofxsImageEffect.h"
#include "pipeline/texture/texture_render.h"
#include "pipeline/texture/texture_settings.h"
#include "plugin/texture/texture_catalogue.h"

namespace TonemillTexture {

// One application of the texture effect: its clips, its parameters and the
// working buffers its renders reuse.
class TextureEffect : public OFX::ImageEffect {
 public:
    explicit TextureEffect(OfxImageEffectHandle handle);

    void render(const OFX::RenderArguments& args) override;
    bool isIdentity(const OFX::IsIdentityArguments& args, OFX::Clip*& identityClip, double& identityTime) override;
    void getRegionsOfInterest(const OFX::RegionsOfInterestArguments& args, OFX::RegionOfInterestSetter& rois) override;
    void getClipPreferences(OFX::ClipPreferencesSetter& preferences) override;

    // Every parameter at `time`; reads only.
    TextureParams gather(double time) const;

 private:
    struct Fetched {
        const TextureParamEntry* entry;
        OFX::Param* param;
    };

    OFX::Clip* m_dstClip = nullptr;
    OFX::Clip* m_srcClip = nullptr;
    std::vector<Fetched> m_params;
    TextureWorkspace m_workspace;
};

}  // namespace TonemillTexture
