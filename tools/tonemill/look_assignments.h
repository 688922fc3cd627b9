#pragma once

#include <string>
#include <vector>

#include "host/param.h"

namespace tonemill::cli {

// One NAME=VALUE as the user wrote it, with where it came from for messages
// ("--set" or "look.txt:12").
struct Assignment {
    std::string name;
    std::string value;
    std::string origin;
};

// "NAME=VALUE" from the command line. Throws UsageError when there is no '='.
Assignment parseAssignment(const std::string& text, const std::string& origin);

// A look file: one assignment per line; blank lines and lines starting with '#'
// are ignored. Throws CliError naming the file (and line) when it cannot be read
// or a line is malformed.
std::vector<Assignment> readLookFile(const std::string& path);

// The value of an assignment for the parameter it names: numbers for sliders
// (inside the parameter's range), on/off for toggles, the option text or index
// for choices. Throws CliError naming the parameter and what was wrong.
host::ParamValue resolveAssignment(const Assignment& assignment, const host::Param& param);

// Up to three parameter names closest to a misspelt one, closest first.
std::vector<std::string> closestNames(const std::string& name, const std::vector<std::string>& candidates);

}  // namespace tonemill::cli
