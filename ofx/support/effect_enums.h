#pragma once
// The string-valued image effect properties as enumerations, and their texts.
// Reading maps a text by exact comparison; writing gives the text or null when the
// value has none (none, custom or out of range), in which case nothing is written.

#include <string>

namespace OFX {

enum ContextEnum {
    eContextNone = 0,
    eContextGenerator,
    eContextFilter,
    eContextTransition,
    eContextPaint,
    eContextGeneral,
    eContextRetimer,
};

enum BitDepthEnum {
    eBitDepthNone = 0,
    eBitDepthUByte = 1,
    eBitDepthUShort = 2,
    eBitDepthFloat = 4,
    eBitDepthCustom = 5,
};

enum PixelComponentEnum {
    ePixelComponentNone = 0,
    ePixelComponentRGBA,
    ePixelComponentRGB,
    ePixelComponentAlpha,
    ePixelComponentCustom,
};

enum PreMultiplicationEnum {
    eImageOpaque = 0,
    eImagePreMultiplied,
    eImageUnPreMultiplied,
};

enum FieldEnum {
    eFieldNone = 0,
    eFieldBoth,
    eFieldLower,
    eFieldUpper,
};

enum RenderSafetyEnum {
    eRenderUnsafe = 0,
    eRenderInstanceSafe,
    eRenderFullySafe,
};

// An unknown context text writes an error line naming it and raises
// std::invalid_argument.
ContextEnum mapStrToContextEnum(const std::string& text);
const char* mapContextEnumToStr(ContextEnum context);

// Texts the layer does not know read as custom.
BitDepthEnum mapStrToBitDepthEnum(const std::string& text);
const char* mapBitDepthEnumToStr(BitDepthEnum depth);
PixelComponentEnum mapStrToPixelComponentEnum(const std::string& text);
const char* mapPixelComponentEnumToStr(PixelComponentEnum components);

// An unknown text raises std::invalid_argument naming it.
PreMultiplicationEnum mapStrToPreMultiplicationEnum(const std::string& text);

// Returns false for an unknown text and leaves `field` untouched; callers log in their
// own words.
bool mapStrToFieldEnum(const std::string& text, FieldEnum& field);

const char* mapRenderSafetyEnumToStr(RenderSafetyEnum safety);

// Bytes of one component of the depth; 0 for none and custom.
int bytesPerComponent(BitDepthEnum depth);
// RGBA 4, RGB 3, Alpha 1, otherwise 0.
int componentCount(PixelComponentEnum components);

}  // namespace OFX
