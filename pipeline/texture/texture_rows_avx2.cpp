// The texture's row loops built for AVX2 through the target pragma below;
// textureRowKernels decides at run time whether they may run. Only the
// header's own loops and C functions are built here, no library templates,
// whose shared copies the baseline code might otherwise call.
#if defined(__x86_64__)
#pragma GCC target("avx2,fma")

#include "pipeline/texture/texture_row_loops.h"

namespace TonemillTexture {

const TextureRowKernels kTextureRowsAvx2 = {boxDownLines, composeRowOfPixels, interleaveCellRows,
                                            hashNodeRow,  gatherCellRow,      interpolateCellRow};

}  // namespace TonemillTexture

#endif
