#include "tools/tonemill/image_reader.h"

#include <algorithm>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/quiet_standard_error.h"

namespace tonemill::cli {
namespace {

int alphaChannelOf(const OIIO::ImageSpec &spec) {
  if (spec.alpha_channel >= 0 && spec.alpha_channel < spec.nchannels) return spec.alpha_channel;
  if (spec.nchannels == 2) return 1;
  return spec.nchannels >= 4 ? 3 : -1;
}

}  // namespace

ImageReader::ImageReader(std::string path) : path_(std::move(path)) {
  // Files that store straight colour are read as stored; OpenImageIO would
  // otherwise multiply by alpha and the look would grade colour times alpha.
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  const QuietStandardError quiet;
  input_ = OIIO::ImageInput::open(path_, &config);
  if (!input_) throw CliError("cannot read image " + quotedText(path_) + ": " + libraryMessage(OIIO::geterror(), quiet));
  spec_ = input_->spec();
  if (spec_.width <= 0 || spec_.height <= 0 || spec_.nchannels <= 0 || spec_.depth != 1)
    throw CliError("image " + quotedText(path_) + " has no pixels a frame can hold (" + std::to_string(spec_.width) + " x " +
                   std::to_string(spec_.height) + ", " + std::to_string(spec_.nchannels) + " channels)");
  if (spec_.width > kMaxFrameWidth || spec_.height > kMaxFrameHeight)
    throw CliError("image " + quotedText(path_) + " claims " + std::to_string(spec_.width) + " x " +
                   std::to_string(spec_.height) + " pixels; frames of up to " + std::to_string(kMaxFrameWidth) +
                   " x " + std::to_string(kMaxFrameHeight) + " are read");
  alpha_ = alphaChannelOf(spec_);
  channelsRead_ = std::max(std::min(spec_.nchannels, 3), alpha_ + 1);
  premultiplied_ = alpha_ >= 0 && spec_.get_int_attribute("oiio:UnassociatedAlpha", 0) == 0;
}

// Tiled files are read by whole rows of tiles, which a band need not line up
// with, and the band's rows copied out.
bool ImageReader::readFileRows(int first, int end) {
  const size_t rowFloats = static_cast<size_t>(spec_.width) * channelsRead_;
  if (spec_.tile_width <= 0)
    return input_->read_scanlines(0, 0, spec_.y + first, spec_.y + end, 0, 0, channelsRead_, OIIO::TypeDesc::FLOAT,
                                  buffer_.data());
  const int tileRows = spec_.tile_height;
  const int from = first / tileRows * tileRows, to = std::min(spec_.height, (end + tileRows - 1) / tileRows * tileRows);
  tiles_.resize(rowFloats * (to - from));
  if (!input_->read_tiles(0, 0, spec_.x, spec_.x + spec_.width, spec_.y + from, spec_.y + to, spec_.z,
                          spec_.z + std::max(1, spec_.depth), 0, channelsRead_, OIIO::TypeDesc::FLOAT, tiles_.data()))
    return false;
  std::copy_n(tiles_.begin() + static_cast<std::ptrdiff_t>(rowFloats * (first - from)), rowFloats * (end - first),
              buffer_.begin());
  return true;
}

std::shared_ptr<host::HostImage> ImageReader::readRows(int first, int end) {
  const int width = spec_.width, rows = end - first, channels = channelsRead_;
  buffer_.resize(static_cast<size_t>(width) * rows * channels);
  const QuietStandardError quiet;
  if (!readFileRows(first, end))
    throw CliError("cannot read the pixels of " + quotedText(path_) + ": " + libraryMessage(input_->geterror(), quiet));

  const int height = spec_.height;
  auto image = host::HostImage::rgbaFloat({0, height - end, width, height - first});
  const bool grey = channels < 3;
  for (int row = 0; row < rows; ++row) {
    const int y = height - 1 - (first + row);
    const float *in = &buffer_[static_cast<size_t>(row) * width * channels];
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
