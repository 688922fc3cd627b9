#include "tools/tonemill/bundle_locator.h"

#include <cstdlib>
#include <sstream>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/running_executable.h"

namespace tonemill::cli {
namespace {

namespace fs = std::filesystem;

bool isBundle(const fs::path& path) {
    std::error_code ignored;
    return fs::is_directory(path / "Contents", ignored);
}

}  // namespace

std::vector<fs::path> bundleSearchFolders(const char* pluginPath, const fs::path& executable) {
    std::vector<fs::path> folders;
    if (pluginPath) {
        std::stringstream list(pluginPath);
        std::string folder;
        while (std::getline(list, folder, ':'))
            if (!folder.empty()) folders.emplace_back(folder);
    }
    if (!executable.empty()) {
        const fs::path programFolder = executable.parent_path();
        folders.push_back(programFolder.parent_path() / "OFX" / "Plugins");
        if (programFolder.filename() == "tonemill" && programFolder.parent_path().filename() == "tools")
            folders.push_back(programFolder.parent_path().parent_path());
    }
    folders.emplace_back("/usr/OFX/Plugins");
    return folders;
}

std::string bundleNameFor(const std::string& effect, const std::string& option) {
    if (effect == "look") return kBundleName;
    if (effect == "texture") return kTextureBundleName;
    throw UsageError(option + " expects look or texture, got '" + effect + "'");
}

std::string locateBundle(const std::string& explicitPath, const std::string& bundleName) {
    if (!explicitPath.empty()) {
        std::error_code ignored;
        if (!fs::exists(explicitPath, ignored)) throw CliError("bundle '" + explicitPath + "' does not exist");
        return explicitPath;
    }
    std::string looked;
    for (const fs::path& folder : bundleSearchFolders(std::getenv("OFX_PLUGIN_PATH"), runningExecutable())) {
        const fs::path candidate = folder / bundleName;
        if (isBundle(candidate)) return candidate.string();
        looked += (looked.empty() ? "" : ", ") + folder.string();
    }
    throw CliError("no " + bundleName + " found in " + looked + " (set OFX_PLUGIN_PATH or pass --bundle PATH)");
}

}  // namespace tonemill::cli
