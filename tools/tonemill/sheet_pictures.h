#pragma once

#include <memory>

#include "host/host_image.h"
#include "tools/testimages/png_file.h"
#include "tools/tonemill/image_reader.h"

namespace tonemill::cli {

// The average of the source pixels under each pixel of a smaller picture, so
// that a look is rendered on a thumbnail rather than shrunk after it: the chain
// works per pixel, and the thumbnail costs a fraction of the frame.
std::shared_ptr<host::HostImage> shrunk(const host::HostImage& source, int width, int height);

// The same picture, read from the file a few rows at a time down the frame, so
// that a frame many times the thumbnail's size is never held whole. Throws
// CliError naming the file.
std::shared_ptr<host::HostImage> shrunk(ImageReader& source, int width, int height);

// Copies a rendered picture (OpenFX rows, bottom up) into an 8-bit one with
// its top left corner at (left, top).
void paste(testimages::Picture& target, const host::HostImage& picture, int left, int top);

}  // namespace tonemill::cli
