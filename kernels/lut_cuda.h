#ifndef TONEMILL_LUT_CUDA_H
#define TONEMILL_LUT_CUDA_H

/* LUT sampling and the settings record of the colour chain, written once for
 * three compilers: C++ (the CPU render and the LUT export), CUDA (the kernel
 * linked into the plug-in) and OpenCL C (built at run time from the archive
 * copy of this file followed by chromvale_cuda.cu). OpenCL compiles these two
 * texts with no include path, so this file carries everything the kernel
 * file needs and includes nothing itself when built as OpenCL C. */

/* ---- Portability ------------------------------------------------------- */

/* OpenCL C compilers define one or both of these, depending on version. */
#if defined(__OPENCL_VERSION__) || defined(__OPENCL_C_VERSION__)
#define TM_TARGET_OPENCL 1
#if defined(cl_khr_fp64)
#pragma OPENCL EXTENSION cl_khr_fp64 : enable
#define TM_HAS_DOUBLE 1
#endif
/* Keep products and sums separately rounded, as the CPU build does. */
#pragma OPENCL FP_CONTRACT OFF
#define TM_FUNC
#define TM_GLOBAL __global
#define TM_FMIN(a, b) fmin((a), (b))
#define TM_FMAX(a, b) fmax((a), (b))
#define TM_POWF(a, b) pow((a), (b))
#define TM_POW_REAL(a, b) pow((a), (b))
#define make_float4(x, y, z, w) ((float4)((x), (y), (z), (w)))
#define TM_NAMESPACE_BEGIN
#define TM_NAMESPACE_END
#else
#include <math.h>
#define TM_HAS_DOUBLE 1
#if defined(__CUDACC__)
#define TM_FUNC __device__ inline
#else
#define TM_FUNC inline
#endif
#define TM_GLOBAL
#if defined(__CUDACC__)
#define TM_FMIN(a, b) fminf((a), (b))
#define TM_FMAX(a, b) fmaxf((a), (b))
#else
/* fminf and fmaxf as the compiler can inline them (it calls libm for the
 * real ones unless NaN is ruled out): a NaN operand yields the other. */
#define TM_FMIN(a, b) tmMinIgnoringNan((a), (b))
#define TM_FMAX(a, b) tmMaxIgnoringNan((a), (b))
#endif
#define TM_POWF(a, b) powf((a), (b))
#define TM_POW_REAL(a, b) pow((a), (b))
#define TM_NAMESPACE_BEGIN namespace ChromvaleBeta2 {
#define TM_NAMESPACE_END }
#endif

TM_NAMESPACE_BEGIN

/* The saturation matrix runs in double wherever the target has it. */
#if defined(TM_HAS_DOUBLE)
typedef double TmReal;
#else
typedef float TmReal;
#endif

#if !defined(TM_TARGET_OPENCL)
#include "helper_math.h"
#endif

#if !defined(TM_TARGET_OPENCL) && !defined(__CUDACC__)
inline float tmMinIgnoringNan(float a, float b)
{
    return b < a ? b : (a != a ? b : a);
}

inline float tmMaxIgnoringNan(float a, float b)
{
    return b > a ? b : (a != a ? b : a);
}
#endif

/* ---- Settings record --------------------------------------------------- */

/* Everything the chain reads, one member per value, in the order the device
 * kernel takes them. The CPU's PipelineSettings extends this record; the
 * kernels rebuild it from their arguments with device addresses. */
typedef struct ChainSettings {
    float lift[3];
    float gamma[3];
    float gamutMix[3];
    float gain[3];
    float temperatureGain[3];
    float saturation;
    float printerLight[3];
    float pushPull[3];
    float cmy[3];
    float postProcessMix;
    TM_GLOBAL const unsigned char* zoneOverlay;
    TM_GLOBAL const float* idtLut;
    TM_GLOBAL const float* contrastLut;
    TM_GLOBAL const float* paletteLut;
    TM_GLOBAL const float* printLut;
    TM_GLOBAL const float* odtLut;
    TM_GLOBAL const float* postProcessLut;
    TM_GLOBAL const float* gamutLut[3];
    TM_GLOBAL const float* zoneLut;
    unsigned int idtLutSize;
    unsigned int contrastLutSize;
    unsigned int paletteLutSize;
    unsigned int printLutSize;
    unsigned int odtLutSize;
    unsigned int postProcessLutSize;
    unsigned int gamutLutSize[3];
    unsigned int zoneLutSize;
    unsigned int testImageSize;
    unsigned int zoneOverlaySize;
    float contrastMix;
    float paletteMix;
    float printMix;
    float globalBlend;
    TM_GLOBAL const unsigned char* testImage;
} ChainSettings;

/* ---- LUT sampling ------------------------------------------------------ */

/* min and max here ignore a NaN operand on every target, so a NaN
 * coordinate samples the top of the table rather than poisoning the result. */
TM_FUNC float clampLutCoordinate(float c)
{
    return TM_FMAX(0.0f, TM_FMIN(c, 1.0f));
}

typedef struct LatticeCell {
    unsigned int lower;
    unsigned int upper; /* lower + 1, or lower itself on the last point */
    float fraction;
} LatticeCell;

TM_FUNC LatticeCell locateCell(float c, unsigned int size)
{
    const unsigned int last = size - 1u;
    const float p = (float)last * clampLutCoordinate(c);
    LatticeCell cell;
    cell.lower = (unsigned int)p;
    cell.fraction = p - (float)cell.lower;
    cell.upper = cell.lower == last ? cell.lower : cell.lower + 1u;
    return cell;
}

/* Tetrahedral interpolation. The tetrahedron is picked by ordering the three
 * cell fractions; the first matching test wins, which fixes how ties resolve
 * so every target lands in the same tetrahedron. The fourth component is the
 * sum of the four weights. */
TM_FUNC float4 lookup3D(TM_GLOBAL const float* table, unsigned int size, float4 colour)
{
    const LatticeCell r = locateCell(colour.x, size);
    const LatticeCell g = locateCell(colour.y, size);
    const LatticeCell b = locateCell(colour.z, size);
    const float fr = r.fraction;
    const float fg = g.fraction;
    const float fb = b.fraction;

    /* Entry (r, g, b) starts at float 3 * ((b * N + g) * N + r): red varies
     * fastest. A step up an axis is 0 on its last lattice point. */
    const unsigned int base = 3u * ((b.lower * size + g.lower) * size + r.lower);
    const unsigned int stepR = 3u * (r.upper - r.lower);
    const unsigned int stepG = 3u * size * (g.upper - g.lower);
    const unsigned int stepB = 3u * size * size * (b.upper - b.lower);

    unsigned int second; /* offset of the corner one axis up from c000 */
    unsigned int third;  /* offset of the corner two axes up */
    float w0, w1, w2, w3;
    if (fg >= fb && fb >= fr) {
        w0 = 1.0f - fg; w1 = fg - fb; w2 = fb - fr; w3 = fr;
        second = stepG; third = stepG + stepB;              /* c010, c011 */
    } else if (fb > fr && fr > fg) {
        w0 = 1.0f - fb; w1 = fb - fr; w2 = fr - fg; w3 = fg;
        second = stepB; third = stepR + stepB;              /* c001, c101 */
    } else if (fb > fg && fg >= fr) {
        w0 = 1.0f - fb; w1 = fb - fg; w2 = fg - fr; w3 = fr;
        second = stepB; third = stepG + stepB;              /* c001, c011 */
    } else if (fr >= fg && fg > fb) {
        w0 = 1.0f - fr; w1 = fr - fg; w2 = fg - fb; w3 = fb;
        second = stepR; third = stepR + stepG;              /* c100, c110 */
    } else if (fg > fr && fr >= fb) {
        w0 = 1.0f - fg; w1 = fg - fr; w2 = fr - fb; w3 = fb;
        second = stepG; third = stepR + stepG;              /* c010, c110 */
    } else { /* fr >= fb && fb >= fg: the only order left once the clamp removed NaN */
        w0 = 1.0f - fr; w1 = fr - fb; w2 = fb - fg; w3 = fg;
        second = stepR; third = stepR + stepB;              /* c100, c101 */
    }

    TM_GLOBAL const float* c0 = table + base;
    TM_GLOBAL const float* c1 = c0 + second;
    TM_GLOBAL const float* c2 = c0 + third;
    TM_GLOBAL const float* c3 = c0 + stepR + stepG + stepB;
    return make_float4(w0 * c0[0] + w1 * c1[0] + w2 * c2[0] + w3 * c3[0],
                       w0 * c0[1] + w1 * c1[1] + w2 * c2[1] + w3 * c3[1],
                       w0 * c0[2] + w1 * c1[2] + w2 * c2[2] + w3 * c3[2],
                       w0 + w1 + w2 + w3);
}

/* Linear interpolation of a 1D table; every column is sampled at x, the
 * fourth component is 1. */
TM_FUNC float4 lookup1D(TM_GLOBAL const float* table, unsigned int size, float x)
{
    const LatticeCell cell = locateCell(x, size);
    TM_GLOBAL const float* lo = table + 3u * cell.lower;
    if (cell.lower >= size - 1u || cell.fraction == 0.0f)
        return make_float4(lo[0], lo[1], lo[2], 1.0f);
    TM_GLOBAL const float* hi = lo + 3;
    const float f = cell.fraction;
    return make_float4(lo[0] + f * (hi[0] - lo[0]),
                       lo[1] + f * (hi[1] - lo[1]),
                       lo[2] + f * (hi[2] - lo[2]),
                       1.0f);
}

TM_NAMESPACE_END

#endif
