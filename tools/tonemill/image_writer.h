#pragma once

#include <OpenImageIO/filesystem.h>
#include <OpenImageIO/imageio.h>

#include <memory>
#include <string>

#include "host/host_image.h"
#include "tools/tonemill/output_file.h"
#include "tools/tonemill/output_settings.h"

namespace tonemill::cli {

class ImageReader;

// One image file written a band of rows at a time, in the format its extension
// names, through an OutputFile: it appears only when complete. Bands hold
// straight colour (see ImageReader); formats that store premultiplied colour
// (EXR) are multiplied here.
class ImageWriter {
 public:
    // `source` is the file the frame was read from: its depth (where the format
    // holds it), data and display windows, alpha and metadata are carried over;
    // null for a frame of our own. Throws CliError naming the file.
    ImageWriter(const std::string& path, int width, int height, const ImageReader* source,
                const OutputSettings& settings);
    ~ImageWriter();
    ImageWriter(const ImageWriter&) = delete;
    ImageWriter& operator=(const ImageWriter&) = delete;

    // The rows of `band` (OpenFX bounds, row 0 at the bottom of the frame), the
    // next ones down from the top of the frame. Throws CliError.
    void writeRows(const host::HostImage& band);
    // Throws CliError; without it nothing appears at the path.
    void commit();

 private:
    class Proxy;

    // `message` is the library's, in one line.
    [[noreturn]] void fail(std::string message) const;

    std::string path_;
    OIIO::ImageSpec layout_;
    bool multiplyByAlpha_ = false;
    bool keepColourWithoutAlpha_ = false;
    std::unique_ptr<OutputFile> file_;
    std::unique_ptr<Proxy> proxy_;
    std::unique_ptr<OIIO::ImageOutput> output_;
    std::vector<float> buffer_;
};

}  // namespace tonemill::cli
