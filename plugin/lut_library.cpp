#include "plugin/lut_library.h"

#include <stdexcept>

#include "formats/cube_reader.h"
#include "formats/lut_archive.h"
#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"
#include "pipeline/lut_stages.h"
#include "plugin/bundle_path.h"

namespace ChromvaleBeta2 {

std::map<std::string, LutTable, std::less<>> lutCache;
std::mutex lutCacheMutex;

namespace {

bool hasKind(const LutTable& table, LutKind expected) {
    return expected == LutKind::Table1D ? table.is1D() : table.is3D();
}

const char* kindName(LutKind kind) {
    return kind == LutKind::Table1D ? "1D" : "3D";
}

[[noreturn]] void failLoad(const std::string& name) {
    OFX::Log::error(true, "Unable to load LUT %s", name.c_str());
    throw OFX::Exception::Suite(kOfxStatErrFatal);
}

// The archive entry a selected stage reads: its fixed entry, or the entry of the
// option its choice holds. The index comes from the host, so an index outside the
// list is refused by name rather than read past the end.
std::string stageEntry(const LutStage& stage, const LookParams& values) {
    if (!stage.fixedEntry.empty()) return std::string(stage.fixedEntry);
    const StageOption picked = stage.option(values);
    const LutOption* option = optionAt(picked.choice, picked.option);
    if (!option || !option->selectsLut()) {
        throw std::runtime_error("option " + std::to_string(picked.option) + " of " + std::string(picked.choice) +
                                 " selects no LUT for the " + std::string(stage.name));
    }
    return option->entryName();
}

LutKind lutKindOf(const LutStage& stage) {
    return stage.kind == LutTable::kKind1D ? LutKind::Table1D : LutKind::Table3D;
}

void resolveSlots(LutArchive& archive, LookParams& values) {
    for (const LutStage& stage : lutStages()) {
        if (stage.selected(values)) stage.table(values) = loadLut(archive, stageEntry(stage, values), lutKindOf(stage));
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

std::string lutArchivePath() {
    return bundleResource("data.bin");
}

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
