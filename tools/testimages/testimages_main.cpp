// tonemill-testimages: writes the test pictures, the natural scene, the zone
// chart guide and the plug-in icon. The guide's colours come from the zone chart recipe.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "tools/lutgen/recipe_book.h"
#include "tools/lutgen/zone_chart.h"
#include "tools/testimages/chart_images.h"
#include "tools/testimages/legend_image.h"
#include "tools/testimages/ramp_images.h"
#include "tools/testimages/scene_image.h"

using namespace tonemill;

namespace {

const lutgen::Recipe& zoneRecipe(const std::vector<lutgen::Recipe>& recipes) {
    for (const auto& r : recipes)
        if (r.entryName() == "KORVO/KORVO_ZONES_000.cube") return r;
    throw std::runtime_error("the recipe book has no KORVO/KORVO_ZONES_000.cube");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 || std::string(argv[1]) != "--recipes" || std::string(argv[3]) != "--out") {
        std::fprintf(stderr, "usage: tonemill-testimages --recipes lut_recipes.ini --out FOLDER\n");
        return 2;
    }
    try {
        const std::filesystem::path out = argv[4];
        std::filesystem::create_directories(out);
        const auto recipes = lutgen::readRecipeBook(argv[2]);
        const auto chart = lutgen::zoneChartFromRecipe(zoneRecipe(recipes));
        testimages::writePng(testimages::lightnessRamp(), (out / "LightnesRamp.png").string());
        testimages::writePng(testimages::saturationRamp(), (out / "SaturationRamp.png").string());
        testimages::writePng(testimages::toneChart(), (out / "tonemap.png").string());
        testimages::writePng(testimages::zoneLegend(chart), (out / "korvozones.png").string());
        testimages::writePng(testimages::pluginIcon(), (out / "com.velmora.tonemill.png").string());
        testimages::writePng(testimages::naturalScene(960, 540), (out / "scene.png").string());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tonemill-testimages: %s\n", e.what());
        return 1;
    }
    return 0;
}
