#pragma once

#include <string>
#include <string_view>

#include "pipeline/lut_table.h"

namespace ChromvaleBeta2 {

class LutArchive;

// Fills `table` from the .cube entry `name` of `archive`. Asking again for the
// name the table already holds reads nothing. On failure the table keeps what
// it held, name included, and the reason is on standard output.
bool loadFromArchive(LutTable& table, LutArchive& archive, const std::string& name);

// Parses NUL-terminated .cube text. Only LUT_3D_SIZE and LUT_1D_SIZE mean
// anything in the header; other keyword lines are skipped. The table is the
// first line made only of "-+E0123456789., " and the lines after it, three
// numbers each. Failure messages that a caller completes with the entry name
// are left without a line end. On failure the table is left empty.
bool parseCube(LutTable& table, const char* text);

// Takes the next significant line off the front of `text`: blank lines and
// lines starting with '#' are skipped, one trailing CR or LF is dropped, and
// the line comes back upper-cased. False once the text is used up.
bool readCubeLine(std::string_view& text, char delimiter, std::string& line);

// Largest sizes accepted; bigger ones cannot be allocated safely.
inline constexpr uint32_t kMaxCube3DPoints = 256;
inline constexpr uint32_t kMaxCube1DEntries = 65536;

}  // namespace ChromvaleBeta2
