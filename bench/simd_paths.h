#pragma once

#include <string>

namespace tonemill::bench {

// The vector instruction path each side of the comparison takes on this
// machine, printed before the figures so a run says what it measured.
std::string tonemillSimdPath();
std::string openColorIoSimdPath();

}  // namespace tonemill::bench
