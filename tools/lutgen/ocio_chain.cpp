#include "tools/lutgen/ocio_chain.h"

#include <OpenColorIO/OpenColorIO.h>

#include <stdexcept>

#include "tools/lutgen/colour_space.h"

namespace OCIO = OCIO_NAMESPACE;

namespace tonemill::lutgen {

namespace {

constexpr const char* kDisplayP3 = "DISPLAY - CIE-XYZ-D65_to_DisplayP3";

OCIO::TransformDirection directionOf(bool inverse) {
    return inverse ? OCIO::TRANSFORM_DIR_INVERSE : OCIO::TRANSFORM_DIR_FORWARD;
}

OCIO::TransformRcPtr displayP3(bool invert) {
    static const Chromaticity d65{0.3127, 0.3290};
    const Gamut p3{{0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}, d65};
    const Mat3 m = inverse(rgbToXyz(p3));
    const double m44[16] = {m[0], m[1], m[2], 0, m[3], m[4], m[5], 0, m[6], m[7], m[8], 0, 0, 0, 0, 1};
    auto matrix = OCIO::MatrixTransform::Create();
    matrix->setMatrix(m44);
    auto curve = OCIO::ExponentWithLinearTransform::Create();
    const double gamma[4] = {2.4, 2.4, 2.4, 1.0};
    const double offset[4] = {0.055, 0.055, 0.055, 0.0};
    curve->setGamma(gamma);
    curve->setOffset(offset);
    curve->setDirection(OCIO::TRANSFORM_DIR_INVERSE);  // linear to code
    auto group = OCIO::GroupTransform::Create();
    group->appendTransform(matrix);
    group->appendTransform(curve);
    group->setDirection(directionOf(invert));
    return group;
}

OCIO::TransformRcPtr stepTransform(const OcioStep& step) {
    if (step.builtin == kDisplayP3) return displayP3(step.inverse);
    auto builtin = OCIO::BuiltinTransform::Create();
    builtin->setStyle(step.builtin.c_str());
    builtin->setDirection(directionOf(step.inverse));
    return builtin;
}

}  // namespace

OcioStep acescctToAces(bool inverse) {
    return {"ACEScct_to_ACES2065-1", inverse};
}

LatticeTransform ocioChain(const std::vector<OcioStep>& steps) {
    OCIO::ConstCPUProcessorRcPtr cpu;
    try {
        auto group = OCIO::GroupTransform::Create();
        for (const OcioStep& step : steps) group->appendTransform(stepTransform(step));
        auto config = OCIO::Config::CreateRaw();
        auto processor = config->getProcessor(group);
        cpu =
            processor->getOptimizedCPUProcessor(OCIO::BIT_DEPTH_F32, OCIO::BIT_DEPTH_F32, OCIO::OPTIMIZATION_LOSSLESS);
    } catch (const OCIO::Exception& e) {
        throw std::runtime_error(std::string("OpenColorIO: ") + e.what());
    }
    return [cpu](std::vector<double>& rgb) {
        std::vector<float> pixels(rgb.begin(), rgb.end());
        const long count = static_cast<long>(pixels.size() / 3);
        OCIO::PackedImageDesc image(pixels.data(), count, 1, 3);
        cpu->apply(image);
        rgb.assign(pixels.begin(), pixels.end());
    };
}

}  // namespace tonemill::lutgen
