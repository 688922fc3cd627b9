#pragma once

#include "ofx/support/ofxsFactory.h"
#include "ofx/support/ofxsImageEffect.h"

namespace TonemillTexture {

inline constexpr const char* kTexturePluginIdentifier = "com.velmora.tonemill.texture";
inline constexpr unsigned kTextureVersionMajor = 1;
inline constexpr unsigned kTextureVersionMinor = 0;

// The film texture effect: grain, halation and bloom, in a bundle of its own.
class TextureFactory : public OFX::PluginFactoryHelper<TextureFactory> {
 public:
    TextureFactory();

    void describe(OFX::ImageEffectDescriptor& desc) override;
    void describeInContext(OFX::ImageEffectDescriptor& desc, OFX::ContextEnum context) override;
    OFX::ImageEffect* createInstance(OfxImageEffectHandle handle, OFX::ContextEnum context) override;
};

}  // namespace TonemillTexture
