#include <cstdlib>
#include <cstring>

#if defined(__x86_64__)
#include <cpuid.h>
#endif

#include "pipeline/chain_lanes.h"

namespace ChromvaleBeta2 {
namespace {

#if defined(__x86_64__)
// What the processor and the system offer, asked of the processor itself
// rather than through __builtin_cpu_supports: the runtime behind that builtin
// must have read the processor first, and the one the portable library links
// never does inside a shared library, where it answers no for everything. A
// register set counts only where the system saves it (XCR0).
struct ProcessorFeatures {
    bool avx2AndFma = false;
    bool avx512 = false;
};

ProcessorFeatures readProcessor() {
    ProcessorFeatures features;
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return features;
    if ((ecx & bit_FMA) == 0 || (ecx & bit_AVX) == 0 || (ecx & bit_OSXSAVE) == 0) return features;
    unsigned int xcr0Low = 0, xcr0High = 0;
    __asm__("xgetbv" : "=a"(xcr0Low), "=d"(xcr0High) : "c"(0));
    const unsigned int xmmAndYmm = 0x6;      // SSE and AVX state
    const unsigned int opmaskAndZmm = 0xE0;  // AVX-512 state: opmasks, upper ZMM halves, ZMM16-31
    if ((xcr0Low & xmmAndYmm) != xmmAndYmm || __get_cpuid_max(0, nullptr) < 7) return features;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    features.avx2AndFma = (ebx & bit_AVX2) != 0;
    const unsigned int avx512 = bit_AVX512F | bit_AVX512VL | bit_AVX512DQ | bit_AVX512BW;
    features.avx512 = features.avx2AndFma && (ebx & avx512) == avx512 && (xcr0Low & opmaskAndZmm) == opmaskAndZmm;
    return features;
}

const ProcessorFeatures& processor() {
    static const ProcessorFeatures features = readProcessor();
    return features;
}
#endif

}  // namespace

int lanesOf(LanePath path) {
    switch (path) {
        case LanePath::kFour: return 4;
        case LanePath::kEight: return 8;
        case LanePath::kSixteen: return 16;
    }
    return 1;
}

const char* lanePathName(LanePath path) {
    switch (path) {
        case LanePath::kFour: return "SSE2, 4 lanes";
        case LanePath::kEight: return "AVX2, 8 lanes";
        case LanePath::kSixteen: return "AVX-512, 16 lanes";
    }
    return "one pixel at a time";
}

#if defined(__x86_64__)
bool cpuRuns(LanePath path) {
    switch (path) {
        case LanePath::kFour: return true;
        case LanePath::kEight: return processor().avx2AndFma;
        case LanePath::kSixteen: return processor().avx512;
    }
    return false;
}
#else
bool cpuRuns(LanePath) {
    return false;
}
#endif

LanePath lanePathFor(const char* requested) {
    LanePath path = LanePath::kSixteen;
    if (requested != nullptr && std::strcmp(requested, "sse2") == 0) path = LanePath::kFour;
    if (requested != nullptr && std::strcmp(requested, "avx2") == 0) path = LanePath::kEight;
    while (path != LanePath::kFour && !cpuRuns(path))
        path = path == LanePath::kSixteen ? LanePath::kEight : LanePath::kFour;
    return path;
}

LanePath cpuLanePath() {
    static const LanePath chosen = lanePathFor(std::getenv("TONEMILL_SIMD"));
    return chosen;
}

}  // namespace ChromvaleBeta2
