#include "pipeline/texture/texture_rows.h"

#include <cstring>

#include "pipeline/chain_lanes.h"

namespace TonemillTexture {

using ChromvaleBeta2::LanePath;

namespace {

// AVX-512 machines take the AVX2 loops: the texture has no wider build.
const TextureRowKernels& kernelsOf(LanePath path) {
#if defined(__x86_64__)
    if (path != LanePath::kFour) return kTextureRowsAvx2;
#else
    (void)path;
#endif
    return kTextureRowsBaseline;
}

}  // namespace

const TextureRowKernels& textureRowKernels() {
    return kernelsOf(ChromvaleBeta2::cpuLanePath());
}

const TextureRowKernels* textureRowKernelsFor(const char* path) {
    const LanePath chosen = ChromvaleBeta2::lanePathFor(path);
    if (path != nullptr && std::strcmp(path, "avx2") == 0 && chosen == LanePath::kFour) return nullptr;
    return &kernelsOf(chosen);
}

}  // namespace TonemillTexture
