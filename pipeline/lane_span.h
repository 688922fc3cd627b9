#pragma once

// Rendering a span of RGBA float pixels with the chain on lanes of several
// pixels, written once for every lane width. Include after a lanes header
// and the chain source; the lanes header supplies
//   TmColour<L> loadPixels(const float* pixels, L)   as many pixels as lanes
//   void storePixels(float* pixels, TmColour<L> colour)

#include <cstring>
#include <utility>

#include "pipeline/flatten.h"
#include "pipeline/lane_pair.h"

namespace ChromvaleBeta2 {
namespace {

template <typename L>
constexpr int kLaneCount = static_cast<int>(sizeof(L) / sizeof(float));

// One group of pixels between the steps of the chain.
template <typename L>
struct Group {
    TmColour<L> v, u;
    L alpha;
};

// Pixels per span: each step runs over the whole span before the next, so
// its table is fetched into cache once for all of them. The span's state
// (about 140 KiB, a 3840-pixel row) lives on the stack: no allocation per
// row.
constexpr int kSpanPixels = 3840;

inline int tableCount(const ChainSettings& s) {
    const unsigned int sizes[] = {s.gamutLutSize[0], s.gamutLutSize[1],    s.gamutLutSize[2],
                                  s.idtLutSize,      s.contrastLutSize,    s.paletteLutSize,
                                  s.printLutSize,    s.postProcessLutSize, s.odtLutSize};
    int tables = 0;
    for (unsigned int size : sizes) tables += size != 0u ? 1 : 0;
    return tables;
}

// Renders with at most one table gain nothing from running step by step:
// each group goes through the whole chain at once, in registers, two
// registers wide so the chain's tests of the settings serve twice the pixels.
inline bool runsStepByStep(const ChainSettings& s) {
    return tableCount(s) > 1;
}

// Calls group(in, out) for every whole group of `count` pixels, then for the
// rest padded with zeros to a whole group.
template <typename L, typename Body>
void forEachGroup(const float* in, float* out, int count, Body group) {
    constexpr int floats = 4 * kLaneCount<L>;
    const int whole = count / kLaneCount<L>;
    for (int g = 0; g < whole; ++g) group(g, in + floats * g, out + floats * g);
    const int rest = count - kLaneCount<L> * whole;
    if (rest > 0) {
        float padded[floats] = {};
        const size_t bytes = sizeof(float) * 4 * static_cast<size_t>(rest);
        std::memcpy(padded, in + floats * whole, bytes);
        group(whole, padded, padded);
        std::memcpy(out + floats * whole, padded, bytes);
    }
}

template <typename L>
void renderSpanAtOnce(const ChainSettings& s, const ChainConstants& k, const float* in, float* out, int count) {
    forEachGroup<L>(in, out, count, [&](int, const float* from, float* to) TM_INLINE {
        storePixels(to, runChain(&s, &k, loadPixels(from, L()), 0, 0, 0));
    });
}

// One step of the chain over every group; the step number is a constant,
// so only its own case is compiled into the loop.
// The corrections' powers are long chains of dependent operations, which
// leave the vector pipes idle one group at a time: they run two groups side
// by side. The step changes the working colour only.
template <typename L, int step>
void runStepOnGroups(const ChainSettings& s, const ChainConstants& k, Group<L>* groups, int used) {
    int g = 0;
    if constexpr (step == STEP_CORRECTIONS) {
        for (; g + 1 < used; g += 2) {
            TmColour<LanePair<L>> v = joinColours(groups[g].v, groups[g + 1].v);
            runChainStep(&s, &k, step, &v, &v, 0, 0, 0);
            groups[g].v = tmColour(v.x.a, v.y.a, v.z.a, v.w.a);
            groups[g + 1].v = tmColour(v.x.b, v.y.b, v.z.b, v.w.b);
        }
    }
    for (; g < used; ++g) runChainStep(&s, &k, step, &groups[g].v, &groups[g].u, 0, 0, 0);
}

template <typename L, int... steps>
void runEveryStep(const ChainSettings& s, const ChainConstants& k, Group<L>* groups, int used,
                  std::integer_sequence<int, steps...>) {
    (runStepOnGroups<L, steps>(s, k, groups, used), ...);
}

template <typename L>
void renderSpanStepByStep(const ChainSettings& s, const ChainConstants& k, const float* in, float* out, int count) {
    Group<L> groups[kSpanPixels / kLaneCount<L>];
    forEachGroup<L>(in, out, count, [&](int g, const float* from, float*) TM_INLINE {
        groups[g].v = groups[g].u = loadPixels(from, L());
        groups[g].alpha = groups[g].v.w;
    });
    const int used = (count + kLaneCount<L> - 1) / kLaneCount<L>;
    runEveryStep<L>(s, k, groups, used, std::make_integer_sequence<int, CHAIN_STEP_COUNT>());
    forEachGroup<L>(out, out, count, [&](int g, const float*, float* to) TM_INLINE {
        TmColour<L> colour = groups[g].v;
        colour.w = groups[g].alpha;
        storePixels(to, colour);
    });
}

// Renders with no table and no power, the pass-through among them, do so
// little arithmetic that memory sets their pace.
inline bool boundByMemory(const ChainSettings& s, const ChainConstants& k) {
    if (tableCount(s) != 0) return false;
    for (int c = 0; c < 3; ++c)
        if (k.gammaExponent[c] != 1.0f || k.pushPullExponent[c] != 1.0f) return false;
    return true;
}

// The chain without the test views on `count` contiguous pixels. Renders
// bound by memory take MemoryLanes: on a Zen 4 the sixteen-lane loop moved
// a frame through the pass-through about a tenth slower than eight-lane
// pairs, and not for the cache lines its 64-byte loads and stores straddle
// (halving them did not help).
template <typename L, typename MemoryLanes = L>
void renderSpanOfLanes(const ChainSettings& settings, const float* in, float* out, int count) {
    // A local copy tells the compiler that stores to the row cannot change
    // the settings, so nothing is re-read per pixel.
    const ChainSettings s = settings;
    const ChainConstants k = deriveChainConstants(&s);
    if (!runsStepByStep(s)) {
        if (boundByMemory(s, k))
            renderSpanAtOnce<LanePair<MemoryLanes>>(s, k, in, out, count);
        else
            renderSpanAtOnce<LanePair<L>>(s, k, in, out, count);
        return;
    }
    for (int done = 0; done < count; done += kSpanPixels) {
        const int span = count - done < kSpanPixels ? count - done : kSpanPixels;
        renderSpanStepByStep<L>(s, k, in + 4 * done, out + 4 * done, span);
    }
}

}  // namespace
}  // namespace ChromvaleBeta2
