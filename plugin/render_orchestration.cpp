// What the instance does for a render: check the formats, fetch both images,
// gather the parameters and tables into one record and run the processor.
// (ChromvaleNG's other methods are in ChromvaleNG.cpp, test_toggle_rules.cpp and
// lut_export.cpp.)

#include <memory>

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"
#include "plugin/chromvale_processor.h"
#include "plugin/ChromvaleNG.h"
#include "plugin/lut_library.h"
#include "plugin/param_catalogue.h"
#include "plugin/test_image_store.h"

namespace ChromvaleBeta2 {

namespace {

bool isFloatRGBA(OFX::BitDepthEnum depth, OFX::PixelComponentEnum components) {
    return depth == OFX::eBitDepthFloat && components == OFX::ePixelComponentRGBA;
}

}  // namespace

void ChromvaleNG::render(const OFX::RenderArguments& args) {
    if (!isFloatRGBA(m_dstClip->getPixelDepth(), m_dstClip->getPixelComponents())) {
        OFX::throwSuiteStatusException(kOfxStatErrUnsupported);
    }
    ChromvaleProcessor processor(*this);
    setupAndProcess(processor, args);
}

void ChromvaleNG::setupAndProcess(ChromvaleProcessor& processor, const OFX::RenderArguments& args) {
    OFX::Log::print("Entered Setup and Process");

    // Declared destination first, so the source is released first.
    std::unique_ptr<OFX::Image> dst = OFX::fetchRequiredImage(*m_dstClip, args.time);
    const OFX::BitDepthEnum dstDepth = dst->getPixelDepth();
    const OFX::PixelComponentEnum dstComponents = dst->getPixelComponents();
    OFX::Log::print("Made it to dest image");

    std::unique_ptr<OFX::Image> src = OFX::fetchRequiredImage(*m_srcClip, args.time);
    OFX::Log::print("Made it to src image");

    if (src->getPixelDepth() != dstDepth || src->getPixelComponents() != dstComponents) {
        OFX::throwSuiteStatusException(kOfxStatErrValue);
    }
    // The clip promised float RGBA; an image of another format would be written
    // past its end by 16-byte pixels.
    if (!isFloatRGBA(dstDepth, dstComponents)) OFX::throwSuiteStatusException(kOfxStatErrUnsupported);
    OFX::Log::print("Made it passed bit depth and component check");

    LookParams values;
    gatherLookParams(values, args.time);
    resolveLuts(values);
    processor.setSettings(values);
    processor.setLutArchive(&m_archive);
    OFX::Log::print("Made it passed param check");

    processor.setDstImg(dst.get());
    processor.setSrcImg(src.get());
    OFX::Log::print("Made it set images");

    processor.setGPURenderArgs(args);
    OFX::Log::print("Made it passed setting GPU args");

    processor.setRenderWindow(args.renderWindow);
    OFX::Log::print("Made it passed setting render window");

    processor.process();
    OFX::Log::print("Able to call process");

    src.reset();
    dst.reset();
}

void ChromvaleNG::resolveLuts(LookParams& values) {
    resolveLookLuts(m_archive, values);
}

void ChromvaleNG::gatherLookParams(LookParams& values, double time) {
    values = LookParams{};
    for (const ParamSpec& entry : paramCatalogue()) {
        // The gate came earlier in the catalogue, so its option is already gathered.
        if (!entry.readWhenSelected.empty() && values.*findParam(entry.readWhenSelected)->choiceField <= 0) continue;
        if (entry.floatField) {
            values.*entry.floatField = readFloat(entry.name, time) / entry.gatherDivisor;
        } else if (entry.boolField) {
            values.*entry.boolField = readBool(entry.name, time);
        } else if (entry.choiceField) {
            values.*entry.choiceField = readChoice(entry.name, time);
        }
    }

    // One slider drives push/pull in every channel.
    values.PushPullLightR = values.PushPullLightG = values.PushPullLightB = values.PushPullLight;

    // The guide shows only over a test view, as the toggle rules keep it.
    const bool anyTestView =
        values.testRampToggle || values.testSatToggle || values.testToneToggle || values.testKorvoLUTToggle;
    values.testKorvoOverlayToggle = values.testKorvoOverlayToggle && anyTestView;
    if (values.testKorvoOverlayToggle) {
        const TestImageBytes guide = testImageBytes(TestImageId::ZoneGuide);
        values.zoneOverlay = guide.data;
        values.zoneOverlaySize = guide.size;
    }

    const TestImageBytes testImage = values.testRampToggle   ? testImageBytes(TestImageId::LightnessRamp)
                                     : values.testSatToggle  ? testImageBytes(TestImageId::SaturationRamp)
                                     : values.testToneToggle ? testImageBytes(TestImageId::ToneMap)
                                                             : TestImageBytes{};
    values.testImage = testImage.data;
    values.testImageSize = testImage.size;
}

}  // namespace ChromvaleBeta2
