#pragma once

#include <string>
#include <string_view>

namespace tonemill::cli {

// Text a user or a file supplied, between single quotes, with control
// characters (a NUL included) written as escapes, so that a message stays one
// line; text too long to read in a message (a look file's 200 MB line) is
// shown by its start and end, with its length.
std::string quotedText(std::string_view text);

// A message from a library folded into one line: line breaks become "; ",
// other control characters escapes, surrounding space is dropped.
std::string oneLine(std::string_view text);

// `text` with every occurrence of `from` replaced by `to`.
std::string replacedAll(std::string text, std::string_view from, std::string_view to);

}  // namespace tonemill::cli
