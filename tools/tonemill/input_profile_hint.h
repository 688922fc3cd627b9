#pragma once

#include <optional>
#include <string>

namespace tonemill::cli {

class ImageReader;

// With no input profile chosen the effect reads a picture as working-space
// (ACEScct) values, which turns a photograph blown out and crushed without a
// hint why. The note for such a render: how the picture is read and the
// profile that fits what the file says of itself; none when a profile is set.
std::optional<std::string> inputProfileNote(int chosenProfile, const ImageReader& picture);

}  // namespace tonemill::cli
