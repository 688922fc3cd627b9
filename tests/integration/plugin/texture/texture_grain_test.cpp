// The grain measured on flat grey: its deviation follows each stock's
// published granularity, its pattern scales with the picture's height.

#include <vector>

#include "pipeline/texture/film_stocks.h"
#include "pipeline/texture/texture_settings.h"
#include "texture_fixture.h"

namespace texture_integration {
namespace {

using TonemillTexture::kFilmGauges;
using TonemillTexture::kFilmStocks;

const std::vector<std::pair<std::string, ParamValue>> kGrainAlone = {{"halationToggle", true}, {"bloomToggle", true}};

// Correlation of the grain (output minus input) of channel 1 with itself `lag` pixels across.
double lagCorrelation(const HostImage& out, const HostImage& in, int lag) {
    double sum = 0, squares = 0, products = 0;
    int n = 0;
    const OfxRectI b = out.bounds();
    for (int y = b.y1; y < b.y2; ++y)
        for (int x = b.x1; x + lag < b.x2; ++x) {
            const double g = out.pixel(x, y)[1] - in.pixel(x, y)[1];
            const double h = out.pixel(x + lag, y)[1] - in.pixel(x + lag, y)[1];
            sum += g;
            squares += g * g;
            products += g * h;
            ++n;
        }
    const double mean = sum / n;
    return (products / n - mean * mean) / (squares / n - mean * mean);
}

TEST_F(TextureTest, DeviationAtMidGreyFollowsEachStocksGranularity) {
    // 8 mm on a 1080-line picture: lattice cells of 3.2 pixels, so no pixel
    // averages several and the deviation is the cell's.
    const auto grey = flat(256, 1080, 0.5f);
    for (int stock = 0; stock < int(kFilmStocks.size()); ++stock) {
        SCOPED_TRACE(std::string(kFilmStocks[stock].label));
        auto values = kGrainAlone;
        values.push_back({"grainStock", stock});
        values.push_back({"grainGauge", 2});
        auto instance = create(values);
        instance->setImage(kOfxImageEffectSimpleSourceClipName, grey);
        const auto out = render(*instance);
        // Selwyn's law from the 48 um aperture of the published figure to a 12 um cell.
        const double expected = kFilmStocks[stock].rmsGranularity / 1000.0 * 48.0 / 12.0;
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(deviation(*out, *grey, c), expected, 0.05 * expected) << c;
    }
}

TEST_F(TextureTest, GrainIsWeakerInShadowsAndHighlightsAndFollowsTheLayers) {
    auto instance = create(
        {{"halationToggle", true}, {"bloomToggle", true}, {"grainGauge", 2}, {"grainRed", 2.0}, {"grainBlue", 0.0}});
    double mid[3], dark = 0, bright = 0;
    const auto grey = flat(128, 1080, 0.5f);
    instance->setImage(kOfxImageEffectSimpleSourceClipName, grey);
    const auto out = render(*instance);
    for (int c = 0; c < 3; ++c) mid[c] = deviation(*out, *grey, c);
    EXPECT_NEAR(mid[0], 2.0 * mid[1], 0.1 * mid[1]);
    EXPECT_EQ(mid[2], 0.0);

    for (float level : {0.05f, 0.95f}) {
        const auto patch = flat(128, 1080, level);
        instance->setImage(kOfxImageEffectSimpleSourceClipName, patch);
        (level < 0.5f ? dark : bright) = deviation(*render(*instance), *patch, 1);
    }
    EXPECT_LT(dark, 0.3 * mid[1]);
    EXPECT_LT(bright, 0.3 * mid[1]);
}

TEST_F(TextureTest, GrainPatternScalesWithPictureHeight) {
    auto instance = create({{"halationToggle", true}, {"bloomToggle", true}, {"grainGauge", 2}, {"grainSize", 2.0}});
    const auto small = flat(200, 400, 0.5f);  // cells of 2.4 pixels
    const auto large = flat(400, 800, 0.5f);  // cells of 4.8 pixels
    instance->setImage(kOfxImageEffectSimpleSourceClipName, small);
    const auto smallOut = render(*instance);
    instance->setImage(kOfxImageEffectSimpleSourceClipName, large);
    const auto largeOut = render(*instance);

    // The same distance in picture heights correlates alike.
    EXPECT_NEAR(lagCorrelation(*smallOut, *small, 1), lagCorrelation(*largeOut, *large, 2), 0.05);
    EXPECT_NEAR(lagCorrelation(*smallOut, *small, 2), lagCorrelation(*largeOut, *large, 4), 0.05);
    EXPECT_GT(lagCorrelation(*largeOut, *large, 1), lagCorrelation(*smallOut, *small, 1) + 0.1);
    EXPECT_NEAR(deviation(*smallOut, *small, 1), deviation(*largeOut, *large, 1),
                0.05 * deviation(*largeOut, *large, 1));
}

TEST_F(TextureTest, HalfScaleProxyMatchesTheFullRenderScaledDown) {
    auto instance = create({{"halationToggle", true}, {"bloomToggle", true}, {"grainGauge", 1}});
    const auto full = flat(480, 1080, 0.5f);
    const auto proxy = flat(240, 540, 0.5f);
    instance->setImage(kOfxImageEffectSimpleSourceClipName, full);
    const auto fullOut = render(*instance, {}, 2.0);
    instance->setImage(kOfxImageEffectSimpleSourceClipName, proxy);
    const auto proxyOut = render(*instance, {}, 2.0, {0.5, 0.5});

    double products = 0, proxySquares = 0, fullSquares = 0;
    for (int y = 0; y < 540; ++y)
        for (int x = 0; x < 240; ++x) {
            const double p = proxyOut->pixel(x, y)[1] - 0.5;
            double f = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) f += (fullOut->pixel(2 * x + dx, 2 * y + dy)[1] - 0.5) / 4.0;
            products += p * f;
            proxySquares += p * p;
            fullSquares += f * f;
        }
    EXPECT_GT(products / std::sqrt(proxySquares * fullSquares), 0.9);
}

}  // namespace
}  // namespace texture_integration
