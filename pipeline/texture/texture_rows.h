#pragma once

// The texture's hot loops over one row or one block of rows, written once
// (texture_row_loops.h) and built for each instruction set the CPU render
// dispatches to: the integer box pass down a block of lines, and the
// composition of grain and glows onto a row.

#include <cstddef>
#include <cstdint>

#include "film_texture.h"

namespace TonemillTexture {

// Where one render row falls on the grain lattice: per column, the node
// before it (an index into the node arrays), its place and norm along x; the
// row's own axis; and per layer the hashed nodes of the lattice rows below
// and above it.
struct GrainRow {
    const int* node = nullptr;
    const float* t = nullptr;
    const float* norm = nullptr;
    TxLatticeAxis axis{};
    const float* below[3] = {};
    const float* above[3] = {};
    int nodeCount = 0;         // nodes in each of those rows
    float* blended = nullptr;  // scratch: nodeCount nodes blended down
};

// One row's composition: `in` and `out` hold `count` RGBA pixels; the glow
// rows are null when no glow is on (one that is off alone reads zeros); the
// grain row is null without grain.
struct ComposeRow {
    const float* in = nullptr;
    float* out = nullptr;
    int count = 0;
    const std::uint32_t* halation = nullptr;
    const std::uint32_t* bloom = nullptr;
    const GrainRow* grain = nullptr;
    float* noise = nullptr;  // with grain: scratch for 3 * count values
};

// Rows a glow's row phase spreads at once, interleaved.
inline constexpr int kLightRows = 8;

// The widest glow cell, in pixels: shifts up to 3.
inline constexpr int kMaxCellSize = 8;

// The loops of one instruction set.
struct TextureRowKernels {
    // One box pass of `radius` down rows [radius, rows - radius) of columns
    // [0, count) of lines `width` apart; `sums` holds `count` running sums.
    void (*boxDown)(const std::uint32_t* in, std::uint32_t* out, int rows, std::size_t width, std::size_t count,
                    int radius, std::uint32_t* sums);
    void (*compose)(const TextureSettings& settings, const ComposeRow& row);
    // kLightRows rows of `count` glow cells each, interleaved: cell i of
    // row r to lines[i * kLightRows + r].
    void (*interleaveCells)(const std::uint32_t* const* rows, std::uint32_t* lines, std::size_t count);
    // The unit noise of `count` lattice nodes of one row from `firstNode` on.
    void (*hashNodes)(uint rowKey, int firstNode, float* nodes, std::size_t count);
    // The mean glow light of `count` cells 2^shift pixels square (shift 0
    // to 3), from the
    // luma `rows` of their 2^shift pixel rows; `pixelLight` holds the light
    // of count << shift pixels; cell i goes to cells[i * stride].
    void (*gatherCells)(const float* const* rows, int shift, float threshold, std::uint32_t* pixelLight,
                        std::uint32_t* cells, std::size_t stride, std::size_t count);
    // The glow of a row's pixels from render column x1 on (shift 1 to 3),
    // interpolated between the finished cell rows below and above it
    // (weight of the one above out of 2 << shift), `cells` of each from
    // cell column firstCell, the last only a neighbour. `blended` holds
    // `cells` values, `out` (cells - 1) << shift; returns x1's value in it.
    const std::uint32_t* (*interpolateCells)(const std::uint32_t* below, const std::uint32_t* above, uint weight,
                                             int shift, int firstCell, int x1, std::size_t cells,
                                             std::uint32_t* blended, std::uint32_t* out);
};

// The widest loops this processor runs, as chosen once per process (the
// environment variable TONEMILL_SIMD can hold them narrower, as for the look).
const TextureRowKernels& textureRowKernels();

// The loops of one path, for tests comparing them: "sse2", "avx2" (null
// where the processor lacks it) or anything else for the widest.
const TextureRowKernels* textureRowKernelsFor(const char* path);

extern const TextureRowKernels kTextureRowsBaseline;
#if defined(__x86_64__)
extern const TextureRowKernels kTextureRowsAvx2;
#endif

}  // namespace TonemillTexture
