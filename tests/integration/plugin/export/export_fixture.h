#pragma once

// A fresh copy of the plug-in in a scratch bundle, loaded through the host
// library with a home folder, a log and fake dialog programs of its own, and
// the colour chain with the same tables as the oracle for what it exports.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "formats/cube_reader.h"
#include "host/bundle.h"
#include "host/host.h"
#include "host/instance.h"
#include "pipeline/cpu_chain.h"
#include "pipeline/set_settings.h"
#include "scratch_bundle.h"
#include "tests/integration/plugin/look_oracle.h"
#include "tests/unit/plugin/export/fake_dialog.h"

namespace export_integration {

namespace fs = std::filesystem;
using namespace tonemill::host;
using ChromvaleBeta2::LookParams;
using ChromvaleBeta2::LutTable;
using ChromvaleBeta2::testing::cubeText1D;
using ChromvaleBeta2::testing::cubeText3D;
using ChromvaleBeta2::testing::FakeDialogs;
using ChromvaleBeta2::testing::Rgb;
using ChromvaleBeta2::testing::ScopedEnvironment;
using ChromvaleBeta2::testing::ScratchBundle;

// How every parameter change ends, an export included, whatever became of it.
inline constexpr OfxStatus kNormalEnd = kOfxStatReplyDefault;
inline constexpr const char* kZoneChart = "KORVO/KORVO_ZONES_000.cube";

// Smooth tables that keep colours inside [0, 1], so a LUT of the look
// interpolates it closely; each slot a different function so a table in the
// wrong slot shows.
inline const std::map<std::string, std::string>& exportTables() {
    static const std::map<std::string, std::string> tables = {
        {"1-IDT/ARRI-LOGC-IDT-65.cube",
         cubeText3D(9,
                    [](float r, float g, float b) {
                        return Rgb{0.9f * r + 0.1f * g, 0.85f * g + 0.1f * b + 0.05f, 0.95f * b + 0.05f * r};
                    })},
        {"2-CURVES/F1.cube", cubeText1D(33,
                                        [](float v, float, float) {
                                            const float s = 0.5f - 0.5f * std::cos(3.14159265f * v);
                                            return Rgb{s, 0.5f * (s + v), v * (1.1f - 0.1f * v)};
                                        })},
        {"PRINT/Velmora 500D Gen1.cube",
         cubeText3D(9,
                    [](float r, float g, float b) {
                        return Rgb{0.8f * r + 0.2f * g * b, 0.9f * g + 0.1f * r * r, 0.7f * b + 0.3f * g};
                    })},
        {"4-ODT/REC709-ODT-65.cube",
         cubeText3D(17,
                    [](float r, float g, float b) {
                        return Rgb{r * (1.2f - 0.2f * r), 0.95f * g + 0.05f * b, b * (0.9f + 0.1f * b)};
                    })},
        // A zone chart paints everything one colour: an export holding it is flat.
        {kZoneChart, cubeText3D(3,
                                [](float, float, float) {
                                    return Rgb{0.25f, 0.5f, 0.75f};
                                })},
    };
    return tables;
}

// One exported .cube file as numbers.
struct CubeFile {
    std::vector<std::string> header;  // the size line and the empty line
    std::vector<std::array<double, 3>> points;
};

inline CubeFile readCubeFile(const fs::path& path) {
    CubeFile file;
    std::ifstream in(path);
    for (std::string line; file.header.size() < 2 && std::getline(in, line);) file.header.push_back(line);
    for (std::array<double, 3> p; in >> p[0] >> p[1] >> p[2];) file.points.push_back(p);
    return file;
}

class ExportTest : public ::testing::Test {
 protected:
    ExportTest()
        : bundle(::testing::UnitTest::GetInstance()->current_test_info()->name()),
          home(bundle.root() / "home"),
          chosen(bundle.root() / "chosen") {
        bundle.installLibrary(TONEMILL_PLUGIN_LIBRARY);
        fs::create_directories(home);
        fs::create_directories(chosen);
        environment.set("HOME", home.string());
        environment.unset("XDG_DATA_HOME");
        environment.set("OFX_PLUGIN_LOGFILE", logPath().string());
        dialogs.emplace(bundle.root() / "bin");
    }
    ~ExportTest() override {
        instance.reset();
        host.reset();
    }

    // Loads and describes the plug-in and creates a filter instance with the
    // given values set.
    Instance& create(const std::vector<std::pair<std::string, ParamValue>>& values = {}) {
        host = std::make_unique<Host>();
        Plugin& plugin = host->openBundle(bundle.root().string()).plugin(0);
        EXPECT_EQ(plugin.load(), kOfxStatOK);
        EXPECT_EQ(plugin.describe(), kOfxStatOK);
        OfxStatus status = kOfxStatFailed;
        instance = plugin.createInstance(kOfxImageEffectContextFilter, &status);
        EXPECT_EQ(status, kOfxStatOK);
        for (const auto& [name, value] : values) instance->setValue(name, value);
        return *instance;
    }

    fs::path logPath() const { return bundle.root() / "ofx.log"; }
    fs::path defaultFolder() const { return home / "Tonemill LUTs"; }

    int logCount(const std::string& text) const {
        std::ifstream in(logPath());
        int count = 0;
        for (std::string line; std::getline(in, line);) count += line.find(text) != std::string::npos;
        return count;
    }

    // The path zenity proposed, from its --filename argument.
    std::string proposedPath() const {
        for (const std::string& arg : dialogs->arguments("zenity")) {
            if (arg.starts_with("--filename=")) return arg.substr(11);
        }
        return {};
    }

    const LutTable* table(const std::string& entry) { return oracle.table(entry); }
    LookParams defaultLook() { return oracle.defaultLook(); }

    // Checks that the file holds the chain of every lattice point, in .cube
    // order, to the ten decimals it is written with.
    static void expectChainOfLattice(const fs::path& path, const LookParams& look, int n) {
        const CubeFile file = readCubeFile(path);
        ASSERT_EQ(file.header, (std::vector<std::string>{"LUT_3D_SIZE " + std::to_string(n), ""})) << path;
        ASSERT_EQ(file.points.size(), std::size_t(n) * n * n) << path;
        ChromvaleBeta2::PipelineSettings settings{};
        ChromvaleBeta2::setSettings(settings, look);
        const float last = float(n - 1);
        int mismatches = 0;
        for (std::size_t i = 0; i < file.points.size() && mismatches < 5; ++i) {
            const float r = float(i % n) / last, g = float(i / n % n) / last, b = float(i / n / n) / last;
            const auto out = ChromvaleBeta2::processColour(settings, ChromvaleBeta2::make_float4(r, g, b, 1.0f));
            const double wanted[3] = {out.x, out.y, out.z};
            for (int c = 0; c < 3; ++c) {
                if (std::abs(file.points[i][c] - wanted[c]) > 1e-10) {
                    ++mismatches;
                    ADD_FAILURE() << "point " << i << " (" << r << ", " << g << ", " << b << ") channel " << c << ": "
                                  << file.points[i][c] << " in the file, " << wanted[c] << " from the chain";
                }
            }
        }
    }

    ScratchBundle bundle;
    fs::path home;
    fs::path chosen;  // where the scripted user saves
    ScopedEnvironment environment;
    std::optional<FakeDialogs> dialogs;
    std::unique_ptr<Host> host;
    std::unique_ptr<Instance> instance;
    plugin_integration::LookOracle oracle{exportTables()};
};

}  // namespace export_integration
