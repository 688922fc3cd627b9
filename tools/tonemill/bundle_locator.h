#pragma once

#include <string>

namespace tonemill::cli {

inline constexpr const char *kBundleName = "Tonemill.ofx.bundle";

// The bundle to load: the explicit path when one is given, else the first
// Tonemill.ofx.bundle in the folders of OFX_PLUGIN_PATH, then /usr/OFX/Plugins,
// as an OpenFX host searches. Throws CliError listing where it looked.
std::string locateBundle(const std::string &explicitPath);

}  // namespace tonemill::cli
