#pragma once

#include <OpenImageIO/imageio.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "host/host_image.h"

namespace tonemill::cli {

// The widest frame read: a band of frame-high test views (1080 rows) of this
// width is the most memory one render needs. Taller frames only take longer.
inline constexpr int kMaxFrameWidth = 65536;
inline constexpr int kMaxFrameHeight = 1 << 20;

// One image file read a band of rows at a time, in any format OpenImageIO
// reads (EXR, DPX, TIFF, PNG, JPEG...). Bands come as RGBA float images with
// row 0 at the bottom, as OpenFX images are, the data window mapped to
// (0, 0)-(width, height). Channels are taken by name: grey (Y) is spread over
// R, G and B, a missing colour channel is 0, and alpha comes only from the
// channel the file names as alpha (1 without one).
// Colour is straight, never times alpha: files that store premultiplied colour
// are divided by alpha where alpha is not 0, and ImageWriter multiplies again.
class ImageReader {
 public:
    // Opens the file and checks its size before anything is allocated. Throws
    // CliError naming the file.
    explicit ImageReader(std::string path);

    const std::string& path() const { return path_; }
    const OIIO::ImageSpec& layout() const { return layout_; }
    std::string formatName() const { return input_->format_name(); }
    int width() const { return layout_.width; }
    int height() const { return layout_.height; }
    bool hasAlpha() const { return alpha_ >= 0; }
    bool premultiplied() const { return premultiplied_; }

    // File rows [first, end), counted from the top. Throws CliError.
    std::shared_ptr<host::HostImage> readRows(int first, int end);

 private:
    void refuseSeveralParts();
    // The band's rows, `channelsRead_` floats a pixel, or null where the
    // library failed.
    const float* readFileRows(int first, int end);
    const float* readTileRows(int first, int end);

    std::string path_;
    std::unique_ptr<OIIO::ImageInput> input_;
    OIIO::ImageSpec layout_;
    int alpha_ = -1;
    std::array<int, 3> colour_{};  // the file's channels for R, G and B; -1: none
    int channelsRead_ = 0;
    bool premultiplied_ = false;
    std::vector<float> buffer_;
    // Decoded rows of tiles [tilesFrom_, tilesTo_), for tiled files: a tile row
    // may be taller than a band, and is decoded once for all the bands in it.
    std::vector<float> tiles_;
    int tilesFrom_ = 0;
    int tilesTo_ = 0;
};

}  // namespace tonemill::cli
