// tonemill-gallery: renders the tone chart and the natural scene through every
// option of each look list and every shipped look, as small thumbnails, and
// writes them into the help page, so that a look can be seen before it is
// chosen. The plug-in is driven through the host library, as the command line
// drives it, so the thumbnails are what the effect renders.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "ofxCore.h"
#include "ofxParam.h"
#include "tools/gallery/gallery_page.h"
#include "tools/gallery/source_notes.h"
#include "tools/gallery/texture_gallery.h"
#include "tools/testimages/png_file.h"
#include "tools/tonemill/effect_session.h"
#include "tools/tonemill/image_files.h"
#include "tools/tonemill/sheet_pictures.h"
#include "tools/tonemill/shipped_looks.h"
#include "tools/tonemill/tone_chart.h"

namespace {

namespace fs = std::filesystem;
using namespace tonemill;

constexpr int kWidth = 96;
constexpr int kHeight = 54;
// Where a list's tables are shown before the display, the display is this one.
constexpr const char* kDisplay = "REC709 ODT";
constexpr const char* kOutputList = "outputProfileOptions";

// The palette lists drive the negative only when the palette choice selects
// them (see data/lut_options.tsv).
const std::map<std::string, std::string> kListSelectedBy{
    {"colorPaletteNegativeSelections", "Negative Stock"},
    {"colorPaletteNegativeGEN2Selections", "Negative Stock GEN 2"},
    {"colorPaletteMajorSelections", "Major"},
    {"colorPaletteMinorSelections", "Minor"},
};

struct OptionRow {
    std::string param, option, folder, file;
};

std::vector<OptionRow> readOptionRows(const std::string& path) {
    std::ifstream file(path);
    if (!file) throw std::runtime_error("cannot read " + path);
    std::vector<OptionRow> rows;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::stringstream parts(line);
        std::string field;
        while (std::getline(parts, field, '\t')) fields.push_back(field);
        if (fields.size() >= 5 && !fields[4].empty()) rows.push_back({fields[0], fields[2], fields[3], fields[4]});
    }
    return rows;
}

class Renderer {
 public:
    Renderer(const std::string& bundle, const fs::path& scene, const fs::path& folder)
        : session_(bundle, 0), folder_(folder) {
        const auto chart = cli::makeToneChart();
        chart_ = cli::shrunk(*chart, kWidth, kHeight);
        const auto picture = cli::readImage(scene.string());
        scene_ = cli::shrunk(*picture, kWidth, kHeight);
    }

    cli::EffectSession& session() { return session_; }

    // Both pictures through `assignments` over the defaults, as an item.
    gallery::GalleryItem render(const std::vector<cli::Assignment>& assignments, std::string name, std::string note) {
        session_.resetToDefaults();
        session_.apply(assignments, false);
        const std::string stem = std::to_string(++count_);
        return {std::move(name), std::move(note), write(chart_, stem + "-chart.png"),
                write(scene_, stem + "-scene.png")};
    }

 private:
    std::string write(const std::shared_ptr<host::HostImage>& source, const std::string& name) {
        testimages::Picture picture(kWidth, kHeight, 3);
        cli::paste(picture, *session_.render(source, 0), 0, 0);
        testimages::writePng(picture, (folder_ / name).string());
        return "gallery/" + name;
    }

    cli::EffectSession session_;
    fs::path folder_;
    std::shared_ptr<host::HostImage> chart_, scene_;
    int count_ = 0;
};

std::string labelOf(cli::EffectSession& session, const std::string& param) {
    const host::Param& found = session.valueParam(param, "data/lut_options.tsv");
    return found.properties().has(kOfxPropLabel) ? found.properties().getString(kOfxPropLabel) : param;
}

std::vector<gallery::GallerySection> renderGallery(Renderer& renderer, const std::vector<OptionRow>& rows,
                                                   const std::map<std::string, std::string>& notes) {
    std::vector<gallery::GallerySection> sections;
    std::string list;
    for (const OptionRow& row : rows) {
        if (row.param != list)
            sections.push_back({labelOf(renderer.session(), row.param),
                                "Folder " + row.folder + " of the look data, list " + row.param + ".",
                                {}});
        list = row.param;
        std::vector<cli::Assignment> assignments;
        if (const auto selector = kListSelectedBy.find(row.param); selector != kListSelectedBy.end())
            assignments.push_back({"colorPaletteAOptions", selector->second, "gallery"});
        assignments.push_back({row.param, row.option, "gallery"});
        if (row.param != kOutputList) assignments.push_back({kOutputList, kDisplay, "gallery"});
        auto note = notes.find(row.folder + row.file);
        if (note == notes.end()) note = notes.find(row.file);
        sections.back().items.push_back(
            renderer.render(assignments, row.option, note == notes.end() ? std::string() : note->second));
    }
    gallery::GallerySection shipped{"Shipped looks",
                                    "Starting points that set several stages at once; the command line "
                                    "applies one with --look NAME.",
                                    {}};
    for (const cli::ShippedLook& look : cli::shippedLooks({fs::path(TONEMILL_LOOKS_DIR)}))
        shipped.items.push_back(renderer.render(cli::readLookFile(look.path.string()), look.name, look.purpose));
    sections.insert(sections.begin(), std::move(shipped));
    return sections;
}

std::string readText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 8) {
        std::fprintf(stderr,
                     "usage: tonemill-gallery BUNDLE lut_options.tsv README.md SCENE.png help.html RESOURCES_FOLDER "
                     "TEXTURE_BUNDLE\n");
        return 2;
    }
    try {
        const fs::path resources = argv[6];
        const fs::path folder = resources / "gallery";
        fs::remove_all(folder);
        fs::create_directories(folder);
        Renderer renderer(argv[1], argv[4], folder);
        const auto sections = renderGallery(renderer, readOptionRows(argv[2]), gallery::readSourceNotes(argv[3]));
        const std::string page =
            gallery::pageWithTextureSection(gallery::pageWithGallery(readText(argv[5]), sections, kWidth, kHeight),
                                            renderer.session(), argv[7], folder);
        const fs::path target = resources / "help.html", partial = resources / "help.html.partial";
        std::ofstream(partial, std::ios::binary) << page;
        fs::rename(partial, target);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tonemill-gallery: %s\n", error.what());
        return 1;
    }
    return 0;
}
