#include "tools/lutgen/lut_baker.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <stdexcept>

#include "lut_cuda.h"
#include "tools/lutgen/camera_curves.h"
#include "tools/lutgen/colour_space.h"
#include "tools/lutgen/film_model.h"
#include "tools/lutgen/gamut_compression.h"
#include "tools/lutgen/house_rendering.h"
#include "tools/lutgen/ocio_chain.h"
#include "tools/lutgen/zone_chart.h"

namespace tonemill::lutgen {

namespace {

[[noreturn]] void fail(const Recipe& r, const std::string& what) {
    throw std::runtime_error("recipe [" + r.entryName() + "]: " + what);
}

// "input" tables take an encoding into the working space, "output" tables
// take the working space out to it.
bool isOutput(const Recipe& r) {
    const std::string& direction = r.text("direction");
    if (direction != "input" && direction != "output") fail(r, "direction must be input or output");
    return direction == "output";
}

template <typename PointFn>
LatticeTransform perPoint(PointFn fn) {
    return [fn](std::vector<double>& rgb) {
        for (size_t i = 0; i < rgb.size(); i += 3) {
            const Vec3 out = fn(Vec3{rgb[i], rgb[i + 1], rgb[i + 2]});
            std::copy(out.begin(), out.end(), rgb.begin() + i);
        }
    };
}

// For tables the chain reads before its output transform: see
// boundedWorkingColour.
LatticeTransform bounded(LatticeTransform transform, WorkingSource source) {
    return [transform, source](std::vector<double>& rgb) {
        transform(rgb);
        for (size_t i = 0; i < rgb.size(); i += 3) {
            const Vec3 out = boundedWorkingColour(Vec3{rgb[i], rgb[i + 1], rgb[i + 2]}, source);
            std::copy(out.begin(), out.end(), rgb.begin() + i);
        }
    };
}

LatticeTransform ocioCamera(const Recipe& r) {
    const OcioStep camera{r.text("builtin"), false};
    if (isOutput(r)) return ocioChain({acescctToAces(false), {camera.builtin, true}});
    return bounded(ocioChain({camera, acescctToAces(true)}), WorkingSource::Scene);
}

std::vector<OcioStep> displayRendering(const Recipe& r) {
    return {acescctToAces(false), {r.text("output"), false}, {r.text("display"), false}};
}

std::vector<OcioStep> inverted(std::vector<OcioStep> steps) {
    std::reverse(steps.begin(), steps.end());
    for (OcioStep& step : steps) step.inverse = !step.inverse;
    return steps;
}

// Display code values beyond the signal range show nothing more; the
// reference output transforms end with the same clamp.
LatticeTransform displayOutput(const Recipe& r) {
    const LatticeTransform render = ocioChain(displayRendering(r));
    return [render](std::vector<double>& rgb) {
        render(rgb);
        for (double& v : rgb) v = std::clamp(v, 0.0, 1.0);
    };
}

// An output table as the chain holds it, in floats at the size it is baked.
std::vector<float> bakedOutputTable(const LatticeTransform& toDisplay) {
    Lattice output = identityLattice(false, kCubeSize);
    toDisplay(output.rgb);
    return std::vector<float>(output.rgb.begin(), output.rgb.end());
}

// Working-space values as that table shows them, sampled as the chain samples.
std::vector<double> shownByTable(const std::vector<float>& table, const std::vector<double>& working) {
    std::vector<double> shown(working.size());
    for (size_t i = 0; i < working.size(); i += 3) {
        const ChromvaleBeta2::float4 v = ChromvaleBeta2::lookup3D(
            table.data(), kCubeSize,
            ChromvaleBeta2::make_float4(float(working[i]), float(working[i + 1]), float(working[i + 2]), 1.0f));
        shown[i] = v.x;
        shown[i + 1] = v.y;
        shown[i + 2] = v.z;
    }
    return shown;
}

double largestMiss(const std::vector<double>& a, const std::vector<double>& b, size_t point) {
    return std::max(
        {std::abs(a[point] - b[point]), std::abs(a[point + 1] - b[point + 1]), std::abs(a[point + 2] - b[point + 2])});
}

// The chain shows a display input through the baked output table, whose
// interpolation misses the exact output by up to several code values in
// saturated colours; the exact inverse alone would carry that miss into the
// round trip. So each lattice value is moved, in the working space, by what
// the output table still misses, and a move is kept only where it brings the
// shown colour closer to the code the point stands for.
void correctAgainstBakedOutput(std::vector<double>& working, const std::vector<double>& codes,
                               const LatticeTransform& toDisplay, const LatticeTransform& toWorking) {
    const std::vector<float> table = bakedOutputTable(toDisplay);
    std::vector<double> target = codes;
    toWorking(target);
    std::vector<double> shown = shownByTable(table, working);
    for (int pass = 0; pass < 8; ++pass) {
        std::vector<double> reached = shown;
        toWorking(reached);
        std::vector<double> candidate = working;
        for (size_t i = 0; i < candidate.size(); ++i)
            candidate[i] = std::clamp(candidate[i] + target[i] - reached[i], 0.0, 1.0);
        const std::vector<double> candidateShown = shownByTable(table, candidate);
        for (size_t i = 0; i < candidate.size(); i += 3)
            if (largestMiss(candidateShown, codes, i) < largestMiss(shown, codes, i))
                for (size_t c = i; c < i + 3; ++c) {
                    working[c] = candidate[c];
                    shown[c] = candidateShown[c];
                }
    }
}

// Code values beyond what the output transform shows for its brightest
// white (above a 1000-nit peak in a PQ signal, say) have no meaningful
// inverse, so each channel is first limited to the rendering of working-space
// black and of the top of the working range.
LatticeTransform displayInput(const Recipe& r) {
    std::vector<double> ends = {0.0, 0.0, 0.0, 1.0, 1.0, 1.0};
    displayOutput(r)(ends);
    const Vec3 lo{ends[0], ends[1], ends[2]}, hi{ends[3], ends[4], ends[5]};
    const LatticeTransform toWorking = ocioChain(inverted(displayRendering(r)));
    const LatticeTransform limited = [lo, hi](std::vector<double>& rgb) {
        for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = std::clamp(rgb[i], lo[i % 3], hi[i % 3]);
    };
    const LatticeTransform exactInverse = bounded(
        [limited, toWorking](std::vector<double>& rgb) {
            limited(rgb);
            toWorking(rgb);
        },
        WorkingSource::Display);
    const LatticeTransform output = displayOutput(r);
    return [=](std::vector<double>& rgb) {
        std::vector<double> codes = rgb;
        limited(codes);
        exactInverse(rgb);
        correctAgainstBakedOutput(rgb, codes, output, toWorking);
    };
}

LatticeTransform acesDisplay(const Recipe& r) {
    return isOutput(r) ? displayOutput(r) : displayInput(r);
}

LatticeTransform cameraFormula(const Recipe& r) {
    const CodeCurve* curve = findCurve(r.text("curve"));
    if (!curve) fail(r, "unknown curve '" + r.text("curve") + "'");
    const Gamut* found = findGamut(r.text("gamut"));
    if (!found) fail(r, "unknown gamut '" + r.text("gamut") + "'");
    const Mat3 toAp1 = gamutToGamut(*found, acesAp1());
    if (isOutput(r)) {
        const Mat3 fromAp1 = inverse(toAp1);
        return perPoint([=](const Vec3& cct) {
            const Vec3 camera =
                applyMatrix(fromAp1, {linearFromAcescct(cct[0]), linearFromAcescct(cct[1]), linearFromAcescct(cct[2])});
            return Vec3{encodeCurve(*curve, camera[0]), encodeCurve(*curve, camera[1]), encodeCurve(*curve, camera[2])};
        });
    }
    return bounded(perPoint([=](const Vec3& code) {
                       const Vec3 ap1 = applyMatrix(toAp1, {decodeCurve(*curve, code[0]), decodeCurve(*curve, code[1]),
                                                            decodeCurve(*curve, code[2])});
                       return Vec3{acescctFromLinear(ap1[0]), acescctFromLinear(ap1[1]), acescctFromLinear(ap1[2])};
                   }),
                   WorkingSource::Scene);
}

// The reference gamut compression of ACES 1.3 on one channel: its distance
// from the achromatic axis (the largest channel) is compressed beyond the
// threshold so that the limit distance lands on the gamut boundary.
LatticeTransform gamutLimit(const Recipe& r) {
    const std::string& name = r.text("channel");
    const int channel = name == "red" ? 0 : name == "green" ? 1 : name == "blue" ? 2 : -1;
    if (channel < 0) fail(r, "channel must be red, green or blue");
    const double threshold = r.number("threshold");
    const double limit = r.number("limit");
    const double power = r.number("power");
    if (!(threshold > 0.0 && threshold < 1.0 && limit > 1.0 && power >= 1.0))
        fail(r, "needs 0 < threshold < 1, limit > 1 and power >= 1");
    const double scale =
        (limit - threshold) / std::pow(std::pow((1.0 - threshold) / (limit - threshold), -power) - 1.0, 1.0 / power);
    return perPoint([=](Vec3 v) {
        const double achromatic = std::max({v[0], v[1], v[2]});
        if (achromatic <= 0.0) return v;
        const double distance = (achromatic - v[channel]) / achromatic;
        v[channel] = achromatic - compressDistance(distance, threshold, scale, power) * achromatic;
        return v;
    });
}

// Working-space values that the baked output table shows as the given
// display colours. The exact inverse of the output transform misses by the
// table's interpolation error, which is large for saturated colours, so the
// values are corrected against the baked table itself, sampled as the chain
// samples it.
std::vector<double> workingValuesShownAs(const std::vector<double>& display, const LatticeTransform& toDisplay,
                                         const LatticeTransform& toWorking) {
    const std::vector<float> table = bakedOutputTable(toDisplay);
    std::vector<double> target = display;
    toWorking(target);
    std::vector<double> working = target;
    for (int pass = 0; pass < 12; ++pass) {
        std::vector<double> shown = shownByTable(table, working);
        toWorking(shown);
        for (size_t i = 0; i < working.size(); ++i) working[i] += target[i] - shown[i];
    }
    return working;
}

LatticeTransform zones(const Recipe& r) {
    const ZoneChart chart = zoneChartFromRecipe(r);
    std::vector<double> display;
    for (const auto& colour : chart.displayColours) display.insert(display.end(), colour.begin(), colour.end());
    std::vector<double> working =
        workingValuesShownAs(display, displayOutput(r), ocioChain(inverted(displayRendering(r))));
    // Guide colours need no finer steps than a ten-thousandth, and the fine
    // lattice the zones need repeats them at every point: short text keeps
    // the archive small.
    for (double& value : working) value = std::round(value * 1e4) / 1e4;
    return perPoint([chart, working](const Vec3& cct) {
        const double y =
            ap1Luminance({linearFromAcescct(cct[0]), linearFromAcescct(cct[1]), linearFromAcescct(cct[2])});
        const double stops = y > 0.0 ? std::log2(y / kMidGreyLinear) : -100.0;
        const size_t zone = static_cast<size_t>(zoneIndex(chart, stops));
        return Vec3{working[zone * 3], working[zone * 3 + 1], working[zone * 3 + 2]};
    });
}

}  // namespace

LatticeTransform transformFor(const Recipe& r) {
    const std::string& model = r.text("model");
    if (model == "identity") return [](std::vector<double>&) {};
    if (model == "ocio-camera") return ocioCamera(r);
    if (model == "aces-display") return acesDisplay(r);
    if (model == "camera") return cameraFormula(r);
    if (model == "house") {
        const HouseRendering house = houseRenderingFromRecipe(r);
        return perPoint([house](const Vec3& v) { return renderHouse(house, v); });
    }
    if (model == "film") {
        const FilmStock stock = filmStockFromRecipe(r);
        return bounded(perPoint([stock](const Vec3& v) { return renderFilm(stock, v); }), WorkingSource::Rendered);
    }
    if (model == "palette") {
        const Palette palette = paletteFromRecipe(r);
        return bounded(perPoint([palette](const Vec3& v) { return renderPalette(palette, v); }),
                       WorkingSource::Rendered);
    }
    if (model == "gamut-limit") return gamutLimit(r);
    if (model == "zones") return zones(r);
    fail(r, "unknown model '" + model + "'");
}

namespace {

const std::map<std::string, std::set<std::string>>& keysByModel() {
    static const std::set<std::string> film = {"exposure",  "balance",     "gamma",          "toe",       "shoulder",
                                               "crosstalk", "shadow_tint", "highlight_tint", "saturation"};
    static const std::map<std::string, std::set<std::string>> keys = [] {
        std::map<std::string, std::set<std::string>> m = {
            {"identity", {}},
            {"ocio-camera", {"builtin", "direction"}},
            {"aces-display", {"output", "display", "direction"}},
            {"camera", {"curve", "gamut", "direction"}},
            {"house",
             {"exposure", "contrast", "grey_out", "peak", "flare", "hue_preserve", "saturation", "display_gamut",
              "eotf"}},
            {"film", film},
            {"palette", film},
            {"curve", {"contrast", "black", "white", "pivot"}},
            {"gamut-limit", {"channel", "threshold", "limit", "power"}},
            {"zones", {"first_stop", "colours", "output", "display", "points"}},
        };
        m["palette"].insert({"key", "hue_width", "key_boost", "key_pull", "key_tint", "warmth"});
        return m;
    }();
    return keys;
}

// A misspelt key would otherwise fall back to its default without a word.
void rejectUnknownKeys(const Recipe& r) {
    const auto model = keysByModel().find(r.text("model"));
    if (model == keysByModel().end()) fail(r, "unknown model '" + r.text("model") + "'");
    for (const auto& [key, value] : r.values())
        if (key != "model" && key != "grey" && !model->second.count(key))
            fail(r, "key '" + key + "' means nothing to model " + model->first);
}

// The zone chart changes colour every stop, which is less than two cells of
// the usual lattice: there interpolation blends neighbouring zones over
// nearly the whole stop. Its recipe may ask for a finer lattice.
uint32_t cubeSize(const Recipe& r) {
    if (!r.has("points")) return kCubeSize;
    const double points = r.number("points");
    if (!(points >= 2.0 && points <= 256.0 && points == std::floor(points)))
        fail(r, "points must be a whole number from 2 to 256");
    return static_cast<uint32_t>(points);
}

}  // namespace

bool isCurveEntry(const std::string& entryName) {
    return entryName.rfind("2-CURVES/", 0) == 0;
}

Lattice bakeEntry(const Recipe& r) {
    rejectUnknownKeys(r);
    if (isCurveEntry(r.entryName())) {
        if (r.text("model") != "curve") fail(r, "entries of 2-CURVES/ are 1D and need model = curve");
        const ContrastCurve curve = contrastCurveFromRecipe(r);
        Lattice lattice = identityLattice(true, kCurveSize);
        for (size_t i = 0; i < lattice.rgb.size(); i += 3) {
            const Vec3 out = renderContrastCurve(curve, lattice.rgb[i]);
            std::copy(out.begin(), out.end(), lattice.rgb.begin() + i);
        }
        return lattice;
    }
    Lattice lattice = identityLattice(false, cubeSize(r));
    transformFor(r)(lattice.rgb);
    return lattice;
}

}  // namespace tonemill::lutgen
