#pragma once

// Every parameter of the texture effect, once: describe, the instance's fetch
// and gathering, and the command line's list all read this table.

#include <span>
#include <string_view>

#include "pipeline/texture/texture_settings.h"

namespace TonemillTexture {

enum class TextureParamKind { Group, Boolean, Choice, Double };

struct TextureParamEntry {
    std::string_view name;
    std::string_view label;
    std::string_view hint;
    TextureParamKind kind;
    std::string_view parent;  // group name; empty at the top level
    double defaultValue = 0.0;
    double minimum = 0.0;
    double maximum = 0.0;
    // Stores a gathered value (a choice's option index, a boolean as 0 or 1).
    void (*store)(TextureParams&, double) = nullptr;
};

std::span<const TextureParamEntry> textureCatalogue();

// Option texts of a choice parameter: the stock or gauge labels.
std::span<const std::string_view> textureOptionsOf(std::string_view name);

}  // namespace TonemillTexture
