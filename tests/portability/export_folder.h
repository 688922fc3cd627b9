#pragma once

#include <filesystem>

namespace tonemill::portability {

// Makes the plug-in's unattended export land in a folder the check can read, and
// returns that folder. The plug-in saves into a host's LUT folder where the host
// has one (it adds its own CHROMVALE folder there), so this creates the host's
// folder: on Windows DaVinci Resolve's, on Linux one under `scratch` through
// XDG_DATA_HOME, with the display variables cleared so no dialog is tried.
std::filesystem::path prepareExportFolder(const std::filesystem::path& scratch);

}  // namespace tonemill::portability
