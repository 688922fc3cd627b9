#include "ofx/support/effect_enums.h"

#include <stdexcept>

#include "ofx/support/ofxsLog.h"

namespace OFX {
namespace {

// Text of each value; the index is the enumeration value, null where it has none.
constexpr const char* kContextTexts[] = {
    nullptr,
    "OfxImageEffectContextGenerator",
    "OfxImageEffectContextFilter",
    "OfxImageEffectContextTransition",
    "OfxImageEffectContextPaint",
    "OfxImageEffectContextGeneral",
    "OfxImageEffectContextRetimer",
};
constexpr const char* kBitDepthTexts[] = {
    "OfxBitDepthNone", "OfxBitDepthByte", "OfxBitDepthShort", nullptr, "OfxBitDepthFloat",
};
constexpr const char* kComponentTexts[] = {
    "OfxImageComponentNone",
    "OfxImageComponentRGBA",
    "OfxImageComponentRGB",
    "OfxImageComponentAlpha",
};
constexpr const char* kPreMultiplicationTexts[] = {
    "OfxImageOpaque",
    "OfxImageAlphaPremultiplied",
    "OfxImageAlphaUnPremultiplied",
};
constexpr const char* kFieldTexts[] = {
    "OfxFieldNone",
    "OfxFieldBoth",
    "OfxFieldLower",
    "OfxFieldUpper",
};
constexpr const char* kRenderSafetyTexts[] = {
    "OfxImageEffectRenderUnsafe",
    "OfxImageEffectRenderInstanceSafe",
    "OfxImageEffectRenderFullySafe",
};

template <std::size_t N>
const char* textAt(const char* const (&texts)[N], int value) {
    return value >= 0 && static_cast<std::size_t>(value) < N ? texts[value] : nullptr;
}

// Index of `text` in `texts`, or -1.
template <std::size_t N>
int indexOf(const char* const (&texts)[N], const std::string& text) {
    for (std::size_t i = 0; i < N; ++i)
        if (texts[i] != nullptr && text == texts[i]) return static_cast<int>(i);
    return -1;
}

}  // namespace

ContextEnum mapStrToContextEnum(const std::string& text) {
    const int value = indexOf(kContextTexts, text);
    if (value < 0) {
        Log::error(true, "Unknown image effect context '%s'", text.c_str());
        throw std::invalid_argument(text);
    }
    return static_cast<ContextEnum>(value);
}

const char* mapContextEnumToStr(ContextEnum context) {
    return textAt(kContextTexts, context);
}

BitDepthEnum mapStrToBitDepthEnum(const std::string& text) {
    const int value = indexOf(kBitDepthTexts, text);
    return value < 0 ? eBitDepthCustom : static_cast<BitDepthEnum>(value);
}

const char* mapBitDepthEnumToStr(BitDepthEnum depth) {
    return textAt(kBitDepthTexts, depth);
}

PixelComponentEnum mapStrToPixelComponentEnum(const std::string& text) {
    const int value = indexOf(kComponentTexts, text);
    return value < 0 ? ePixelComponentCustom : static_cast<PixelComponentEnum>(value);
}

const char* mapPixelComponentEnumToStr(PixelComponentEnum components) {
    return textAt(kComponentTexts, components);
}

PreMultiplicationEnum mapStrToPreMultiplicationEnum(const std::string& text) {
    const int value = indexOf(kPreMultiplicationTexts, text);
    if (value < 0) throw std::invalid_argument(text);
    return static_cast<PreMultiplicationEnum>(value);
}

bool mapStrToFieldEnum(const std::string& text, FieldEnum& field) {
    const int value = indexOf(kFieldTexts, text);
    if (value < 0) return false;
    field = static_cast<FieldEnum>(value);
    return true;
}

const char* mapRenderSafetyEnumToStr(RenderSafetyEnum safety) {
    return textAt(kRenderSafetyTexts, safety);
}

int bytesPerComponent(BitDepthEnum depth) {
    switch (depth) {
        case eBitDepthUByte: return 1;
        case eBitDepthUShort: return 2;
        case eBitDepthFloat: return 4;
        default: return 0;
    }
}

int componentCount(PixelComponentEnum components) {
    switch (components) {
        case ePixelComponentRGBA: return 4;
        case ePixelComponentRGB: return 3;
        case ePixelComponentAlpha: return 1;
        default: return 0;
    }
}

}  // namespace OFX
