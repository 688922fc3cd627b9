#include "tools/gallery/texture_gallery.h"

#include <sstream>
#include <vector>

#include "ofxParam.h"
#include "tools/gallery/gallery_page.h"
#include "tools/testimages/png_file.h"
#include "tools/tonemill/sheet_pictures.h"

namespace tonemill::gallery {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMarker = "<!-- texture -->";
constexpr int kCropWidth = 256;
constexpr int kCropHeight = 96;
// Crops come from the lower left corner of a UHD frame, so the grain has the
// size it has on such a frame.
constexpr OfxRectI kFrame{0, 0, 3840, 2160};

struct Crop {
    std::string file, caption;
};

// A crop of a frame: `level(x, y)` in the crop's own pixels, the frame's
// extent as its region of definition.
template <class Level>
std::shared_ptr<host::HostImage> frameCrop(int width, int height, Level level) {
    auto image = host::HostImage::rgbaFloat({0, 0, width, height});
    image->fill([&](int x, int y) {
        const float v = level(x, y);
        return host::RgbaPixel{v, v, v, 1.0f};
    });
    image->setRegionOfDefinition(kFrame);
    return image;
}

class TextureRenderer {
 public:
    TextureRenderer(cli::EffectSession& look, const std::string& bundle, const fs::path& folder)
        : session_(bundle, look), folder_(folder) {}

    Crop render(const std::shared_ptr<host::HostImage>& source, const std::vector<cli::Assignment>& settings,
                const std::string& name, const std::string& caption) {
        session_.resetToDefaults();
        session_.apply(settings, false);
        const auto rendered = session_.render(source, 1);
        testimages::Picture picture(static_cast<unsigned>(rendered->width()), static_cast<unsigned>(rendered->height()),
                                    3);
        cli::paste(picture, *rendered, 0, 0);
        const std::string file = "texture-" + name + ".png";
        testimages::writePng(picture, (folder_ / file).string());
        return {"gallery/" + file, caption};
    }

    cli::EffectSession& session() { return session_; }

 private:
    cli::EffectSession session_;
    fs::path folder_;
};

std::vector<std::string> choiceOptions(cli::EffectSession& session, const std::string& name) {
    return session.valueParam(name, "the texture gallery").properties().getStrings(kOfxParamPropChoiceOption);
}

std::string figures(const std::vector<Crop>& crops) {
    std::ostringstream html;
    html << "<div class=\"gallery\">\n";
    for (const Crop& crop : crops)
        html << "<figure><img src=\"" << escapedHtml(crop.file) << "\" alt=\"" << escapedHtml(crop.caption)
             << "\"><figcaption>" << escapedHtml(crop.caption) << "</figcaption></figure>\n";
    html << "</div>\n";
    return html.str();
}

}  // namespace

std::string pageWithTextureSection(const std::string& page, cli::EffectSession& look, const std::string& textureBundle,
                                   const fs::path& folder) {
    TextureRenderer renderer(look, textureBundle, folder);
    const cli::Assignment grainAlone[] = {{"halationToggle", "on", "gallery"}, {"bloomToggle", "on", "gallery"}};

    // A ramp from deep shadow to highlight: grain is strongest in its middle.
    const auto ramp = frameCrop(kCropWidth, kCropHeight, [](int x, int) { return 0.05f + 0.9f * x / kCropWidth; });
    std::vector<Crop> grain;
    const std::vector<std::string> stocks = choiceOptions(renderer.session(), "grainStock");
    const std::vector<std::string> gauges = choiceOptions(renderer.session(), "grainGauge");
    for (std::size_t stock = 0; stock < stocks.size(); ++stock) {
        std::vector<cli::Assignment> settings(std::begin(grainAlone), std::end(grainAlone));
        settings.push_back({"grainStock", std::to_string(stock), "gallery"});
        grain.push_back(
            renderer.render(ramp, settings, "grain-" + std::to_string(stock), stocks[stock] + ", " + gauges[0]));
    }
    for (std::size_t gauge = 1; gauge < gauges.size(); ++gauge) {
        std::vector<cli::Assignment> settings(std::begin(grainAlone), std::end(grainAlone));
        settings.push_back({"grainStock", std::to_string(stocks.size() - 1), "gallery"});
        settings.push_back({"grainGauge", std::to_string(gauge), "gallery"});
        grain.push_back(renderer.render(ramp, settings, "grain-gauge-" + std::to_string(gauge),
                                        stocks.back() + ", " + gauges[gauge]));
    }

    // A small bright light on a dark ground, as a lamp in a night scene.
    const auto light = frameCrop(kCropWidth, kCropHeight, [](int x, int y) {
        const int dx = x - kCropWidth / 2, dy = y - kCropHeight / 2;
        return dx * dx + dy * dy <= 100 ? 8.0f : 0.06f;
    });
    const std::vector<Crop> glows = {
        renderer.render(
            light,
            {{"grainToggle", "on", "gallery"}, {"halationToggle", "on", "gallery"}, {"bloomToggle", "on", "gallery"}},
            "light", "The light alone"),
        renderer.render(light, {{"grainToggle", "on", "gallery"}, {"bloomToggle", "on", "gallery"}}, "halation",
                        "Halation (default settings)"),
        renderer.render(light, {{"grainToggle", "on", "gallery"}, {"halationToggle", "on", "gallery"}}, "bloom",
                        "Bloom (default settings)"),
        renderer.render(light, {}, "all", "Grain, halation and bloom"),
    };

    std::string html =
        "<h3>Grain at 100 %</h3>\n<p>Each stock on a grey ramp from deep shadow to highlight, "
        "cropped at 100 % from a 3840 &times; 2160 frame, grain alone at its default amount.</p>\n";
    html += figures(grain);
    html +=
        "<h3>Halation and bloom</h3>\n<p>A small light eight times brighter than white on a dark ground, "
        "at 100 % of a 3840 &times; 2160 frame.</p>\n";
    html += figures(glows);
    return pageWithMarkerReplaced(page, kMarker, html);
}

}  // namespace tonemill::gallery
