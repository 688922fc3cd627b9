#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <thread>

#include <lodepng.h>

#include "ofxParam.h"
#include "tools/testimages/bitmap_text.h"
#include "tools/testimages/png_file.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/commands.h"
#include "tools/tonemill/effect_chain.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/output_file.h"
#include "tools/tonemill/progress_bar.h"
#include "tools/tonemill/sheet_layout.h"
#include "tools/tonemill/sheet_pictures.h"
#include "tools/tonemill/shipped_looks.h"
#include "tools/tonemill/tone_chart.h"

namespace tonemill::cli {
namespace {

namespace fs = std::filesystem;
using testimages::Picture;

constexpr std::uint8_t kBackground = 24;
constexpr std::uint8_t kLabelLevel = 220;
// A slider without --values is shown at this many even steps across its range.
constexpr int kSliderSteps = 5;

// One picture of the sheet: what is set for it, and what its label says.
struct Variant {
    std::string label;
    std::vector<Assignment> assignments;
    bool wholeLook = false;  // starts from the defaults and the user's values
};

std::vector<std::string> splitValues(const std::string& text) {
    std::vector<std::string> values;
    std::stringstream list(text);
    std::string value;
    while (std::getline(list, value, ','))
        if (!value.empty()) values.push_back(value);
    if (values.empty()) throw UsageError("--values lists no values");
    return values;
}

std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::vector<Variant> lookVariants(const CommandLine& line) {
    std::vector<std::string> names;
    if (line.values) {
        names = splitValues(*line.values);
    } else {
        for (const ShippedLook& look : shippedLooks()) names.push_back(look.name);
        if (names.empty()) throw CliError("--vary look found no shipped looks beside this program");
    }
    std::vector<Variant> variants;
    for (const std::string& name : names) {
        const fs::path file = resolveLook(name);
        variants.push_back({file.stem().string(), readLookFile(file.string()), true});
    }
    return variants;
}

std::vector<std::string> defaultValues(const host::Param& param, const std::string& name) {
    const std::string& type = param.type();
    const auto& properties = param.properties();
    if (type == kOfxParamTypeChoice) return properties.getStrings(kOfxParamPropChoiceOption);
    if (type == kOfxParamTypeBoolean) return {"off", "on"};
    if (type != kOfxParamTypeDouble && type != kOfxParamTypeInteger)
        throw UsageError("--vary " + name + ": only choices, sliders and toggles can be varied");
    const bool integer = type == kOfxParamTypeInteger;
    const auto bound = [&](const char* display, const char* limit) -> double {
        const char* property = properties.has(display) ? display : limit;
        if (!properties.has(property))
            throw UsageError("--vary " + name + " has no range to step across; give --values");
        return integer ? properties.getInt(property) : properties.getDouble(property);
    };
    const double low = bound(kOfxParamPropDisplayMin, kOfxParamPropMin);
    const double high = bound(kOfxParamPropDisplayMax, kOfxParamPropMax);
    std::vector<std::string> values;
    for (int step = 0; step < kSliderSteps; ++step) {
        const double value = low + (high - low) * step / (kSliderSteps - 1);
        values.push_back(numberText(integer ? std::round(value) : value));
    }
    return values;
}

std::vector<Variant> parameterVariants(const CommandLine& line, EffectSession& session) {
    const host::Param& param = session.valueParam(line.vary, "--vary");
    const std::vector<std::string> values = line.values ? splitValues(*line.values) : defaultValues(param, line.vary);
    const bool choice = param.type() == kOfxParamTypeChoice;
    const std::vector<std::string> options =
        choice ? param.properties().getStrings(kOfxParamPropChoiceOption) : std::vector<std::string>();
    std::vector<Variant> variants;
    for (const std::string& value : values) {
        const Assignment assignment{line.vary, value, "--values"};
        // Checked now, so that a wrong value fails before any picture is rendered.
        const host::ParamValue resolved = resolveAssignment(assignment, param);
        const std::string label = choice ? options.at(static_cast<size_t>(resolved.asInt())) : line.vary + "=" + value;
        variants.push_back({label, {assignment}, false});
    }
    return variants;
}

}  // namespace

int runSheet(const CommandLine& line) {
    acceptOnly(line, "sheet", {"--vary", "--values", "--set", "--look", "--threads", "--effect", "--then"});
    if (line.positional.empty() || line.positional.size() > 2) throw UsageError("sheet expects [IN] OUT.png");
    const std::string input = line.positional.size() == 2 ? line.positional[0] : std::string();
    const std::string output = line.positional.back();
    if (lowercaseExtension(output) != ".png")
        throw UsageError("sheet writes PNG: " + quotedText(output) + " does not end in .png");
    if (line.vary.empty()) throw UsageError("sheet needs --vary PARAM (a choice, a slider, a toggle or look)");
    std::error_code error;
    if (!input.empty() && fs::equivalent(input, output, error))
        throw UsageError("output " + quotedText(output) + " is the input file; refusing to overwrite a source");

    const unsigned threads = line.threads ? line.threads : std::max(1u, std::thread::hardware_concurrency());
    EffectChain chain(line, threads);
    chain.applyAll();
    EffectSession& session = chain.first();
    const std::vector<Variant> variants = line.vary == "look" ? lookVariants(line) : parameterVariants(line, session);

    // A file is shrunk as it is read: the sheet needs only thumbnails of it.
    std::optional<ImageReader> reader;
    if (!input.empty()) reader.emplace(input);
    const std::shared_ptr<host::HostImage> chart = input.empty() ? makeToneChart() : nullptr;
    const SheetLayout layout = layoutSheet(static_cast<int>(variants.size()), chart ? chart->width() : reader->width(),
                                           chart ? chart->height() : reader->height());
    const std::shared_ptr<host::HostImage> picture = chart ? shrunk(*chart, layout.cellWidth, layout.cellHeight)
                                                           : shrunk(*reader, layout.cellWidth, layout.cellHeight);
    reader.reset();

    Picture sheet(static_cast<unsigned>(layout.width), static_cast<unsigned>(layout.height), 3);
    std::fill(sheet.bytes.begin(), sheet.bytes.end(), kBackground);
    ProgressBar progress(static_cast<std::int64_t>(variants.size()));
    for (size_t cell = 0; cell < variants.size(); ++cell) {
        const Variant& variant = variants[cell];
        if (variant.wholeLook) {
            session.resetToDefaults();
            session.apply(line.assignments, false);
        }
        // A disabled list is named once: every picture of it would look the same.
        session.apply(variant.assignments, variant.wholeLook || cell == 0);
        const int index = static_cast<int>(cell);
        paste(sheet, *chain.render(picture, 0), layout.pictureLeft(index), layout.pictureTop(index));
        testimages::drawText(sheet, fittedLabel(variant.label, layout.cellWidth), layout.labelLeft(index),
                             layout.labelTop(index), SheetLayout::kLabelScale, kLabelLevel);
        progress.frameDone(index + 1);
    }
    // Through an OutputFile: an interrupted or failed write leaves any earlier
    // sheet as it was and no temporary behind.
    std::vector<unsigned char> encoded;
    if (const unsigned failure = lodepng::encode(encoded, sheet.bytes, sheet.width, sheet.height, LCT_RGB, 8))
        throw CliError("cannot encode contact sheet " + quotedText(output) + ": " + lodepng_error_text(failure));
    OutputFile file(output);
    file.append(encoded.data(), encoded.size());
    file.commit();
    return 0;
}

}  // namespace tonemill::cli
