#include "plugin/texture/texture_effect.h"

#include <memory>

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"
#include "plugin/texture/texture_processor.h"

namespace TonemillTexture {

namespace {

bool isFloatRGBA(const OFX::Image& image) {
    return image.getPixelDepth() == OFX::eBitDepthFloat && image.getPixelComponents() == OFX::ePixelComponentRGBA;
}

PixelView viewOf(const OFX::Image& image) {
    const OfxRectI& b = image.getBounds();
    return PixelView{static_cast<char*>(image.getPixelData()), image.getRowBytes(), Rect{b.x1, b.y1, b.x2, b.y2}};
}

}  // namespace

TextureEffect::TextureEffect(OfxImageEffectHandle handle) : OFX::ImageEffect(handle) {
    m_dstClip = fetchClip(kOfxImageEffectOutputClipName);
    m_srcClip = fetchClip(kOfxImageEffectSimpleSourceClipName);
    for (const TextureParamEntry& entry : textureCatalogue()) {
        const std::string name(entry.name);
        OFX::Param* param = nullptr;
        switch (entry.kind) {
            case TextureParamKind::Group: continue;
            case TextureParamKind::Boolean: param = fetchBooleanParam(name); break;
            case TextureParamKind::Choice: param = fetchChoiceParam(name); break;
            case TextureParamKind::Double: param = fetchDoubleParam(name); break;
        }
        m_params.push_back({&entry, param});
    }
}

TextureParams TextureEffect::gather(double time) const {
    TextureParams values;
    for (const Fetched& f : m_params) {
        double value = 0.0;
        switch (f.entry->kind) {
            case TextureParamKind::Group: break;
            case TextureParamKind::Boolean: {
                bool on = false;
                static_cast<OFX::BooleanParam*>(f.param)->getValueAtTime(time, on);
                value = on ? 1.0 : 0.0;
                break;
            }
            case TextureParamKind::Choice: {
                int option = 0;
                static_cast<OFX::ChoiceParam*>(f.param)->getValueAtTime(time, option);
                value = option;
                break;
            }
            case TextureParamKind::Double: static_cast<OFX::DoubleParam*>(f.param)->getValueAtTime(time, value); break;
        }
        f.entry->store(values, value);
    }
    return values;
}

bool TextureEffect::isIdentity(const OFX::IsIdentityArguments& args, OFX::Clip*& identityClip, double& identityTime) {
    if (!isNeutral(gather(args.time))) return false;
    identityClip = m_srcClip;
    identityTime = args.time;
    return true;
}

void TextureEffect::getRegionsOfInterest(const OFX::RegionsOfInterestArguments& args,
                                         OFX::RegionOfInterestSetter& rois) {
    // The glows read their reach beyond every pixel; the margin is in render
    // pixels, the region in canonical coordinates.
    const double scale = args.renderScale.y > 0.0 ? args.renderScale.y : 1.0;
    const int margin = glowMargin(gather(args.time), scale);
    const double mx = margin / (args.renderScale.x > 0.0 ? args.renderScale.x : 1.0);
    const double my = margin / scale;
    const OfxRectD& r = args.regionOfInterest;
    rois.setRegionOfInterest(*m_srcClip, OfxRectD{r.x1 - mx, r.y1 - my, r.x2 + mx, r.y2 + my});
}

void TextureEffect::getClipPreferences(OFX::ClipPreferencesSetter& preferences) {
    // Grain differs from frame to frame even on a still source.
    preferences.setOutputFrameVarying(true);
}

void TextureEffect::render(const OFX::RenderArguments& args) {
    // Declared destination first, so the source is released first.
    std::unique_ptr<OFX::Image> dst = OFX::fetchRequiredImage(*m_dstClip, args.time);
    std::unique_ptr<OFX::Image> src = OFX::fetchRequiredImage(*m_srcClip, args.time);
    if (!isFloatRGBA(*dst) || !isFloatRGBA(*src)) {
        OFX::Log::error(true, "Texture renders float RGBA images only");
        OFX::throwSuiteStatusException(kOfxStatErrUnsupported);
    }
    const PixelView source = viewOf(*src);
    if (isEmpty(source.bounds)) {
        OFX::Log::error(true, "Clip %s delivered an empty image at time %g", m_srcClip->name().c_str(), args.time);
        OFX::throwSuiteStatusException(kOfxStatFailed);
    }

    // The grain lattice is anchored to the frame, which the source's region
    // of definition gives in render pixels; a host that leaves it empty gets
    // the source image's bounds.
    OfxRectI frame = src->getRegionOfDefinition();
    if (frame.x1 >= frame.x2 || frame.y1 >= frame.y2) frame = src->getBounds();
    const TextureSettings settings =
        makeTextureSettings(gather(args.time), args.time, args.renderScale.y, frame.x1, frame.y1, frame.y2 - frame.y1);

    TextureProcessor processor(*this, settings, source, viewOf(*dst), m_workspace);
    processor.setDstImg(dst.get());
    processor.setGPURenderArgs(args);
    processor.setRenderWindow(args.renderWindow);
    processor.process();
}

}  // namespace TonemillTexture
