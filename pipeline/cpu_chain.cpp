#include "pipeline/cpu_chain.h"

#include <algorithm>

#if defined(__x86_64__)
#include <cpuid.h>
#endif

#include "chromvale_cuda.cu"
#include "pipeline/chain_lanes.h"

// Inline the whole chain into the row loop so the settings and the derived
// exponents stay in registers across the row.
#if defined(__GNUC__) || defined(__clang__)
#define TM_FLATTEN __attribute__((flatten))
#else
#define TM_FLATTEN
#endif

namespace ChromvaleBeta2 {

float4 processColour(const PipelineSettings& settings, float4 source) {
    const ChainConstants k = deriveChainConstants(&settings);
    return runChain(&settings, &k, source, 0, 0, 0);
}

float4 processColourAt(const PipelineSettings& settings, float4 source, int x, int y) {
    const ChainConstants k = deriveChainConstants(&settings);
    return runChain(&settings, &k, source, x, y, 1);
}

#if defined(__x86_64__)
// Asked of the processor itself rather than through __builtin_cpu_supports: the
// runtime behind that builtin must have read the processor first, and the one the
// portable library links never does inside a shared library, where it answers no
// for everything. AVX2 counts only where the system saves the YMM registers.
bool processorHasAvx2AndFma() {
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return false;
    if ((ecx & bit_FMA) == 0 || (ecx & bit_AVX) == 0 || (ecx & bit_OSXSAVE) == 0) return false;
    unsigned int xcr0Low = 0, xcr0High = 0;
    __asm__("xgetbv" : "=a"(xcr0Low), "=d"(xcr0High) : "c"(0));
    const unsigned int xmmAndYmmState = 0x6;
    if ((xcr0Low & xmmAndYmmState) != xmmAndYmmState || __get_cpuid_max(0, nullptr) < 7) return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    return (ebx & bit_AVX2) != 0;
}

bool cpuRunsEightLanes() {
    static const bool supported = processorHasAvx2AndFma();
    return supported;
}

bool cpuRunsFourLanes() {
    return true;
}
#else
bool cpuRunsEightLanes() {
    return false;
}

bool cpuRunsFourLanes() {
    return false;
}
#endif

namespace {

// The test views need each pixel's position, which the eight-pixel lanes do
// not carry; renders that show them take the one-pixel chain.
bool showsTestViews(const ChainSettings& s) {
    return s.testImageSize != 0u || s.zoneLutSize != 0u || s.zoneOverlaySize != 0u;
}

void fillTransparent(float* destination, int count) {
    std::fill(destination, destination + 4 * std::max(count, 0), 0.0f);
}

}  // namespace

TM_FLATTEN void renderRow(const PipelineSettings& settings, const SourceRow& source, int x1, int x2,
                          float* destination) {
    if (x2 <= x1) return;
    if (source.pixels == nullptr) {
        fillTransparent(destination, x2 - x1);
        return;
    }
    const int from = std::clamp(source.x1, x1, x2);
    const int to = std::clamp(source.x2, from, x2);
    fillTransparent(destination, from - x1);
    fillTransparent(destination + 4 * (to - x1), x2 - to);

    float* out = destination + 4 * (from - x1);
    const float* in = source.pixels + 4 * (from - source.x1);
#if defined(__x86_64__)
    if (!showsTestViews(settings)) {
        if (cpuRunsEightLanes())
            renderSpanEightLanes(settings, in, out, to - from);
        else
            renderSpanFourLanes(settings, in, out, to - from);
        return;
    }
#endif

    // A local copy tells the compiler that stores to the row cannot change
    // the settings, so nothing is re-read per pixel.
    const ChainSettings s = settings;
    const ChainConstants k = deriveChainConstants(&s);
    for (int x = from; x < to; ++x, in += 4, out += 4) {
        const float4 pixel = runChain(&s, &k, make_float4(in[0], in[1], in[2], in[3]), x - source.x1, source.y, 1);
        out[0] = pixel.x;
        out[1] = pixel.y;
        out[2] = pixel.z;
        out[3] = pixel.w;
    }
}

}  // namespace ChromvaleBeta2
