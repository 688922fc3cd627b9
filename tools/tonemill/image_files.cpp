#include "tools/tonemill/image_files.h"

#include <unistd.h>

#include <OpenImageIO/imageio.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <limits>
#include <vector>

#include "tools/tonemill/cli_error.h"

namespace tonemill::cli {
namespace {

namespace OIIO = OIIO_NAMESPACE;

std::string extensionOf(const std::string &path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return extension;
}

OIIO::TypeDesc storageFor(const std::string &extension) {
  if (extension == ".exr" || extension == ".tif" || extension == ".tiff" || extension == ".hdr")
    return OIIO::TypeDesc::FLOAT;
  if (extension == ".dpx") return OIIO::TypeDesc::UINT16;
  return OIIO::TypeDesc::UINT8;
}

// Removes the temporary file unless the write got as far as the rename.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string &target) {
    const std::filesystem::path path(target);
    // Appended piece by piece: GCC 12 misreads "." + string at -O3 (-Wrestrict).
    std::string name(1, '.');
    name.append(path.stem().string()).append(".tonemill-").append(std::to_string(::getpid()));
    name.append(path.extension().string());
    path_ = (path.parent_path() / name).string();
  }
  ~TemporaryFile() {
    if (!path_.empty()) std::filesystem::remove(path_, ignored_);
  }
  const std::string &path() const { return path_; }
  void renameTo(const std::string &target) {
    std::error_code error;
    std::filesystem::rename(path_, target, error);
    if (error) throw CliError("cannot move the finished image into place at '" + target + "': " + error.message());
    path_.clear();
  }

 private:
  std::string path_;
  std::error_code ignored_;
};

}  // namespace

std::shared_ptr<host::HostImage> readImage(const std::string &path) {
  auto input = OIIO::ImageInput::open(path);
  if (!input) throw CliError("cannot read image '" + path + "': " + OIIO::geterror());
  const OIIO::ImageSpec &layout = input->spec();
  const int channels = layout.nchannels;
  if (layout.width <= 0 || layout.height <= 0 || channels <= 0)
    throw CliError("image '" + path + "' has no pixels");
  if (static_cast<long long>(layout.width) * layout.height > std::numeric_limits<int>::max() / 16)
    throw CliError("image '" + path + "' is too large");
  std::vector<float> pixels(static_cast<size_t>(layout.width) * layout.height * channels);
  if (!input->read_image(0, 0, 0, channels, OIIO::TypeDesc::FLOAT, pixels.data()))
    throw CliError("cannot read the pixels of '" + path + "': " + input->geterror());

  auto image = host::HostImage::rgbaFloat({0, 0, layout.width, layout.height});
  const int alpha = layout.alpha_channel >= 0 ? layout.alpha_channel : (channels == 2 || channels >= 4 ? channels - 1 : -1);
  const bool grey = channels < 3;
  for (int row = 0; row < layout.height; ++row) {
    const int y = layout.height - 1 - row;  // files store the top row first
    for (int x = 0; x < layout.width; ++x) {
      const float *in = &pixels[(static_cast<size_t>(row) * layout.width + x) * channels];
      const float r = in[0], g = grey ? in[0] : in[1], b = grey ? in[0] : in[2];
      image->setPixel(x, y, {r, g, b, alpha >= 0 ? in[alpha] : 1.0f});
    }
  }
  return image;
}

void writeImage(const host::HostImage &image, const std::string &path) {
  auto output = OIIO::ImageOutput::create(path);
  if (!output) throw CliError("cannot write '" + path + "': no image format for its extension");
  const int channels = output->supports("alpha") ? 4 : 3;
  OIIO::ImageSpec layout(image.width(), image.height(), channels, storageFor(extensionOf(path)));
  if (channels == 4) layout.alpha_channel = 3;

  std::vector<float> pixels(static_cast<size_t>(image.width()) * image.height() * channels);
  const OfxRectI bounds = image.bounds();
  for (int row = 0; row < image.height(); ++row) {
    for (int x = 0; x < image.width(); ++x) {
      const host::RgbaPixel pixel = image.pixel(bounds.x1 + x, bounds.y2 - 1 - row);
      std::copy_n(pixel.begin(), channels, &pixels[(static_cast<size_t>(row) * image.width() + x) * channels]);
    }
  }

  TemporaryFile temporary(path);
  if (!output->open(temporary.path(), layout))
    throw CliError("cannot write '" + path + "': " + output->geterror());
  const bool written = output->write_image(OIIO::TypeDesc::FLOAT, pixels.data());
  const bool closed = output->close();
  if (!written || !closed) throw CliError("cannot write '" + path + "': " + output->geterror());
  temporary.renameTo(path);
}

}  // namespace tonemill::cli
