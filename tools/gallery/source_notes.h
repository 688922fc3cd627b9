#pragma once

#include <map>
#include <string>

namespace tonemill::gallery {

// The source and notes of every archive entry, from the tables of
// data/README.md ("| Entry | Source | Approximation, notes |"), keyed by the
// entry's file name without ".cube", with and without its folder ("4-ODT/");
// one row may name several entries ("L1, L2", "F1 ... F5"). Throws std::runtime_error naming the file it cannot read.
std::map<std::string, std::string> readSourceNotes(const std::string& path);

}  // namespace tonemill::gallery
