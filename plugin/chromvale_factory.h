#pragma once

#include <mutex>

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

 private:
    // The GPU environment does not change while the process runs; hosts that
    // describe more than once get it in the log once.
    std::once_flag m_deviceReport;
};

}  // namespace ChromvaleBeta2
