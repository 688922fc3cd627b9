/* The per-pixel colour chain and the device kernel that runs it. The same
 * text is the CPU chain (included by the pipeline's C++ code), the CUDA
 * kernel, and, after the archive copy of lut_cuda.h, the OpenCL program. */

/* The OpenCL program already starts with the text of lut_cuda.h. */
#if !defined(TM_TARGET_OPENCL)
#include "lut_cuda.h"
#endif

TM_NAMESPACE_BEGIN

/* Test image and zone guide: fixed-size RGBA byte pictures, tiled over
 * larger frames. */
#define TM_VIEW_WIDTH 1920u
#define TM_VIEW_HEIGHT 1080u

/* Exponent used when a gamma or push/pull value is exactly 0. */
#define TM_RECIPROCAL_FALLBACK 100.0f

/* Per-render values derived from the settings. The kernel derives them per
 * thread; the CPU derives them once per row or per call. */
typedef struct ChainConstants {
    float gammaExponent[3];
    float pushPullExponent[3];
    TmReal saturationFactor;
} ChainConstants;

TM_FUNC float reciprocalExponent(float value) {
    return value == 0.0f ? TM_RECIPROCAL_FALLBACK : 1.0f / value;
}

TM_FUNC ChainConstants deriveChainConstants(const ChainSettings* s) {
    ChainConstants k;
    for (int c = 0; c < 3; ++c) {
        k.gammaExponent[c] = reciprocalExponent(s->gamma[c]);
        k.pushPullExponent[c] = reciprocalExponent(s->pushPull[c]);
    }
    const TmReal base = s->saturation > 0.0f ? (TmReal)2.51 : (TmReal)80.0;
    k.saturationFactor = TM_POW_REAL(base, (TmReal)s->saturation);
    return k;
}

TM_LANES TM_FUNC TmFloat clamp01(TmFloat x) {
    return TM_FMIN(TM_FMAX(x, (TmFloat)0.0f), (TmFloat)1.0f);
}

/* 0 stays 0 for every exponent, 0^0 included. */
TM_LANES TM_FUNC TmFloat raiseUnit(TmFloat base, float exponent) {
    return TM_SELECT(base == 0.0f, (TmFloat)0.0f, TM_POWF(base, exponent));
}

/* weight * result + (1 - weight) * base, on all four components. */
TM_LANES TM_FUNC TM_COLOUR blend(TM_COLOUR base, TM_COLOUR result, float weight) {
    return weight * result + (1.0f - weight) * base;
}

/* The parametric corrections of one channel, printer lights to push/pull.
 * After the lift v lies in [0, 1] and is never NaN, so a gain of 1 or an
 * exponent of 1 would give v back exactly: those steps are skipped, and the
 * neutral lift and CMY take shorter forms of the same values. */
TM_LANES TM_FUNC TmFloat gradeChannel(TmFloat v, const ChainSettings* s, const ChainConstants* k, int c) {
    const TmFloat a = s->printerLight[c] != 0.0f ? v + s->printerLight[c] : v;
    if (s->lift[c] != 0.0f)
        v = clamp01(a + (1.0f - a) * s->lift[c]);
    else
        v = clamp01(a + (a - a)); /* (1 - a) * 0: 0, or NaN where a is not finite */
    if (s->gain[c] != 1.0f) v = clamp01(v * s->gain[c]);
    if (k->gammaExponent[c] != 1.0f) v = clamp01(raiseUnit(v, k->gammaExponent[c]));
    if (s->temperatureGain[c] != 1.0f) v = clamp01(v * s->temperatureGain[c]);
    if (s->cmy[c] != 1.0f)
        v = 1.0f - clamp01((1.0f - v) * s->cmy[c]); /* scale the density 1 - v */
    else
        v = 1.0f - (1.0f - v); /* a density in [0, 1] needs no clamp */
    if (k->pushPullExponent[c] != 1.0f) v = clamp01(raiseUnit(v, k->pushPullExponent[c]));
    return v;
}

/* Luma-preserving saturation: k = 1 is the identity, k < 1 moves towards
 * grey, k > 1 away from it. No clamp: values may leave [0, 1] here. With
 * k = 1 the matrix gives back the graded values, which are finite, to within
 * a double rounding that narrowing to float removes, so it is skipped. */
TM_LANES TM_FUNC TM_COLOUR applySaturation(TM_COLOUR v, TmReal k) {
    if (k == (TmReal)1.0) return v;
    const TM_REAL_LANE r = TM_TO_REAL(v.x);
    const TM_REAL_LANE g = TM_TO_REAL(v.y);
    const TM_REAL_LANE b = TM_TO_REAL(v.z);
    const TmReal wr = (TmReal)0.299, wg = (TmReal)0.587, wb = (TmReal)0.114;
    v.x = TM_TO_FLOAT((wr + ((TmReal)0.701) * k) * r + (wg - wg * k) * g + (wb - wb * k) * b);
    v.y = TM_TO_FLOAT((wr - wr * k) * r + (wg + ((TmReal)0.413) * k) * g + (wb - wb * k) * b);
    v.z = TM_TO_FLOAT((wr - wr * k) * r + (wg - wg * k) * g + (wb + ((TmReal)0.886) * k) * b);
    return v;
}

TM_LANES TM_FUNC TM_COLOUR applyContrastCurve(TM_COLOUR v, const ChainSettings* s) {
    const float w = s->contrastMix;
    const TmFloat r = lookup1D(s->contrastLut, s->contrastLutSize, v.x).x;
    const TmFloat g = lookup1D(s->contrastLut, s->contrastLutSize, v.y).y;
    const TmFloat b = lookup1D(s->contrastLut, s->contrastLutSize, v.z).z;
    v.x = w * r + (1.0f - w) * v.x;
    v.y = w * g + (1.0f - w) * v.y;
    v.z = w * b + (1.0f - w) * v.z;
    return v;
}

/* Byte offset of the view picture pixel shown at (x, y); larger frames
 * repeat the picture. */
TM_FUNC unsigned int viewPixelOffset(int x, int y) {
    const unsigned int column = (unsigned int)x % TM_VIEW_WIDTH;
    const unsigned int row = (unsigned int)y % TM_VIEW_HEIGHT;
    return 4u * (row * TM_VIEW_WIDTH + column);
}

TM_FUNC float byteToUnit(unsigned char byte) {
    return (float)byte / 255.0f;
}

/* The chain is a fixed sequence of steps over two colours: v, the working
 * colour, and u, the ungraded colour that the global blend returns to. A
 * pixel runs every step in order; the CPU runs each step over a whole span
 * of pixels before the next, so that one table at a time stays in cache.
 * With withTestViews set, the test image, the zone chart LUT and the zone
 * guide overlay are drawn for pixel (x, y) of the source image; without it
 * the chain depends on the colour alone, which is what a baked LUT can
 * express. The test views need one position per lane, so lanes holding
 * several pixels run without them. */
enum ChainStep {
    STEP_GAMUT_LIMIT_RED,
    STEP_GAMUT_LIMIT_GREEN,
    STEP_GAMUT_LIMIT_BLUE,
    STEP_INPUT_TRANSFORM,
    STEP_TEST_IMAGE,
    STEP_CORRECTIONS, /* printer lights to saturation, channel by channel */
    STEP_CONTRAST_CURVE,
    STEP_PALETTE,
    STEP_PRINT_STOCK,
    STEP_POST_PROCESSING,
    STEP_ZONE_CHART,
    STEP_OUTPUT_TRANSFORM,
    STEP_GLOBAL_BLEND,
    STEP_ZONE_GUIDE,
    CHAIN_STEP_COUNT
};

TM_LANES TM_FUNC void runChainStep(const ChainSettings* s, const ChainConstants* k, int step, TM_COLOUR* v,
                                   TM_COLOUR* u, int x, int y, int withTestViews) {
    switch (step) {
        case STEP_GAMUT_LIMIT_RED:
        case STEP_GAMUT_LIMIT_GREEN:
        case STEP_GAMUT_LIMIT_BLUE: {
            const int c = step - STEP_GAMUT_LIMIT_RED;
            if (s->gamutLutSize[c] != 0u)
                *v = blend(lookup3D(s->gamutLut[c], s->gamutLutSize[c], *v), *v, s->gamutMix[c]);
            break;
        }
        case STEP_INPUT_TRANSFORM:
            if (s->idtLutSize != 0u) *v = lookup3D(s->idtLut, s->idtLutSize, *v);
            break;
        case STEP_TEST_IMAGE:
            if (withTestViews && s->testImageSize != 0u) {
                TM_GLOBAL const unsigned char* p = s->testImage + viewPixelOffset(x, y);
                *v = tmColour((TmFloat)byteToUnit(p[0]), (TmFloat)byteToUnit(p[1]), (TmFloat)byteToUnit(p[2]),
                              (TmFloat)1.0f);
            }
            *u = *v;
            break;
        case STEP_CORRECTIONS:
            (*v).x = gradeChannel((*v).x, s, k, 0);
            (*v).y = gradeChannel((*v).y, s, k, 1);
            (*v).z = gradeChannel((*v).z, s, k, 2);
            *v = applySaturation(*v, k->saturationFactor);
            break;
        case STEP_CONTRAST_CURVE:
            if (s->contrastLutSize != 0u) *v = applyContrastCurve(*v, s);
            break;
        case STEP_PALETTE:
            if (s->paletteLutSize != 0u) *v = blend(*v, lookup3D(s->paletteLut, s->paletteLutSize, *v), s->paletteMix);
            break;
        case STEP_PRINT_STOCK:
            if (s->printLutSize != 0u) *v = blend(*v, lookup3D(s->printLut, s->printLutSize, *v), s->printMix);
            break;
        case STEP_POST_PROCESSING:
            if (s->postProcessLutSize != 0u)
                *v = blend(*v, lookup3D(s->postProcessLut, s->postProcessLutSize, *v), s->postProcessMix);
            break;
        case STEP_ZONE_CHART:
            if (withTestViews && s->zoneLutSize != 0u) *v = lookup3D(s->zoneLut, s->zoneLutSize, *v);
            break;
        case STEP_OUTPUT_TRANSFORM:
            if (s->odtLutSize != 0u) {
                *v = lookup3D(s->odtLut, s->odtLutSize, *v);
                /* At full blend the ungraded colour's display value is weighed
                 * by 0 and, coming out of a lookup, finite: any finite stand-in
                 * gives the same sum. */
                if (s->globalBlend == 1.0f)
                    *u = *v;
                else
                    *u = lookup3D(s->odtLut, s->odtLutSize, *u);
            }
            break;
        case STEP_GLOBAL_BLEND: {
            const float w = s->globalBlend;
            if (w == 1.0f) { /* 1 * v is v; 0 * u still turns a non-finite u into NaN */
                (*v).x = (*v).x + 0.0f * (*u).x;
                (*v).y = (*v).y + 0.0f * (*u).y;
                (*v).z = (*v).z + 0.0f * (*u).z;
                break;
            }
            (*v).x = w * (*v).x + (1.0f - w) * (*u).x;
            (*v).y = w * (*v).y + (1.0f - w) * (*u).y;
            (*v).z = w * (*v).z + (1.0f - w) * (*u).z;
            break;
        }
        default: /* STEP_ZONE_GUIDE */
            if (withTestViews && s->zoneOverlaySize != 0u) {
                TM_GLOBAL const unsigned char* p = s->zoneOverlay + viewPixelOffset(x, y);
                if (p[3] != 0) {
                    (*v).x = (TmFloat)byteToUnit(p[0]);
                    (*v).y = (TmFloat)byteToUnit(p[1]);
                    (*v).z = (TmFloat)byteToUnit(p[2]);
                }
            }
            break;
    }
}

/* The whole chain for one source pixel; the output keeps the source alpha. */
TM_LANES TM_FUNC TM_COLOUR runChain(const ChainSettings* s, const ChainConstants* k, TM_COLOUR source, int x, int y,
                                    int withTestViews) {
    TM_COLOUR v = source;
    TM_COLOUR u = source;
    /* Step by step with constant steps, so each call reduces to its own case
     * once inlined. */
    runChainStep(s, k, STEP_GAMUT_LIMIT_RED, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_GAMUT_LIMIT_GREEN, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_GAMUT_LIMIT_BLUE, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_INPUT_TRANSFORM, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_TEST_IMAGE, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_CORRECTIONS, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_CONTRAST_CURVE, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_PALETTE, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_PRINT_STOCK, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_POST_PROCESSING, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_ZONE_CHART, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_OUTPUT_TRANSFORM, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_GLOBAL_BLEND, &v, &u, x, y, withTestViews);
    runChainStep(s, k, STEP_ZONE_GUIDE, &v, &u, x, y, withTestViews);
    v.w = source.w;
    return v;
}

/* ---- Device kernel ----------------------------------------------------- */

#if defined(TM_TARGET_OPENCL) || defined(__CUDACC__)

#if defined(TM_TARGET_OPENCL)
#define TM_KERNEL __kernel
#define TM_KERNEL_NAME applyEffectKernel
#define TM_THREAD_X ((int)get_global_id(0))
#define TM_THREAD_Y ((int)get_global_id(1))
#else
#define TM_KERNEL __global__
#define TM_KERNEL_NAME applyEffectKernelCL
#define TM_THREAD_X ((int)(blockIdx.x * blockDim.x + threadIdx.x))
#define TM_THREAD_Y ((int)(blockIdx.y * blockDim.y + threadIdx.y))
#endif

#define TM_TABLE_PARAMETERS(element, pointer, size, member, sizeMember, slot) \
    TM_GLOBAL element *pointer, unsigned int size,
#define TM_VALUE_PARAMETER(type, name, member) type name,
#define TM_STORE_TABLE(element, pointer, size, member, sizeMember, slot) \
    s.member = pointer;                                                  \
    s.sizeMember = size;
#define TM_STORE_VALUE(type, name, member) s.member = name;

TM_KERNEL void TM_KERNEL_NAME(TM_GLOBAL const float* p_Input, int p_Width, int p_Height,
                              TM_KERNEL_ARGUMENTS(TM_TABLE_PARAMETERS, TM_VALUE_PARAMETER) TM_GLOBAL float* p_Output) {
    const int x = TM_THREAD_X;
    const int y = TM_THREAD_Y;
    if (x >= p_Width || y >= p_Height) return;

    ChainSettings s;
    TM_KERNEL_ARGUMENTS(TM_STORE_TABLE, TM_STORE_VALUE)

    const ChainConstants k = deriveChainConstants(&s);
    const int offset = 4 * (y * p_Width + x);
    const float4 source = make_float4(p_Input[offset], p_Input[offset + 1], p_Input[offset + 2], p_Input[offset + 3]);
    const float4 out = runChain(&s, &k, source, x, y, 1);
    p_Output[offset] = out.x;
    p_Output[offset + 1] = out.y;
    p_Output[offset + 2] = out.z;
    p_Output[offset + 3] = out.w;
}

#endif

TM_NAMESPACE_END
