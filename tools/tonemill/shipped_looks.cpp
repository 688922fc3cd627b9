#include "tools/tonemill/shipped_looks.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "tools/tonemill/bundle_locator.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/running_executable.h"

namespace tonemill::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLookExtension = ".look";

// The first comment line, without its '#': the look's one line of purpose.
std::string purposeOf(const fs::path& path) {
    std::ifstream file(path);
    if (!file) throw CliError("cannot read shipped look " + quotedText(path.string()));
    std::string line;
    while (std::getline(file, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos) continue;
        if (line[start] != '#') break;
        const size_t text = line.find_first_not_of("# \t", start);
        if (text == std::string::npos) continue;
        const size_t end = line.find_last_not_of(" \t\r");
        return line.substr(text, end - text + 1);
    }
    return {};
}

}  // namespace

std::vector<fs::path> shippedLookFolders(const char* pluginPath, const fs::path& executable) {
    std::vector<fs::path> folders;
    if (!executable.empty()) folders.push_back(executable.parent_path().parent_path() / "share" / "tonemill" / "looks");
    for (const fs::path& bundleFolder : bundleSearchFolders(pluginPath, executable))
        folders.push_back(bundleFolder / kBundleName / "Contents" / "Resources" / "looks");
    return folders;
}

std::vector<ShippedLook> shippedLooks(const std::vector<fs::path>& folders) {
    std::error_code error;
    const auto folder = std::find_if(folders.begin(), folders.end(),
                                     [&](const fs::path& candidate) { return fs::is_directory(candidate, error); });
    std::vector<ShippedLook> looks;
    if (folder == folders.end()) return looks;
    for (const fs::directory_entry& entry : fs::directory_iterator(*folder, error)) {
        const fs::path& path = entry.path();
        if (path.extension() == kLookExtension && entry.is_regular_file(error))
            looks.push_back({path.stem().string(), purposeOf(path), path});
    }
    if (error)
        throw CliError("cannot list the shipped looks in " + quotedText(folder->string()) + ": " + error.message());
    std::sort(looks.begin(), looks.end(), [](const ShippedLook& a, const ShippedLook& b) { return a.name < b.name; });
    return looks;
}

std::vector<fs::path> shippedLookFolders() {
    return shippedLookFolders(std::getenv("OFX_PLUGIN_PATH"), runningExecutable());
}

std::vector<ShippedLook> shippedLooks() {
    return shippedLooks(shippedLookFolders());
}

fs::path resolveLook(const std::string& value) {
    std::error_code error;
    if (fs::exists(value, error)) return value;
    // A path names a file the user meant, which is reported as missing.
    if (value.find('/') != std::string::npos || fs::path(value).extension() == kLookExtension) return value;
    const std::vector<ShippedLook> looks = shippedLooks();
    for (const ShippedLook& look : looks)
        if (look.name == value) return look.path;
    throw CliError("no look file or shipped look named " + quotedText(value) +
                   (looks.empty() ? "; no shipped looks were found beside this program"
                                  : "; 'tonemill looks' lists the shipped looks"));
}

}  // namespace tonemill::cli
