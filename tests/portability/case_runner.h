#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/portability/render_cases.h"

namespace tonemill::portability {

struct CaseOutput {
    std::vector<float> pixels;  // the render window, RGBA, rows bottom-up
    std::string look;           // the settings as a look file the command line reads
    std::string cube;           // the exported LUT file's bytes; empty without an export
};

// One life of the plug-in in a host of ours: the library loaded, described, every
// case of its effect rendered in an instance of its own (and exported where the case asks, into
// exportFolder) on a thread of the host's that ends only after the plug-in is
// unloaded and the library closed, which on Windows frees it: there the library
// must be gone afterwards. Throws std::runtime_error naming the case and the action that
// failed.
// The identifier of the effect the bundle at `bundlePath` offers, read by a
// host of ours that opens the library and closes it again.
std::string bundleIdentifier(const std::string& bundlePath);

std::map<std::string, CaseOutput> runCases(const std::string& bundlePath, unsigned threads,
                                           const std::filesystem::path& exportFolder, bool exportLuts);

}  // namespace tonemill::portability
