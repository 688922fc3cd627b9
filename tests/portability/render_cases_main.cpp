// A host of ours that renders the portability cases through a bundle and writes
// what it got, and compares two such folders, one from each platform.
//
//   tonemill-render-cases render BUNDLE FOLDER [THREADS]
//   tonemill-render-cases compare FOLDER_A FOLDER_B TOLERANCE

#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "tests/portability/case_runner.h"
#include "tests/portability/export_folder.h"
#include "tests/portability/frame_files.h"
#include "tests/portability/render_cases.h"

namespace {

namespace fs = std::filesystem;
using namespace tonemill::portability;

constexpr unsigned kDefaultThreads = 3;
constexpr unsigned kMostThreads = 256;

double parseNumber(const std::string& text, const char* what) {
    size_t used = 0;
    double value = 0.0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw std::invalid_argument(std::string(what) + " '" + text + "' is not a number");
    return value;
}

unsigned parseThreads(const std::string& text) {
    const double threads = parseNumber(text, "thread count");
    if (threads < 1 || threads > kMostThreads || threads != static_cast<unsigned>(threads))
        throw std::invalid_argument("thread count '" + text + "' is not a whole number from 1 to " +
                                    std::to_string(kMostThreads));
    return static_cast<unsigned>(threads);
}

// Renders every case, unloads, loads and renders them again: a plug-in that
// does not survive its library being freed fails or crashes here.
// The effect's identifier is written beside the results, so that a comparison
// knows which cases to expect.
constexpr const char* kEffectFile = "effect.txt";

int render(const std::string& bundle, const fs::path& folder, unsigned threads) {
    fs::create_directories(folder);
    const std::string effect = bundleIdentifier(bundle);
    const std::vector<RenderCase>& cases = renderCasesFor(effect);
    const fs::path exportFolder = prepareExportFolder(folder);
    const auto first = runCases(bundle, threads, exportFolder, true);
    const auto second = runCases(bundle, threads, exportFolder, false);
    std::string exports;
    for (const RenderCase& renderCase : cases) {
        const CaseOutput& output = first.at(renderCase.name);
        const Difference reload = compareFloats(output.pixels, second.at(renderCase.name).pixels);
        if (!reload.comparable || reload.largest != 0.0)
            throw std::runtime_error("case " + renderCase.name +
                                     " rendered differently after the plug-in was loaded again");
        writeFloats(folder / (renderCase.name + ".rgba"), output.pixels);
        if (output.cube.empty()) continue;
        writeText(folder / (renderCase.name + ".cube"), output.cube);
        writeText(folder / (renderCase.name + ".look"), output.look);
        exports += renderCase.name + " " + std::to_string(renderCase.exportSize) + "\n";
    }
    writeText(folder / "exports.txt", exports);
    writeText(folder / kEffectFile, effect);
    std::printf("rendered %zu cases of %s, unloaded, loaded and rendered them again alike; wrote %s\n", cases.size(),
                effect.c_str(), folder.string().c_str());
    return 0;
}

int compare(const fs::path& a, const fs::path& b, double tolerance) {
    double largest = 0.0;
    bool failed = false;
    for (const RenderCase& renderCase : renderCasesFor(readText(a / kEffectFile))) {
        const std::string file = renderCase.name + ".rgba";
        const Difference difference = compareFloats(readFloats(a / file), readFloats(b / file));
        if (!difference.comparable) {
            std::printf("%-28s different sizes\n", renderCase.name.c_str());
            failed = true;
            continue;
        }
        const bool within = difference.largest <= tolerance;
        std::printf("%-28s largest difference %.3g%s\n", renderCase.name.c_str(), difference.largest,
                    within ? "" : " (too large)");
        if (!within)
            std::printf("%-28s first at pixel %zu, channel %zu\n", "", difference.index / 4, difference.index % 4);
        failed = failed || !within;
        if (difference.largest > largest) largest = difference.largest;
    }
    std::printf("largest difference over every case: %.3g (tolerance %.3g)\n", largest, tolerance);
    return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "render" && (argc == 4 || argc == 5))
            return render(argv[2], argv[3], argc == 5 ? parseThreads(argv[4]) : kDefaultThreads);
        if (command == "compare" && argc == 5) return compare(argv[2], argv[3], parseNumber(argv[4], "tolerance"));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tonemill-render-cases: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr,
                 "usage: tonemill-render-cases render BUNDLE FOLDER [THREADS]\n"
                 "       tonemill-render-cases compare FOLDER_A FOLDER_B TOLERANCE\n");
    return 2;
}
