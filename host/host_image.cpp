#include "host/host_image.h"

#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "ofxImageEffect.h"

namespace tonemill::host {

int pixelBytesFor(const std::string& depth, const std::string& components) {
    int channels = 0;
    if (components == kOfxImageComponentRGBA)
        channels = 4;
    else if (components == kOfxImageComponentRGB)
        channels = 3;
    else if (components == kOfxImageComponentAlpha)
        channels = 1;
    int channelBytes = 0;
    if (depth == kOfxBitDepthByte)
        channelBytes = 1;
    else if (depth == kOfxBitDepthShort || depth == kOfxBitDepthHalf)
        channelBytes = 2;
    else if (depth == kOfxBitDepthFloat)
        channelBytes = 4;
    return channels * channelBytes;
}

HostImage::HostImage(OfxRectI bounds, ImageFormat format)
    : bounds_(bounds), regionOfDefinition_(bounds), format_(std::move(format)) {
    if (bounds.x2 < bounds.x1 || bounds.y2 < bounds.y1) throw std::invalid_argument("image bounds are inverted");
    if (format_.rowPaddingBytes < 0) throw std::invalid_argument("image row padding is negative");
    pixelBytes_ = pixelBytesFor(format_.depth, format_.components);
    if (pixelBytes_ == 0)
        throw std::invalid_argument("unknown image depth or components: " + format_.depth + ", " + format_.components);
    const long long rowSize = static_cast<long long>(width()) * pixelBytes_ + format_.rowPaddingBytes;
    if (rowSize > std::numeric_limits<int>::max()) throw std::length_error("image rows are too wide for int row bytes");
    rowBytes_ = static_cast<int>(rowSize) * (format_.rowOrder == RowOrder::TopDown ? -1 : 1);
    size_ = static_cast<size_t>(rowSize) * static_cast<size_t>(height());
    // calloc rather than allocating and clearing: a large image comes from pages
    // the system hands out cleared, touched first by the plug-in's own render
    // threads instead of this one, as a host's buffer pool would be.
    storage_.reset(static_cast<std::byte*>(std::calloc(size_ == 0 ? 1 : size_, 1)));
    if (!storage_) throw std::bad_alloc();
}

std::shared_ptr<HostImage> HostImage::rgbaFloat(OfxRectI bounds, RowOrder order) {
    ImageFormat format;
    format.rowOrder = order;
    return std::make_shared<HostImage>(bounds, format);
}

std::ptrdiff_t HostImage::offsetOf(int x, int y) const {
    const std::ptrdiff_t firstRow = rowBytes_ < 0 ? static_cast<std::ptrdiff_t>(height() - 1) * -rowBytes_ : 0;
    return firstRow + static_cast<std::ptrdiff_t>(y - bounds_.y1) * rowBytes_ +
           static_cast<std::ptrdiff_t>(x - bounds_.x1) * pixelBytes_;
}

void* HostImage::data() {
    return height() == 0 ? storage_.get() : storage_.get() + offsetOf(bounds_.x1, bounds_.y1);
}
const void* HostImage::data() const {
    return const_cast<HostImage*>(this)->data();
}

void* HostImage::pixelAddress(int x, int y) {
    if (x < bounds_.x1 || x >= bounds_.x2 || y < bounds_.y1 || y >= bounds_.y2) return nullptr;
    return storage_.get() + offsetOf(x, y);
}
const void* HostImage::pixelAddress(int x, int y) const {
    return const_cast<HostImage*>(this)->pixelAddress(x, y);
}

void HostImage::requireRgbaFloat() const {
    if (format_.depth != kOfxBitDepthFloat || format_.components != kOfxImageComponentRGBA)
        throw std::logic_error("pixel access needs a float RGBA image");
}

RgbaPixel HostImage::pixel(int x, int y) const {
    requireRgbaFloat();
    const void* address = pixelAddress(x, y);
    if (!address) throw std::out_of_range("pixel outside the image bounds");
    RgbaPixel value;
    std::memcpy(value.data(), address, sizeof value);
    return value;
}

void HostImage::setPixel(int x, int y, RgbaPixel value) {
    requireRgbaFloat();
    void* address = pixelAddress(x, y);
    if (!address) throw std::out_of_range("pixel outside the image bounds");
    std::memcpy(address, value.data(), sizeof value);
}

std::vector<std::byte> HostImage::packedBottomUp() const {
    std::vector<std::byte> rows(size_);
    const size_t rowSize = static_cast<size_t>(rowBytes_ < 0 ? -rowBytes_ : rowBytes_);
    for (int y = bounds_.y1; y < bounds_.y2; ++y)
        std::memcpy(rows.data() + static_cast<size_t>(y - bounds_.y1) * rowSize,
                    storage_.get() + offsetOf(bounds_.x1, y), rowSize);
    return rows;
}

void HostImage::unpackBottomUp(const std::byte* rows) {
    const size_t rowSize = static_cast<size_t>(rowBytes_ < 0 ? -rowBytes_ : rowBytes_);
    for (int y = bounds_.y1; y < bounds_.y2; ++y)
        std::memcpy(storage_.get() + offsetOf(bounds_.x1, y), rows + static_cast<size_t>(y - bounds_.y1) * rowSize,
                    rowSize);
}

}  // namespace tonemill::host
