#include "tools/tonemill/image_writer.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <vector>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/image_reader.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/quiet_standard_error.h"

namespace tonemill::cli {
namespace {

using OIIO::TypeDesc;

struct FormatDepths {
    std::string_view extension;
    std::vector<TypeDesc> holds;  // what the format stores, most common first
    TypeDesc fallback;            // for input depths it cannot hold
};

const std::vector<FormatDepths>& formatDepths() {
    static const std::vector<FormatDepths> table{
        {".exr", {TypeDesc::HALF, TypeDesc::FLOAT}, TypeDesc::FLOAT},
        {".tif", {TypeDesc::UINT8, TypeDesc::UINT16, TypeDesc::HALF, TypeDesc::FLOAT}, TypeDesc::FLOAT},
        {".tiff", {TypeDesc::UINT8, TypeDesc::UINT16, TypeDesc::HALF, TypeDesc::FLOAT}, TypeDesc::FLOAT},
        {".hdr", {TypeDesc::FLOAT}, TypeDesc::FLOAT},
        {".dpx", {TypeDesc::UINT8, TypeDesc::UINT16}, TypeDesc::UINT16},
        {".png", {TypeDesc::UINT8, TypeDesc::UINT16}, TypeDesc::UINT8},
        {".jpg", {TypeDesc::UINT8}, TypeDesc::UINT8},
        {".jpeg", {TypeDesc::UINT8}, TypeDesc::UINT8},
        {".tga", {TypeDesc::UINT8}, TypeDesc::UINT8},
        {".bmp", {TypeDesc::UINT8}, TypeDesc::UINT8},
        {".webp", {TypeDesc::UINT8}, TypeDesc::UINT8},
    };
    return table;
}

TypeDesc storageFor(const std::string& path, const OutputSettings& settings, const ImageReader* source) {
    const std::string extension = lowercaseExtension(path);
    const auto format = std::find_if(formatDepths().begin(), formatDepths().end(),
                                     [&](const FormatDepths& entry) { return entry.extension == extension; });
    const bool known = format != formatDepths().end();
    if (!settings.depth.empty()) {
        const TypeDesc wanted(settings.depth);  // OpenImageIO's names, as --depth takes them
        if (known && std::find(format->holds.begin(), format->holds.end(), wanted) == format->holds.end()) {
            std::string holds;
            for (TypeDesc depth : format->holds) holds.append(holds.empty() ? "" : ", ").append(depth.c_str());
            throw UsageError("--depth " + settings.depth + ": " + extension + " files hold " + holds);
        }
        return wanted;
    }
    const TypeDesc input = source ? TypeDesc(source->layout().format) : TypeDesc(TypeDesc::UNKNOWN);
    if (!known) return source ? input : TypeDesc(TypeDesc::UINT8);
    if (source && std::find(format->holds.begin(), format->holds.end(), input) != format->holds.end()) return input;
    return format->fallback;
}

// Metadata that describes how a format stored the pixels, not the picture.
bool describesStorage(const std::string& name) {
    static const std::vector<std::string_view> prefixes{
        "oiio:", "png:", "jpeg:", "tiff:", "openexr:", "dpx:", "targa:",  "bmp:",      "webp:", "heif:", "gif:",
        "rla:",  "sgi:", "ico:",  "iff:",  "pnm:",     "psd:", "cineon:", "jpeg2000:", "fits:", "raw:",  "hdr:"};
    if (name == "compression" || name == "planarconfig") return true;
    return std::any_of(prefixes.begin(), prefixes.end(), [&](std::string_view prefix) {
        return name.size() > prefix.size() &&
               std::equal(prefix.begin(), prefix.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
               });
    });
}

// Whether an ICC profile describes RGB pixels, as the output's are: a CMYK or
// grey profile would tell every reader to take them for something else. The
// colour space of the data sits at bytes 16 to 19 of the profile's header.
bool describesRgb(const OIIO::ParamValue& profile) {
    const auto* bytes = static_cast<const unsigned char*>(profile.data());
    const size_t size = static_cast<size_t>(profile.type().size()) * static_cast<size_t>(profile.nvalues());
    return bytes != nullptr && size >= 20 && std::equal(bytes + 16, bytes + 20, "RGB ");
}

// The compression too when the format stays, as another format may not know its name.
void carryOver(OIIO::ImageSpec& layout, const OIIO::ImageSpec& from, bool sameFormat) {
    layout.x = from.x;
    layout.y = from.y;
    layout.full_x = from.full_x;
    layout.full_y = from.full_y;
    layout.full_width = from.full_width;
    layout.full_height = from.full_height;
    for (const OIIO::ParamValue& attribute : from.extra_attribs)
        if (!describesStorage(attribute.name().string()) &&
            (attribute.name() != "ICCProfile" || describesRgb(attribute)))
            layout.extra_attribs.push_back(attribute);
    const std::string compression = from.get_string_attribute("compression");
    if (sameFormat && !compression.empty()) layout.attribute("compression", compression);
    const int bits = from.get_int_attribute("oiio:BitsPerSample", 0);
    if (layout.format == from.format && bits > 0) layout.attribute("oiio:BitsPerSample", bits);
}

// A format whose writer makes no file, or writes its own file (not through the
// checked OutputFile) without reporting a failed write: a full disk would leave
// a damaged picture and a success. Of the writers that cannot go through the
// OutputFile, these were seen to report a full disk.
void refuseUncheckedFormat(OIIO::ImageOutput& output, const std::string& path) {
    static const std::vector<std::string_view> reportFailedWrites{"rla", "heif"};
    const std::string format = output.format_name();
    if (format == "null" || format == "term")
        throw CliError("cannot write " + quotedText(path) + ": OpenImageIO's " + format + " format writes no file");
    if (output.supports("ioproxy") ||
        std::find(reportFailedWrites.begin(), reportFailedWrites.end(), format) != reportFailedWrites.end())
        return;
    throw CliError("cannot write " + quotedText(path) + ": OpenImageIO's " + format +
                   " writer does not report a full disk or a failed write; choose another format, such as .tif");
}

}  // namespace

// Hands every byte a format library writes to the OutputFile, which records a
// failure instead of returning it (see OutputFile).
class ImageWriter::Proxy final : public OIIO::Filesystem::IOProxy {
 public:
    explicit Proxy(OutputFile& file) : IOProxy(file.temporaryPath(), Write), file_(file) {}
    const char* proxytype() const override { return "tonemill-output"; }
    bool seek(int64_t offset) override {
        m_pos = offset;
        return true;
    }
    size_t write(const void* bytes, size_t size) override {
        file_.writeAt(bytes, size, m_pos);
        m_pos += static_cast<int64_t>(size);
        return size;
    }
    size_t pwrite(const void* bytes, size_t size, int64_t offset) override {
        file_.writeAt(bytes, size, offset);
        return size;
    }
    size_t read(void* bytes, size_t size) override {
        const size_t got = file_.readAt(bytes, size, m_pos);
        m_pos += static_cast<int64_t>(got);
        return got;
    }
    size_t pread(void* bytes, size_t size, int64_t offset) override { return file_.readAt(bytes, size, offset); }
    size_t size() const override { return static_cast<size_t>(file_.size()); }

 private:
    OutputFile& file_;
};

ImageWriter::ImageWriter(const std::string& path, int width, int height, const ImageReader* source,
                         const OutputSettings& settings)
    : path_(path) {
    output_ = OIIO::ImageOutput::create(path);
    if (!output_) throw CliError("cannot write " + quotedText(path) + ": no image format for its extension");
    refuseUncheckedFormat(*output_, path);
    if (!settings.compression.empty())
        checkCompression(settings.compression, output_->format_name(), lowercaseExtension(path));
    const bool alpha = output_->supports("alpha") && (!source || source->hasAlpha());
    layout_ = OIIO::ImageSpec(width, height, alpha ? 4 : 3, storageFor(path, settings, source));
    if (source) carryOver(layout_, source->layout(), source->formatName() == output_->format_name());
    if (alpha) layout_.alpha_channel = 3;
    if (!settings.compression.empty()) layout_.attribute("compression", settings.compression);
    // Only OpenEXR stores premultiplied colour; every other format gets the
    // straight colour as it is and must not divide it again.
    multiplyByAlpha_ = alpha && std::string(output_->format_name()) == "openexr";
    keepColourWithoutAlpha_ = source && source->premultiplied();
    if (alpha && !multiplyByAlpha_) layout_.attribute("oiio:UnassociatedAlpha", 1);

    file_ = std::make_unique<OutputFile>(path);
    if (output_->supports("ioproxy")) {
        proxy_ = std::make_unique<Proxy>(*file_);
        output_->set_ioproxy(proxy_.get());
    }
    const QuietStandardError quiet;
    if (!output_->open(file_->temporaryPath(), layout_)) fail(libraryMessage(output_->geterror(), quiet));
    // Writers store depths they cannot hold as one they can, without a word.
    if (!settings.depth.empty() && output_->spec().format != layout_.format)
        throw UsageError("--depth " + settings.depth + ": " + lowercaseExtension(path) + " files cannot hold it (" +
                         output_->spec().format.c_str() + " would be written)");
}

ImageWriter::~ImageWriter() {
    // Closed before the proxy and the file it writes through go.
    const QuietStandardError quiet;
    if (output_) output_->close();
    output_.reset();
}

void ImageWriter::fail(std::string message) const {
    // The temporary's name means nothing to the user: name the target instead.
    message = replacedAll(std::move(message), file_->temporaryPath(), path_);
    message = replacedAll(std::move(message), std::filesystem::path(file_->temporaryPath()).filename().string(),
                          std::filesystem::path(path_).filename().string());
    throw CliError("cannot write " + quotedText(path_) + (message.empty() ? std::string() : ": " + message));
}

void ImageWriter::writeRows(const host::HostImage& band) {
    const OfxRectI bounds = band.bounds();
    const int channels = layout_.nchannels, width = layout_.width;
    const int first = layout_.height - bounds.y2, end = layout_.height - bounds.y1;
    buffer_.resize(static_cast<size_t>(width) * (end - first) * channels);
    float* out = buffer_.data();
    for (int y = bounds.y2 - 1; y >= bounds.y1; --y) {
        for (int x = 0; x < width; ++x, out += channels) {
            host::RgbaPixel pixel = band.pixel(bounds.x1 + x, y);
            if (multiplyByAlpha_ && !(keepColourWithoutAlpha_ && pixel[3] == 0.0f))
                for (int c = 0; c < 3; ++c) pixel[c] *= pixel[3];
            std::copy_n(pixel.begin(), channels, out);
        }
    }
    const QuietStandardError quiet;
    if (!output_->write_scanlines(layout_.y + first, layout_.y + end, 0, TypeDesc::FLOAT, buffer_.data()))
        fail(libraryMessage(output_->geterror(), quiet));
    // A full disk shows here already; the rest of the frame need not be rendered.
    if (file_->failed()) file_->commit();
}

void ImageWriter::commit() {
    const QuietStandardError quiet;
    const bool closed = output_->close();
    if (file_->failed() || closed) {
        file_->commit();
        return;
    }
    fail(libraryMessage(output_->geterror(), quiet));
}

}  // namespace tonemill::cli
