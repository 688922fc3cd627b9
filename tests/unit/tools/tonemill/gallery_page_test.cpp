// The help page's gallery: the source note of every table, and the page text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/gallery/gallery_page.h"
#include "tools/gallery/source_notes.h"

namespace {

namespace fs = std::filesystem;
using namespace tonemill::gallery;

TEST(GallerySourceNotes, EveryTableAnOptionSelectsHasANoteInTheLookDataReadme) {
    const auto notes = readSourceNotes(std::string(TONEMILL_SOURCE_DIR) + "/data/README.md");
    std::ifstream options(std::string(TONEMILL_SOURCE_DIR) + "/data/lut_options.tsv");
    std::string line;
    int tables = 0;
    while (std::getline(options, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::stringstream parts(line);
        for (std::string field; std::getline(parts, field, '\t');) fields.push_back(field);
        if (fields.size() < 5 || fields[4].empty()) continue;
        ++tables;
        EXPECT_TRUE(notes.count(fields[3] + fields[4]) || notes.count(fields[4])) << fields[3] << fields[4];
    }
    EXPECT_GT(tables, 100);
}

TEST(GallerySourceNotes, RowsNamingSeveralEntriesGiveEachTheNote) {
    const fs::path readme = fs::path(::testing::TempDir()) / "tonemill-gallery-readme.md";
    std::ofstream(readme) << "| Entry | Source | Approximation, notes |\n|---|---|---|\n"
                             "| 2-CURVES/F1 ... F3 | S-curves | \u2014 |\n"
                             "| 2-CURVES/L1, L2 | low contrast | slope 0.9 |\n\n"
                             "| File | Content |\n|---|---|\n| tonemap.png | not a table entry |\n";
    const auto notes = readSourceNotes(readme.string());
    fs::remove(readme);
    EXPECT_EQ(notes.at("2-CURVES/F2"), "S-curves");
    EXPECT_EQ(notes.at("F3"), "S-curves");
    EXPECT_EQ(notes.at("2-CURVES/L2"), "low contrast; slope 0.9");
    EXPECT_FALSE(notes.count("tonemap.png"));
    EXPECT_THROW(readSourceNotes(readme.string()), std::runtime_error);
}

TEST(GalleryPage, ReplacesItsMarkerWithEscapedThumbnails) {
    const std::vector<GallerySection> sections{
        {"Print Stock",
         "Folder PRINT/",
         {{"Kodak <2383> & co", "a \"classic\"", "gallery/1-chart.png", "gallery/1-scene.png"}}}};
    const std::string page = pageWithGallery("<body>\n<!-- gallery -->\n</body>", sections, 96, 54);
    EXPECT_EQ(page.find("<!-- gallery -->"), std::string::npos);
    EXPECT_NE(page.find("<b>Kodak &lt;2383&gt; &amp; co</b>"), std::string::npos) << page;
    EXPECT_NE(page.find("a &quot;classic&quot;"), std::string::npos);
    EXPECT_NE(page.find("<img src=\"gallery/1-scene.png\" width=\"96\" height=\"54\""), std::string::npos);
    EXPECT_TRUE(page.starts_with("<body>\n<h3>Print Stock</h3>"));
    EXPECT_THROW(pageWithGallery("<body></body>", sections, 96, 54), std::runtime_error);
}

}  // namespace
