#pragma once

#include <string>

namespace tonemill::cli {

// How rendered frames are stored.
struct OutputSettings {
    std::string depth;        // uint8, uint16, half or float; empty: the input's where the format holds it
    std::string compression;  // as OpenImageIO names it (zip, piz, dwaa:45, lzw...); empty: the format's default
};

// Checks a --depth value; throws UsageError.
void checkDepthName(const std::string& depth);

}  // namespace tonemill::cli
