#include "formats/chain_clf.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "chromvale_cuda.cu"
#include "pipeline/cpu_chain.h"

namespace ChromvaleBeta2 {
namespace {

// The smallest and largest value any channel can hold at a point of the chain.
struct Bounds {
    double low = 0, high = 1;

    bool withinUnit() const { return low >= 0 && high <= 1; }
};

// What OpenColorIO accepts as one exponent; larger or smaller ones are split
// into several steps whose product is the chain's exponent.
constexpr double kLargestExponent = 100.0;
constexpr double kSmallestExponent = 0.01;

// Shaper points per unit of input. Its domain ends the nearest step beyond
// the colours that reach it, so that the Range in front of it spreads them
// little wider than they are and their rounding stays near their own.
constexpr double kShaperSteps = 64.0;

// Points per axis of the lattice a look with a global blend is sampled on.
constexpr uint32_t kBlendLattice = 65;

// A setting as a reader would write it: 0.4, not 0.400000.
std::string shortText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

class Builder {
 public:
    explicit Builder(const ChainSettings& s) : s_(s), k_(deriveChainConstants(&s)) {}

    ChainAsClf build() {
        if (s_.globalBlend != 1.0f) return blendedWhole();
        for (int c = 0; c < 3; ++c) gamutLimit(c);
        if (s_.idtLutSize != 0u) {
            add("input transform", table3D(s_.idtLut, s_.idtLutSize, 1.0, bounds_).first);
            bounds_ = tableBounds(s_.idtLut, s_.idtLutSize * s_.idtLutSize * s_.idtLutSize);
        }
        corrections();
        contrast();
        mixed3D("palette", s_.paletteLut, s_.paletteLutSize, s_.paletteMix);
        mixed3D("print stock", s_.printLut, s_.printLutSize, s_.printMix);
        mixed3D("post-processing look", s_.postProcessLut, s_.postProcessLutSize, s_.postProcessMix);
        if (s_.odtLutSize != 0u) add("output transform", table3D(s_.odtLut, s_.odtLutSize, 1.0, {}).first);
        if (result_.operators.empty()) add("the look leaves every colour as it is", ClfMatrix{});
        return std::move(result_);
    }

 private:
    using Entries = std::vector<float>;

    // A global blend mixes the graded colour with the ungraded one, which no
    // chain of operators carries beside it: the whole chain, blend included,
    // is sampled on one lattice instead, as a .cube of the same size holds it.
    ChainAsClf blendedWhole() {
        PipelineSettings whole{};
        static_cast<ChainSettings&>(whole) = s_;
        const uint32_t n = kBlendLattice;
        std::vector<float> samples(size_t(n) * n * n * 3);
        size_t at = 0;
        for (uint32_t b = 0; b < n; ++b)
            for (uint32_t g = 0; g < n; ++g)
                for (uint32_t r = 0; r < n; ++r) {
                    const float last = float(n - 1);
                    const float4 out =
                        processColour(whole, make_float4(float(r) / last, float(g) / last, float(b) / last, 1.0f));
                    samples[at++] = out.x;
                    samples[at++] = out.y;
                    samples[at++] = out.z;
                }
        add("the whole look with its global blend of " + shortText(s_.globalBlend) + ", sampled",
            ClfLut3D{n, std::move(samples)});
        result_.inexact.push_back("the global blend of " + shortText(s_.globalBlend) +
                                  " mixes the graded colour with the ungraded one, which a chain of operators "
                                  "does not carry: the whole look is sampled on one " +
                                  std::to_string(n) + "^3 lattice, as a .cube would hold it");
        return std::move(result_);
    }

    void add(std::string description, decltype(ClfOperator::op) op) {
        result_.operators.push_back({std::move(description), std::move(op)});
    }

    static Bounds tableBounds(const float* table, size_t entries) {
        const auto [low, high] = std::minmax_element(table, table + 3 * entries);
        return {*low, *high};
    }

    // The blend weight * table + (1 - weight) * input of every lattice point,
    // over a lattice whose index i stands for the input coordinate(i).
    template <typename Coordinate>
    static Entries blendedLattice(const float* table, uint32_t n, uint32_t points, double weight, int lowerExtra,
                                  Coordinate coordinate) {
        Entries out(size_t(points) * points * points * 3);
        auto clampIndex = [&](uint32_t i) {
            return static_cast<size_t>(std::clamp<int64_t>(int64_t(i) - lowerExtra, 0, int64_t(n) - 1));
        };
        size_t at = 0;
        for (uint32_t b = 0; b < points; ++b)
            for (uint32_t g = 0; g < points; ++g)
                for (uint32_t r = 0; r < points; ++r) {
                    const size_t source = 3 * ((clampIndex(b) * n + clampIndex(g)) * n + clampIndex(r));
                    const double input[3] = {coordinate(r), coordinate(g), coordinate(b)};
                    for (int c = 0; c < 3; ++c)
                        out[at++] =
                            weight == 1.0
                                ? table[source + size_t(c)]
                                : static_cast<float>(weight * table[source + size_t(c)] + (1.0 - weight) * input[c]);
                }
        return out;
    }

    // A 3D table blended with its input. Returns the operator and whether a
    // widened lattice was needed; colours beyond `reach` are still clamped.
    std::pair<ClfLut3D, bool> table3D(const float* table, uint32_t n, double weight, Bounds reach) {
        const double step = 1.0 / (n - 1);
        if (weight == 1.0 || reach.withinUnit())
            return {ClfLut3D{n, blendedLattice(table, n, n, weight, 0, [&](uint32_t i) { return i * step; })}, false};
        // One more lattice point on each side that needs it, at the widest
        // reach: outside [0, 1] the blend is a straight line in that channel,
        // which one cell holds exactly. A shaper spreads the coordinates so
        // that [0, 1] keeps the table's own lattice.
        const double below = reach.low < 0 ? std::ceil(-reach.low * kShaperSteps) / kShaperSteps : 0;
        const double above = reach.high > 1 ? std::ceil((reach.high - 1) * kShaperSteps) / kShaperSteps : 0;
        const int lowerExtra = below > 0 ? 1 : 0;
        const uint32_t points = n + uint32_t(lowerExtra) + (above > 0 ? 1u : 0u);
        shaper(below, above, lowerExtra, n, points);
        auto coordinate = [&](uint32_t i) {
            if (int(i) < lowerExtra) return -below;
            const uint32_t inner = i - uint32_t(lowerExtra);
            return inner >= n ? 1.0 + above : inner * step;
        };
        return {ClfLut3D{points, blendedLattice(table, n, points, weight, lowerExtra, coordinate)}, true};
    }

    // Maps [-below, 1 + above] onto the widened lattice's coordinates,
    // straight within [-below, 0], [0, 1] and [1, 1 + above].
    void shaper(double below, double above, int lowerExtra, uint32_t n, uint32_t points) {
        add("spreads the colours over the widened lattice of the next table", ClfRange{-below, 1.0 + above, 0.0, 1.0});
        const auto count = static_cast<uint32_t>(std::lround((below + 1.0 + above) * kShaperSteps)) + 1u;
        ClfLut1D spread{count, std::vector<float>(size_t(count) * 3)};
        const double last = points - 1;
        for (uint32_t i = 0; i < count; ++i) {
            const double x = double(i) / kShaperSteps - below;
            double index;
            if (x < 0)
                index = lowerExtra * (x + below) / below;
            else if (x <= 1)
                index = lowerExtra + x * (n - 1);
            else
                index = lowerExtra + (n - 1) + (x - 1) / above;
            std::fill_n(spread.rgb.begin() + 3 * i, 3, static_cast<float>(index / last));
        }
        add("", std::move(spread));
    }

    // weight * table(v) + (1 - weight) * v as one table, widened where the
    // colours reaching it may leave [0, 1].
    void blended3D(const std::string& description, const float* table, uint32_t n, double weight) {
        auto [lut, widened] = table3D(table, n, weight, bounds_);
        add(description + (widened ? ", its lattice widened to the colours that reach it" : ""), std::move(lut));
        const Bounds own = tableBounds(table, size_t(n) * n * n);
        bounds_ = {weight * own.low + (1.0 - weight) * std::min(bounds_.low, 0.0),
                   weight * own.high + (1.0 - weight) * std::max(bounds_.high, 1.0)};
    }

    void mixed3D(const std::string& name, const float* table, uint32_t n, float mix) {
        if (n == 0u || mix == 0.0f) return;
        blended3D(name + (mix == 1.0f ? "" : " at mix " + shortText(mix)), table, n, mix);
    }

    // The chain weighs the input by the share kept and the table by the rest.
    // Before the corrections a colour may be anything: the blend is written
    // for the colours in [0, 1] and those the earlier gamut tables give.
    void gamutLimit(int c) {
        const unsigned int n = s_.gamutLutSize[c];
        const float kept = s_.gamutMix[c];
        if (n == 0u || kept == 1.0f) return;
        static const char* const names[] = {"red", "green", "blue"};
        const std::string name = std::string(names[c]) + " gamut limit";
        blended3D(name + (kept == 0.0f ? "" : ", keeping " + shortText(kept) + " of the input"), s_.gamutLut[c], n,
                  1.0 - kept);
        if (kept != 0.0f)
            result_.inexact.push_back(name + " keeps " + shortText(kept) +
                                      " of its input: exact for colours in [0, 1]; beyond them the kept share "
                                      "is that of the nearest colour inside");
    }

    static bool anyChannel(const float (&values)[3], float neutral) {
        return values[0] != neutral || values[1] != neutral || values[2] != neutral;
    }

    static ClfMatrix diagonal(double r, double g, double b, double offsetR = 0, double offsetG = 0,
                              double offsetB = 0) {
        ClfMatrix m;
        m.m = {r, 0, 0, 0, g, 0, 0, 0, b};
        m.offset = {offsetR, offsetG, offsetB};
        return m;
    }

    void clampToUnit() { add("", ClfRange{}); }

    // v^e per channel; v lies in [0, 1], where the chain's clamp after the
    // power changes nothing.
    void exponent(std::string description, const float (&e)[3]) {
        if (!anyChannel(e, 1.0f)) return;
        double remaining[3] = {e[0], e[1], e[2]};
        int steps = 1;
        for (double value : remaining)
            while (std::pow(value, 1.0 / steps) > kLargestExponent || std::pow(value, 1.0 / steps) < kSmallestExponent)
                ++steps;
        for (int i = 0; i < steps; ++i) {
            ClfExponent op;
            for (int c = 0; c < 3; ++c) op.exponent[c] = std::pow(remaining[c], 1.0 / steps);
            add(i == 0 ? description : "", op);
        }
    }

    void corrections() {
        const float* p = s_.printerLight;
        const float* l = s_.lift;
        // (v + p) + (1 - (v + p)) * lift, clamped: one line in v.
        add("printer lights " + triple(p) + " and lift " + triple(l),
            diagonal(1.0 - l[0], 1.0 - l[1], 1.0 - l[2], p[0] * (1.0 - l[0]) + l[0], p[1] * (1.0 - l[1]) + l[1],
                     p[2] * (1.0 - l[2]) + l[2]));
        clampToUnit();
        if (anyChannel(s_.gain, 1.0f)) {
            add("gain " + triple(s_.gain), diagonal(s_.gain[0], s_.gain[1], s_.gain[2]));
            clampToUnit();
        }
        exponent("gamma " + triple(s_.gamma), k_.gammaExponent);
        if (anyChannel(s_.temperatureGain, 1.0f)) {
            const float* t = s_.temperatureGain;
            add("temperature gains " + triple(t), diagonal(t[0], t[1], t[2]));
            clampToUnit();
        }
        // 1 - clamp((1 - v) * cmy): the density 1 - v scaled and clamped.
        // Written even when neutral: the round trip through 1 - v rounds small
        // values to steps of 2^-24, which a following exponent below 1 makes
        // visible, and the clamp between keeps a reader from cancelling it.
        const float* d = s_.cmy;
        add("CMY " + triple(d), diagonal(-d[0], -d[1], -d[2], d[0], d[1], d[2]));
        clampToUnit();
        add("", diagonal(-1, -1, -1, 1, 1, 1));
        exponent("push/pull " + triple(s_.pushPull), k_.pushPullExponent);
        bounds_ = {0, 1};
        saturation();
    }

    void saturation() {
        const double k = k_.saturationFactor;
        if (k == 1.0) return;
        const double w[3] = {0.299, 0.587, 0.114};
        const double own[3] = {0.701, 0.413, 0.886};
        ClfMatrix m;
        double low = 0, high = 0;
        for (int row = 0; row < 3; ++row) {
            double negative = 0, positive = 0;
            for (int column = 0; column < 3; ++column) {
                const double a = row == column ? w[column] + own[column] * k : w[column] - w[column] * k;
                m.m[size_t(row * 3 + column)] = a;
                (a < 0 ? negative : positive) += a;
            }
            low = std::min(low, negative);
            high = std::max(high, positive);
        }
        add("saturation " + shortText(s_.saturation) + " (factor " + shortText(k) + ")", m);
        bounds_ = {low, high};
    }

    // Per channel, weight * curve(clamp(v)) + (1 - weight) * v. Where v may
    // leave [0, 1] the table grows by whole cells of its own spacing, over
    // which the blend runs straight, and a Range spreads the input over it.
    void contrast() {
        const uint32_t n = s_.contrastLutSize;
        const double w = s_.contrastMix;
        if (n == 0u || w == 0.0) return;
        const double step = 1.0 / (n - 1);
        const bool widen = w != 1.0 && !bounds_.withinUnit();
        const auto below = widen && bounds_.low < 0 ? static_cast<uint32_t>(std::ceil(-bounds_.low * (n - 1))) : 0u;
        const auto above =
            widen && bounds_.high > 1 ? static_cast<uint32_t>(std::ceil((bounds_.high - 1) * (n - 1))) : 0u;
        const uint32_t points = n + below + above;
        if (points != n)
            add("widens the contrast curve's domain to the colours that reach it",
                ClfRange{-(below * step), 1.0 + above * step, 0.0, 1.0});
        ClfLut1D lut{points, std::vector<float>(size_t(points) * 3)};
        for (uint32_t i = 0; i < points; ++i) {
            const double x = (double(i) - below) * step;
            const size_t source = 3 * static_cast<size_t>(std::clamp<int64_t>(int64_t(i) - below, 0, n - 1));
            for (size_t c = 0; c < 3; ++c)
                lut.rgb[3 * size_t(i) + c] = w == 1.0
                                                 ? s_.contrastLut[source + c]
                                                 : static_cast<float>(w * s_.contrastLut[source + c] + (1 - w) * x);
        }
        add("contrast curve" + (w == 1.0 ? std::string() : " at mix " + shortText(w)), std::move(lut));
        const Bounds own = tableBounds(s_.contrastLut, n);
        bounds_ = {w * own.low + (1 - w) * std::min(bounds_.low, 0.0),
                   w * own.high + (1 - w) * std::max(bounds_.high, 1.0)};
    }

    static std::string triple(const float* v) {
        return shortText(v[0]) + " " + shortText(v[1]) + " " + shortText(v[2]);
    }

    const ChainSettings& s_;
    const ChainConstants k_;
    Bounds bounds_{0, 1};  // of the colours the file is exact for
    ChainAsClf result_;
};

}  // namespace

ChainAsClf chainAsClf(const ChainSettings& settings) {
    return Builder(settings).build();
}

}  // namespace ChromvaleBeta2
