#pragma once

#include <memory>
#include <string>

#include "host/host_image.h"

namespace tonemill::cli {

// Any format OpenImageIO reads (EXR, DPX, TIFF, PNG, JPEG...), as RGBA float with
// row 0 at the bottom, as OpenFX images are. Grey images are spread over R, G and
// B; a missing alpha becomes 1. Throws CliError naming the file.
std::shared_ptr<host::HostImage> readImage(const std::string &path);

// Writes in the format the extension names (float for EXR, TIFF and HDR, 16 bits
// for DPX, 8 bits otherwise). The file appears only when complete: it is written
// beside the target under a temporary name and renamed. Throws CliError.
void writeImage(const host::HostImage &image, const std::string &path);

}  // namespace tonemill::cli
