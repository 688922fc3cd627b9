#pragma once

#include <string>

namespace ChromvaleBeta2 {

// The plug-in bundle directory the host reported when it described the effect.
// Written by describe only, before any instance exists; read by the LUT library
// and the test image store to find their files.
extern std::string bundlePath;

// Where the bundle keeps its resources: bundlePath + "/Contents/Resources/" + file.
std::string bundleResource(const std::string& file);

}  // namespace ChromvaleBeta2
