// What the instance does for a render: check the formats, fetch both images,
// gather the parameters and tables into one record and run the processor.

#include <memory>

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"
#include "pipeline/chromvale_processor.h"
#include "plugin/ChromvaleNG.h"
#include "plugin/lut_library.h"
#include "plugin/test_image_store.h"

namespace ChromvaleBeta2 {

namespace {

bool isFloatRGBA(OFX::BitDepthEnum depth, OFX::PixelComponentEnum components) {
    return depth == OFX::eBitDepthFloat && components == OFX::ePixelComponentRGBA;
}

// A host may have no image for a clip at the render time; rendering without
// both would read or write through a null image.
std::unique_ptr<OFX::Image> fetchRequiredImage(OFX::Clip& clip, double time) {
    std::unique_ptr<OFX::Image> image = clip.fetchImage(time);
    if (!image) {
        OFX::Log::error(true, "Clip %s delivered no image at time %g", clip.name().c_str(), time);
        OFX::throwSuiteStatusException(kOfxStatFailed);
    }
    return image;
}

}  // namespace

void ChromvaleNG::render(const OFX::RenderArguments& args) {
    enableExportButtons(true);  // gathering may switch them off again
    if (!isFloatRGBA(m_dstClip->getPixelDepth(), m_dstClip->getPixelComponents())) {
        OFX::throwSuiteStatusException(kOfxStatErrUnsupported);
    }
    ChromvaleProcessor processor(*this);
    setupAndProcess(processor, args);
}

void ChromvaleNG::setupAndProcess(ChromvaleProcessor& processor, const OFX::RenderArguments& args) {
    OFX::Log::print("Entered Setup and Process");

    // Declared destination first, so the source is released first.
    std::unique_ptr<OFX::Image> dst = fetchRequiredImage(*m_dstClip, args.time);
    const OFX::BitDepthEnum dstDepth = dst->getPixelDepth();
    const OFX::PixelComponentEnum dstComponents = dst->getPixelComponents();
    OFX::Log::print("Made it to dest image");

    std::unique_ptr<OFX::Image> src = fetchRequiredImage(*m_srcClip, args.time);
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

void ChromvaleNG::resolveLuts(LookParams& values) { resolveLookLuts(m_archive, values); }

void ChromvaleNG::applyTestToggleExclusion(const LookParams& values) {
    constexpr std::string_view kRamp = "testRampToggle", kSat = "testSatToggle", kTone = "testToneToggle",
                               kZones = "testKorvoLUTToggle", kGuide = "testKorvoOverlayToggle";
    auto enableOnly = [this](std::initializer_list<std::string_view> off, std::string_view on = {}) {
        for (std::string_view name : off) setEnabled(name, false);
        if (!on.empty()) setEnabled(on, true);
    };
    if (values.testRampToggle) {
        enableOnly({kSat, kTone, kZones, kGuide});
    } else if (values.testSatToggle) {
        enableOnly({kRamp, kTone, kZones, kGuide});
    } else if (values.testToneToggle) {
        enableOnly({kRamp, kSat, kZones, kGuide});
    } else if (values.testKorvoLUTToggle) {
        enableOnly({kRamp, kSat, kTone}, kGuide);
    } else {
        for (std::string_view name : {kRamp, kSat, kTone, kZones}) setEnabled(name, true);
        setEnabled(kGuide, false);
        booleanParam(kGuide).setValue(false);
    }
}

void ChromvaleNG::gatherLookParams(LookParams& values, double time) {
    values = LookParams{};

    values.gamutRAdjust = readBool("gamutRAdjust", time);
    values.gamutGAdjust = readBool("gamutGAdjust", time);
    values.gamutBAdjust = readBool("gamutBAdjust", time);
    values.gamutRAdjustValue = readFloat("gamutRAdjustValue", time) / 100.0f;
    values.gamutGAdjustValue = readFloat("gamutGAdjustValue", time) / 100.0f;
    values.gamutBAdjustValue = readFloat("gamutBAdjustValue", time) / 100.0f;

    values.lift = readFloat("lift", time);
    values.liftR = readFloat("liftR", time);
    values.liftG = readFloat("liftG", time);
    values.liftB = readFloat("liftB", time);
    values.liftToggle = readBool("liftToggle", time);
    values.gamma = readFloat("gamma", time);
    values.gammaR = readFloat("gammaR", time);
    values.gammaG = readFloat("gammaG", time);
    values.gammaB = readFloat("gammaB", time);
    values.gammaToggle = readBool("gammaToggle", time);
    values.gain = readFloat("gain", time);
    values.gainR = readFloat("gainR", time);
    values.gainG = readFloat("gainG", time);
    values.gainB = readFloat("gainB", time);
    values.gainToggle = readBool("gainToggle", time);

    values.saturation = readFloat("saturation", time);
    values.saturationToggle = readBool("saturationToggle", time);

    values.PrinterLight = readFloat("PrinterLight", time);
    values.PrinterLightR = readFloat("PrinterLightR", time);
    values.PrinterLightG = readFloat("PrinterLightG", time);
    values.PrinterLightB = readFloat("PrinterLightB", time);
    values.PrinterLightToggle = readBool("PrinterLightToggle", time);

    // One slider drives push/pull in every channel.
    values.PushPullLight = readFloat("PushPullLight", time);
    values.PushPullLightR = values.PushPullLightG = values.PushPullLightB = values.PushPullLight;
    values.PushPullLightToggle = readBool("PushPullLightToggle", time);

    values.CMYAmount = readFloat("CMYAmount", time);
    values.C = readFloat("C", time);
    values.M = readFloat("M", time);
    values.Y = readFloat("Y", time);
    values.CMYToggle = readBool("CMYToggle", time);

    values.temperature = readFloat("temperature", time);
    values.temperatureToggle = readBool("temperatureToggle", time);

    values.postProcessAdjust = readBool("postProcessAdjust", time);
    values.postProcessValue = readFloat("postProcessValue", time);

    values.outputProfileOptions = readChoice("outputProfileOptions", time);

    values.testRampToggle = readBool("testRampToggle", time);
    values.testSatToggle = readBool("testSatToggle", time);
    values.testToneToggle = readBool("testToneToggle", time);
    values.testKorvoLUTToggle = readBool("testKorvoLUTToggle", time);

    values.globalBlend = readFloat("globalBlend", time);
    values.globalBlendEnabled = readBool("globalBlendEnabled", time);

    applyTestToggleExclusion(values);

    // Read after the exclusion, so a guide just forced off reads off.
    values.testKorvoOverlayToggle = readBool("testKorvoOverlayToggle", time);
    if (values.testKorvoOverlayToggle) {
        const TestImageBytes guide = testImageBytes(TestImageId::ZoneGuide);
        values.zoneOverlay = guide.data;
        values.zoneOverlaySize = guide.size;
    }

    // A zone chart is a diagnostic view, not a look worth exporting.
    enableExportButtons(!values.testKorvoLUTToggle);

    const TestImageBytes testImage = values.testRampToggle  ? testImageBytes(TestImageId::LightnessRamp)
                                     : values.testSatToggle ? testImageBytes(TestImageId::SaturationRamp)
                                     : values.testToneToggle ? testImageBytes(TestImageId::ToneMap)
                                                             : TestImageBytes{};
    values.testImage = testImage.data;
    values.testImageSize = testImage.size;

    values.colorPaletteAOptions = readChoice("colorPaletteAOptions", time);
    values.negativeToggle = readBool("negativeToggle", time);
    if (values.colorPaletteAOptions > 0) values.colorPaletteAIntensity = readFloat("colorPaletteAIntensity", time);

    values.colorPaletteBOptions = readChoice("colorPaletteBOptions", time);
    values.printToggle = readBool("printToggle", time);
    if (values.colorPaletteBOptions > 0) values.colorPaletteBIntensity = readFloat("colorPaletteBIntensity", time);

    values.colorPaletteNegativeSelections = readChoice("colorPaletteNegativeSelections", time);
    values.colorPaletteNegativeGEN2Selections = readChoice("colorPaletteNegativeGEN2Selections", time);
    values.colorPaletteMajorSelections = readChoice("colorPaletteMajorSelections", time);
    values.colorPaletteMinorSelections = readChoice("colorPaletteMinorSelections", time);

    values.idtProfile = readChoice("idtProfile", time);
    values.postProcessOptions = readChoice("postProcessOptions", time);
    values.contrastOptions = readChoice("contrastOptions", time);
    values.contrastIntensity = readFloat("contrastIntensity", time);
}

}  // namespace ChromvaleBeta2
