#include "formats/cube_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "formats/console_line.h"
#include "formats/lut_archive.h"

namespace ChromvaleBeta2 {
namespace {

constexpr std::string_view kTableCharacters = "-+E0123456789., ";
// Only this much of the text is looked at to tell CR-only files apart.
constexpr std::size_t kDelimiterProbeLength = 255;

struct SizeKeyword {
    std::string_view word;
    int32_t kind;
    uint32_t limit;
    std::string_view unit;
};

constexpr SizeKeyword kSizeKeywords[] = {
    {"LUT_3D_SIZE", LutTable::kKind3D, kMaxCube3DPoints, "points per axis"},
    {"LUT_1D_SIZE", LutTable::kKind1D, kMaxCube1DEntries, "entries"},
};

// Whitespace as the C locale's isspace sees it, without depending on the
// process locale a host may have set.
bool isCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view skipSpace(std::string_view text) {
    while (!text.empty() && isCSpace(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

bool isTableLine(std::string_view line) {
    return line.find_first_not_of(kTableCharacters) == std::string_view::npos;
}

char chooseDelimiter(std::string_view text) {
    const std::size_t probe = std::min(text.size(), kDelimiterProbeLength);
    for (std::size_t i = 0; i < probe; ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) {
            writeConsoleLine("Use linefeed as delim");
            return '\r';
        }
    }
    return '\n';
}

// The decimal digits after a size keyword, like "%u" but without wrapping a
// sign or an overlong number round: no digits reads as 0, too many digits
// saturate so that the size check rejects them.
struct SizeValue {
    std::string_view digits;
    uint64_t value = 0;
};

SizeValue readSize(std::string_view text) {
    text = skipSpace(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    SizeValue size;
    const std::size_t count = std::min(text.find_first_not_of("0123456789"), text.size());
    size.digits = text.substr(0, count);
    for (char digit : size.digits) {
        size.value = std::min<uint64_t>(size.value * 10 + static_cast<uint64_t>(digit - '0'),
                                        std::numeric_limits<uint32_t>::max() + uint64_t{1});
    }
    return size;
}

// One number as C's strtof reads it in the C locale: an optional sign, digits
// with an optional point, an optional exponent. A value beyond float's range
// reads as infinity or zero as strtof gives; one beyond even double's range
// counts as unreadable.
std::optional<float> readNumber(const char*& cursor, const char* end) {
    const char* start = cursor;
    if (start != end && *start == '+' && start + 1 != end && start[1] != '-' && start[1] != '+') {
        ++start;
    }
    float value = 0.0f;
    const auto parsed = std::from_chars(start, end, value);
    if (parsed.ec == std::errc::result_out_of_range) {
        double wide = 0.0;
        if (std::from_chars(start, parsed.ptr, wide).ec != std::errc{}) {
            return std::nullopt;
        }
        // Narrowing `wide` itself would be undefined behaviour out of range.
        const float magnitude = std::fabs(wide) < 1.0 ? 0.0f : std::numeric_limits<float>::infinity();
        value = std::signbit(wide) ? -magnitude : magnitude;
    } else if (parsed.ec != std::errc{}) {
        return std::nullopt;
    }
    cursor = parsed.ptr;
    return value;
}

// Up to three numbers, blanks between them optional as with scanf: the first
// number that cannot be read leaves it and every later component at 0.
void readEntry(std::string_view line, float* entry) {
    const char* cursor = line.data();
    const char* end = cursor + line.size();
    for (int component = 0; component < 3; ++component) {
        while (cursor != end && *cursor == ' ') {
            ++cursor;
        }
        const std::optional<float> number = readNumber(cursor, end);
        if (!number) {
            return;
        }
        entry[component] = *number;
    }
}

// Handles one header keyword line; false when the parse must fail, after the
// message was written.
bool readKeywordLine(std::string_view line, LutTable& table) {
    const std::string_view rest = skipSpace(line);
    const auto wordEnd = std::find_if(rest.begin(), rest.end(), isCSpace);
    const std::string_view word(rest.begin(), wordEnd);
    for (const SizeKeyword& keyword : kSizeKeywords) {
        if (word != keyword.word) {
            continue;
        }
        if (table.m_dims != 0) {
            writeConsoleLineStart("Duplicated keyword " + std::string(keyword.word) + " - ");
            return false;
        }
        const SizeValue size = readSize(std::string_view(wordEnd, rest.end()));
        if (size.value > keyword.limit) {
            writeConsoleLineStart("Unsupported " + std::string(keyword.word) + " " + std::string(size.digits) +
                                  ", at most " + std::to_string(keyword.limit) + " " + std::string(keyword.unit) +
                                  " - ");
            return false;
        }
        table.m_dims = static_cast<uint32_t>(size.value);
        table.kind = keyword.kind;
        return true;
    }
    return true;
}

void emptyTable(LutTable& table) {
    table.data.clear();
    table.m_dims = 0;
    table.kind = LutTable::kKind3D;
}

bool parseInto(LutTable& table, std::string_view text) {
    const char delimiter = chooseDelimiter(text);
    std::string line;
    for (;;) {
        const std::string_view lineStart = text;
        if (!readCubeLine(text, delimiter, line)) {
            writeConsoleLineStart("Unexpected end of file ");
            return false;
        }
        if (isTableLine(line)) {
            text = lineStart;
            break;
        }
        if (!readKeywordLine(line, table)) {
            return false;
        }
    }
    if (table.m_dims == 0) {
        writeConsoleLine("m_dims == 0, .cube file is corrupted");
        return false;
    }

    const std::size_t n = table.m_dims;
    const std::size_t entries = table.kind == LutTable::kKind3D ? n * n * n : n;
    // Every table line takes at least two bytes of text, so a short text
    // cannot make the table reserve more than it could ever fill.
    table.data.reserve(3 * std::min(entries, text.size() / 2 + 1));
    for (std::size_t i = 0; i < entries; ++i) {
        if (!readCubeLine(text, delimiter, line)) {
            writeConsoleLineStart("Unexpected end of file during parsing - ");
            return false;
        }
        if (!isTableLine(line)) {
            writeConsoleLine("The line must contain only digits, file is corrupted (" + line + ")");
            return false;
        }
        float entry[3] = {0.0f, 0.0f, 0.0f};
        readEntry(line, entry);
        table.data.insert(table.data.end(), entry, entry + 3);
    }
    return true;
}

}  // namespace

bool readCubeLine(std::string_view& text, char delimiter, std::string& line) {
    while (!text.empty()) {
        const std::size_t cut = text.find(delimiter);
        std::string_view raw = text.substr(0, cut);
        text.remove_prefix(cut == std::string_view::npos ? text.size() : cut + 1);
        if (raw.empty() || raw.front() == '#') {
            continue;
        }
        if (raw.back() == '\r' || raw.back() == '\n') {
            raw.remove_suffix(1);
        }
        if (raw.empty()) {
            continue;
        }
        line.assign(raw);
        for (char& c : line) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        return true;
    }
    return false;
}

bool parseCube(LutTable& table, const char* text) {
    emptyTable(table);
    if (parseInto(table, std::string_view(text, std::strlen(text)))) {
        return true;
    }
    // A size without its entries must never reach code that indexes by size.
    emptyTable(table);
    return false;
}

bool loadFromArchive(LutTable& table, LutArchive& archive, const std::string& name) {
    // A new table's empty name must not pass for a loaded entry named "".
    if (table.name == name && table.m_dims != 0) {
        return true;
    }
    std::vector<unsigned char> text;
    if (!archive.extract(name, text)) {
        return false;
    }
    LutTable parsed;
    if (!parseCube(parsed, reinterpret_cast<const char*>(text.data()))) {
        writeConsoleLine(name);
        return false;
    }
    parsed.name = name;
    table = std::move(parsed);
    return true;
}

}  // namespace ChromvaleBeta2
