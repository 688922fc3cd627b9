#pragma once

// The table slots of the chain, one row each: what selects the table, where the
// resolved table waits in LookParams, where the chain reads it, and whether an
// exported LUT's file name mentions it. Resolving tables, attaching them to the
// chain, uploading them to a device and naming an export all read these rows, so a
// slot's rule of being selected is written once. Device uploads follow row order.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "pipeline/look_params.h"
#include "pipeline/pipeline_settings.h"

namespace ChromvaleBeta2 {

// The choice parameter and option that pick a stage's table; an empty choice means
// the stage always reads its one fixed archive entry.
struct StageOption {
    std::string_view choice;
    int32_t option = 0;
};

struct LutStage {
    std::string_view name;        // what the user calls the stage, for messages
    int32_t kind;                 // LutTable::kKind3D or kKind1D
    std::string_view fixedEntry;  // archive entry of a stage without a choice
    // Whether the look asks for this stage's table at all.
    bool (*selected)(const LookParams&);
    StageOption (*option)(const LookParams&);
    const LutTable*& (*table)(LookParams&);
    const float*& (*lut)(ChainSettings&);
    unsigned int& (*lutSize)(ChainSettings&);
    bool inExportName;  // an exported LUT's file name carries the option text
};

// Every stage, in the order of the device uploads.
std::span<const LutStage> lutStages();

// The stock list that an option of colorPaletteAOptions makes active (1 to 4),
// or an empty name for any other option.
std::string_view activePaletteList(int paletteOption);

// The selection in the stock list the gathered palette option makes active;
// 0 when the option activates none.
int activePaletteSelection(const LookParams& values);

}  // namespace ChromvaleBeta2
