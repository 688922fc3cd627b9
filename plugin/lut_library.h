#pragma once

// The process-wide LUT library: every table any instance selects is read from
// the archive once, kept for the life of the process, and handed out as a
// non-owning pointer that stays valid until the library is unloaded.

#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "pipeline/look_params.h"
#include "pipeline/lut_table.h"
#include "plugin/param_catalogue.h"

namespace ChromvaleBeta2 {

class LutArchive;

// Entry name -> table. Entries are only ever added, never replaced or freed.
extern std::map<std::string, LutTable, std::less<>> lutCache;
// Guards lutCache; held for a whole table load, archive read and parse included.
extern std::mutex lutCacheMutex;

// The table of an archive entry, loaded on first use. A table that cannot be
// read, or that is not of the expected kind for its slot, is logged as
// "Unable to load LUT <name>" and fails the action with kOfxStatErrFatal;
// nothing is cached for it, so the next request tries again.
const LutTable* loadLut(LutArchive& archive, const std::string& name, LutKind expected);

// The bundle's archive: bundlePath + "/Contents/Resources/data.bin".
std::string lutArchivePath();

// Opens `archive` (a no-op once open) and fills every table slot of `values`
// that its gathered selections ask for. An archive that cannot be opened fails
// with kOfxStatErrUnsupported and fills nothing; a failing table fails with a
// plain std::runtime_error, leaving the slots loaded before it filled.
void resolveLookLuts(LutArchive& archive, LookParams& values);

}  // namespace ChromvaleBeta2
