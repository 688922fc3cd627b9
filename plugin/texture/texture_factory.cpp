#include "plugin/texture/texture_factory.h"

#include <stdexcept>
#include <string>

#include "gpu/texture/texture_cuda_launcher.h"
#include "plugin/texture/texture_catalogue.h"
#include "plugin/texture/texture_effect.h"

namespace TonemillTexture {

namespace {

constexpr const char* kEffectLabel = "Tonemill Texture";

// A define call answers null only for a name taken by another kind, which the
// catalogue's unique names rule out; fail loudly rather than crash.
template <class Descriptor>
Descriptor& defined(Descriptor* descriptor, const TextureParamEntry& entry) {
    if (!descriptor) throw std::logic_error("parameter " + std::string(entry.name) + " is defined twice");
    return *descriptor;
}

template <class Descriptor>
void describeCommon(Descriptor& param, OFX::ImageEffectDescriptor& desc, const TextureParamEntry& entry) {
    const std::string label(entry.label);
    param.setLabels(label, label, label);
    param.setScriptName(std::string(entry.name));
    param.setHint(std::string(entry.hint));
    // Groups come earlier in the catalogue, so this only looks the parent up.
    if (!entry.parent.empty()) param.setParent(defined(desc.defineGroupParam(std::string(entry.parent)), entry));
}

void describeParam(OFX::ImageEffectDescriptor& desc, const TextureParamEntry& entry) {
    const std::string name(entry.name);
    switch (entry.kind) {
        case TextureParamKind::Group: {
            auto& group = defined(desc.defineGroupParam(name), entry);
            describeCommon(group, desc, entry);
            group.setOpen(true);
            break;
        }
        case TextureParamKind::Boolean: {
            auto& param = defined(desc.defineBooleanParam(name), entry);
            describeCommon(param, desc, entry);
            param.setDefault(entry.defaultValue != 0.0);
            break;
        }
        case TextureParamKind::Choice: {
            auto& param = defined(desc.defineChoiceParam(name), entry);
            describeCommon(param, desc, entry);
            for (std::string_view option : textureOptionsOf(entry.name)) param.appendOption(std::string(option), "");
            param.setDefault(static_cast<int>(entry.defaultValue));
            break;
        }
        case TextureParamKind::Double: {
            auto& param = defined(desc.defineDoubleParam(name), entry);
            describeCommon(param, desc, entry);
            param.setDefault(entry.defaultValue);
            param.setRange(entry.minimum, entry.maximum);
            param.setDisplayRange(entry.minimum, entry.maximum);
            param.setIncrement(entry.name == "grainSeed" ? 1.0 : 0.01);
            param.setDoubleType(OFX::eDoubleTypeScale);
            break;
        }
    }
}

}  // namespace

TextureFactory::TextureFactory()
    : OFX::PluginFactoryHelper<TextureFactory>(kTexturePluginIdentifier, kTextureVersionMajor, kTextureVersionMinor) {}

void TextureFactory::describe(OFX::ImageEffectDescriptor& desc) {
    desc.setLabels(kEffectLabel, kEffectLabel, kEffectLabel);
    desc.setPluginGrouping("Chromvale");
    desc.setPluginDescription("Film texture: grain, halation and bloom");
    desc.addSupportedContext(OFX::eContextFilter);
    desc.addSupportedContext(OFX::eContextGeneral);
    desc.addSupportedBitDepth(OFX::eBitDepthFloat);
    desc.setSingleInstance(false);
    // Each instance keeps its working buffers between renders, so one instance
    // renders one frame at a time; instances may render at once.
    desc.setRenderThreadSafety(OFX::eRenderInstanceSafe);
    desc.setHostFrameThreading(false);
    desc.setSupportsMultiResolution(false);
    desc.setSupportsTiles(true);
    desc.setTemporalClipAccess(false);
    desc.setRenderTwiceAlways(false);
    desc.setSupportsMultipleClipPARs(false);
    desc.setSupportsMultipleClipDepths(false);
    desc.setSupportsOpenCLRender(true);
    desc.setSupportsCudaRender(textureCudaBuilt());
    desc.setSupportsMetalRender(false);
}

void TextureFactory::describeInContext(OFX::ImageEffectDescriptor& desc, OFX::ContextEnum /*context*/) {
    OFX::ClipDescriptor* source = desc.defineClip(kOfxImageEffectSimpleSourceClipName);
    source->addSupportedComponent(OFX::ePixelComponentRGBA);
    source->setTemporalClipAccess(false);
    source->setSupportsTiles(true);
    source->setIsMask(false);

    OFX::ClipDescriptor* output = desc.defineClip(kOfxImageEffectOutputClipName);
    output->addSupportedComponent(OFX::ePixelComponentRGBA);
    output->setSupportsTiles(true);

    for (const TextureParamEntry& entry : textureCatalogue()) describeParam(desc, entry);
}

OFX::ImageEffect* TextureFactory::createInstance(OfxImageEffectHandle handle, OFX::ContextEnum /*context*/) {
    return new TextureEffect(handle);
}

}  // namespace TonemillTexture
