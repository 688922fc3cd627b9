#include "tools/tonemill/image_reader.h"

#include <algorithm>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/quiet_standard_error.h"

namespace tonemill::cli {
namespace {

int alphaChannelOf(const OIIO::ImageSpec& layout) {
    if (layout.alpha_channel >= 0 && layout.alpha_channel < layout.nchannels) return layout.alpha_channel;
    if (layout.nchannels == 2) return 1;
    return layout.nchannels >= 4 ? 3 : -1;
}

}  // namespace

ImageReader::ImageReader(std::string path) : path_(std::move(path)) {
    // Files that store straight colour are read as stored; OpenImageIO would
    // otherwise multiply by alpha and the look would grade colour times alpha.
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    const QuietStandardError quiet;
    input_ = OIIO::ImageInput::open(path_, &config);
    if (!input_)
        throw CliError("cannot read image " + quotedText(path_) + ": " + libraryMessage(OIIO::geterror(), quiet));
    layout_ = input_->spec();
    if (layout_.width <= 0 || layout_.height <= 0 || layout_.nchannels <= 0 || layout_.depth != 1)
        throw CliError("image " + quotedText(path_) + " has no pixels a frame can hold (" +
                       std::to_string(layout_.width) + " x " + std::to_string(layout_.height) + ", " +
                       std::to_string(layout_.nchannels) + " channels)");
    if (layout_.width > kMaxFrameWidth || layout_.height > kMaxFrameHeight)
        throw CliError("image " + quotedText(path_) + " claims " + std::to_string(layout_.width) + " x " +
                       std::to_string(layout_.height) + " pixels; frames of up to " + std::to_string(kMaxFrameWidth) +
                       " x " + std::to_string(kMaxFrameHeight) + " are read");
    alpha_ = alphaChannelOf(layout_);
    channelsRead_ = std::max(std::min(layout_.nchannels, 3), alpha_ + 1);
    premultiplied_ = alpha_ >= 0 && layout_.get_int_attribute("oiio:UnassociatedAlpha", 0) == 0;
}

// Tiled files are read by whole rows of tiles, which a band need not line up
// with, and the band's rows copied out.
bool ImageReader::readFileRows(int first, int end) {
    const size_t rowFloats = static_cast<size_t>(layout_.width) * channelsRead_;
    if (layout_.tile_width <= 0)
        return input_->read_scanlines(0, 0, layout_.y + first, layout_.y + end, 0, 0, channelsRead_,
                                      OIIO::TypeDesc::FLOAT, buffer_.data());
    const int tileRows = layout_.tile_height;
    const int from = first / tileRows * tileRows,
              to = std::min(layout_.height, (end + tileRows - 1) / tileRows * tileRows);
    tiles_.resize(rowFloats * (to - from));
    if (!input_->read_tiles(0, 0, layout_.x, layout_.x + layout_.width, layout_.y + from, layout_.y + to, layout_.z,
                            layout_.z + std::max(1, layout_.depth), 0, channelsRead_, OIIO::TypeDesc::FLOAT,
                            tiles_.data()))
        return false;
    std::copy_n(tiles_.begin() + static_cast<std::ptrdiff_t>(rowFloats * (first - from)), rowFloats * (end - first),
                buffer_.begin());
    return true;
}

std::shared_ptr<host::HostImage> ImageReader::readRows(int first, int end) {
    const int width = layout_.width, rows = end - first, channels = channelsRead_;
    buffer_.resize(static_cast<size_t>(width) * rows * channels);
    const QuietStandardError quiet;
    const bool read = readFileRows(first, end);
    // Decoders take missing data (a file cut short) for a warning, and carry
    // on with grey or black rows: any complaint fails the read.
    const std::string complaint = input_->geterror();
    if (!read || !complaint.empty()) {
        const std::string reason = libraryMessage(complaint, quiet);
        throw CliError(
            "cannot read the pixels of " + quotedText(path_) + ": " +
            (reason.empty() ? "the file is cut short or damaged (the image library gave no reason)" : reason));
    }

    const int height = layout_.height;
    auto image = host::HostImage::rgbaFloat({0, height - end, width, height - first});
    const bool grey = channels < 3;
    for (int row = 0; row < rows; ++row) {
        const int y = height - 1 - (first + row);
        const float* in = &buffer_[static_cast<size_t>(row) * width * channels];
        for (int x = 0; x < width; ++x, in += channels) {
            host::RgbaPixel pixel{in[0], grey ? in[0] : in[1], grey ? in[0] : in[2], alpha_ >= 0 ? in[alpha_] : 1.0f};
            if (premultiplied_ && pixel[3] != 0.0f)
                for (int c = 0; c < 3; ++c) pixel[c] /= pixel[3];
            image->setPixel(x, y, pixel);
        }
    }
    return image;
}

}  // namespace tonemill::cli
