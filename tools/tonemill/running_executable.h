#pragma once

#include <filesystem>

namespace tonemill::cli {

// Where this program runs from, so that an installed prefix or a build tree
// finds its own bundle and looks without any setting; empty where the system
// cannot say.
std::filesystem::path runningExecutable();

}  // namespace tonemill::cli
