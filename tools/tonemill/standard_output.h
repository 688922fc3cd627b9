#pragma once

namespace tonemill::cli {

// Standard output is what list, looks, info, help and bake - produce: output
// that never arrived (a full disk, a closed descriptor) is a failure.

// Holds a standard descriptor the caller closed with /dev/null opened for
// reading. No file the program opens then takes its number (an image would
// receive the listing), and writing to a closed standard output still fails.
void holdClosedStandardDescriptors();

// Flushes standard output; throws CliError with the reason when any write to
// it failed.
void flushStandardOutput();

}  // namespace tonemill::cli
