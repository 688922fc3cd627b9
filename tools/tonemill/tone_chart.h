#pragma once

#include <memory>

#include "host/host_image.h"

namespace tonemill::cli {

// The picture `render` uses when no input is given: a working-space (ACEScct)
// chart of 1920 x 1080 with a grey ramp, a hue and saturation field and grey
// steps, so a look can be judged on a fresh machine without any footage.
std::shared_ptr<host::HostImage> makeToneChart();

}  // namespace tonemill::cli
