#include "plugin/lut_library.h"

#include <stdexcept>

#include "formats/cube_reader.h"
#include "formats/lut_archive.h"
#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"
#include "plugin/bundle_path.h"

namespace ChromvaleBeta2 {

std::map<std::string, LutTable, std::less<>> lutCache;
std::mutex lutCacheMutex;

namespace {

constexpr const char* kGamutLimitEntries[3] = {
    "GAMUT LIMIT/R_Gamut_LImit.cube",
    "GAMUT LIMIT/G_Gamut_Limit.cube",
    "GAMUT LIMIT/B_Gamut_Limit.cube",
};
constexpr const char* kZoneChartEntry = "KORVO/KORVO_ZONES_000.cube";

bool hasKind(const LutTable& table, LutKind expected) {
    return expected == LutKind::Table1D ? table.is1D() : table.is3D();
}

const char* kindName(LutKind kind) { return kind == LutKind::Table1D ? "1D" : "3D"; }

[[noreturn]] void failLoad(const std::string& name) {
    OFX::Log::error(true, "Unable to load LUT %s", name.c_str());
    throw OFX::Exception::Suite(kOfxStatErrFatal);
}

// The table an option of a choice selects. The index comes from the host, so
// an index outside the list is refused by name rather than read past the end.
const LutTable* loadOption(LutArchive& archive, std::string_view choice, int index) {
    const LutOption* option = optionAt(choice, index);
    if (!option || !option->selectsLut()) {
        throw std::runtime_error("option " + std::to_string(index) + " of " + std::string(choice) +
                                 " selects no LUT");
    }
    return loadLut(archive, option->entryName(), option->kind);
}

void resolveSlots(LutArchive& archive, LookParams& values) {
    const bool gamutOn[3] = {values.gamutRAdjust, values.gamutGAdjust, values.gamutBAdjust};
    for (int channel = 0; channel < 3; ++channel) {
        if (gamutOn[channel]) {
            values.gamutTable[channel] = loadLut(archive, kGamutLimitEntries[channel], LutKind::Table3D);
        }
    }
    if (values.postProcessAdjust) {
        values.postProcessTable = loadOption(archive, "postProcessOptions", values.postProcessOptions);
    }
    if (values.idtProfile > 0) values.idtTable = loadOption(archive, "idtProfile", values.idtProfile);
    if (values.contrastOptions > 0) {
        values.contrastTable = loadOption(archive, "contrastOptions", values.contrastOptions);
    }
    if (values.testKorvoLUTToggle) values.zoneTable = loadLut(archive, kZoneChartEntry, LutKind::Table3D);
    if (const int selection = activePaletteSelection(values); selection > 0) {
        values.paletteTable =
            loadOption(archive, activePaletteList(values.colorPaletteAOptions), selection);
    }
    if (values.colorPaletteBOptions > 0) {
        values.printTable = loadOption(archive, "colorPaletteBOptions", values.colorPaletteBOptions);
    }
    if (values.outputProfileOptions > 0) {
        values.odtTable = loadOption(archive, "outputProfileOptions", values.outputProfileOptions);
    }
}

}  // namespace

const LutTable* loadLut(LutArchive& archive, const std::string& name, LutKind expected) {
    std::lock_guard lock(lutCacheMutex);
    if (auto cached = lutCache.find(name); cached != lutCache.end()) return &cached->second;

    LutTable table;
    if (!loadFromArchive(table, archive, name)) failLoad(name);
    if (!hasKind(table, expected)) {
        // A 1D table read as 3D (or the reverse) would be indexed far past its end.
        OFX::Log::error(true, "LUT %s is not a %s table", name.c_str(), kindName(expected));
        failLoad(name);
    }
    return &lutCache.emplace(name, std::move(table)).first->second;
}

std::string lutArchivePath() { return bundleResource("data.bin"); }

void resolveLookLuts(LutArchive& archive, LookParams& values) {
    if (!archive.open(lutArchivePath())) {
        OFX::Log::error(true, "Unable to load archive");
        OFX::throwSuiteStatusException(kOfxStatErrUnsupported);
    }
    try {
        resolveSlots(archive, values);
    } catch (const std::exception& failure) {
        // The host sees a table failure as a generic failure of the action.
        throw std::runtime_error(failure.what());
    }
}

}  // namespace ChromvaleBeta2
