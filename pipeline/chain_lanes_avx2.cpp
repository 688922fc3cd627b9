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

void renderEight(const ChainSettings& s, const ChainConstants& k, const float* in, float* out)
{
    __m256 x = loadPair(in, 0), y = loadPair(in, 1), z = loadPair(in, 2), w = loadPair(in, 3);
    transpose(x, y, z, w);
    const TmColour<Lanes8> result =
        runChain(&s, &k, tmColour(Lanes8(x), Lanes8(y), Lanes8(z), Lanes8(w)), 0, 0, 0);
    x = result.x.v, y = result.y.v, z = result.z.v, w = result.w.v;
    transpose(x, y, z, w);
    storePair(out, 0, x), storePair(out, 1, y), storePair(out, 2, z), storePair(out, 3, w);
}

}  // namespace

void renderSpanEightLanes(const ChainSettings& settings, const float* in, float* out, int count)
{
    // A local copy tells the compiler that stores to the row cannot change
    // the settings, so nothing is re-read per pixel.
    const ChainSettings s = settings;
    const ChainConstants k = deriveChainConstants(&s);
    int done = 0;
    for (; done + 8 <= count; done += 8)
        renderEight(s, k, in + 4 * done, out + 4 * done);
    if (done < count) {
        // The last few pixels travel through a full group of eight.
        float group[32] = {};
        const size_t bytes = sizeof(float) * 4 * static_cast<size_t>(count - done);
        std::memcpy(group, in + 4 * done, bytes);
        renderEight(s, k, group, group);
        std::memcpy(out + 4 * done, group, bytes);
    }
}

}  // namespace ChromvaleBeta2

#endif
