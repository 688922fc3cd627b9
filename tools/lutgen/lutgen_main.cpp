// tonemill-lutgen: bakes every LUT of the archive from data/lut_options.tsv
// (which entries exist) and data/lut_recipes.ini (how each is computed).
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

#include "tools/lutgen/lattice.h"
#include "tools/lutgen/lut_baker.h"
#include "tools/lutgen/option_catalogue.h"
#include "tools/lutgen/recipe_book.h"

namespace fs = std::filesystem;
using namespace tonemill::lutgen;

namespace {

// Entries the chain loads by fixed name rather than through an option list.
const std::set<std::string> kFixedEntries = {
    "GAMUT LIMIT/R_Gamut_LImit.cube",
    "GAMUT LIMIT/G_Gamut_Limit.cube",
    "GAMUT LIMIT/B_Gamut_Limit.cube",
    "KORVO/KORVO_ZONES_000.cube",
};

void writeWhole(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    const fs::path partial = path.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out.flush()) throw std::runtime_error("cannot write " + partial.string());
    }
    fs::rename(partial, path);
}

std::map<std::string, const Recipe*> checkCoverage(const std::vector<CatalogueEntry>& catalogue,
                                                   const std::vector<Recipe>& recipes) {
    std::map<std::string, const Recipe*> byName;
    for (const Recipe& r : recipes) byName[r.entryName()] = &r;
    std::set<std::string> wanted = kFixedEntries;
    for (const CatalogueEntry& e : catalogue) {
        wanted.insert(e.entryName);
        if (!byName.count(e.entryName)) throw std::runtime_error(e.source + ": no recipe for '" + e.entryName + "'");
        if (e.oneDimensional != isCurveEntry(e.entryName))
            throw std::runtime_error(e.source + ": '" + e.entryName + "' has the wrong kind for its folder");
    }
    for (const std::string& name : kFixedEntries)
        if (!byName.count(name)) throw std::runtime_error("no recipe for '" + name + "'");
    for (const auto& [name, recipe] : byName)
        if (!wanted.count(name)) throw std::runtime_error("recipe [" + name + "] names no entry of the option lists");
    return byName;
}

int usage() {
    std::fprintf(stderr,
                 "usage: tonemill-lutgen --options lut_options.tsv --recipes lut_recipes.ini "
                 "--out FOLDER\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> args;
    for (int i = 1; i + 1 < argc; i += 2) args[argv[i]] = argv[i + 1];
    if (argc != 7 || !args.count("--options") || !args.count("--recipes") || !args.count("--out")) return usage();
    try {
        const auto catalogue = readOptionCatalogue(args["--options"]);
        const auto recipes = readRecipeBook(args["--recipes"]);
        const auto byName = checkCoverage(catalogue, recipes);
        const fs::path out = args["--out"];
        for (const auto& [name, recipe] : byName) writeWhole(out / name, cubeText(bakeEntry(*recipe), name));
        std::printf("tonemill-lutgen: wrote %zu tables to %s\n", byName.size(), out.string().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tonemill-lutgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
