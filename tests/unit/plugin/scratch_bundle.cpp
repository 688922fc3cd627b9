#include "scratch_bundle.h"

#include <fstream>
#include <lodepng.h>
#include <random>
#include <sstream>
#include <stdexcept>

#include "tools/pack/archive_writer.h"

namespace ChromvaleBeta2::testing {

namespace fs = std::filesystem;

ScratchBundle::ScratchBundle() {
    std::random_device seed;
    m_root = fs::temp_directory_path() / ("tonemill-plugin-" + std::to_string(seed()) + ".ofx.bundle");
    fs::create_directories(resources());
}

ScratchBundle::~ScratchBundle() {
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

void ScratchBundle::writeArchive(const std::map<std::string, std::string>& entries) const {
    const fs::path staging = m_root / "staging";
    fs::remove_all(staging);
    std::vector<PackEntry> pack;
    for (const auto& [name, text] : entries) {
        const fs::path file = staging / name;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        pack.push_back({name, file});
    }
    ChromvaleBeta2::writeArchive(pack, resources() / "data.bin");
}

void ScratchBundle::writePng(const std::string& file, unsigned width, unsigned height,
                             const std::vector<unsigned char>& rgba) const {
    if (unsigned error = lodepng::encode((resources() / file).string(), rgba, width, height)) {
        throw std::runtime_error(lodepng_error_text(error));
    }
}

std::string cubeText3D(unsigned size, float value) {
    std::ostringstream text;
    text << "LUT_3D_SIZE " << size << "\n";
    for (unsigned b = 0; b < size; ++b)
        for (unsigned g = 0; g < size; ++g)
            for (unsigned r = 0; r < size; ++r) {
                auto at = [&](unsigned i) { return value >= 0 ? value : float(i) / float(size - 1); };
                text << at(r) << " " << at(g) << " " << at(b) << "\n";
            }
    return text.str();
}

std::string cubeText1D(unsigned size) {
    std::ostringstream text;
    text << "LUT_1D_SIZE " << size << "\n";
    for (unsigned i = 0; i < size; ++i) {
        const float v = float(i) / float(size - 1);
        text << v << " " << v << " " << v << "\n";
    }
    return text.str();
}

}  // namespace ChromvaleBeta2::testing
