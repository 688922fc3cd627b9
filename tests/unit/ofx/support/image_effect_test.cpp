// Effect descriptors, effect instances, clips and images over the host library's
// image effect suite.

#include <new>
#include <stdexcept>

#include "host/host_image.h"
#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsImageEffect.h"
#include "tests/unit/ofx/support/hosted_layer.h"

namespace support_wrap {
namespace {

using ImageEffectTest = HostedTest;

TEST_F(ImageEffectTest, DescriptorWritesItsPropertiesAndNamesTheOutputsOfEachClip) {
    auto hostDescriptor = newDescriptor();
    OFX::ImageEffectDescriptor descriptor(hostDescriptor->handle());
    descriptor.addSupportedContext(OFX::eContextFilter);
    descriptor.addSupportedContext(OFX::eContextGeneral);
    descriptor.addSupportedBitDepth(OFX::eBitDepthCustom);
    descriptor.setSupportsMetalRender(false);

    const hst::PropertySet& props = hostDescriptor->properties();
    EXPECT_EQ(props.getStrings(kOfxImageEffectPropSupportedContexts),
              (std::vector<std::string>{"OfxImageEffectContextFilter", "OfxImageEffectContextGeneral"}));
    EXPECT_EQ(props.dimension(kOfxImageEffectPropSupportedPixelDepths), 0);
    EXPECT_EQ(props.getString("OfxImageEffectPropMetalRenderSupported"), "false");

    OFX::ClipDescriptor* source = descriptor.defineClip("Source");
    EXPECT_EQ(descriptor.defineClip("Source"), source);
    source->addSupportedComponent(OFX::ePixelComponentRGBA);
    EXPECT_EQ(hostDescriptor->clip("Source")->properties().getStrings(kOfxImageEffectPropSupportedComponents),
              std::vector<std::string>{"OfxImageComponentRGBA"});
    EXPECT_EQ(descriptor.getClipROIPropNames().at("Source"), "OfxImageClipPropRoI_Source");
    EXPECT_EQ(descriptor.getClipFrameRangePropNames().at("Source"), "OfxImageClipPropFrameRange_Source");
}

TEST_F(ImageEffectTest, InstanceIsFoundThroughItsHandleOnlyWhileItLives) {
    auto hostInstance = newInstance("OfxImageEffectContextGeneral");
    {
        ScriptedEffect effect(hostInstance->handle());
        EXPECT_EQ(effect.getContext(), OFX::eContextGeneral);
        EXPECT_EQ(hostInstance->properties().getPointer(kOfxPropInstanceData), &effect);
    }
    EXPECT_EQ(hostInstance->properties().getPointer(kOfxPropInstanceData), nullptr);

    // A half-built instance must not stay registered for later actions to use.
    hostInstance->properties().set(kOfxImageEffectPropContext, "OfxImageEffectContextReader");
    EXPECT_THROW(ScriptedEffect{hostInstance->handle()}, std::invalid_argument);
    EXPECT_EQ(hostInstance->properties().getPointer(kOfxPropInstanceData), nullptr);
}

class ImageTest : public HostedTest {
 protected:
    ImageTest() { hostInstance->clip("Source")->properties().set(kOfxImageClipPropConnected, 1); }

    std::unique_ptr<OFX::Image> fetchWith(hst::ImageFormat format, OfxRectI bounds = {-3, 5, 7, 9}) {
        hostImage = std::make_shared<hst::HostImage>(bounds, format);
        hostInstance->clip("Source")->image = hostImage;
        return source->fetchImage(0);
    }

    std::unique_ptr<hst::Effect> hostInstance = newInstance();
    ScriptedEffect effect{hostInstance->handle()};
    OFX::Clip* source = effect.fetchClip("Source");
    std::shared_ptr<hst::HostImage> hostImage;
};

TEST_F(ImageTest, PixelAddressesFollowNegativeRowBytesAndStopAtTheBounds) {
    hst::ImageFormat topDown;
    topDown.rowOrder = hst::RowOrder::TopDown;
    topDown.rowPaddingBytes = 8;
    auto image = fetchWith(topDown);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getRowBytes(), -(10 * 16 + 8));
    EXPECT_EQ(image->getPixelBytes(), 16);
    EXPECT_EQ(image->getPixelAddress(-3, 5), image->getPixelData());
    for (auto [x, y] : {std::pair{-3, 8}, {6, 5}, {6, 8}, {0, 7}})
        EXPECT_EQ(image->getPixelAddress(x, y), hostImage->pixelAddress(x, y)) << x << ", " << y;
    for (auto [x, y] : {std::pair{7, 5}, {-4, 5}, {0, 9}, {0, 4}})
        EXPECT_EQ(image->getPixelAddress(x, y), nullptr) << x << ", " << y;

    image.reset();
    EXPECT_EQ(host().imageCounts().outstanding(), 0u);
}

TEST_F(ImageTest, PixelBytesFollowDepthAndComponentsAndUnknownDepthsAddressNothing) {
    hst::ImageFormat shortRgb;
    shortRgb.depth = kOfxBitDepthShort;
    shortRgb.components = kOfxImageComponentRGB;
    EXPECT_EQ(fetchWith(shortRgb)->getPixelBytes(), 6);

    host().faults().imageDepth = "OfxBitDepthHalf";
    auto half = fetchWith({});
    EXPECT_EQ(half->getPixelDepth(), OFX::eBitDepthCustom);
    EXPECT_EQ(half->getPixelBytes(), 0);
    EXPECT_EQ(half->getPixelAddress(0, 6), nullptr);
}

TEST_F(ImageTest, FieldTextsMapAndAnUnknownOneIsLoggedAsNone) {
    hst::ImageFormat format;
    format.field = kOfxImageFieldUpper;
    EXPECT_EQ(fetchWith(format)->getField(), OFX::eFieldUpper);
    format.field = kOfxImageFieldLower;
    EXPECT_EQ(fetchWith(format)->getField(), OFX::eFieldLower);

    LogTail log;
    format.field = "OfxFieldSideways";
    EXPECT_EQ(fetchWith(format)->getField(), OFX::eFieldNone);
    EXPECT_TRUE(log.contains("ERROR : Unknown field state 'OfxFieldSideways' reported on an image"));
}

TEST_F(ImageTest, MissingImagesAreNullAndFailuresRaiseWithoutKeepingTheImage) {
    EXPECT_EQ(source->fetchImage(0), nullptr);  // the clip has no pixels: kOfxStatFailed

    hst::ImageFormat format;
    host().faults().failSuiteCall("clipGetImage", kOfxStatErrMemory);
    EXPECT_THROW(fetchWith(format), std::bad_alloc);
    host().faults() = {};

    format.premultiplication = "OfxImageSomewhatPremultiplied";
    EXPECT_THROW(fetchWith(format), std::invalid_argument);
    EXPECT_EQ(host().imageCounts().outstanding(), 0u);
}

TEST_F(ImageTest, ObjectsOutlivingTheHostSuitesAreDroppedWithoutThrowing) {
    auto image = fetchWith({});
    auto lateHost = newInstance();
    auto late = std::make_unique<ScriptedEffect>(lateHost->handle());
    ASSERT_EQ(send(kOfxActionUnload, nullptr, nullptr), kOfxStatOK);
    EXPECT_NO_THROW(image.reset());
    EXPECT_NO_THROW(late.reset());
    ASSERT_EQ(send(kOfxActionLoad, nullptr, nullptr), kOfxStatOK);
}

TEST_F(ImageTest, ClipDepthAndComponentsComplainOnlyWhenConnected) {
    hst::PropertySet& clipProps = hostInstance->clip("Source")->properties();
    clipProps.set(kOfxImageEffectPropPixelDepth, kOfxBitDepthNone);
    clipProps.set(kOfxImageEffectPropComponents, kOfxImageComponentNone);

    LogTail connected;
    EXPECT_EQ(source->getPixelDepth(), OFX::eBitDepthNone);
    EXPECT_EQ(source->getPixelComponents(), OFX::ePixelComponentNone);
    EXPECT_EQ(connected.lines(),
              (std::vector<std::string>{
                  "Retrieved string property OfxImageEffectPropPixelDepth[0], was given OfxBitDepthNone.",
                  "Retrieved int property OfxImageClipPropConnected[0], was given 1.",
                  "ERROR : Clip Source is connected and has no pixel depth.",
                  "Retrieved string property OfxImageEffectPropComponents[0], was given OfxImageComponentNone.",
                  "Retrieved int property OfxImageClipPropConnected[0], was given 1.",
                  "ERROR : Clip Source is connected and has no pixel component type!",
              }));

    clipProps.set(kOfxImageClipPropConnected, 0);
    LogTail unconnected;
    EXPECT_EQ(source->getPixelDepth(), OFX::eBitDepthNone);
    for (const std::string& line : unconnected.lines()) EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;

    clipProps.set(kOfxImageEffectPropPixelDepth, "OfxBitDepthHalf");
    EXPECT_EQ(source->getPixelDepth(), OFX::eBitDepthCustom);
}

}  // namespace
}  // namespace support_wrap
