#pragma once

#include "pipeline/look_params.h"
#include "pipeline/pipeline_settings.h"

namespace ChromvaleBeta2 {

// Byte count of a test image or zone guide: 1920 x 1080 RGBA bytes.
inline constexpr uint32_t kTestViewBytes = 1920u * 1080u * 4u;

// Reduces the gathered parameters to the chain's settings: bypass toggles
// give neutral values, master and channel values are combined, and each LUT
// stage gets its table only when its option selects one. Writes every member
// except lutArchive. A table of the wrong kind or with fewer entries than
// its grid size promises, and an image smaller than a full test view, are
// treated as absent, so the chain never reads outside them.
void setSettings(PipelineSettings& settings, const LookParams& params);

}  // namespace ChromvaleBeta2
