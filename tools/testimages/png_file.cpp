#include "tools/testimages/png_file.h"

#include <lodepng.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <stdexcept>

namespace tonemill::testimages {

uint8_t toByte(double value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

void writePng(const Picture& picture, const std::string& path) {
    std::vector<unsigned char> encoded;
    const LodePNGColorType type = picture.channels == 4 ? LCT_RGBA : LCT_RGB;
    const unsigned error = lodepng::encode(encoded, picture.bytes, picture.width, picture.height, type, 8);
    if (error) throw std::runtime_error(path + ": " + lodepng_error_text(error));
    const std::string partial = path + ".partial";
    if (lodepng::save_file(encoded, partial)) throw std::runtime_error("cannot write " + partial);
    std::filesystem::rename(partial, path);
}

}  // namespace tonemill::testimages
