#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tonemill::cli {

inline constexpr const char* kBundleName = "Tonemill.ofx.bundle";
inline constexpr const char* kTextureBundleName = "TonemillTexture.ofx.bundle";

// The bundle of an effect named on the command line: "look" or "texture".
// Throws UsageError naming `option` for any other name.
std::string bundleNameFor(const std::string& effect, const std::string& option);

// The folders searched for Tonemill.ofx.bundle when no path is given, in
// order: those listed in `pluginPath` (OFX_PLUGIN_PATH's value, null when it
// is unset), then the bundle's place beside `executable` (PREFIX/OFX/Plugins
// for PREFIX/bin/tonemill, the build tree's root for the program built in
// tools/tonemill), then /usr/OFX/Plugins. An empty `executable` adds nothing.
std::vector<std::filesystem::path> bundleSearchFolders(const char* pluginPath, const std::filesystem::path& executable);

// The bundle to load: the explicit path when one is given, else the first
// bundle of that name in the folders above for this process. Throws CliError
// listing where it looked.
std::string locateBundle(const std::string& explicitPath, const std::string& bundleName = kBundleName);

}  // namespace tonemill::cli
