// An exported LUT as another application uses it: OpenColorIO reads the file
// and, interpolating tetrahedrally, reproduces the plug-in's own render.

#include <OpenColorIO/OpenColorIO.h>

#include "export_fixture.h"

namespace export_integration {
namespace {

namespace OCIO = OCIO_NAMESPACE;

TEST_F(ExportTest, OpenColorIOReproducesTheRenderFromTheExportedLut) {
    bundle.writeArchive(exportTables());
    Instance& effect = create({{"idtProfile", 2},
                               {"contrastOptions", 1},
                               {"contrastIntensity", 0.6},
                               {"colorPaletteBOptions", 1},
                               {"colorPaletteBIntensity", 0.7},
                               {"lift", 0.03},
                               {"gamma", 1.15},
                               {"gainB", 0.92},
                               {"saturation", -0.25},
                               {"temperature", 200.0},
                               {"globalBlendEnabled", true},
                               {"globalBlend", 0.85}});
    dialogs->script("zenity", (chosen / "look.cube").string());
    ASSERT_EQ(effect.pressButton("export65LUTButton"), kNormalEnd);

    // Colours spread through the cube, off the lattice.
    const OfxRectI bounds{0, 0, 48, 48};
    auto source = HostImage::rgbaFloat(bounds);
    source->fill([](int x, int y) {
        const float r = float(x) / 47.0f, g = float(y) / 47.0f, b = float((x * 7 + y * 13) % 48) / 47.0f;
        return RgbaPixel{r, g, b, 1.0f};
    });
    effect.setImage(kOfxImageEffectSimpleSourceClipName, source);
    RenderRequest request;
    request.window = bounds;
    const RenderResult render = effect.render(request);
    ASSERT_EQ(render.status, kOfxStatOK);

    OCIO::FileTransformRcPtr file = OCIO::FileTransform::Create();
    file->setSrc((chosen / "look.cube").c_str());
    file->setInterpolation(OCIO::INTERP_TETRAHEDRAL);
    const OCIO::ConstCPUProcessorRcPtr lut =
        OCIO::Config::CreateRaw()->getProcessor(file)->getOptimizedCPUProcessor(OCIO::OPTIMIZATION_NONE);

    double worst = 0;
    for (int y = bounds.y1; y < bounds.y2; ++y) {
        for (int x = bounds.x1; x < bounds.x2; ++x) {
            const RgbaPixel in = source->pixel(x, y);
            float rgb[3] = {in[0], in[1], in[2]};
            lut->applyRGB(rgb);
            const RgbaPixel rendered = render.output->pixel(x, y);
            for (int c = 0; c < 3; ++c) {
                worst = std::max(worst, double(std::abs(rgb[c] - rendered[c])));
                EXPECT_NEAR(rgb[c], rendered[c], 1e-3) << "pixel (" << x << ", " << y << ") channel " << c;
            }
        }
    }
    RecordProperty("worstDifference", std::to_string(worst));
}

}  // namespace
}  // namespace export_integration
