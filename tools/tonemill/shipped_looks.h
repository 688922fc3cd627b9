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
// the bundle beside it (the build tree's, for the program built in
// tools/tonemill, or PREFIX/OFX/Plugins's).
std::vector<std::filesystem::path> shippedLookFolders(const std::filesystem::path& executable);

// The looks of the first of those folders that exists, sorted by name; empty
// when there is none. Throws CliError naming a look file that cannot be read.
std::vector<ShippedLook> shippedLooks(const std::vector<std::filesystem::path>& folders);
std::vector<ShippedLook> shippedLooks();

// The file --look VALUE reads: VALUE itself when such a file exists, else the
// shipped look of that name. Throws CliError when it is neither.
std::filesystem::path resolveLook(const std::string& value);

}  // namespace tonemill::cli
