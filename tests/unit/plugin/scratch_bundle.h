#pragma once

// A throw-away bundle folder for tests: .cube entries packed into its archive,
// PNGs in its resources folder and, for tests that load it through a host, a
// copy of the plug-in library, so every test gets fresh process-wide state.

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ChromvaleBeta2::testing {

class ScratchBundle {
 public:
    // `name` should be unique per test: it becomes part of the folder name.
    explicit ScratchBundle(const std::string& name = "scratch");
    ~ScratchBundle();
    ScratchBundle(const ScratchBundle&) = delete;
    ScratchBundle& operator=(const ScratchBundle&) = delete;

    const std::filesystem::path& root() const { return m_root; }
    std::filesystem::path resources() const { return m_root / "Contents" / "Resources"; }

    // Copies a plug-in library in as Contents/Linux-x86-64/Tonemill.ofx.
    void installLibrary(const std::filesystem::path& library) const;
    // Packs the entries (name -> file text) as the bundle's data.bin.
    void writeArchive(const std::map<std::string, std::string>& entries) const;
    // Writes an 8-bit RGBA PNG of the given size, rows top first.
    void writePng(const std::string& file, unsigned width, unsigned height,
                  const std::vector<unsigned char>& rgba) const;

 private:
    std::filesystem::path m_folder;  // holds the bundle, removed with it
    std::filesystem::path m_root;
};

using Rgb = std::array<float, 3>;
using ColourFn = std::function<Rgb(float r, float g, float b)>;

// .cube text of a 3D table of `size` points per axis holding fn of each
// lattice point (the identity by default), and of a 1D table of `size`
// entries holding fn(v, v, v).
std::string cubeText3D(unsigned size, const ColourFn& fn = {});
std::string cubeText1D(unsigned size, const ColourFn& fn = {});

}  // namespace ChromvaleBeta2::testing
