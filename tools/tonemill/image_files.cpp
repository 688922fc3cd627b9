#include "tools/tonemill/image_files.h"

#include "tools/tonemill/image_reader.h"
#include "tools/tonemill/image_writer.h"

namespace tonemill::cli {

std::shared_ptr<host::HostImage> readImage(const std::string& path) {
    ImageReader reader(path);
    return reader.readRows(0, reader.height());
}

void writeImage(const host::HostImage& image, const std::string& path) {
    ImageWriter writer(path, image.width(), image.height(), nullptr, {});
    writer.writeRows(image);
    writer.commit();
}

}  // namespace tonemill::cli
