#include "formats/clf_writer.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "formats/markup_text.h"

namespace ChromvaleBeta2 {
namespace {

// Text gathered and handed on in pieces of about 64 KB.
class Output {
 public:
    explicit Output(const std::function<void(std::string_view)>& write) : write_(write) {}
    ~Output() { flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Output& operator<<(std::string_view text) {
        buffer_ += text;
        if (buffer_.size() >= 65536) flush();
        return *this;
    }
    Output& operator<<(char c) { return *this << std::string_view(&c, 1); }

 private:
    void flush() {
        if (!buffer_.empty()) write_(buffer_);
        buffer_.clear();
    }

    const std::function<void(std::string_view)>& write_;
    std::string buffer_;
};

// Shortest text that reads back as the same value; non-finite values, which
// CLF cannot hold, become 0 or the largest finite value of their sign.
std::string number(double value, int digits) {
    if (std::isnan(value)) value = 0;
    if (std::isinf(value))
        value =
            std::copysign(digits > 9 ? std::numeric_limits<double>::max() : std::numeric_limits<float>::max(), value);
    char text[40];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return text;
}

std::string parameter(double value) {
    return number(value, 17);
}

std::string entry(float value) {
    return number(value, 9);
}

constexpr std::string_view kDepths = R"( inBitDepth="32f" outBitDepth="32f")";

void writeRow(Output& out, const float* rgb) {
    out << "      " << entry(rgb[0]) << ' ' << entry(rgb[1]) << ' ' << entry(rgb[2]) << '\n';
}

void writeBody(Output& out, const ClfMatrix& matrix) {
    out << "    <Array dim=\"3 4\">\n";
    for (int row = 0; row < 3; ++row) {
        out << "      ";
        for (int column = 0; column < 3; ++column) out << parameter(matrix.m[row * 3 + column]) << ' ';
        out << parameter(matrix.offset[row]) << '\n';
    }
    out << "    </Array>\n";
}

void writeBody(Output& out, const ClfRange& range) {
    out << "    <minInValue>" << parameter(range.minIn) << "</minInValue>\n"
        << "    <maxInValue>" << parameter(range.maxIn) << "</maxInValue>\n"
        << "    <minOutValue>" << parameter(range.minOut) << "</minOutValue>\n"
        << "    <maxOutValue>" << parameter(range.maxOut) << "</maxOutValue>\n";
}

void writeBody(Output& out, const ClfExponent& exponent) {
    constexpr std::string_view channels[] = {"R", "G", "B"};
    for (int c = 0; c < 3; ++c)
        out << "    <ExponentParams channel=\"" << channels[c] << "\" exponent=\"" << parameter(exponent.exponent[c])
            << "\"/>\n";
}

void writeBody(Output& out, const ClfLut1D& lut) {
    out << "    <Array dim=\"" << std::to_string(lut.size) << " 3\">\n";
    for (uint32_t i = 0; i < lut.size; ++i) writeRow(out, &lut.rgb[3 * static_cast<size_t>(i)]);
    out << "    </Array>\n";
}

// CLF lists the lattice with blue varying fastest.
void writeBody(Output& out, const ClfLut3D& lut) {
    const size_t n = lut.size;
    const std::string dim = std::to_string(n);
    out << "    <Array dim=\"" << dim << ' ' << dim << ' ' << dim << " 3\">\n";
    for (size_t r = 0; r < n; ++r)
        for (size_t g = 0; g < n; ++g)
            for (size_t b = 0; b < n; ++b) writeRow(out, &lut.rgb[3 * ((b * n + g) * n + r)]);
    out << "    </Array>\n";
}

// Each operator's element and the attributes it takes besides the bit depths.
struct Tag {
    std::string_view element, attributes;
};
Tag tagOf(const ClfMatrix&) {
    return {"Matrix", ""};
}
Tag tagOf(const ClfRange&) {
    return {"Range", R"( style="Clamp")"};
}
Tag tagOf(const ClfExponent&) {
    return {"Exponent", R"( style="basicFwd")"};
}
Tag tagOf(const ClfLut1D&) {
    return {"LUT1D", R"( interpolation="linear")"};
}
Tag tagOf(const ClfLut3D&) {
    return {"LUT3D", R"( interpolation="tetrahedral")"};
}

void writeOperator(Output& out, const ClfOperator& op, size_t index) {
    std::visit(
        [&](const auto& body) {
            const Tag tag = tagOf(body);
            out << "  <" << tag.element << " id=\"step" << std::to_string(index + 1) << '"' << kDepths << tag.attributes
                << ">\n";
            if (!op.description.empty())
                out << "    <Description>" << escapedMarkup(op.description) << "</Description>\n";
            writeBody(out, body);
            out << "  </" << tag.element << ">\n";
        },
        op.op);
}

}  // namespace

void writeClfText(const ClfProcessList& list, const std::function<void(std::string_view)>& write) {
    Output out(write);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<ProcessList compCLFversion=\"3.0\" id=\"" << escapedMarkup(list.id) << "\" name=\""
        << escapedMarkup(list.name) << "\">\n";
    for (const std::string& line : list.descriptions)
        out << "  <Description>" << escapedMarkup(line) << "</Description>\n";
    if (!list.inputDescriptor.empty())
        out << "  <InputDescriptor>" << escapedMarkup(list.inputDescriptor) << "</InputDescriptor>\n";
    if (!list.outputDescriptor.empty())
        out << "  <OutputDescriptor>" << escapedMarkup(list.outputDescriptor) << "</OutputDescriptor>\n";
    for (size_t i = 0; i < list.operators.size(); ++i) writeOperator(out, list.operators[i], i);
    out << "</ProcessList>\n";
}

}  // namespace ChromvaleBeta2
