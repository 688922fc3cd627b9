#include "tools/tonemill/look_assignments.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>

#include "ofxParam.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/numbers.h"

namespace tonemill::cli {
namespace {

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// By its byte order mark, or by a NUL beside the first character, as ASCII
// in UTF-16 has; a NUL further on is left to the line's message.
bool isUtf16(std::string_view text) {
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) return true;
    return text.size() >= 2 && (text[0] == '\0') != (text[1] == '\0');
}

bool isQuote(char c) {
    return c == '"' || c == '\'';
}

// The value without the quotes around it, as the README writes idtProfile="ARRI Log C".
std::string unquoted(const std::string& value) {
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// A line of a look file without a comment after its value: a '#' after a
// space, past a quoted value.
std::string withoutComment(const std::string& line) {
    size_t from = 1;
    if (const size_t equals = line.find('='); equals != std::string::npos) {
        const size_t value = line.find_first_not_of(" \t", equals + 1);
        if (value != std::string::npos && isQuote(line[value])) {
            const size_t closing = line.find(line[value], value + 1);
            from = closing == std::string::npos ? line.size() : closing + 1;
        }
    }
    for (size_t i = from; i < line.size(); ++i)
        if (line[i] == '#' && (line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
    return line;
}

std::string where(const Assignment& assignment) {
    return assignment.origin.empty() ? std::string() : " (" + assignment.origin + ")";
}

host::ParamValue resolveToggle(const Assignment& assignment) {
    const std::string value = lowered(assignment.value);
    if (value == "on" || value == "true" || value == "yes" || value == "1") return host::ParamValue(true);
    if (value == "off" || value == "false" || value == "no" || value == "0") return host::ParamValue(false);
    throw CliError("parameter '" + assignment.name + "' is a toggle: " + quotedText(assignment.value) +
                   " is not on or off" + where(assignment));
}

host::ParamValue resolveChoice(const Assignment& assignment, const host::Param& param) {
    const std::vector<std::string> options = param.properties().getStrings(kOfxParamPropChoiceOption);
    for (size_t i = 0; i < options.size(); ++i)
        if (options[i] == assignment.value) return host::ParamValue(static_cast<int>(i));
    for (size_t i = 0; i < options.size(); ++i)
        if (lowered(options[i]) == lowered(assignment.value)) return host::ParamValue(static_cast<int>(i));
    const std::optional<std::int64_t> index = parseInteger(assignment.value);
    if (index && *index >= 0 && *index < static_cast<std::int64_t>(options.size()))
        return host::ParamValue(static_cast<int>(*index));
    std::string valid;
    for (const std::string& option : options) valid += (valid.empty() ? "\"" : ", \"") + option + "\"";
    throw CliError("parameter '" + assignment.name + "' has no option " + quotedText(assignment.value) +
                   where(assignment) + "; valid options: " + valid + " (or an index from 0 to " +
                   std::to_string(options.size() - 1) + ")");
}

host::ParamValue resolveNumber(const Assignment& assignment, const host::Param& param, bool integer) {
    const std::optional<double> number = parseNumber(assignment.value, integer);
    if (!number)
        throw CliError("parameter '" + assignment.name + "' takes " + (integer ? "an integer" : "a number") + ": " +
                       quotedText(assignment.value) + " is not one" + where(assignment));
    const double value = *number;
    const auto& properties = param.properties();
    if (properties.has(kOfxParamPropMin) && properties.has(kOfxParamPropMax)) {
        const double first = integer ? properties.getInt(kOfxParamPropMin) : properties.getDouble(kOfxParamPropMin);
        const double second = integer ? properties.getInt(kOfxParamPropMax) : properties.getDouble(kOfxParamPropMax);
        // Some sliders run from their high end to their low end (100 to 0).
        const double min = std::min(first, second), max = std::max(first, second);
        if (value < min || value > max) {
            std::ostringstream message;
            message << "parameter '" << assignment.name << "' value " << quotedText(assignment.value)
                    << " is out of range [" << min << ", " << max << "]" << where(assignment);
            throw CliError(message.str());
        }
    }
    if (integer) return host::ParamValue(static_cast<int>(value));
    return host::ParamValue(value);
}

size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> previous(b.size() + 1), current(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t substitution = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
        }
        std::swap(previous, current);
    }
    return previous[b.size()];
}

}  // namespace

Assignment parseAssignment(const std::string& text, const std::string& origin) {
    const auto equals = text.find('=');
    if (equals == std::string::npos || trim(text.substr(0, equals)).empty())
        throw UsageError("expected NAME=VALUE, got " + quotedText(text) + (origin.empty() ? "" : " (" + origin + ")"));
    return {trim(text.substr(0, equals)), unquoted(trim(text.substr(equals + 1))), origin};
}

std::vector<Assignment> readLookFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw CliError("cannot read look file " + quotedText(path));
    // Read whole, once: the file may be a pipe.
    std::stringstream contents;
    contents << file.rdbuf();
    if (file.bad()) throw CliError("error while reading look file " + quotedText(path));
    const std::string text = contents.str();
    if (isUtf16(text))
        throw CliError("look file " + quotedText(path) + " is UTF-16 text; save it as UTF-8 (or ASCII) and try again");
    std::vector<Assignment> assignments;
    int number = 0;
    for (size_t start = 0; start < text.size();) {
        // Lines end in LF, CR LF or a lone CR (old Mac editors).
        const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        std::string line = text.substr(start, end - start);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (++number == 1 && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
        const std::string content = trim(withoutComment(line));
        if (content.empty() || content.front() == '#') continue;
        try {
            assignments.push_back(parseAssignment(content, path + ":" + std::to_string(number)));
        } catch (const UsageError& error) {
            throw CliError(error.what());
        }
    }
    return assignments;
}

host::ParamValue resolveAssignment(const Assignment& assignment, const host::Param& param) {
    const std::string& type = param.type();
    if (type == kOfxParamTypeBoolean) return resolveToggle(assignment);
    if (type == kOfxParamTypeChoice) return resolveChoice(assignment, param);
    if (type == kOfxParamTypeDouble) return resolveNumber(assignment, param, false);
    if (type == kOfxParamTypeInteger) return resolveNumber(assignment, param, true);
    if (type == kOfxParamTypeString) return host::ParamValue(assignment.value);
    throw CliError("parameter '" + assignment.name + "' (" + type + ") holds no value that can be set" +
                   where(assignment));
}

std::vector<std::string> closestNames(const std::string& name, const std::vector<std::string>& candidates) {
    std::vector<std::pair<size_t, std::string>> scored;
    const std::string wanted = lowered(name);
    for (const std::string& candidate : candidates) {
        const std::string other = lowered(candidate);
        size_t distance = editDistance(wanted, other);
        if (other.find(wanted) != std::string::npos || wanted.find(other) != std::string::npos)
            distance = std::min<size_t>(distance, 1);
        if (distance <= std::max<size_t>(3, wanted.size() / 3)) scored.emplace_back(distance, candidate);
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (size_t i = 0; i < scored.size() && i < 3; ++i) names.push_back(scored[i].second);
    return names;
}

}  // namespace tonemill::cli
