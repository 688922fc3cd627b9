// The shared case list covers what the Windows check promises: every stage that
// reads a LUT, both contexts, a tile of a frame, and both export buttons.

#include "tests/portability/render_cases.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "ofxImageEffect.h"

namespace tonemill::portability {
namespace {

// Parameter name to the option indices that select a LUT, from the one list of
// options the plug-in is built from.
std::map<std::string, std::set<int>> lutSelectingOptions() {
    std::ifstream in(std::string(TONEMILL_SOURCE_DIR) + "/data/lut_options.tsv");
    std::map<std::string, std::set<int>> options;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::stringstream row(line);
        for (std::string field; std::getline(row, field, '\t');) fields.push_back(field);
        if (fields.size() >= 5 && !fields[4].empty()) options[fields[0]].insert(std::stoi(fields[1]));
    }
    return options;
}

bool inside(const OfxRectI& inner, const OfxRectI& outer) {
    return inner.x1 >= outer.x1 && inner.y1 >= outer.y1 && inner.x2 <= outer.x2 && inner.y2 <= outer.y2 &&
           inner.x1 < inner.x2 && inner.y1 < inner.y2;
}

TEST(RenderCases, EveryChoiceThatReadsALutSelectsOneInSomeCase) {
    const auto options = lutSelectingOptions();
    ASSERT_GE(options.size(), 8u) << "data/lut_options.tsv was not read";
    for (const auto& [name, indices] : options) {
        bool covered = false;
        for (const RenderCase& renderCase : renderCases())
            for (const Setting& setting : renderCase.settings)
                covered = covered || (setting.name == name && indices.contains(static_cast<int>(setting.value)));
        EXPECT_TRUE(covered) << name << " is never set to an option that reads a LUT";
    }
}

TEST(RenderCases, CoverBothContextsATileAndBothExportSizesUnderDistinctNames) {
    std::set<std::string> names, contexts;
    std::set<int> exportSizes;
    bool tile = false;
    for (const RenderCase& renderCase : renderCases()) {
        EXPECT_TRUE(names.insert(renderCase.name).second) << "two cases write " << renderCase.name;
        contexts.insert(renderCase.context);
        if (renderCase.exportSize) exportSizes.insert(renderCase.exportSize);
        EXPECT_TRUE(inside(renderCase.window, renderCase.frame)) << renderCase.name;
        tile = tile || renderCase.window.x1 != renderCase.frame.x1 || renderCase.window.y2 != renderCase.frame.y2;
    }
    EXPECT_EQ(contexts, (std::set<std::string>{kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}));
    EXPECT_EQ(exportSizes, (std::set<int>{33, 65})) << "the two export buttons";
    EXPECT_TRUE(tile) << "no case renders part of its frame";
}

}  // namespace
}  // namespace tonemill::portability
