#pragma once

// A throw-away bundle folder for tests: .cube entries packed into its archive
// and PNGs written into its resources folder.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace ChromvaleBeta2::testing {

class ScratchBundle {
 public:
    ScratchBundle();
    ~ScratchBundle();
    ScratchBundle(const ScratchBundle&) = delete;
    ScratchBundle& operator=(const ScratchBundle&) = delete;

    const std::filesystem::path& root() const { return m_root; }
    std::filesystem::path resources() const { return m_root / "Contents" / "Resources"; }

    // Packs the entries (name -> .cube text) as the bundle's data.bin.
    void writeArchive(const std::map<std::string, std::string>& entries) const;
    // Writes an 8-bit RGBA PNG of the given size, rows top first.
    void writePng(const std::string& file, unsigned width, unsigned height,
                  const std::vector<unsigned char>& rgba) const;

 private:
    std::filesystem::path m_root;
};

// .cube text of an identity-like table: a 3D table of `size` points per axis,
// or a 1D table of `size` entries, every value `value` when given.
std::string cubeText3D(unsigned size, float value = -1);
std::string cubeText1D(unsigned size);

}  // namespace ChromvaleBeta2::testing
