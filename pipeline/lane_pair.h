#pragma once

// Two lanes side by side as one wider lane: twice the pixels for every test
// of the settings the chain makes, which the render of a look without tables
// spends most of its time on. Every operation applies to both halves.
// Include after a lanes header, inside no namespace.

#include <type_traits>

#include "lut_cuda.h"
#include "pipeline/flatten.h"

namespace ChromvaleBeta2 {
namespace {

template <typename L>
struct LanePair {
    L a, b;

    LanePair() = default;
    LanePair(L x, L y) : a(x), b(y) {}
    template <typename S>
    requires std::is_arithmetic_v<S> LanePair(S s) : a(s), b(s) {}
};

template <typename L, typename F>
auto bothHalves(const LanePair<L>& x, const LanePair<L>& y, F f) -> LanePair<decltype(f(x.a, y.a))> {
    return {f(x.a, y.a), f(x.b, y.b)};
}

// Lane-and-lane operators, and the same with a number on either side.
#define TM_PAIR_OPERATOR(op)                                                    \
    template <typename L>                                                       \
    auto operator op(const LanePair<L>& x, const LanePair<L>& y) {              \
        return bothHalves(x, y, [](const L& p, const L& q) { return p op q; }); \
    }                                                                           \
    template <typename L, typename S>                                           \
    requires std::is_arithmetic_v<S>                                            \
    auto operator op(const LanePair<L>& x, S s) {                               \
        return x op LanePair<L>(s);                                             \
    }                                                                           \
    template <typename L, typename S>                                           \
    requires std::is_arithmetic_v<S>                                            \
    auto operator op(S s, const LanePair<L>& y) {                               \
        return LanePair<L>(s) op y;                                             \
    }

TM_PAIR_OPERATOR(+)
TM_PAIR_OPERATOR(-)
TM_PAIR_OPERATOR(*)
TM_PAIR_OPERATOR(==)
TM_PAIR_OPERATOR(>=)
TM_PAIR_OPERATOR(>)
TM_PAIR_OPERATOR(&)
TM_PAIR_OPERATOR(|)

#undef TM_PAIR_OPERATOR

template <typename L>
LanePair<L> tmMin(const LanePair<L>& x, const LanePair<L>& y) {
    return {tmMin(x.a, y.a), tmMin(x.b, y.b)};
}

template <typename L>
LanePair<L> tmMax(const LanePair<L>& x, const LanePair<L>& y) {
    return {tmMax(x.a, y.a), tmMax(x.b, y.b)};
}

template <typename M, typename L>
LanePair<L> tmSelect(const LanePair<M>& m, const LanePair<L>& x, const LanePair<L>& y) {
    return {tmSelect(m.a, x.a, y.a), tmSelect(m.b, x.b, y.b)};
}

template <typename I>
auto tmLoad(const float* table, const LanePair<I>& index) {
    return LanePair<decltype(tmLoad(table, index.a))>{tmLoad(table, index.a), tmLoad(table, index.b)};
}

template <typename L>
TmColour<LanePair<L>> joinColours(const TmColour<L>& x, const TmColour<L>& y) {
    return tmColour(LanePair<L>(x.x, y.x), LanePair<L>(x.y, y.y), LanePair<L>(x.z, y.z), LanePair<L>(x.w, y.w));
}

template <typename I>
auto tmLoadRgb(const float* table, const LanePair<I>& index) {
    return joinColours(tmLoadRgb(table, index.a), tmLoadRgb(table, index.b));
}

template <typename L>
auto tmToIndex(const LanePair<L>& x) {
    return LanePair<decltype(tmToIndex(x.a))>{tmToIndex(x.a), tmToIndex(x.b)};
}

template <typename L>
auto tmToFloat(const LanePair<L>& x) {
    return LanePair<decltype(tmToFloat(x.a))>{tmToFloat(x.a), tmToFloat(x.b)};
}

template <typename L, typename I>
LanePair<L> tmFraction(const LanePair<L>& x, const LanePair<I>& whole) {
    return {tmFraction(x.a, whole.a), tmFraction(x.b, whole.b)};
}

template <typename L>
auto tmToReal(const LanePair<L>& x) {
    return LanePair<decltype(tmToReal(x.a))>{tmToReal(x.a), tmToReal(x.b)};
}

// Each power is long: Clang would call it rather than inline it.
template <typename L>
TM_INLINE inline LanePair<L> tmPow(const LanePair<L>& base, float exponent) {
    return {tmPow(base.a, exponent), tmPow(base.b, exponent)};
}

// Pixels in the first half's order, then the second's.
template <typename L>
TmColour<LanePair<L>> loadPixels(const float* pixels, LanePair<L>) {
    return joinColours(loadPixels(pixels, L()), loadPixels(pixels + 4 * sizeof(L) / sizeof(float), L()));
}

template <typename L>
void storePixels(float* pixels, TmColour<LanePair<L>> colour) {
    storePixels(pixels, tmColour(colour.x.a, colour.y.a, colour.z.a, colour.w.a));
    storePixels(pixels + 4 * sizeof(L) / sizeof(float), tmColour(colour.x.b, colour.y.b, colour.z.b, colour.w.b));
}

}  // namespace

template <typename L>
struct TmLaneTraits<LanePair<L>> {
    typedef LanePair<typename TmLaneTraits<L>::Index> Index;
    typedef LanePair<typename TmLaneTraits<L>::Mask> Mask;
    typedef LanePair<typename TmLaneTraits<L>::Real> Real;
};

}  // namespace ChromvaleBeta2
