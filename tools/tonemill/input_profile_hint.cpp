#include "tools/tonemill/input_profile_hint.h"

#include "tools/tonemill/image_reader.h"
#include "tools/tonemill/message_text.h"

namespace tonemill::cli {

std::optional<std::string> inputProfileNote(int chosenProfile, const ImageReader& picture) {
    // The first option, "Select Camera", applies no input transform.
    if (chosenProfile != 0) return std::nullopt;
    const OIIO::ImageSpec& layout = picture.layout();
    const bool integer =
        layout.format.basetype == OIIO::TypeDesc::UINT8 || layout.format.basetype == OIIO::TypeDesc::UINT16;
    const std::string suggestion =
        integer ? "an 8- or 16-bit picture like this one is usually sRGB: --set idtProfile=\"sRGB IDT\""
                : "a floating-point picture is usually scene-linear: --set idtProfile=\"VFX LINEAR SRGB\" for "
                  "linear sRGB primaries, or convert it to ACEScct and use \"ACESCCT\"";
    return "note: no input profile is set, so " + quotedText(picture.path()) +
           " is read as ACEScct working-space values; " + suggestion;
}

}  // namespace tonemill::cli
