#include "tests/unit/tools/lutgen/lookdata_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

#include "formats/cube_reader.h"
#include "formats/lut_archive.h"
#include "lut_cuda.h"
#include "tools/lutgen/option_catalogue.h"

namespace tonemill::lookdata_test {

using ChromvaleBeta2::LutTable;

std::string resourcePath(const std::string& file) {
    return std::string(TONEMILL_BUNDLE_DIR) + "/Contents/Resources/" + file;
}

std::string dataPath(const std::string& file) {
    return std::string(TONEMILL_SOURCE_DIR) + "/data/" + file;
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const LutTable& bundleTable(const std::string& entryName) {
    static ChromvaleBeta2::LutArchive archive;
    static std::map<std::string, std::unique_ptr<LutTable>> tables;
    auto& slot = tables[entryName];
    if (!slot) {
        if (!archive.open(resourcePath("data.bin"))) throw std::runtime_error("cannot open the bundle's data.bin");
        auto table = std::make_unique<LutTable>();
        if (!ChromvaleBeta2::loadFromArchive(*table, archive, entryName))
            throw std::runtime_error("cannot load " + entryName + " from data.bin");
        slot = std::move(table);
    }
    return *slot;
}

Rgb sample(const LutTable& t, const Rgb& c) {
    using namespace ChromvaleBeta2;
    if (t.is3D()) {
        const float4 v = lookup3D(t.data.data(), t.m_dims, make_float4(c[0], c[1], c[2], 1.0f));
        return {v.x, v.y, v.z};
    }
    return {lookup1D(t.data.data(), t.m_dims, c[0]).x, lookup1D(t.data.data(), t.m_dims, c[1]).y,
            lookup1D(t.data.data(), t.m_dims, c[2]).z};
}

Rgb clamped(const Rgb& v) {
    return {std::clamp(v[0], 0.0f, 1.0f), std::clamp(v[1], 0.0f, 1.0f), std::clamp(v[2], 0.0f, 1.0f)};
}

Step largestStepOfRandomWalks(const LutTable& table) {
    constexpr float kStep = 1.0f / 1024.0f;
    constexpr int kWalks = 48, kSteps = 4096;
    std::mt19937 random(17);
    Step largest;
    for (int walk = 0; walk < kWalks; ++walk) {
        Rgb at;
        for (float& c : at) c = float(random() % 1025) * kStep;
        Rgb before = clamped(sample(table, at));
        for (int step = 0; step < kSteps; ++step) {
            const Rgb from = at;
            float& c = at[random() % 3];
            c += (random() & 1) ? kStep : -kStep;
            if (c < 0.0f || c > 1.0f) c = std::clamp(c, 0.0f, 1.0f) * 2.0f - c;
            const Rgb after = clamped(sample(table, at));
            for (int k = 0; k < 3; ++k)
                if (std::abs(after[k] - before[k]) > largest.size) largest = {std::abs(after[k] - before[k]), from, at};
            before = after;
        }
    }
    return largest;
}

std::ostream& operator<<(std::ostream& out, const Step& step) {
    return out << "jumps by " << step.size << " from " << step.from[0] << " " << step.from[1] << " " << step.from[2]
               << " to " << step.to[0] << " " << step.to[1] << " " << step.to[2];
}

const std::vector<lutgen::Recipe>& recipeBook() {
    static const auto book = lutgen::readRecipeBook(dataPath("lut_recipes.ini"));
    return book;
}

const lutgen::Recipe& recipeFor(const std::string& entryName) {
    for (const auto& r : recipeBook())
        if (r.entryName() == entryName) return r;
    throw std::runtime_error("no recipe for " + entryName);
}

std::vector<std::string> expectedLutEntries() {
    std::vector<std::string> names = {"GAMUT LIMIT/R_Gamut_LImit.cube", "GAMUT LIMIT/G_Gamut_Limit.cube",
                                      "GAMUT LIMIT/B_Gamut_Limit.cube", "KORVO/KORVO_ZONES_000.cube"};
    for (const auto& e : lutgen::readOptionCatalogue(dataPath("lut_options.tsv"))) names.push_back(e.entryName);
    return names;
}

bool inFolder(const std::string& entryName, std::initializer_list<const char*> folders) {
    return std::any_of(folders.begin(), folders.end(), [&](const char* f) { return entryName.rfind(f, 0) == 0; });
}

std::vector<std::string> entriesIn(std::initializer_list<const char*> folders) {
    std::vector<std::string> out;
    for (const auto& name : expectedLutEntries())
        if (inFolder(name, folders)) out.push_back(name);
    return out;
}

int runQuietly(const std::string& commandLine) {
    const int status = std::system((commandLine + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tonemill::lookdata_test
