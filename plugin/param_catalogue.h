#pragma once

// Every parameter of the effect, defined once as data. Describing the effect,
// fetching the parameters in an instance, gathering their values, naming the
// LUT archive entries and naming an exported LUT all read these tables, so a
// label, range or option can only ever be changed in one place.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "pipeline/look_params.h"
#include "pipeline/lut_stages.h"  // the palette lists the catalogue enables by

namespace ChromvaleBeta2 {

enum class ParamKind : uint8_t { Group, Double, Boolean, Choice, PushButton };

// A descriptor property the catalogue may leave untouched: only Off and On
// make the describe step write it.
enum class DescribedFlag : uint8_t { Unset, Off, On };

// Kind of table an option selects; None for options that switch a stage off.
enum class LutKind : uint8_t { None, Table3D, Table1D };

struct LutOption {
    std::string_view text;    // shown to the user, exactly as written
    std::string_view folder;  // archive folder, ending in "/"; empty without a LUT
    std::string_view file;    // LUT file name without ".cube"; empty without a LUT
    LutKind kind;

    bool selectsLut() const { return kind != LutKind::None; }
    // The archive entry the option selects: folder + file + ".cube".
    std::string entryName() const;
};

struct OptionList {
    std::string_view param;  // script name of the choice parameter
    std::span<const LutOption> options;
};

struct ParamSpec {
    std::string_view name;
    ParamKind kind = ParamKind::Group;
    std::string_view label;
    std::string_view hint;
    double defaultValue = 0;  // doubles; choices hold the option index
    double minimum = 0;       // doubles only; the gamut limits run from 100 down to 0
    double maximum = 0;
    std::string_view parent;  // group name, empty at the top level
    DescribedFlag enabled = DescribedFlag::Unset;
    DescribedFlag open = DescribedFlag::Unset;  // groups only
    bool onPage = true;                         // appended to the page right after its definition

    // Where gathering puts the value, matching `kind`; all null for groups and buttons.
    float LookParams::*floatField = nullptr;
    bool LookParams::*boolField = nullptr;
    int32_t LookParams::*choiceField = nullptr;
    // Gathered as value / gatherDivisor: the gamut limits are kept as shares of 1.
    float gatherDivisor = 1;
    // A choice that must select something (option > 0) before this value is read; the
    // value stays 0 until it does. That choice comes earlier in the catalogue.
    std::string_view readWhenSelected;
    // The choice whose option enables this parameter on the page (enabledByOption).
    std::string_view enabledBy;
    // Compared by the identity test with its neutral value: the default of a slider,
    // option 0 (nothing selected) of a choice.
    bool inIdentityTest = false;
    double neutralValue = 0;
};

// The text of the version button: label and hint alike.
inline constexpr std::string_view kVersionLabel = "Version 2.4.2";
inline constexpr std::string_view kPageName = "Main";
inline constexpr double kDoubleIncrement = 0.1;

// Every group and parameter in definition order.
std::span<const ParamSpec> paramCatalogue();

// The catalogue entry of a name, or null when the effect has no such parameter.
const ParamSpec* findParam(std::string_view name);

// The options of a choice parameter, in option order; empty for any other name.
std::span<const LutOption> optionsOf(std::string_view choiceName);

// The option at an index of a choice, or null when the index lies outside the list.
const LutOption* optionAt(std::string_view choiceName, int index);

// Whether `option` of the entry's enabledBy choice enables the entry.
bool enabledByOption(const ParamSpec& entry, int option);

// Whether every value the identity test compares is at its neutral value.
bool looksNeutral(const LookParams& values);

}  // namespace ChromvaleBeta2
