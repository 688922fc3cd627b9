#include "tools/tonemill/image_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/quiet_standard_error.h"

namespace tonemill::cli {
namespace {

// A channel's own name, without the layer before it ("diffuse.R" is "R").
std::string_view ownName(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string_view(name) : std::string_view(name).substr(dot + 1);
}

int channelNamed(const OIIO::ImageSpec& layout, std::string_view wanted) {
    for (int c = 0; c < layout.nchannels; ++c)
        if (ownName(layout.channel_name(c)) == wanted) return c;
    return -1;
}

// Colour by channel name, so that depth or other data is never taken for
// colour: R, G and B (one missing is 0), else Y as grey, else the first
// channels that are not alpha, in order, for files that name none of these.
std::array<int, 3> colourChannelsOf(const OIIO::ImageSpec& layout, int alpha) {
    const std::array<int, 3> named{channelNamed(layout, "R"), channelNamed(layout, "G"), channelNamed(layout, "B")};
    if (named != std::array<int, 3>{-1, -1, -1}) return named;
    if (const int grey = channelNamed(layout, "Y"); grey >= 0) return {grey, grey, grey};
    std::vector<int> unnamed;
    for (int c = 0; c < layout.nchannels; ++c)
        if (c != alpha) unnamed.push_back(c);
    if (unnamed.size() >= 3) return {unnamed[0], unnamed[1], unnamed[2]};
    if (!unnamed.empty()) return {unnamed[0], unnamed[0], unnamed[0]};
    return {-1, -1, -1};
}

}  // namespace

ImageReader::ImageReader(std::string path) : path_(std::move(path)) {
    // Files that store straight colour are read as stored; OpenImageIO would
    // otherwise multiply by alpha and the look would grade colour times alpha.
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    // Format readers probe a file and seek in it; a pipe would be consumed by
    // the first probe, and the image would be reported as of no known format.
    struct stat status {};
    if (::stat(path_.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
        throw CliError("cannot read image " + quotedText(path_) +
                       ": it is not a regular file (a pipe or a device); images are read from files");
    const QuietStandardError quiet;
    input_ = OIIO::ImageInput::open(path_, &config);
    if (!input_)
        throw CliError("cannot read image " + quotedText(path_) + ": " + libraryMessage(OIIO::geterror(), quiet));
    layout_ = input_->spec();
    refuseSeveralParts();
    if (layout_.deep)
        throw CliError("image " + quotedText(path_) +
                       " holds deep pixels (several samples each); flatten it first, as oiiotool --flatten does");
    if (layout_.width <= 0 || layout_.height <= 0 || layout_.nchannels <= 0 || layout_.depth != 1)
        throw CliError("image " + quotedText(path_) + " has no pixels a frame can hold (" +
                       std::to_string(layout_.width) + " x " + std::to_string(layout_.height) + ", " +
                       std::to_string(layout_.nchannels) + " channels)");
    if (layout_.width > kMaxFrameWidth || layout_.height > kMaxFrameHeight)
        throw CliError("image " + quotedText(path_) + " claims " + std::to_string(layout_.width) + " x " +
                       std::to_string(layout_.height) + " pixels; frames of up to " + std::to_string(kMaxFrameWidth) +
                       " x " + std::to_string(kMaxFrameHeight) + " are read");
    // Alpha only where the file says which channel holds it: a fourth or a
    // second channel may be depth or colour.
    alpha_ = layout_.alpha_channel >= 0 && layout_.alpha_channel < layout_.nchannels ? layout_.alpha_channel : -1;
    colour_ = colourChannelsOf(layout_, alpha_);
    channelsRead_ = std::max(alpha_, *std::max_element(colour_.begin(), colour_.end())) + 1;
    premultiplied_ = alpha_ >= 0 && layout_.get_int_attribute("oiio:UnassociatedAlpha", 0) == 0;
}

// Only the first part of a multi-part file (an EXR with several parts, a
// multi-page TIFF) would be graded and written, and the others lost without a
// word: such files are refused, naming their parts.
void ImageReader::refuseSeveralParts() {
    // Readers name the count where a file holds more than one; seeking past
    // the last part instead leaves some readers unable to read the first.
    const int count = layout_.get_int_attribute("oiio:subimages", 1);
    if (count <= 1) return;
    std::string named;
    for (int part = 0; part < std::min(count, 8) && input_->seek_subimage(part, 0); ++part) {
        const std::string name = input_->spec().get_string_attribute("name");
        named += part == 0 ? "" : ", ";
        named += name.empty() ? std::string("#").append(std::to_string(part)) : quotedText(name);
    }
    if (count > 8) named += ", ...";
    throw CliError("image " + quotedText(path_) + " holds " + std::to_string(count) + " parts (" + named +
                   "); only single-part images are rendered: take one out first, as oiiotool --subimage does");
}

const float* ImageReader::readFileRows(int first, int end) {
    if (layout_.tile_width > 0) return readTileRows(first, end);
    buffer_.resize(static_cast<size_t>(layout_.width) * (end - first) * channelsRead_);
    return input_->read_scanlines(0, 0, layout_.y + first, layout_.y + end, 0, 0, channelsRead_, OIIO::TypeDesc::FLOAT,
                                  buffer_.data())
               ? buffer_.data()
               : nullptr;
}

// Tiles are decoded by whole rows of tiles, which a band need not line up with.
// Bands come down the frame, so the rows of tiles above a band are let go and
// those it shares with the band before it are kept: every tile is decoded once,
// and no more than a band and a row of tiles on either side is held.
const float* ImageReader::readTileRows(int first, int end) {
    const size_t rowFloats = static_cast<size_t>(layout_.width) * channelsRead_;
    const int tileRows = layout_.tile_height;
    const int from = first / tileRows * tileRows,
              to = std::min(layout_.height, (end + tileRows - 1) / tileRows * tileRows);
    if (from < tilesFrom_ || from >= tilesTo_) {
        tiles_.clear();
        tilesFrom_ = tilesTo_ = from;
    }
    tiles_.erase(tiles_.begin(), tiles_.begin() + static_cast<std::ptrdiff_t>(rowFloats * (from - tilesFrom_)));
    tilesFrom_ = from;
    if (to > tilesTo_) {
        tiles_.resize(rowFloats * (to - from));
        const bool read =
            input_->read_tiles(0, 0, layout_.x, layout_.x + layout_.width, layout_.y + tilesTo_, layout_.y + to,
                               layout_.z, layout_.z + std::max(1, layout_.depth), 0, channelsRead_,
                               OIIO::TypeDesc::FLOAT, tiles_.data() + rowFloats * (tilesTo_ - from));
        // A failed read leaves nothing kept, so that a retry decodes again.
        tilesTo_ = read ? to : tilesFrom_;
        if (!read) return nullptr;
    }
    return tiles_.data() + rowFloats * (first - from);
}

std::shared_ptr<host::HostImage> ImageReader::readRows(int first, int end) {
    const int width = layout_.width, rows = end - first, channels = channelsRead_;
    const QuietStandardError quiet;
    const float* const read = readFileRows(first, end);
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
    const auto channel = [](const float* in, int index, float otherwise) { return index >= 0 ? in[index] : otherwise; };
    for (int row = 0; row < rows; ++row) {
        const int y = height - 1 - (first + row);
        const float* in = read + static_cast<size_t>(row) * width * channels;
        for (int x = 0; x < width; ++x, in += channels) {
            host::RgbaPixel pixel{channel(in, colour_[0], 0.0f), channel(in, colour_[1], 0.0f),
                                  channel(in, colour_[2], 0.0f), channel(in, alpha_, 1.0f)};
            if (premultiplied_ && pixel[3] != 0.0f)
                for (int c = 0; c < 3; ++c) pixel[c] /= pixel[3];
            image->setPixel(x, y, pixel);
        }
    }
    return image;
}

}  // namespace tonemill::cli
