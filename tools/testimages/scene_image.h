#pragma once

#include "tools/testimages/png_file.h"

namespace tonemill::testimages {

// A natural scene of our own, in working-space encoding, for judging looks on
// what footage holds rather than on patches: sky with the sun in it, foliage,
// two faces of fair and deep skin, grey cards and a chrome ball's glints.
Picture naturalScene(unsigned width, unsigned height);

}  // namespace tonemill::testimages
