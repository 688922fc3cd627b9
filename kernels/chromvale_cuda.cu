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

TM_FUNC float reciprocalExponent(float value)
{
    return value == 0.0f ? TM_RECIPROCAL_FALLBACK : 1.0f / value;
}

TM_FUNC ChainConstants deriveChainConstants(const ChainSettings* s)
{
    ChainConstants k;
    for (int c = 0; c < 3; ++c) {
        k.gammaExponent[c] = reciprocalExponent(s->gamma[c]);
        k.pushPullExponent[c] = reciprocalExponent(s->pushPull[c]);
    }
    const TmReal base = s->saturation > 0.0f ? (TmReal)2.51 : (TmReal)80.0;
    k.saturationFactor = TM_POW_REAL(base, (TmReal)s->saturation);
    return k;
}

TM_LANES TM_FUNC TmFloat clamp01(TmFloat x)
{
    return TM_FMIN(TM_FMAX(x, (TmFloat)0.0f), (TmFloat)1.0f);
}

/* 0 stays 0 for every exponent, 0^0 included. */
TM_LANES TM_FUNC TmFloat raiseUnit(TmFloat base, float exponent)
{
    return TM_SELECT(base == 0.0f, (TmFloat)0.0f, TM_POWF(base, exponent));
}

/* weight * result + (1 - weight) * base, on all four components. */
TM_LANES TM_FUNC TM_COLOUR blend(TM_COLOUR base, TM_COLOUR result, float weight)
{
    return weight * result + (1.0f - weight) * base;
}

/* The parametric corrections of one channel, printer lights to push/pull.
 * After the lift v lies in [0, 1] and is never NaN, so a gain of 1 or an
 * exponent of 1 would give v back exactly: those steps are skipped, and the
 * neutral lift and CMY take shorter forms of the same values. */
TM_LANES TM_FUNC TmFloat gradeChannel(TmFloat v, const ChainSettings* s, const ChainConstants* k, int c)
{
    const TmFloat a = s->printerLight[c] != 0.0f ? v + s->printerLight[c] : v;
    if (s->lift[c] != 0.0f)
        v = clamp01(a + (1.0f - a) * s->lift[c]);
    else
        v = clamp01(a + (a - a)); /* (1 - a) * 0: 0, or NaN where a is not finite */
    if (s->gain[c] != 1.0f)
        v = clamp01(v * s->gain[c]);
    if (k->gammaExponent[c] != 1.0f)
        v = clamp01(raiseUnit(v, k->gammaExponent[c]));
    if (s->temperatureGain[c] != 1.0f)
        v = clamp01(v * s->temperatureGain[c]);
    if (s->cmy[c] != 1.0f)
        v = 1.0f - clamp01((1.0f - v) * s->cmy[c]); /* scale the density 1 - v */
    else
        v = 1.0f - (1.0f - v); /* a density in [0, 1] needs no clamp */
    if (k->pushPullExponent[c] != 1.0f)
        v = clamp01(raiseUnit(v, k->pushPullExponent[c]));
    return v;
}

/* Luma-preserving saturation: k = 1 is the identity, k < 1 moves towards
 * grey, k > 1 away from it. No clamp: values may leave [0, 1] here. With
 * k = 1 the matrix gives back the graded values, which are finite, to within
 * a double rounding that narrowing to float removes, so it is skipped. */
TM_LANES TM_FUNC TM_COLOUR applySaturation(TM_COLOUR v, TmReal k)
{
    if (k == (TmReal)1.0)
        return v;
    const TM_REAL_LANE r = TM_TO_REAL(v.x);
    const TM_REAL_LANE g = TM_TO_REAL(v.y);
    const TM_REAL_LANE b = TM_TO_REAL(v.z);
    const TmReal wr = (TmReal)0.299, wg = (TmReal)0.587, wb = (TmReal)0.114;
    v.x = TM_TO_FLOAT((wr + ((TmReal)0.701) * k) * r + (wg - wg * k) * g + (wb - wb * k) * b);
    v.y = TM_TO_FLOAT((wr - wr * k) * r + (wg + ((TmReal)0.413) * k) * g + (wb - wb * k) * b);
    v.z = TM_TO_FLOAT((wr - wr * k) * r + (wg - wg * k) * g + (wb + ((TmReal)0.886) * k) * b);
    return v;
}

TM_LANES TM_FUNC TM_COLOUR applyContrastCurve(TM_COLOUR v, const ChainSettings* s)
{
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
TM_FUNC unsigned int viewPixelOffset(int x, int y)
{
    const unsigned int column = (unsigned int)x % TM_VIEW_WIDTH;
    const unsigned int row = (unsigned int)y % TM_VIEW_HEIGHT;
    return 4u * (row * TM_VIEW_WIDTH + column);
}

TM_FUNC float byteToUnit(unsigned char byte)
{
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
#define TM_CHAIN_STEPS 14

TM_LANES TM_FUNC void runChainStep(const ChainSettings* s, const ChainConstants* k, int step,
                                   TM_COLOUR* v, TM_COLOUR* u, int x, int y, int withTestViews)
{
    switch (step) {
    case 0: /* gamut limit red, green, blue */
    case 1:
    case 2:
        if (s->gamutLutSize[step] != 0u)
            *v = blend(lookup3D(s->gamutLut[step], s->gamutLutSize[step], *v), *v, s->gamutMix[step]);
        break;
    case 3:
        if (s->idtLutSize != 0u)
            *v = lookup3D(s->idtLut, s->idtLutSize, *v);
        break;
    case 4:
        if (withTestViews && s->testImageSize != 0u) {
            TM_GLOBAL const unsigned char* p = s->testImage + viewPixelOffset(x, y);
            *v = tmColour((TmFloat)byteToUnit(p[0]), (TmFloat)byteToUnit(p[1]), (TmFloat)byteToUnit(p[2]),
                          (TmFloat)1.0f);
        }
        *u = *v;
        break;
    case 5:
        (*v).x = gradeChannel((*v).x, s, k, 0);
        (*v).y = gradeChannel((*v).y, s, k, 1);
        (*v).z = gradeChannel((*v).z, s, k, 2);
        *v = applySaturation(*v, k->saturationFactor);
        break;
    case 6:
        if (s->contrastLutSize != 0u)
            *v = applyContrastCurve(*v, s);
        break;
    case 7:
        if (s->paletteLutSize != 0u)
            *v = blend(*v, lookup3D(s->paletteLut, s->paletteLutSize, *v), s->paletteMix);
        break;
    case 8:
        if (s->printLutSize != 0u)
            *v = blend(*v, lookup3D(s->printLut, s->printLutSize, *v), s->printMix);
        break;
    case 9:
        if (s->postProcessLutSize != 0u)
            *v = blend(*v, lookup3D(s->postProcessLut, s->postProcessLutSize, *v), s->postProcessMix);
        break;
    case 10:
        if (withTestViews && s->zoneLutSize != 0u)
            *v = lookup3D(s->zoneLut, s->zoneLutSize, *v);
        break;
    case 11:
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
    case 12: {
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
    default: /* 13 */
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
TM_LANES TM_FUNC TM_COLOUR runChain(const ChainSettings* s, const ChainConstants* k, TM_COLOUR source,
                                    int x, int y, int withTestViews)
{
    TM_COLOUR v = source;
    TM_COLOUR u = source;
    /* Step by step with constant numbers, so each call reduces to its own
     * case once inlined; TM_CHAIN_STEPS counts them. */
    runChainStep(s, k, 0, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 1, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 2, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 3, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 4, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 5, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 6, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 7, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 8, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 9, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 10, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 11, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 12, &v, &u, x, y, withTestViews);
    runChainStep(s, k, 13, &v, &u, x, y, withTestViews);
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

TM_KERNEL void TM_KERNEL_NAME(
    TM_GLOBAL const float* p_Input, int p_Width, int p_Height,
    TM_GLOBAL const float* idtLut, unsigned int idtLutSize,
    TM_GLOBAL const float* contrastLut, unsigned int contrastLutSize, float contrastMix,
    TM_GLOBAL const float* paletteLut, unsigned int paletteLutSize, float paletteMix,
    TM_GLOBAL const float* printLut, unsigned int printLutSize, float printMix,
    TM_GLOBAL const float* odtLut, unsigned int odtLutSize,
    TM_GLOBAL const float* gamutLutR, unsigned int gamutLutSizeR,
    TM_GLOBAL const float* gamutLutG, unsigned int gamutLutSizeG,
    TM_GLOBAL const float* gamutLutB, unsigned int gamutLutSizeB,
    TM_GLOBAL const float* postProcessLut, unsigned int postProcessLutSize,
    TM_GLOBAL const float* zoneLut, unsigned int zoneLutSize,
    float gamutMixR, float gamutMixG, float gamutMixB,
    float postProcessMix,
    float liftR, float liftG, float liftB,
    float gammaR, float gammaG, float gammaB,
    float gainR, float gainG, float gainB,
    float printerLightR, float printerLightG, float printerLightB,
    float pushPullR, float pushPullG, float pushPullB,
    float saturation,
    float cmyC, float cmyM, float cmyY,
    float temperatureGainR, float temperatureGainG, float temperatureGainB,
    float globalBlend,
    TM_GLOBAL const unsigned char* testImage, unsigned int testImageSize,
    TM_GLOBAL const unsigned char* zoneOverlay, unsigned int zoneOverlaySize,
    TM_GLOBAL float* p_Output)
{
    const int x = TM_THREAD_X;
    const int y = TM_THREAD_Y;
    if (x >= p_Width || y >= p_Height)
        return;

    ChainSettings s;
    s.lift[0] = liftR; s.lift[1] = liftG; s.lift[2] = liftB;
    s.gamma[0] = gammaR; s.gamma[1] = gammaG; s.gamma[2] = gammaB;
    s.gamutMix[0] = gamutMixR; s.gamutMix[1] = gamutMixG; s.gamutMix[2] = gamutMixB;
    s.gain[0] = gainR; s.gain[1] = gainG; s.gain[2] = gainB;
    s.temperatureGain[0] = temperatureGainR;
    s.temperatureGain[1] = temperatureGainG;
    s.temperatureGain[2] = temperatureGainB;
    s.saturation = saturation;
    s.printerLight[0] = printerLightR; s.printerLight[1] = printerLightG; s.printerLight[2] = printerLightB;
    s.pushPull[0] = pushPullR; s.pushPull[1] = pushPullG; s.pushPull[2] = pushPullB;
    s.cmy[0] = cmyC; s.cmy[1] = cmyM; s.cmy[2] = cmyY;
    s.postProcessMix = postProcessMix;
    s.zoneOverlay = zoneOverlay;
    s.idtLut = idtLut;
    s.contrastLut = contrastLut;
    s.paletteLut = paletteLut;
    s.printLut = printLut;
    s.odtLut = odtLut;
    s.postProcessLut = postProcessLut;
    s.gamutLut[0] = gamutLutR; s.gamutLut[1] = gamutLutG; s.gamutLut[2] = gamutLutB;
    s.zoneLut = zoneLut;
    s.idtLutSize = idtLutSize;
    s.contrastLutSize = contrastLutSize;
    s.paletteLutSize = paletteLutSize;
    s.printLutSize = printLutSize;
    s.odtLutSize = odtLutSize;
    s.postProcessLutSize = postProcessLutSize;
    s.gamutLutSize[0] = gamutLutSizeR; s.gamutLutSize[1] = gamutLutSizeG; s.gamutLutSize[2] = gamutLutSizeB;
    s.zoneLutSize = zoneLutSize;
    s.testImageSize = testImageSize;
    s.zoneOverlaySize = zoneOverlaySize;
    s.contrastMix = contrastMix;
    s.paletteMix = paletteMix;
    s.printMix = printMix;
    s.globalBlend = globalBlend;
    s.testImage = testImage;

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
