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

// Checks a --compression value against what the format, as OpenImageIO names
// it ("openexr", "tiff"...), takes: a library would quietly use its default
// for a name or level it does not know. `extension` names the files in the
// message. Throws UsageError.
void checkCompression(const std::string& compression, const std::string& format, const std::string& extension);

}  // namespace tonemill::cli
