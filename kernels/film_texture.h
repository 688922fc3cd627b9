#ifndef TONEMILL_FILM_TEXTURE_H
#define TONEMILL_FILM_TEXTURE_H

/* The film texture effect's per-pixel and per-line arithmetic, written once
 * for C++ (the CPU render), OpenCL C (built at run time from this text
 * followed by film_texture.cl) and CUDA (film_texture_cuda.cu, which compiles
 * the same kernels). Everything here must give the same answer for
 * a pixel whatever window, tile, thread or row order computes it, so grain is
 * a hash of the pixel's place in the frame and the glows run on integers,
 * whose sums do not depend on where a running sum started. */

#if defined(__OPENCL_VERSION__) || defined(__OPENCL_C_VERSION__)
#define TX_TARGET_OPENCL 1
#pragma OPENCL FP_CONTRACT OFF
#define TX_FUNC
#define TX_GLOBAL __global
typedef ulong TxWide;
#define TX_SQRTF(x) sqrt(x)
#define TX_FLOORF(x) floor(x)
#define TX_NAMESPACE_BEGIN
#define TX_NAMESPACE_END
#elif defined(__CUDACC__)
/* NVRTC: no headers, math functions built in. Contraction is switched off by
 * the compile options, as by the pragma above. */
#define TX_TARGET_CUDA 1
#define TX_FUNC static __device__ __forceinline__
#define TX_GLOBAL
typedef unsigned int uint;
typedef unsigned long long TxWide;
#define TX_SQRTF(x) sqrtf(x)
#define TX_FLOORF(x) floorf(x)
#define TX_NAMESPACE_BEGIN
#define TX_NAMESPACE_END
#else
#include <math.h>
#include <stdint.h>
/* Internal linkage, as for the colour chain: each translation unit keeps its copies. */
#define TX_FUNC static inline
#define TX_GLOBAL
typedef unsigned int uint;
typedef uint64_t TxWide;
#define TX_SQRTF(x) sqrtf(x)
#define TX_FLOORF(x) floorf(x)
#define TX_NAMESPACE_BEGIN namespace TonemillTexture {
#define TX_NAMESPACE_END }
#endif

TX_NAMESPACE_BEGIN

/* Glow light is held in fixed point with 16 fraction bits, at most 16.0 above
 * the threshold: a box of up to TX_MAX_BOX_RADIUS * 2 + 1 samples then sums
 * within 32 bits. */
#define TX_GLOW_ONE 65536.0f
#define TX_GLOW_LIMIT 1048576u
#define TX_MAX_BOX_RADIUS 2047

/* Everything a render reduces the parameters to; the OpenCL kernels take the
 * same fields as arguments. */
typedef struct TextureSettings {
    /* Grain: off when every sigma is 0. */
    float grainSigma[3]; /* code-value deviation of each layer at full mid-tone weight */
    float grainInvCell;  /* lattice nodes per render pixel */
    float frameOriginX;  /* the frame's lower-left corner, render pixels */
    float frameOriginY;
    uint grainKey; /* seed and frame time, hashed */
    /* Glows: off when the box radius is 0. */
    int halationBox;   /* radius of each of the three box passes, in glow cells */
    int halationShift; /* a glow cell is 2^shift render pixels square */
    float halationThreshold;
    float halationGain[3]; /* strength times tint */
    int bloomBox;
    int bloomShift;
    float bloomThreshold;
    float bloomGain;
} TextureSettings;

/* ---- Grain --------------------------------------------------------------- */

/* A 32-bit integer mixer with good avalanche (each input bit flips about half
 * the output bits), so neighbouring lattice nodes get unrelated values. */
TX_FUNC uint txMix(uint x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

/* The hash key of one row of lattice nodes of one layer: the seed and frame
 * (grainKey), the layer and the row, so that a row's nodes cost one mix each. */
TX_FUNC uint txRowKey(uint grainKey, uint layer, int iy) {
    return txMix((uint)iy * 0x85EBCA77U ^ txMix(grainKey + layer * 0x68E31DA4U));
}

/* Unit-variance, near-Gaussian value of node ix of a row: the sum of the
 * hash's four bytes (mean 510, deviation 147.8). */
TX_FUNC float txNodeNoise(uint rowKey, int ix) {
    const uint h = txMix((uint)ix * 0x9E3779B1U ^ rowKey);
    const int sum = (int)(h & 255U) + (int)((h >> 8) & 255U) + (int)((h >> 16) & 255U) + (int)(h >> 24);
    return (float)(sum - 510) * (1.0f / 147.7996f);
}

/* Film grain is most visible in the mid-tones: few developed grains in the
 * shadows, overlapping ones in the highlights. */
TX_FUNC float txMidtoneWeight(float v) {
    const float w = 4.0f * v * (1.0f - v);
    return w < 0.0f ? 0.0f : w;
}

/* Where a pixel falls along one axis of the grain lattice: the node before
 * it, its place between that node and the next, and the factor that keeps the
 * deviation the same between nodes as on them. The lattice is anchored to the
 * frame and spaced in picture heights, so every render scale sees the same
 * pattern. Bilinear weights separate by axis, and so does their norm. */
typedef struct TxLatticeAxis {
    int node;
    float t;
    float norm; /* 1 / sqrt((1 - t)^2 + t^2) */
} TxLatticeAxis;

TX_FUNC TxLatticeAxis txLatticeAxis(float origin, float invCell, int coordinate) {
    TxLatticeAxis a;
    const float p = ((float)coordinate - origin + 0.5f) * invCell;
    const float f = TX_FLOORF(p);
    a.node = (int)f;
    a.t = p - f;
    a.norm = 1.0f / TX_SQRTF((1.0f - a.t) * (1.0f - a.t) + a.t * a.t);
    return a;
}

/* One axis of the lattice's bilinear interpolation. */
TX_FUNC float txLerp(float a, float b, float t) {
    return (1.0f - t) * a + t * b;
}

/* Unit-variance grain between the blends of the columns of nodes left and
 * right of a pixel, with the axes' norms. */
TX_FUNC float txGrainAcross(float left, float right, const TxLatticeAxis* x, const TxLatticeAxis* y) {
    return txLerp(left, right, x->t) * (x->norm * y->norm);
}

/* Unit-variance grain between four nodes: the two below (b0, b1) and the two
 * above (a0, a1), at place (u, v) with the axes' norms. Down each column
 * first, then across: a render row blends its nodes once, and each of its
 * pixels only across. */
TX_FUNC float txGrainBetween(float b0, float b1, float a0, float a1, const TxLatticeAxis* x, const TxLatticeAxis* y) {
    return txGrainAcross(txLerp(b0, a0, y->t), txLerp(b1, a1, y->t), x, y);
}

TX_FUNC float txAddGrainLayer(float value, float sigma, float noise) {
    return value + sigma * txMidtoneWeight(value) * noise;
}

/* Grain of three layers at render pixel (x, y), every node hashed afresh. */
TX_FUNC void txAddGrain(const TextureSettings* s, int x, int y, float* rgb) {
    const TxLatticeAxis ax = txLatticeAxis(s->frameOriginX, s->grainInvCell, x);
    const TxLatticeAxis ay = txLatticeAxis(s->frameOriginY, s->grainInvCell, y);
    for (uint c = 0; c < 3U; ++c) {
        const uint below = txRowKey(s->grainKey, c, ay.node);
        const uint above = txRowKey(s->grainKey, c, ay.node + 1);
        const float n = txGrainBetween(txNodeNoise(below, ax.node), txNodeNoise(below, ax.node + 1),
                                       txNodeNoise(above, ax.node), txNodeNoise(above, ax.node + 1), &ax, &ay);
        rgb[c] = txAddGrainLayer(rgb[c], s->grainSigma[c], n);
    }
}

/* ---- Glows --------------------------------------------------------------- */

/* The brightness a glow's threshold applies to: Rec. 709 luma weights. */
TX_FUNC float txLuma(float r, float g, float b) {
    return 0.2126f * r + 0.7152f * g + 0.0722f * b;
}

/* Light above the threshold, in fixed point: what spreads into a glow. */
TX_FUNC uint txGlowLight(float luma, float threshold) {
    const float excess = luma - threshold;
    /* Selections rather than branches: light crosses thresholds everywhere in
     * a picture, and NaN gives no light. */
    const float above = excess > 0.0f ? excess : 0.0f;
    const float scaled = above * TX_GLOW_ONE;
    const float fixed = scaled < (float)TX_GLOW_LIMIT ? scaled : (float)TX_GLOW_LIMIT;
    /* Through int, which holds the limit: a float to signed conversion is
     * one instruction, to unsigned a test and two paths. */
    return (uint)(int)fixed;
}

/* 2^32 / (2 * radius + 1), rounded up: a multiply and a shift then divide a
 * box sum without a division per sample. */
TX_FUNC uint txBoxReciprocal(int radius) {
    const TxWide width = (TxWide)(2 * radius + 1);
    return (uint)((((TxWide)1 << 32) + width - 1) / width);
}

TX_FUNC uint txBoxMean(uint sum, uint reciprocal) {
    return (uint)(((TxWide)sum * reciprocal) >> 32);
}

/* One box pass along a line of n samples `stride` apart: out[i] for
 * i in [radius, n - radius) is the mean of in[i - radius .. i + radius]. */
TX_FUNC void txBoxLine(const TX_GLOBAL uint* in, TX_GLOBAL uint* out, int n, int stride, int radius) {
    if (n <= 2 * radius) return;
    const uint reciprocal = txBoxReciprocal(radius);
    uint sum = 0U;
    for (int i = 0; i <= 2 * radius; ++i) sum += in[i * stride];
    out[radius * stride] = txBoxMean(sum, reciprocal);
    for (int i = radius + 1; i < n - radius; ++i) {
        sum += in[(i + radius) * stride];
        sum -= in[(i - radius - 1) * stride];
        out[i * stride] = txBoxMean(sum, reciprocal);
    }
}

/* A wide glow is spread on a grid of cells 2^shift render pixels square and
 * interpolated back: its light is smooth, so a coarse grid loses nothing one
 * sees and costs a fraction. Cell X covers pixels [X << shift, (X + 1) <<
 * shift) of the frame's pixel coordinates, whatever window is rendered, so
 * every tile reads the same cells. Narrow glows keep shift 0: cells are
 * pixels and no interpolation happens. */

/* The mean light of a cell from the sum of its pixels' light (at most
 * TX_GLOW_LIMIT << (2 * shift), within 32 bits for shifts up to 5). */
TX_FUNC uint txCellMean(uint sum, int shift) {
    return sum >> (2 * shift);
}

/* Where pixel coordinate p falls between cell centres along one axis: the
 * cell at or before its centre, and the weight of the next one, out of
 * 2 << shift. Weights are odd for shifts above 0 and 0 at shift 0. */
typedef struct TxGlowCell {
    int cell;
    uint weight;
} TxGlowCell;

TX_FUNC TxGlowCell txGlowCell(int p, int shift) {
    TxGlowCell c;
    /* Twice the distance from cell 0's centre (pixel (2^shift) / 2) to the
     * pixel's centre, in pixels: all in integers. */
    const int twice = 2 * p + 1 - (1 << shift);
    c.cell = twice >> (shift + 1); /* arithmetic shift: floor for negatives */
    c.weight = (uint)(twice - c.cell * (2 << shift));
    return c;
}

/* One axis of the bilinear interpolation between cells, unnormalised: a
 * weighted sum out of 2 << shift. */
TX_FUNC uint txGlowBlend(uint a, uint b, uint weight, int shift) {
    return a * ((2U << shift) - weight) + b * weight;
}

/* The interpolated glow from the blend of two blends, rounded: exact
 * integers, so every processor and every order of the blends agree. */
TX_FUNC uint txGlowFinish(uint sum, int shift) {
    return (sum + (1U << (2 * shift + 1))) >> (2 * shift + 2);
}

/* The finished glow at render pixel (x, y), from finished cells stored in
 * rows of `width` from cell (cellX1, cellY1), that cell's row at `firstRow`:
 * the one-pixel form of what the CPU render interpolates a row at a time. */
TX_FUNC uint txGlowAt(const TX_GLOBAL uint* cells, int width, int cellX1, int cellY1, int firstRow, int shift, int x,
                      int y) {
    const TxGlowCell cx = txGlowCell(x, shift);
    const TxGlowCell cy = txGlowCell(y, shift);
    const TX_GLOBAL uint* below = cells + (TxWide)(cy.cell - cellY1 + firstRow) * (TxWide)width + (cx.cell - cellX1);
    /* At shift 0 the weights are 0 and the neighbours may lie past the cells. */
    if (shift == 0) return below[0];
    const TX_GLOBAL uint* above = below + width;
    return txGlowFinish(txGlowBlend(txGlowBlend(below[0], above[0], cy.weight, shift),
                                    txGlowBlend(below[1], above[1], cy.weight, shift), cx.weight, shift),
                        shift);
}

/* The glows added to one pixel, from the blurred fixed-point light of each. */
TX_FUNC void txAddGlows(const TextureSettings* s, uint halation, uint bloom, float* rgb) {
    /* Through int, which holds every glow value exactly: processors convert
     * signed integers to float in vectors, unsigned ones not before AVX-512. */
    const float h = (float)(int)halation * (1.0f / TX_GLOW_ONE);
    const float b = (float)(int)bloom * (1.0f / TX_GLOW_ONE) * s->bloomGain;
    for (int c = 0; c < 3; ++c) rgb[c] = rgb[c] + s->halationGain[c] * h + b;
}

TX_NAMESPACE_END

#endif
