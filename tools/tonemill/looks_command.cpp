#include <algorithm>
#include <cstdio>

#include "tools/tonemill/commands.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/shipped_looks.h"

namespace tonemill::cli {

int runLooks(const CommandLine& line) {
    acceptOnly(line, "looks", {});
    if (!line.positional.empty()) throw UsageError("looks takes no arguments");
    const std::vector<ShippedLook> looks = shippedLooks();
    if (looks.empty()) {
        std::string folders;
        for (const auto& folder : shippedLookFolders()) folders += (folders.empty() ? "" : ", ") + folder.string();
        throw CliError("no shipped looks found in " + folders);
    }
    size_t widest = 0;
    for (const ShippedLook& look : looks) widest = std::max(widest, look.name.size());
    for (const ShippedLook& look : looks)
        std::printf("%-*s  %s\n", static_cast<int>(widest), look.name.c_str(), look.purpose.c_str());
    std::printf("(in %s; apply one with --look NAME)\n", looks.front().path.parent_path().c_str());
    // The looks start from the working space: footage needs its input profile.
    std::printf("A photograph (sRGB): tonemill render photo.jpg graded.png --set idtProfile=\"sRGB IDT\" --look %s\n",
                looks.front().name.c_str());
    return 0;
}

}  // namespace tonemill::cli
