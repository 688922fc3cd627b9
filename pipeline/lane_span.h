#pragma once

// Rendering a span of RGBA float pixels with the chain on lanes of several
// pixels, written once for every lane width. Include after a lanes header
// and the chain source; the lanes header supplies
//   TmColour<L> loadPixels(const float* pixels, L)   as many pixels as lanes
//   void storePixels(float* pixels, TmColour<L> colour)

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "pipeline/chain_lanes.h"
#include "pipeline/flatten.h"
#include "pipeline/lane_pair.h"

namespace ChromvaleBeta2 {
namespace {

template <typename L>
constexpr int kLaneCount = static_cast<int>(sizeof(L) / sizeof(float));

// A colour between the steps of the chain. No step reads a colour's fourth
// component to make the other three, so it is left out of a span's state,
// which lets more pixels share the cache with a table.
template <typename L>
struct Rgb {
    L x, y, z;
};

template <typename L>
TmColour<L> colourOf(const Rgb<L>& c) {
    return tmColour(c.x, c.y, c.z, L(0.0f));
}

template <typename L>
Rgb<L> rgbOf(const TmColour<L>& c) {
    return {c.x, c.y, c.z};
}

// One group of pixels between the steps of the chain.
template <typename L>
struct Group {
    Rgb<L> v, u;
    L alpha;
};

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

// `n` groups side by side as one colour of n times the lanes, and back.
template <typename L, int n>
struct SideBySide {
    typedef LanePair<typename SideBySide<L, n / 2>::Lanes> Lanes;
};
template <typename L>
struct SideBySide<L, 1> {
    typedef L Lanes;
};

template <typename L, int n>
TmColour<typename SideBySide<L, n>::Lanes> joinGroups(const Group<L>* groups) {
    if constexpr (n == 1)
        return colourOf(groups[0].v);
    else
        return joinColours(joinGroups<L, n / 2>(groups), joinGroups<L, n / 2>(groups + n / 2));
}

template <typename L, int n>
void splitGroups(const TmColour<typename SideBySide<L, n>::Lanes>& v, Group<L>* groups) {
    if constexpr (n == 1) {
        groups[0].v = rgbOf(v);
    } else {
        splitGroups<L, n / 2>(tmColour(v.x.a, v.y.a, v.z.a, v.w.a), groups);
        splitGroups<L, n / 2>(tmColour(v.x.b, v.y.b, v.z.b, v.w.b), groups + n / 2);
    }
}

// Groups the corrections run side by side. On a Zen 4, eight on narrower
// lanes made the full look 3 to 4 % faster than four with AVX2, and four
// had been 3 % faster than two; sixteen lanes gained nothing from more than
// two.
template <typename L>
constexpr int kCorrectionGroups = kLaneCount<L> >= 16 ? 2 : 8;

// One step of the chain over every group; the step number is a constant,
// so only its own case is compiled into the loop.
// The corrections' powers are long chains of dependent operations, which
// leave the vector pipes idle one group at a time: they run several groups
// side by side. The step changes the working colour only.
template <typename L, int step>
void runStepOnGroups(const ChainSettings& s, const ChainConstants& k, Group<L>* groups, int used) {
    int g = 0;
    if constexpr (step == STEP_CORRECTIONS) {
        constexpr int n = kCorrectionGroups<L>;
        for (; g + n <= used; g += n) {
            TmColour<typename SideBySide<L, n>::Lanes> v = joinGroups<L, n>(groups + g);
            runChainStep(&s, &k, step, &v, &v, 0, 0, 0);
            splitGroups<L, n>(v, groups + g);
        }
    }
    // Only these steps read or change the ungraded colour.
    constexpr bool ungraded = step == STEP_TEST_IMAGE || step == STEP_OUTPUT_TRANSFORM || step == STEP_GLOBAL_BLEND;
    for (; g < used; ++g) {
        TmColour<L> v = colourOf(groups[g].v);
        TmColour<L> u = ungraded ? colourOf(groups[g].u) : v;
        runChainStep(&s, &k, step, &v, &u, 0, 0, 0);
        groups[g].v = rgbOf(v);
        if constexpr (ungraded) groups[g].u = rgbOf(u);
    }
}

template <typename L, int... steps>
void runEveryStep(const ChainSettings& s, const ChainConstants& k, Group<L>* groups, int used,
                  std::integer_sequence<int, steps...>) {
    (runStepOnGroups<L, steps>(s, k, groups, used), ...);
}

template <typename L>
int groupsFor(int pixels) {
    return pixels <= 0 ? 0 : (pixels + kLaneCount<L> - 1) / kLaneCount<L>;
}

// Pieces whose groups fit in `groups` together, each piece's last group
// padded. Its loops are compiled in a function of their own: with the
// batching around them in the same function GCC compiled them about a
// tenth slower.
template <typename L>
TM_FLATTEN TM_OUT_OF_LINE void renderSpanStepByStep(const ChainSettings& settings, const ChainConstants& constants,
                                                    const SpanPiece* pieces, int count, Group<L>* groups) {
    // Local copies tell the compiler that stores to the rows cannot change
    // the settings, so nothing is re-read per pixel.
    const ChainSettings s = settings;
    const ChainConstants k = constants;
    int used = 0;
    for (int i = 0; i < count; ++i) {
        Group<L>* first = groups + used;
        forEachGroup<L>(pieces[i].in, pieces[i].out, pieces[i].count, [&](int g, const float* from, float*) TM_INLINE {
            const TmColour<L> colour = loadPixels(from, L());
            first[g].v = first[g].u = rgbOf(colour);
            first[g].alpha = colour.w;
        });
        used += groupsFor<L>(pieces[i].count);
    }
    runEveryStep<L>(s, k, groups, used, std::make_integer_sequence<int, CHAIN_STEP_COUNT>());
    used = 0;
    for (int i = 0; i < count; ++i) {
        const Group<L>* first = groups + used;
        forEachGroup<L>(pieces[i].out, pieces[i].out, pieces[i].count, [&](int g, const float*, float* to) TM_INLINE {
            TmColour<L> colour = colourOf(first[g].v);
            colour.w = first[g].alpha;
            storePixels(to, colour);
        });
        used += groupsFor<L>(pieces[i].count);
    }
}

// The pieces in spans of at most kSpanPixels; a piece longer than a span's
// room is split. The spans' state lives on the heap: it outgrows what a
// host's thread may have as stack.
template <typename L>
void renderPiecesStepByStep(const ChainSettings& s, const ChainConstants& k, const SpanPiece* pieces, int count) {
    constexpr int kSpanGroups = kSpanPixels / kLaneCount<L>;
    std::vector<SpanPiece> parts;
    std::vector<int> spanEnds;  // one past each span's last part
    int used = 0, total = 0;
    for (int i = 0; i < count; ++i) {
        for (int done = 0; done < pieces[i].count;) {
            if (used == kSpanGroups) {
                spanEnds.push_back(static_cast<int>(parts.size()));
                used = 0;
            }
            const int n = std::min(pieces[i].count - done, (kSpanGroups - used) * kLaneCount<L>);
            parts.push_back({pieces[i].in + 4 * done, pieces[i].out + 4 * done, n});
            used += groupsFor<L>(n);
            total += groupsFor<L>(n);
            done += n;
        }
    }
    spanEnds.push_back(static_cast<int>(parts.size()));
    if (parts.empty()) return;
    // Every span but the last is full, so the first is the largest.
    const std::unique_ptr<Group<L>[]> groups(new Group<L>[std::min(total, kSpanGroups)]);
    int start = 0;
    for (int end : spanEnds) {
        renderSpanStepByStep<L>(s, k, parts.data() + start, end - start, groups.get());
        start = end;
    }
}

// Renders with no table and no power, the pass-through among them, do so
// little arithmetic that memory sets their pace.
inline bool boundByMemory(const ChainSettings& s, const ChainConstants& k) {
    if (tableCount(s) != 0) return false;
    for (int c = 0; c < 3; ++c)
        if (k.gammaExponent[c] != 1.0f || k.pushPullExponent[c] != 1.0f) return false;
    return true;
}

// The memory-bound loop is compiled in a function of its own: inlined beside
// the loop for other renders, it moved a 4K frame through the pass-through
// a fifth slower on a Zen 4, though no slower in cache. The loop for other
// renders stays inline: in a function of its own, the render of one table
// lost a tenth.
template <typename L>
TM_FLATTEN TM_OUT_OF_LINE void renderSpanBoundByMemory(const ChainSettings& s, const ChainConstants& k, const float* in,
                                                       float* out, int count) {
    renderSpanAtOnce<L>(s, k, in, out, count);
}

template <typename L, typename MemoryLanes>
TM_FLATTEN TM_OUT_OF_LINE void renderPiecesAtOnce(const ChainSettings& settings, const ChainConstants& constants,
                                                  const SpanPiece* pieces, int count) {
    const ChainSettings s = settings;
    const ChainConstants k = constants;
    const bool memoryBound = boundByMemory(s, k);
    for (int i = 0; i < count; ++i) {
        if (memoryBound)
            renderSpanBoundByMemory<LanePair<MemoryLanes>>(s, k, pieces[i].in, pieces[i].out, pieces[i].count);
        else
            renderSpanAtOnce<LanePair<L>>(s, k, pieces[i].in, pieces[i].out, pieces[i].count);
    }
}

// The chain without the test views on the pixels of `count` pieces. Renders
// bound by memory take MemoryLanes: on a Zen 4 the sixteen-lane loop moved
// a frame through the pass-through about a tenth slower than eight-lane
// pairs, and not for the cache lines its 64-byte loads and stores straddle
// (halving them did not help).
template <typename L, typename MemoryLanes = L>
void renderSpansOfLanes(const ChainSettings& s, const SpanPiece* pieces, int count) {
    const ChainConstants k = deriveChainConstants(&s);
    if (runsStepByStep(s))
        renderPiecesStepByStep<L>(s, k, pieces, count);
    else
        renderPiecesAtOnce<L, MemoryLanes>(s, k, pieces, count);
}

}  // namespace
}  // namespace ChromvaleBeta2
