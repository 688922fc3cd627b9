#pragma once

#include "ofx/support/ofxsFactory.h"
#include "ofx/support/ofxsImageEffect.h"

namespace ChromvaleBeta2 {

inline constexpr const char* kPluginIdentifier = "com.velmora.tonemill";
inline constexpr unsigned kPluginVersionMajor = 2;
inline constexpr unsigned kPluginVersionMinor = 4;

// The one effect this library offers: its identity, its description to the
// host and the creation of its instances.
class ChromvaleFactory : public OFX::PluginFactoryHelper<ChromvaleFactory> {
 public:
    ChromvaleFactory();

    void describe(OFX::ImageEffectDescriptor& desc) override;
    void describeInContext(OFX::ImageEffectDescriptor& desc, OFX::ContextEnum context) override;
    OFX::ImageEffect* createInstance(OfxImageEffectHandle handle, OFX::ContextEnum context) override;
};

}  // namespace ChromvaleBeta2
