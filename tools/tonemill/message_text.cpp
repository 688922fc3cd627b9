#include "tools/tonemill/message_text.h"

#include <cstdio>
#include <string>

namespace tonemill::cli {
namespace {

void appendEscaped(std::string& out, char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
        out += c;
        return;
    }
    switch (c) {
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        case '\t': out += "\\t"; return;
        default: {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
        }
    }
}

// Longer text is shown by its start and its end, which name a file best.
constexpr size_t kShownStart = 160, kShownEnd = 60;

bool continuesCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string quotedText(std::string_view text) {
    std::string out = "'";
    if (text.size() <= kShownStart + kShownEnd + 40) {
        for (char c : text) appendEscaped(out, c);
        return out + "'";
    }
    // Cut between characters, never inside one.
    size_t start = kShownStart, end = text.size() - kShownEnd;
    while (start > 0 && continuesCharacter(text[start])) --start;
    while (end < text.size() && continuesCharacter(text[end])) ++end;
    for (char c : text.substr(0, start)) appendEscaped(out, c);
    out += "...";
    for (char c : text.substr(end)) appendEscaped(out, c);
    return out + "' (" + std::to_string(text.size()) + " bytes)";
}

std::string oneLine(std::string_view text) {
    std::string out;
    bool lineStart = true, pendingBreak = false;
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            pendingBreak = !out.empty();
            lineStart = true;
            continue;
        }
        if (lineStart && (c == ' ' || c == '\t')) continue;
        if (pendingBreak) {
            while (!out.empty() && out.back() == ' ') out.pop_back();
            if (out.back() != ':' && out.back() != ';') out += ';';
            out += ' ';
            pendingBreak = false;
        }
        lineStart = false;
        appendEscaped(out, c == '\t' ? ' ' : c);
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string replacedAll(std::string text, std::string_view from, std::string_view to) {
    if (from.empty()) return text;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace tonemill::cli
