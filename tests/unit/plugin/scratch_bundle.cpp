#include "scratch_bundle.h"

#include <unistd.h>

#include <fstream>
#include <iomanip>
#include <lodepng.h>
#include <sstream>
#include <stdexcept>

#include "tools/pack/archive_writer.h"

namespace ChromvaleBeta2::testing {

namespace fs = std::filesystem;

ScratchBundle::ScratchBundle(const std::string& name) {
    static int made = 0;
    // A space in the path keeps every file access honest about quoting.
    m_folder = fs::temp_directory_path() /
               ("tonemill " + name + " " + std::to_string(::getpid()) + "-" + std::to_string(++made));
    fs::remove_all(m_folder);
    m_root = m_folder / "Tonemill.ofx.bundle";
    fs::create_directories(resources());
}

ScratchBundle::~ScratchBundle() {
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
}

void ScratchBundle::installLibrary(const fs::path& library) const {
    const fs::path binaries = m_root / "Contents" / "Linux-x86-64";
    fs::create_directories(binaries);
    fs::copy_file(library, binaries / "Tonemill.ofx", fs::copy_options::overwrite_existing);
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

namespace {

Rgb apply(const ColourFn& fn, float r, float g, float b) {
    return fn ? fn(r, g, b) : Rgb{r, g, b};
}

std::ostream& operator<<(std::ostream& out, const Rgb& rgb) {
    return out << rgb[0] << " " << rgb[1] << " " << rgb[2] << "\n";
}

}  // namespace

std::string cubeText3D(unsigned size, const ColourFn& fn) {
    std::ostringstream text;
    text << std::setprecision(9) << "LUT_3D_SIZE " << size << "\n";
    const float step = 1.0f / float(size - 1);
    for (unsigned b = 0; b < size; ++b)
        for (unsigned g = 0; g < size; ++g)
            for (unsigned r = 0; r < size; ++r) text << apply(fn, float(r) * step, float(g) * step, float(b) * step);
    return text.str();
}

std::string cubeText1D(unsigned size, const ColourFn& fn) {
    std::ostringstream text;
    text << std::setprecision(9) << "LUT_1D_SIZE " << size << "\n";
    for (unsigned i = 0; i < size; ++i) {
        const float v = float(i) / float(size - 1);
        text << apply(fn, v, v, v);
    }
    return text.str();
}

}  // namespace ChromvaleBeta2::testing
