#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tonemill::cli {

// A curated look shipped with the command line and the bundle: NAME.look in
// the looks folder, whose first comment line says what it is for.
struct ShippedLook {
    std::string name;
    std::string purpose;
    std::filesystem::path path;
};

// Where the shipped looks may lie for the program at `executable`, in order:
// PREFIX/share/tonemill/looks for PREFIX/bin/tonemill, then the resources of
// each bundle in the order the bundle is searched for (OFX_PLUGIN_PATH's
// value `pluginPath` first, then beside the program; see bundle_locator.h).
std::vector<std::filesystem::path> shippedLookFolders(const char* pluginPath, const std::filesystem::path& executable);
std::vector<std::filesystem::path> shippedLookFolders();

// The looks of the first of those folders that exists, sorted by name; empty
// when there is none. Throws CliError naming a look file that cannot be read.
std::vector<ShippedLook> shippedLooks(const std::vector<std::filesystem::path>& folders);
std::vector<ShippedLook> shippedLooks();

// The file --look VALUE reads: VALUE itself when such a file exists, else the
// shipped look of that name. Throws CliError when it is neither.
std::filesystem::path resolveLook(const std::string& value);

}  // namespace tonemill::cli
