// Feeds arbitrary text to the look file reader and, as one --set, to the
// assignment parser, then resolves every assignment read against a parameter
// of each kind, as a render does once it has found the parameter named. What
// is accepted must be a usable assignment and a value the parameter holds;
// what is refused must say so on one line.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/param.h"
#include "ofxParam.h"
#include "tests/fuzz/one_line_message.h"
#include "tests/fuzz/scratch_file.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/look_assignments.h"

namespace {

using tonemill::cli::Assignment;
using tonemill::host::Param;

constexpr double kSliderMin = -2.5, kSliderMax = 4.0;
constexpr int kCountMin = 0, kCountMax = 100;

// One parameter of every kind an assignment can set, with the features the
// resolver treats apart: a range running from its high end to its low end, a
// choice option with a space, an integer with no range of its own.
tonemill::host::ParamSet& parameters() {
    static tonemill::host::ParamSet set;
    if (set.params().empty()) {
        set.define(kOfxParamTypeBoolean, "toggle");
        set.define(kOfxParamTypeChoice, "choice")
            ->properties()
            .setStrings(kOfxParamPropChoiceOption, {"None", "Soft Light", "hard"});
        Param* slider = set.define(kOfxParamTypeDouble, "slider");
        slider->properties().setDoubles(kOfxParamPropMin, {kSliderMin});
        slider->properties().setDoubles(kOfxParamPropMax, {kSliderMax});
        Param* count = set.define(kOfxParamTypeInteger, "count");
        count->properties().setInts(kOfxParamPropMin, {kCountMax});
        count->properties().setInts(kOfxParamPropMax, {kCountMin});
        set.define(kOfxParamTypeInteger, "unbounded");
        set.define(kOfxParamTypeString, "text");
        set.define(kOfxParamTypeRGB, "colour");
    }
    return set;
}

bool holds(const Param& param, const tonemill::host::ParamValue& value) {
    if (param.type() == kOfxParamTypeString) return value.numbers.empty();
    if (value.numbers.size() != 1 || !std::isfinite(value.numbers[0])) return false;
    const double number = value.numbers[0];
    if (param.type() == kOfxParamTypeBoolean) return number == 0 || number == 1;
    if (param.type() == kOfxParamTypeChoice) return number == std::floor(number) && number >= 0 && number < 3;
    if (param.name() == "slider") return number >= kSliderMin && number <= kSliderMax;
    if (param.name() == "count") return number == std::floor(number) && number >= kCountMin && number <= kCountMax;
    return number == std::floor(number);
}

void resolveEverywhere(const Assignment& assignment) {
    if (assignment.name.empty() || assignment.name.find('=') != std::string::npos) std::abort();
    for (const auto& param : parameters().params()) {
        Assignment named = assignment;
        named.name = param->name();
        try {
            if (!holds(*param, tonemill::cli::resolveAssignment(named, *param))) std::abort();
        } catch (const tonemill::cli::CliError& error) {
            ChromvaleBeta2::fuzzing::requireOneLineMessage(error);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const ChromvaleBeta2::fuzzing::ScratchFile lookFile("tonemill-fuzz-look");
    lookFile.write(data, size);
    try {
        for (const Assignment& assignment : tonemill::cli::readLookFile(lookFile.path())) {
            if (!assignment.origin.starts_with(lookFile.path() + ":")) std::abort();
            resolveEverywhere(assignment);
        }
    } catch (const tonemill::cli::CliError& error) {
        ChromvaleBeta2::fuzzing::requireOneLineMessage(error);
    }
    try {
        resolveEverywhere(
            tonemill::cli::parseAssignment(std::string(reinterpret_cast<const char*>(data), size), "--set"));
    } catch (const tonemill::cli::UsageError& error) {
        ChromvaleBeta2::fuzzing::requireOneLineMessage(error);
    }
    return 0;
}
