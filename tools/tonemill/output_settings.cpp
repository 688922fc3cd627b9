#include "tools/tonemill/output_settings.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/message_text.h"

namespace tonemill::cli {

void checkDepthName(const std::string& depth) {
    static constexpr std::array<std::string_view, 4> kDepths{"uint8", "uint16", "half", "float"};
    if (std::find(kDepths.begin(), kDepths.end(), depth) == kDepths.end())
        throw UsageError("--depth expects uint8, uint16, half or float, got " + quotedText(depth));
}

}  // namespace tonemill::cli
