// Built for AVX2 and FMA through the target pragma below; the rest of the
// library stays at the x86-64 baseline, and cpuRunsEightLanes decides at run
// time whether this code may run.
#if defined(__x86_64__)
#pragma GCC target("avx2,fma")

#include "pipeline/chain_lanes.h"

#include <cstring>

#include "pipeline/lanes_avx2.h"

#include "chromvale_cuda.cu"

namespace ChromvaleBeta2 {
namespace {

// Two pixels per register, p and p + 4, become one channel per register,
// and back: the 4 x 4 transpose within each 128-bit half is its own inverse.
void transpose(__m256& a, __m256& b, __m256& c, __m256& d)
{
    const __m256 t0 = _mm256_unpacklo_ps(a, b);
    const __m256 t1 = _mm256_unpackhi_ps(a, b);
    const __m256 t2 = _mm256_unpacklo_ps(c, d);
    const __m256 t3 = _mm256_unpackhi_ps(c, d);
    a = _mm256_shuffle_ps(t0, t2, 0x44);
    b = _mm256_shuffle_ps(t0, t2, 0xEE);
    c = _mm256_shuffle_ps(t1, t3, 0x44);
    d = _mm256_shuffle_ps(t1, t3, 0xEE);
}

__m256 loadPair(const float* pixels, int first)
{
    return _mm256_loadu2_m128(pixels + 4 * (first + 4), pixels + 4 * first);
}

void storePair(float* pixels, int first, __m256 pair)
{
    _mm256_storeu2_m128(pixels + 4 * (first + 4), pixels + 4 * first, pair);
}

// One group of eight pixels between the steps of the chain.
struct Group {
    TmColour<Lanes8> v, u;
    __m256 alpha;
};

// Pixels per span: each step runs over the whole span before the next, so
// its table is fetched into cache once for all of them. The span's state
// (about 140 KiB for a 3840-pixel row) lives on the stack: no allocation
// per row.
constexpr int kSpanGroups = 480;

Group loadGroup(const float* in)
{
    __m256 x = loadPair(in, 0), y = loadPair(in, 1), z = loadPair(in, 2), w = loadPair(in, 3);
    transpose(x, y, z, w);
    Group g;
    g.v = g.u = tmColour(Lanes8(x), Lanes8(y), Lanes8(z), Lanes8(w));
    g.alpha = w;
    return g;
}

void storeGroup(const Group& g, float* out)
{
    __m256 x = g.v.x.v, y = g.v.y.v, z = g.v.z.v, w = g.alpha;
    transpose(x, y, z, w);
    storePair(out, 0, x), storePair(out, 1, y), storePair(out, 2, z), storePair(out, 3, w);
}

// Renders with at most one table gain nothing from running step by step:
// each group of eight goes through the whole chain at once, in registers.
bool runsStepByStep(const ChainSettings& s)
{
    const unsigned int sizes[] = {s.gamutLutSize[0], s.gamutLutSize[1], s.gamutLutSize[2], s.idtLutSize,
                                  s.contrastLutSize, s.paletteLutSize, s.printLutSize, s.postProcessLutSize,
                                  s.odtLutSize};
    int tables = 0;
    for (unsigned int size : sizes)
        tables += size != 0u ? 1 : 0;
    return tables > 1;
}

void renderGroup(const ChainSettings& s, const ChainConstants& k, const float* in, float* out)
{
    Group g = loadGroup(in);
    g.v = runChain(&s, &k, g.v, 0, 0, 0);
    g.alpha = g.v.w.v;
    storeGroup(g, out);
}

void renderSpanAtOnce(const ChainSettings& s, const ChainConstants& k, const float* in, float* out, int count)
{
    const int whole = count / 8;
    for (int g = 0; g < whole; ++g)
        renderGroup(s, k, in + 32 * g, out + 32 * g);
    const int rest = count - 8 * whole;
    if (rest > 0) {
        float padded[32] = {};
        const size_t restBytes = sizeof(float) * 4 * static_cast<size_t>(rest);
        std::memcpy(padded, in + 32 * whole, restBytes);
        renderGroup(s, k, padded, padded);
        std::memcpy(out + 32 * whole, padded, restBytes);
    }
}

// Up to kSpanGroups * 8 pixels; a last partial group travels padded.
void renderSpan(const ChainSettings& s, const ChainConstants& k, const float* in, float* out, int count)
{
    Group groups[kSpanGroups];
    const int whole = count / 8;
    const int rest = count - 8 * whole;
    const size_t restBytes = sizeof(float) * 4 * static_cast<size_t>(rest);
    for (int g = 0; g < whole; ++g)
        groups[g] = loadGroup(in + 32 * g);
    if (rest > 0) {
        float padded[32] = {};
        std::memcpy(padded, in + 32 * whole, restBytes);
        groups[whole] = loadGroup(padded);
    }
    const int used = whole + (rest > 0 ? 1 : 0);
    for (int step = 0; step < TM_CHAIN_STEPS; ++step)
        for (int g = 0; g < used; ++g)
            runChainStep(&s, &k, step, &groups[g].v, &groups[g].u, 0, 0, 0);
    for (int g = 0; g < whole; ++g)
        storeGroup(groups[g], out + 32 * g);
    if (rest > 0) {
        float padded[32];
        storeGroup(groups[whole], padded);
        std::memcpy(out + 32 * whole, padded, restBytes);
    }
}

}  // namespace

void renderSpanEightLanes(const ChainSettings& settings, const float* in, float* out, int count)
{
    // A local copy tells the compiler that stores to the row cannot change
    // the settings, so nothing is re-read per pixel.
    const ChainSettings s = settings;
    const ChainConstants k = deriveChainConstants(&s);
    if (!runsStepByStep(s)) {
        renderSpanAtOnce(s, k, in, out, count);
        return;
    }
    for (int done = 0; done < count; done += 8 * kSpanGroups) {
        const int span = count - done < 8 * kSpanGroups ? count - done : 8 * kSpanGroups;
        renderSpan(s, k, in + 4 * done, out + 4 * done, span);
    }
}

}  // namespace ChromvaleBeta2

#endif
