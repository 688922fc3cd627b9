#ifndef TONEMILL_LUT_CUDA_H
#define TONEMILL_LUT_CUDA_H

/* LUT sampling and the settings record of the colour chain, written once for
 * three compilers: C++ (the CPU render and the LUT export), CUDA (the kernel
 * linked into the plug-in) and OpenCL C (built at run time from the archive
 * copy of this file followed by chromvale_cuda.cu). OpenCL compiles these two
 * texts with no include path, so this file carries everything the kernel
 * file needs and includes nothing itself when built as OpenCL C. */

/* ---- Lanes ------------------------------------------------------------- */

/* The chain is written over "lanes". On the devices a lane is one float: one
 * pixel per thread. In C++ the chain's functions are templates over the lane
 * type TmFloat, so the CPU runs this same text on one pixel (TmFloat = float:
 * the LUT export and the reference) or on several pixels at once (a SIMD type
 * that supplies the operations named below). A condition that may differ
 * between pixels is therefore a selection, TM_SELECT, never a branch; values
 * shared by every pixel of a render (settings, table sizes) may branch.
 *
 * TmFloat       colour values          TM_INDEX  unsigned table offsets
 * TM_MASK       a comparison's result  TM_COLOUR four TmFloat: x, y, z, w
 * TM_REAL_LANE  TmFloat in TmReal precision
 * TM_SELECT(mask, a, b), TM_LOAD(table, index), TM_LOAD_RGB(table, index)
 * (the three floats from index on, fourth component 0), TM_TO_INDEX (truncating),
 * TM_TO_FLOAT (from an index or a real), TM_TO_REAL, TM_FRACTION(x, whole) (x
 * less its whole part, given as the truncated index, for 0 <= x < 2^24); TM_LANES starts a
 * function that is a template in C++ and a plain function elsewhere. */

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
/* NVRTC has no C library: its built-in declarations of the device math
 * functions stand in for math.h. */
#if !defined(__CUDACC_RTC__)
#include <math.h>
#endif
#define TM_HAS_DOUBLE 1
#if defined(__CUDACC__)
#define TM_FUNC __device__ inline
#else
/* Internal linkage: a translation unit built for a wider instruction set
 * keeps its copies to itself instead of lending them to the others. Always
 * inlined: the portable library's Clang left steps of the lanes' chain out
 * of line even inside flattened render loops. */
#if defined(__GNUC__) || defined(__clang__)
#define TM_FUNC static inline __attribute__((always_inline))
#else
#define TM_FUNC static inline
#endif
#endif
#define TM_GLOBAL
#if defined(__CUDACC__)
#define TM_FMIN(a, b) fminf((a), (b))
#define TM_FMAX(a, b) fmaxf((a), (b))
#define TM_POWF(a, b) powf((a), (b))
#else
/* fminf and fmaxf as the compiler can inline them (it calls libm for the
 * real ones unless NaN is ruled out): a NaN first operand yields the second.
 * The chain never passes NaN as the second operand. */
#define TM_FMIN(a, b) tmMin((a), (b))
#define TM_FMAX(a, b) tmMax((a), (b))
#define TM_POWF(a, b) tmPow((a), (b))
#endif
#define TM_POW_REAL(a, b) pow((a), (b))
#define TM_NAMESPACE_BEGIN namespace ChromvaleBeta2 {
#define TM_NAMESPACE_END }
#endif

#if defined(TM_TARGET_OPENCL) || defined(__CUDACC__)
#define TM_SCALAR_LANES 1
#define TM_LANES
#define TM_COLOUR float4
#define TM_INDEX unsigned int
#define TM_MASK int
#define TM_REAL_LANE TmReal
#define TM_SELECT(mask, a, b) ((mask) ? (a) : (b))
#define TM_LOAD(table, index) ((table)[index])
#define TM_LOAD_RGB(table, index) make_float4((table)[index], (table)[(index) + 1u], (table)[(index) + 2u], 0.0f)
#define TM_TO_INDEX(x) ((unsigned int)(x))
#define TM_TO_FLOAT(x) ((float)(x))
#define TM_TO_REAL(x) ((TmReal)(x))
#define TM_FRACTION(x, whole) ((x) - (float)(whole))
#define tmColour(x, y, z, w) make_float4((x), (y), (z), (w))
#else
#define TM_LANES template <typename TmFloat>
#define TM_COLOUR TmColour<TmFloat>
#define TM_INDEX typename TmLaneTraits<TmFloat>::Index
#define TM_MASK typename TmLaneTraits<TmFloat>::Mask
#define TM_REAL_LANE typename TmLaneTraits<TmFloat>::Real
#define TM_SELECT(mask, a, b) tmSelect((mask), (a), (b))
#define TM_LOAD(table, index) tmLoad((table), (index))
#define TM_LOAD_RGB(table, index) tmLoadRgb((table), (index))
#define TM_TO_INDEX(x) tmToIndex(x)
#define TM_TO_FLOAT(x) tmToFloat(x)
#define TM_TO_REAL(x) tmToReal(x)
#define TM_FRACTION(x, whole) tmFraction((x), (whole))
#endif

TM_NAMESPACE_BEGIN

/* The saturation matrix runs in double wherever the target has it. */
#if defined(TM_HAS_DOUBLE)
typedef double TmReal;
#else
typedef float TmReal;
#endif

#if defined(TM_SCALAR_LANES)
typedef float TmFloat;
#endif

#if !defined(TM_TARGET_OPENCL)
#include "helper_math.h"
#endif

#if !defined(TM_SCALAR_LANES)
/* One pixel per lane: the operations of the vocabulary on plain floats. */
template <typename F>
struct TmLaneTraits;

template <>
struct TmLaneTraits<float> {
    typedef unsigned int Index;
    typedef bool Mask;
    typedef TmReal Real;
};

TM_FUNC float tmMin(float a, float b) {
    return b < a ? b : (a != a ? b : a);
}

TM_FUNC float tmMax(float a, float b) {
    return b > a ? b : (a != a ? b : a);
}

TM_FUNC float tmSelect(bool mask, float a, float b) {
    return mask ? a : b;
}

TM_FUNC unsigned int tmSelect(bool mask, unsigned int a, unsigned int b) {
    return mask ? a : b;
}

TM_FUNC float tmLoad(const float* table, unsigned int index) {
    return table[index];
}

TM_FUNC float4 tmLoadRgb(const float* table, unsigned int index) {
    return make_float4(table[index], table[index + 1u], table[index + 2u], 0.0f);
}

TM_FUNC unsigned int tmToIndex(float x) {
    return (unsigned int)x;
}

TM_FUNC float tmToFloat(unsigned int i) {
    return (float)i;
}

TM_FUNC float tmToFloat(TmReal x) {
    return (float)x;
}

TM_FUNC TmReal tmToReal(float x) {
    return (TmReal)x;
}

TM_FUNC float tmFraction(float x, unsigned int whole) {
    return x - (float)whole;
}

/* x = m 2^e with m in [1, 2), for positive finite x, subnormals included. */
TM_FUNC float tmSplitExponent(float x, float* exponent) {
    int e = 0;
    const float half = frexpf(x, &e);
    *exponent = (float)(e - 1);
    return 2.0f * half;
}

/* The nearest integer, ties to even, for |x| < 2^22. */
TM_FUNC float tmRoundToInteger(float x) {
    return nearbyintf(x);
}

/* p 2^n, rounded once, for integral n. */
TM_FUNC float tmScaleByPowerOfTwo(float p, float n) {
    return ldexpf(p, (int)n);
}

/* a b - c rounded once, for c near a b, where the exact value fits a
 * double: what a fused multiply-subtract gives, so that lanes with one
 * give the same bits. */
TM_FUNC float tmMulSub(float a, float b, float c) {
    return (float)((double)a * (double)b - (double)c);
}

/* base^exponent for a positive finite base, on the CPU. It is written once
 * for one pixel and for lanes of several, so that the lanes give the
 * one-pixel chain's bits on every instruction set, which a library's powf
 * beside a vector form could not promise. log2 of the base comes from the
 * series of atanh, its leading term carried in pairs of floats whose
 * products' rounding errors are taken exactly (tmMulSub), so that the
 * exponent may magnify it without losing bits; 2^t from Taylor's series.
 * The result lies within 2 units in the last place of the exact power
 * (powf: 0.5), and within 8e-8 of it for powers in [0, 1]. */
TM_LANES TM_FUNC TmFloat tmPowPositive(TmFloat base, float exponent) {
    /* An infinite exponent would meet a zero or an opposite infinity in the
     * sums below; 1e30 already takes every base but 1 out of the floats. */
    exponent = exponent > 1e30f ? 1e30f : (exponent < -1e30f ? -1e30f : exponent);
    TmFloat e;
    TmFloat m = tmSplitExponent(base, &e);
    const TM_MASK high = m > 1.41421356f; /* m in [sqrt(1/2), sqrt(2)) from here */
    m = TM_SELECT(high, m * 0.5f, m);
    e = TM_SELECT(high, e + 1.0f, e);
    /* log2 m = 2 atanh(s) / ln 2 = s (c1 + c3 s^2 + ... + c9 s^8), ck = 2 / (k ln 2),
     * s = (m - 1) / (m + 1), |s| < 0.1716: the next term is below 2e-9 of the sum.
     * s = sHigh + sLow: m - 1 is exact, and m + 1 = y + yLow exactly. */
    const TmFloat x = m - 1.0f;
    const TmFloat y = m + 1.0f;
    const TmFloat yLow = m - (y - 1.0f);
    const TmFloat r = 1.0f / y;
    const TmFloat sHigh = x * r;
    const TmFloat sLow = ((TmFloat)0.0f - tmMulSub(sHigh, y, x) - sHigh * yLow) * r;
    /* c1 s in a pair, c1 itself split in two floats; the higher terms, at
     * most 0.6 % of the sum, in float, with s^3's first-order part of sLow. */
    const float c1High = 2.885390043e+00f, c1Low = 3.851926067e-08f, c3 = 9.617967010e-01f, c5 = 5.770780444e-01f,
                c7 = 4.121985734e-01f, c9 = 3.205989003e-01f;
    const TmFloat s2 = sHigh * sHigh;
    const TmFloat higherTerms = s2 * (sHigh * (c3 + s2 * (c5 + s2 * (c7 + s2 * c9))) + (3.0f * c3) * sLow);
    const TmFloat p = c1High * sHigh;
    const TmFloat q = (tmMulSub((TmFloat)c1High, sHigh, p) + (c1High * sLow + c1Low * sHigh)) + higherTerms;
    /* log2 m = logHigh + logLow, |logHigh| <= 1/2: |p| > |q| */
    const TmFloat logHigh = p + q;
    const TmFloat logLow = q - (logHigh - p);
    /* t = exponent (e + logHigh + logLow) = a + b + rest, |rest| below 1e-5;
     * a + b = sum + sumLow exactly, as |a| >= |b| wherever e is not 0. */
    const TmFloat a = exponent * e;
    const TmFloat b = exponent * logHigh;
    const TmFloat sum = a + b;
    const TmFloat sumLow = b - (sum - a);
    const TmFloat rest =
        ((sumLow + tmMulSub((TmFloat)exponent, e, a)) + tmMulSub((TmFloat)exponent, logHigh, b)) + exponent * logLow;
    const TmFloat n = tmRoundToInteger(TM_FMIN(TM_FMAX(sum, (TmFloat)-151.0f), (TmFloat)129.0f));
    /* sum - n is exact wherever the clamp leaves sum alone, n being its
     * nearest integer; beyond, the power is 0 or infinite whatever f is. A
     * product that overflows leaves rest NaN, which the clamp turns finite. */
    const TmFloat f = TM_FMIN(TM_FMAX(sum - n, (TmFloat)-1.0f), (TmFloat)1.0f);
    const TmFloat small = TM_FMIN(TM_FMAX(rest, (TmFloat)-1.0f), (TmFloat)1.0f);
    /* 2^(f + small) = 2^f (1 + small ln 2), 2^f = sum of (f ln 2)^k / k! to k = 7:
     * for |f| <= 1/2 the next term is below 1e-8. The small terms are summed
     * first, the correction for `small` among them, and the 1 last, so that
     * only the two largest sums round at the result's scale. */
    const float a1 = 0.693147181f, a2 = 0.240226507f, a3 = 0.0555041087f, a4 = 0.00961812911f, a5 = 0.00133335581f,
                a6 = 0.000154035304f, a7 = 1.52527338e-05f;
    const TmFloat f2 = f * f;
    const TmFloat f4 = f2 * f2;
    const TmFloat highTerms = (a4 + a5 * f) + f2 * (a6 + a7 * f);
    const TmFloat linear = a1 * f;
    const TmFloat inner = f2 * (a2 + a3 * f) + f4 * highTerms;
    const TmFloat correction = (1.0f + (linear + inner)) * (a1 * small);
    const TmFloat power = 1.0f + (linear + (inner + correction));
    return tmScaleByPowerOfTwo(power, n);
}

TM_FUNC float tmPow(float base, float exponent) {
    return tmPowPositive(base, exponent);
}
#endif

/* ---- Settings record --------------------------------------------------- */

/* Everything the chain reads. The CPU's PipelineSettings extends this record;
 * the device kernels rebuild it from their arguments (TM_KERNEL_ARGUMENTS)
 * with device addresses. */
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

/* The device kernel's arguments between the source image with its width and
 * height and the destination image, in order, each with the ChainSettings
 * member it carries. TABLE(element, pointer, size, member, sizeMember, slot)
 * is a table or picture and its size, slot naming its device upload; VALUE(type,
 * name, member) is one number. The kernel's parameters, its rebuild of the
 * record and the host's argument forwarding all expand this one list. */
#define TM_KERNEL_ARGUMENTS(TABLE, VALUE)                                                                   \
    TABLE(const float, idtLut, idtLutSize, idtLut, idtLutSize, Idt)                                         \
    TABLE(const float, contrastLut, contrastLutSize, contrastLut, contrastLutSize, Contrast)                \
    VALUE(float, contrastMix, contrastMix)                                                                  \
    TABLE(const float, paletteLut, paletteLutSize, paletteLut, paletteLutSize, Palette)                     \
    VALUE(float, paletteMix, paletteMix)                                                                    \
    TABLE(const float, printLut, printLutSize, printLut, printLutSize, Print)                               \
    VALUE(float, printMix, printMix)                                                                        \
    TABLE(const float, odtLut, odtLutSize, odtLut, odtLutSize, Odt)                                         \
    TABLE(const float, gamutLutR, gamutLutSizeR, gamutLut[0], gamutLutSize[0], GamutRed)                    \
    TABLE(const float, gamutLutG, gamutLutSizeG, gamutLut[1], gamutLutSize[1], GamutGreen)                  \
    TABLE(const float, gamutLutB, gamutLutSizeB, gamutLut[2], gamutLutSize[2], GamutBlue)                   \
    TABLE(const float, postProcessLut, postProcessLutSize, postProcessLut, postProcessLutSize, PostProcess) \
    TABLE(const float, zoneLut, zoneLutSize, zoneLut, zoneLutSize, Zone)                                    \
    VALUE(float, gamutMixR, gamutMix[0])                                                                    \
    VALUE(float, gamutMixG, gamutMix[1])                                                                    \
    VALUE(float, gamutMixB, gamutMix[2])                                                                    \
    VALUE(float, postProcessMix, postProcessMix)                                                            \
    VALUE(float, liftR, lift[0])                                                                            \
    VALUE(float, liftG, lift[1])                                                                            \
    VALUE(float, liftB, lift[2])                                                                            \
    VALUE(float, gammaR, gamma[0])                                                                          \
    VALUE(float, gammaG, gamma[1])                                                                          \
    VALUE(float, gammaB, gamma[2])                                                                          \
    VALUE(float, gainR, gain[0])                                                                            \
    VALUE(float, gainG, gain[1])                                                                            \
    VALUE(float, gainB, gain[2])                                                                            \
    VALUE(float, printerLightR, printerLight[0])                                                            \
    VALUE(float, printerLightG, printerLight[1])                                                            \
    VALUE(float, printerLightB, printerLight[2])                                                            \
    VALUE(float, pushPullR, pushPull[0])                                                                    \
    VALUE(float, pushPullG, pushPull[1])                                                                    \
    VALUE(float, pushPullB, pushPull[2])                                                                    \
    VALUE(float, saturation, saturation)                                                                    \
    VALUE(float, cmyC, cmy[0])                                                                              \
    VALUE(float, cmyM, cmy[1])                                                                              \
    VALUE(float, cmyY, cmy[2])                                                                              \
    VALUE(float, temperatureGainR, temperatureGain[0])                                                      \
    VALUE(float, temperatureGainG, temperatureGain[1])                                                      \
    VALUE(float, temperatureGainB, temperatureGain[2])                                                      \
    VALUE(float, globalBlend, globalBlend)                                                                  \
    TABLE(const unsigned char, testImage, testImageSize, testImage, testImageSize, TestImage)               \
    TABLE(const unsigned char, zoneOverlay, zoneOverlaySize, zoneOverlay, zoneOverlaySize, ZoneOverlay)

/* ---- LUT sampling ------------------------------------------------------ */

/* min and max here ignore a NaN operand on every target, so a NaN
 * coordinate samples the top of the table rather than poisoning the result. */
TM_LANES TM_FUNC TmFloat clampLutCoordinate(TmFloat c) {
    return TM_FMAX((TmFloat)0.0f, TM_FMIN(c, (TmFloat)1.0f));
}

/* Lattice indices stay below 2^31, so lanes may compare them as signed. */
#if defined(TM_SCALAR_LANES)
typedef struct LatticeCell {
    unsigned int lower;
    int atLast; /* lower is the last point: no step up from it */
    float fraction;
} LatticeCell;
#define TM_CELL LatticeCell
#else
template <typename TmFloat>
struct LatticeCell {
    typename TmLaneTraits<TmFloat>::Index lower;
    typename TmLaneTraits<TmFloat>::Mask atLast; /* lower is the last point: no step up from it */
    TmFloat fraction;
};
#define TM_CELL LatticeCell<TmFloat>
#endif

TM_LANES TM_FUNC TM_CELL locateCell(TmFloat c, unsigned int size) {
    const unsigned int last = size - 1u;
    const TmFloat p = (float)last * clampLutCoordinate(c);
    TM_CELL cell;
    cell.lower = TM_TO_INDEX(p);
    cell.fraction = TM_FRACTION(p, cell.lower);
    cell.atLast = cell.lower == last;
    return cell;
}

/* Floats from an entry to the next along an axis whose entries lie `stride`
 * floats apart: 0 from the last point, whose fraction is 0. */
TM_LANES TM_FUNC TM_INDEX stepUp(TM_CELL cell, unsigned int stride) {
    return TM_SELECT(cell.atLast, (TM_INDEX)0u, (TM_INDEX)stride);
}

/* Tetrahedral interpolation. Ordering the three cell fractions picks the
 * tetrahedron: the weights are 1 - largest, largest - middle, middle -
 * smallest and smallest fraction, on the lower corner, the corner one axis
 * up (the largest fraction's), the corner two axes up (all but the
 * smallest's) and the upper corner. The fourth component is the sum of the
 * four weights. */
TM_LANES TM_FUNC TM_COLOUR lookup3D(TM_GLOBAL const float* table, unsigned int size, TM_COLOUR colour) {
    const TM_CELL r = locateCell(colour.x, size);
    const TM_CELL g = locateCell(colour.y, size);
    const TM_CELL b = locateCell(colour.z, size);
    const TmFloat fr = r.fraction;
    const TmFloat fg = g.fraction;
    const TmFloat fb = b.fraction;

    /* The clamp removed NaN, so the fractions order totally and min and max
     * pick the same values as the case tests. */
    const TmFloat rgMax = TM_FMAX(fr, fg);
    const TmFloat rgMin = TM_FMIN(fr, fg);
    const TmFloat largest = TM_FMAX(rgMax, fb);
    const TmFloat smallest = TM_FMIN(rgMin, fb);
    const TmFloat middle = TM_FMAX(rgMin, TM_FMIN(rgMax, fb));
    const TmFloat w0 = 1.0f - largest;
    const TmFloat w1 = largest - middle;
    const TmFloat w2 = middle - smallest;
    const TmFloat w3 = smallest;

    /* Entry (r, g, b) starts at float 3 * ((b * N + g) * N + r): red varies
     * fastest. A step up an axis is 0 on its last lattice point. The three
     * axes' products are independent, which shortens the chain of steps
     * every corner's address waits on. */
    const TM_INDEX base = (b.lower * (3u * size * size) + g.lower * (3u * size)) + 3u * r.lower;
    const TM_INDEX stepR = stepUp(r, 3u);
    const TM_INDEX stepG = stepUp(g, 3u * size);
    const TM_INDEX stepB = stepUp(b, 3u * size * size);

    /* Three comparisons order the axes, ties going to red before green
     * before blue; no three of them form a cycle, so the order is total. A
     * tie gives the corner it decides a weight of 0, so any order among
     * equal fractions gives the same value. */
    const TM_MASK redOverGreen = fr >= fg;
    const TM_MASK greenOverBlue = fg >= fb;
    const TM_MASK redOverBlue = fr >= fb;
    const TM_INDEX second = TM_SELECT(redOverGreen & redOverBlue, stepR, TM_SELECT(greenOverBlue, stepG, stepB));
    const TM_INDEX smallestStep =
        TM_SELECT(redOverGreen, TM_SELECT(greenOverBlue, stepB, stepG), TM_SELECT(redOverBlue, stepB, stepR));
    const TM_INDEX upper = stepR + stepG + stepB;
    const TM_INDEX third = upper - smallestStep;

    const TM_COLOUR c0 = TM_LOAD_RGB(table, base);
    const TM_COLOUR c1 = TM_LOAD_RGB(table, base + second);
    const TM_COLOUR c2 = TM_LOAD_RGB(table, base + third);
    const TM_COLOUR c3 = TM_LOAD_RGB(table, base + upper);
    return tmColour(w0 * c0.x + w1 * c1.x + w2 * c2.x + w3 * c3.x, w0 * c0.y + w1 * c1.y + w2 * c2.y + w3 * c3.y,
                    w0 * c0.z + w1 * c1.z + w2 * c2.z + w3 * c3.z, w0 + w1 + w2 + w3);
}

/* Linear interpolation of a 1D table; every column is sampled at x, the
 * fourth component is 1. An entry hit exactly, or the last one, is returned
 * unchanged. */
TM_LANES TM_FUNC TM_COLOUR lookup1D(TM_GLOBAL const float* table, unsigned int size, TmFloat x) {
    const TM_CELL cell = locateCell(x, size);
    const TM_INDEX lo = 3u * cell.lower;
    const TM_INDEX hi = lo + stepUp(cell, 3u);
    const TM_MASK exact = cell.atLast | (cell.fraction == 0.0f);
    const TmFloat f = cell.fraction;
    const TmFloat r = TM_LOAD(table, lo);
    const TmFloat g = TM_LOAD(table, lo + 1u);
    const TmFloat b = TM_LOAD(table, lo + 2u);
    return tmColour(TM_SELECT(exact, r, r + f * (TM_LOAD(table, hi) - r)),
                    TM_SELECT(exact, g, g + f * (TM_LOAD(table, hi + 1u) - g)),
                    TM_SELECT(exact, b, b + f * (TM_LOAD(table, hi + 2u) - b)), (TmFloat)1.0f);
}

TM_NAMESPACE_END

#endif
