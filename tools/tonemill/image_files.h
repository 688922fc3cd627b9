#pragma once

#include <memory>
#include <string>

#include "host/host_image.h"

namespace tonemill::cli {

// A whole image file at once, for pictures small enough to hold (the render
// command reads and writes in bands through ImageReader and ImageWriter).
// Throws CliError naming the file.
std::shared_ptr<host::HostImage> readImage(const std::string& path);

// Writes in the format the extension names; `image` has its origin at (0, 0).
// The file appears only when complete. Throws CliError.
void writeImage(const host::HostImage& image, const std::string& path);

}  // namespace tonemill::cli
