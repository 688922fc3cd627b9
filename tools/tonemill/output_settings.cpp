#include "tools/tonemill/output_settings.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/numbers.h"

namespace tonemill::cli {

namespace {

// One compression a format takes; those with a level take NAME or NAME:LEVEL.
struct Compression {
    std::string_view format;
    std::string_view name;
    double lowestLevel = 0;
    double highestLevel = 0;  // 0: takes no level
    bool wholeLevel = true;
};

constexpr Compression kCompressions[] = {
    {"openexr", "none"},
    {"openexr", "rle"},
    {"openexr", "zips", 1, 9},
    {"openexr", "zip", 1, 9},
    {"openexr", "piz"},
    {"openexr", "pxr24"},
    {"openexr", "b44"},
    {"openexr", "b44a"},
    {"openexr", "dwaa", 1, 1000, false},
    {"openexr", "dwab", 1, 1000, false},
    {"tiff", "none"},
    {"tiff", "lzw"},
    {"tiff", "zip", 1, 9},
    {"tiff", "packbits"},
    {"tiff", "jpeg", 1, 100},
    {"png", "zip", 1, 9},
    {"jpeg", "jpeg", 1, 100},
    {"targa", "none"},
    {"targa", "rle"},
};

bool levelFits(const Compression& compression, std::string_view text) {
    const std::optional<double> level = parseNumber(text, compression.wholeLevel);
    return compression.highestLevel > 0 && level.has_value() && *level >= compression.lowestLevel &&
           *level <= compression.highestLevel;
}

std::string levelText(double level) {
    std::string text = std::to_string(level);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

void checkCompression(const std::string& compression, const std::string& format, const std::string& extension) {
    const size_t colon = compression.find(':');
    const std::string_view name = std::string_view(compression).substr(0, colon);
    std::string names;
    for (const Compression& known : kCompressions) {
        if (known.format != format) continue;
        if (known.name == name) {
            if (colon == std::string::npos) return;
            if (levelFits(known, std::string_view(compression).substr(colon + 1))) return;
            throw UsageError("--compression " + quotedText(compression) + ": " +
                             (known.highestLevel > 0
                                  ? std::string(name) + " takes a " + (known.wholeLevel ? "whole number" : "level") +
                                        " from " + levelText(known.lowestLevel) + " to " + levelText(known.highestLevel)
                                  : std::string(name) + " takes no level"));
        }
        names.append(names.empty() ? "" : ", ").append(known.name);
    }
    throw UsageError("--compression " + quotedText(compression) + ": " + extension + " files take " +
                     (names.empty() ? std::string("no compression setting") : names));
}

void checkDepthName(const std::string& depth) {
    static constexpr std::array<std::string_view, 4> kDepths{"uint8", "uint16", "half", "float"};
    if (std::find(kDepths.begin(), kDepths.end(), depth) == kDepths.end())
        throw UsageError("--depth expects uint8, uint16, half or float, got " + quotedText(depth));
}

}  // namespace tonemill::cli
