#pragma once

#include <array>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ofxCore.h"

namespace tonemill::host {

// How an image's rows are laid out in memory. Bottom-up rows have positive row
// bytes; top-down rows (row y1 last in memory) have negative row bytes, as some
// hosts hand out.
enum class RowOrder { BottomUp, TopDown };

// Pixel layout and the metadata an image carries besides its pixels.
struct ImageFormat {
    std::string depth = "OfxBitDepthFloat";
    std::string components = "OfxImageComponentRGBA";
    std::string premultiplication = "OfxImageOpaque";
    std::string field = "OfxFieldNone";
    double pixelAspectRatio = 1.0;
    RowOrder rowOrder = RowOrder::BottomUp;
    int rowPaddingBytes = 0;  // extra bytes after every row
};

using RgbaPixel = std::array<float, 4>;

// CPU pixels owned by the host. data() is the address of pixel (bounds.x1, bounds.y1)
// and rowBytes() steps from one row to the next, so with top-down rows it points at
// the last row in memory.
class HostImage {
 public:
    explicit HostImage(OfxRectI bounds, ImageFormat format = {});

    static std::shared_ptr<HostImage> rgbaFloat(OfxRectI bounds, RowOrder order = RowOrder::BottomUp);

    const OfxRectI& bounds() const { return bounds_; }
    const ImageFormat& format() const { return format_; }
    ImageFormat& format() { return format_; }
    OfxRectI regionOfDefinition() const { return regionOfDefinition_; }
    void setRegionOfDefinition(OfxRectI rod) { regionOfDefinition_ = rod; }
    const std::string& uniqueIdentifier() const { return uniqueIdentifier_; }
    void setUniqueIdentifier(std::string id) { uniqueIdentifier_ = std::move(id); }

    int width() const { return bounds_.x2 - bounds_.x1; }
    int height() const { return bounds_.y2 - bounds_.y1; }
    int pixelBytes() const { return pixelBytes_; }
    int rowBytes() const { return rowBytes_; }
    size_t byteSize() const { return size_; }
    void* data();
    const void* data() const;

    // Address of pixel (x, y), or null outside the bounds.
    void* pixelAddress(int x, int y);
    const void* pixelAddress(int x, int y) const;

    // Float RGBA access; throws std::logic_error for images of another layout.
    RgbaPixel pixel(int x, int y) const;
    void setPixel(int x, int y, RgbaPixel value);
    template <class Fn>
    void fill(Fn&& colourAt) {
        for (int y = bounds_.y1; y < bounds_.y2; ++y)
            for (int x = bounds_.x1; x < bounds_.x2; ++x) setPixel(x, y, colourAt(x, y));
    }

    // Raw storage, lowest address first.
    std::byte* storage() { return storage_.get(); }
    const std::byte* storage() const { return storage_.get(); }

    // The rows bottom-up (row y1 first), |rowBytes()| bytes each, as device copies hold them.
    std::vector<std::byte> packedBottomUp() const;
    void unpackBottomUp(const std::byte* rows);

 private:
    void requireRgbaFloat() const;
    std::ptrdiff_t offsetOf(int x, int y) const;

    OfxRectI bounds_;
    OfxRectI regionOfDefinition_;
    ImageFormat format_;
    std::string uniqueIdentifier_;
    int pixelBytes_ = 0;
    int rowBytes_ = 0;
    size_t size_ = 0;
    struct FreeStorage {
        void operator()(std::byte* bytes) const { std::free(bytes); }
    };
    std::unique_ptr<std::byte, FreeStorage> storage_;
};

// Bytes per pixel for an OpenFX depth and components text; 0 when either is unknown.
int pixelBytesFor(const std::string& depth, const std::string& components);

}  // namespace tonemill::host
