#include "tools/tonemill/bundle_locator.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "tools/tonemill/cli_error.h"

namespace tonemill::cli {
namespace {

std::vector<std::string> searchFolders() {
  std::vector<std::string> folders;
  if (const char *path = std::getenv("OFX_PLUGIN_PATH")) {
    std::stringstream list(path);
    std::string folder;
    while (std::getline(list, folder, ':'))
      if (!folder.empty()) folders.push_back(folder);
  }
  folders.emplace_back("/usr/OFX/Plugins");
  return folders;
}

bool isBundle(const std::filesystem::path &path) {
  std::error_code ignored;
  return std::filesystem::is_directory(path / "Contents", ignored);
}

}  // namespace

std::string locateBundle(const std::string &explicitPath) {
  if (!explicitPath.empty()) {
    std::error_code ignored;
    if (!std::filesystem::exists(explicitPath, ignored))
      throw CliError("bundle '" + explicitPath + "' does not exist");
    return explicitPath;
  }
  std::string looked;
  for (const std::string &folder : searchFolders()) {
    const std::filesystem::path candidate = std::filesystem::path(folder) / kBundleName;
    if (isBundle(candidate)) return candidate.string();
    looked += (looked.empty() ? "" : ", ") + folder;
  }
  throw CliError(std::string("no ") + kBundleName + " found in " + looked +
                 " (set OFX_PLUGIN_PATH or pass --bundle PATH)");
}

}  // namespace tonemill::cli
