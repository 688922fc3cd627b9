#pragma once

#include <array>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "pipeline/lut_table.h"
#include "tools/lutgen/recipe_book.h"

namespace tonemill::lookdata_test {

using Rgb = std::array<float, 3>;

std::string resourcePath(const std::string& file);
std::string dataPath(const std::string& file);
std::string readWholeFile(const std::string& path);

// A table of the built bundle's data.bin, parsed once per test run.
const ChromvaleBeta2::LutTable& bundleTable(const std::string& entryName);

// Samples a table the way the chain does: tetrahedral for 3D, each channel
// through its own column for 1D.
Rgb sample(const ChromvaleBeta2::LutTable& table, const Rgb& colour);

Rgb clamped(const Rgb& colour);

// The largest change of any channel, after the clamp the chain applies
// behind every table before the output, over one step of 1/1024 in one
// channel: the most of many random walks across the whole cube, the same
// walks on every run.
struct Step {
    float size = 0.0f;
    Rgb from{}, to{};
};
Step largestStepOfRandomWalks(const ChromvaleBeta2::LutTable& table);
std::ostream& operator<<(std::ostream& out, const Step& step);

const std::vector<lutgen::Recipe>& recipeBook();
const lutgen::Recipe& recipeFor(const std::string& entryName);

// Every entry the option lists select, plus the fixed ones.
std::vector<std::string> expectedLutEntries();

bool inFolder(const std::string& entryName, std::initializer_list<const char*> folders);
// The expected entries that lie in any of the folders ("1-IDT/", ...).
std::vector<std::string> entriesIn(std::initializer_list<const char*> folders);

// Runs a command line through the shell, output discarded; the exit status.
int runQuietly(const std::string& commandLine);

}  // namespace tonemill::lookdata_test
