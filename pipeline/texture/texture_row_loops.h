#pragma once

// The loops behind TextureRowKernels, included by each instruction set's
// build of them and nowhere else. Each build rounds alike (no fused
// multiply-adds, the operations of kernels/film_texture.h in their order),
// so every path gives the same bits.

#include "pipeline/texture/texture_rows.h"

namespace TonemillTexture {

// Internal linkage: every translation unit that builds these loops for its
// instruction set keeps its own copies.
namespace {

void boxDownLines(const std::uint32_t* __restrict in, std::uint32_t* __restrict out, int rows, std::size_t width,
                  std::size_t count, int radius, std::uint32_t* __restrict sums) {
    if (rows <= 2 * radius) return;
    const uint reciprocal = txBoxReciprocal(radius);
    for (std::size_t c = 0; c < count; ++c) sums[c] = 0u;
    for (int i = 0; i <= 2 * radius; ++i) {
        const std::uint32_t* row = in + static_cast<std::size_t>(i) * width;
        for (std::size_t c = 0; c < count; ++c) sums[c] += row[c];
    }
    std::uint32_t* centre = out + static_cast<std::size_t>(radius) * width;
    for (std::size_t c = 0; c < count; ++c) centre[c] = txBoxMean(sums[c], reciprocal);
    for (int i = radius + 1; i < rows - radius; ++i) {
        const std::uint32_t* entering = in + static_cast<std::size_t>(i + radius) * width;
        const std::uint32_t* leaving = in + static_cast<std::size_t>(i - radius - 1) * width;
        std::uint32_t* row = out + static_cast<std::size_t>(i) * width;
        for (std::size_t c = 0; c < count; ++c) {
            sums[c] += entering[c] - leaving[c];
            row[c] = txBoxMean(sums[c], reciprocal);
        }
    }
}

void interleaveCellRows(const std::uint32_t* const* rows, std::uint32_t* __restrict lines, std::size_t count) {
    const std::uint32_t* __restrict row[kLightRows];
    for (int r = 0; r < kLightRows; ++r) row[r] = rows[r];
    for (std::size_t i = 0; i < count; ++i)
        for (int r = 0; r < kLightRows; ++r) lines[i * kLightRows + r] = row[r][i];
}

// The sums of each cell's pixels along a row, with the cell's width known
// to the compiler, which then adds whole vectors.
template <int kShift>
void sumCells(const std::uint32_t* __restrict pixelLight, std::uint32_t* __restrict cells, std::size_t stride,
              std::size_t count) {
    constexpr int kSize = 1 << kShift;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t* __restrict cell = pixelLight + i * kSize;
        uint sum = 0u;
        for (int k = 0; k < kSize; ++k) sum += cell[k];
        cells[i * stride] = txCellMean(sum, kShift);
    }
}

void gatherCellRow(const float* const* rows, int shift, float threshold, std::uint32_t* __restrict pixelLight,
                   std::uint32_t* __restrict cells, std::size_t stride, std::size_t count) {
    const std::size_t pixels = count << shift;
    const float* __restrict first = rows[0];
    for (std::size_t j = 0; j < pixels; ++j) pixelLight[j] = txGlowLight(first[j], threshold);
    for (int r = 1; r < 1 << shift; ++r) {
        const float* __restrict row = rows[r];
        for (std::size_t j = 0; j < pixels; ++j) pixelLight[j] += txGlowLight(row[j], threshold);
    }
    switch (shift) {
        case 0: sumCells<0>(pixelLight, cells, stride, count); break;
        case 1: sumCells<1>(pixelLight, cells, stride, count); break;
        case 2: sumCells<2>(pixelLight, cells, stride, count); break;
        default: sumCells<3>(pixelLight, cells, stride, count); break;
    }
}

// Every pixel of cells [0, count) of a row, in order: the pixels of cell k
// take the weights 1, 3, ... (2 << shift) - 1 of cell k + 1 in turn, so
// whole cells need no per-pixel indices.
template <int kShift>
void spreadCells(const std::uint32_t* __restrict blended, std::size_t count, std::uint32_t* __restrict out) {
    constexpr int kSize = 1 << kShift;
    for (std::size_t k = 0; k < count; ++k) {
        const uint a = blended[k], b = blended[k + 1];
        std::uint32_t* __restrict pixels = out + k * kSize;
        for (int m = 0; m < kSize; ++m)
            pixels[m] = txGlowFinish(txGlowBlend(a, b, static_cast<uint>(2 * m + 1), kShift), kShift);
    }
}

const std::uint32_t* interpolateCellRow(const std::uint32_t* __restrict below, const std::uint32_t* __restrict above,
                                        uint weight, int shift, int firstCell, int x1, std::size_t cells,
                                        std::uint32_t* __restrict blended, std::uint32_t* __restrict out) {
    for (std::size_t i = 0; i < cells; ++i) blended[i] = txGlowBlend(below[i], above[i], weight, shift);
    // From the first pixel's cell on: that cell's first pixel lies at or
    // before x1.
    const TxGlowCell first = txGlowCell(x1, shift);
    const std::size_t skip = static_cast<std::size_t>(first.cell - firstCell);
    const std::size_t count = cells - 1 - skip;
    switch (shift) {
        case 1: spreadCells<1>(blended + skip, count, out); break;
        case 2: spreadCells<2>(blended + skip, count, out); break;
        default: spreadCells<3>(blended + skip, count, out); break;
    }
    return out + (first.weight >> 1);
}

void hashNodeRow(uint rowKey, int firstNode, float* __restrict nodes, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) nodes[k] = txNodeNoise(rowKey, firstNode + static_cast<int>(k));
}

// The unit grain of each layer along a row, into three arrays of `count`:
// a pass of its own, since the node reads are gathers that the pixels'
// interleaved channels would keep from vectorising.
void grainNoiseRow(const GrainRow& grain, int count, float* __restrict noise) {
    const TxLatticeAxis axis = grain.axis;
    const int* __restrict node = grain.node;
    const float* __restrict t = grain.t;
    const float* __restrict norm = grain.norm;
    float* __restrict blended = grain.blended;
    for (int c = 0; c < 3; ++c) {
        const float* __restrict below = grain.below[c];
        const float* __restrict above = grain.above[c];
        for (int k = 0; k < grain.nodeCount; ++k) blended[k] = txLerp(below[k], above[k], axis.t);
        float* __restrict layer = noise + static_cast<std::size_t>(c) * static_cast<std::size_t>(count);
        for (int x = 0; x < count; ++x) {
            TxLatticeAxis column;
            column.node = node[x];
            column.t = t[x];
            column.norm = norm[x];
            const int k = column.node;
            layer[x] = txGrainAcross(blended[k], blended[k + 1], &column, &axis);
        }
    }
}

template <bool kGlows, bool kGrain>
void composeLoop(const TextureSettings& settings, const ComposeRow& row) {
    // Everything the loop reads besides pixels is copied out first, so that
    // the compiler sees no store to the output change it and vectorises.
    const TextureSettings s = settings;
    const float* __restrict in = row.in;
    float* __restrict out = row.out;
    const int count = row.count;
    const std::uint32_t* __restrict halation = row.halation;
    const std::uint32_t* __restrict bloom = row.bloom;
    const float* __restrict noise = row.noise;
    if constexpr (kGrain) grainNoiseRow(*row.grain, count, row.noise);
    for (int x = 0; x < count; ++x) {
        float rgb[3] = {in[4 * x], in[4 * x + 1], in[4 * x + 2]};
        if constexpr (kGlows) txAddGlows(&s, halation[x], bloom[x], rgb);
        if constexpr (kGrain)
            for (int c = 0; c < 3; ++c) rgb[c] = txAddGrainLayer(rgb[c], s.grainSigma[c], noise[c * count + x]);
        out[4 * x] = rgb[0];
        out[4 * x + 1] = rgb[1];
        out[4 * x + 2] = rgb[2];
        out[4 * x + 3] = in[4 * x + 3];
    }
}

void composeRowOfPixels(const TextureSettings& s, const ComposeRow& row) {
    const bool glows = row.halation != nullptr;
    if (row.grain != nullptr)
        glows ? composeLoop<true, true>(s, row) : composeLoop<false, true>(s, row);
    else
        glows ? composeLoop<true, false>(s, row) : composeLoop<false, false>(s, row);
}

}  // namespace

}  // namespace TonemillTexture
