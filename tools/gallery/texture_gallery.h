#pragma once

#include <filesystem>
#include <string>

#include "tools/tonemill/effect_session.h"

namespace tonemill::gallery {

// The help page with its "<!-- texture -->" line replaced by the texture
// effect's pictures, rendered through the texture bundle in the host of
// `look`: each stock's grain on a grey ramp, cropped at 100 % from a 2160-line
// frame, and halation and bloom around a bright light. PNGs go to `folder`,
// named texture-*.png; the page refers to them as gallery/....
std::string pageWithTextureSection(const std::string& page, cli::EffectSession& look, const std::string& textureBundle,
                                   const std::filesystem::path& folder);

}  // namespace tonemill::gallery
