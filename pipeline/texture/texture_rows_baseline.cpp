// The texture's row loops at the x86-64 baseline (SSE2), or the plain build
// elsewhere: every processor runs these.
#include "pipeline/texture/texture_row_loops.h"

namespace TonemillTexture {

const TextureRowKernels kTextureRowsBaseline = {boxDownLines, composeRowOfPixels, interleaveCellRows,
                                                hashNodeRow,  gatherCellRow,      interpolateCellRow};

}  // namespace TonemillTexture
