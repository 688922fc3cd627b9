// The LUT export behind the two export buttons: the look sampled on a
// lattice with the CPU chain, offered under a name built from its LUTs, and
// written where the user chooses. (ChromvaleNG's other methods are in
// ChromvaleNG.cpp, render_orchestration.cpp and test_toggle_rules.cpp.)

#include <stdexcept>
#include <vector>

#include "formats/cube_writer.h"
#include "ofx/support/ofxsLog.h"
#include "plugin/chromvale_processor.h"
#include "plugin/ChromvaleNG.h"
#include "plugin/lut_file_name.h"
#include "plugin/platform/save_dialog.h"
#include "plugin/platform/save_dialog_unattended.h"

namespace ChromvaleBeta2 {
namespace {

constexpr int kFinished = 0;
constexpr int kFailed = 2;

// Every lattice colour in .cube order, red fastest, each coordinate its index
// over gridSize - 1 in single precision.
std::vector<float> makeLattice(int gridSize) {
    const auto n = static_cast<std::size_t>(gridSize);
    const float last = static_cast<float>(gridSize - 1);
    std::vector<float> lattice(n * n * n * 3, 0.0f);
    std::size_t i = 0;
    for (int b = 0; b < gridSize; ++b) {
        for (int g = 0; g < gridSize; ++g) {
            for (int r = 0; r < gridSize; ++r) {
                lattice[i++] = static_cast<float>(r) / last;
                lattice[i++] = static_cast<float>(g) / last;
                lattice[i++] = static_cast<float>(b) / last;
            }
        }
    }
    return lattice;
}

// The chain's colour for every lattice point, alpha dropped.
std::vector<float> sampleLook(const ChromvaleProcessor& processor, int gridSize) {
    const std::vector<float> lattice = makeLattice(gridSize);
    std::vector<float> samples(lattice.size(), 0.0f);
    for (std::size_t i = 0; i < lattice.size(); i += 3) {
        const float4 out = processor.processPixel(make_float4(lattice[i], lattice[i + 1], lattice[i + 2], 1.0f));
        samples[i] = out.x;
        samples[i + 1] = out.y;
        samples[i + 2] = out.z;
    }
    return samples;
}

void saveSamples(const std::string& proposedName, std::vector<float> samples, int gridSize) {
    const SaveRequest request{proposedName, defaultExportFolder()};
    createExportFolder(request.folder);
    const std::optional<SaveTarget> target = makePlatformSaveDialog()->askForTarget(request);
    if (!target) return;
    // The writer reports its own failures; the export ends normally either way.
    const bool written = writeCubeFile(target->path, std::move(samples), static_cast<uint32_t>(gridSize));
    if (target->unattended) finishUnattendedSave(*target, written);
}

}  // namespace

int ChromvaleNG::renderLUT(double time, int gridSize) {
    try {
        if (gridSize < 2) throw std::invalid_argument("a LUT needs at least two points per axis");

        // No images and no process(): only the chain of the settings is used,
        // so the export never holds a test view.
        ChromvaleProcessor processor(*this);
        LookParams values;
        gatherLookParams(values, time);
        resolveLuts(values);
        processor.setSettings(values);
        processor.setLutArchive(&m_archive);

        std::vector<float> samples = sampleLook(processor, gridSize);
        saveSamples(makeLutFileName(values, gridSize), std::move(samples), gridSize);
        return kFinished;
    } catch (...) {
        OFX::Log::error(true, "An error occurred while in ChromvaleNG::renderLUT");
        return kFailed;
    }
}

}  // namespace ChromvaleBeta2
