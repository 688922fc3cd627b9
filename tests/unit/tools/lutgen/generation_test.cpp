#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "tests/unit/tools/lutgen/lookdata_fixture.h"
#include "tools/lutgen/lut_baker.h"
#include "tools/lutgen/option_catalogue.h"
#include "tools/lutgen/recipe_book.h"

namespace fs = std::filesystem;

namespace tonemill::lookdata_test {
namespace {

class ScratchFolder {
 public:
    explicit ScratchFolder(const std::string& tag)
        : m_path(fs::temp_directory_path() / ("tonemill-lookdata-" + tag + "-" + std::to_string(getpid()))) {
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~ScratchFolder() { fs::remove_all(m_path); }
    const fs::path& path() const { return m_path; }
    fs::path write(const std::string& name, const std::string& text) const {
        std::ofstream(m_path / name, std::ios::binary) << text;
        return m_path / name;
    }

 private:
    fs::path m_path;
};

std::string shellQuoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

std::string lutgenCommand(const fs::path& options, const fs::path& out) {
    return std::string(TONEMILL_LUTGEN) + " --options " + shellQuoted(options) + " --recipes " +
           shellQuoted(dataPath("lut_recipes.ini")) + " --out " + shellQuoted(out);
}

TEST(Generation, BakingAgainGivesByteIdenticalTables) {
    ScratchFolder scratch("again");
    ASSERT_EQ(runQuietly(lutgenCommand(dataPath("lut_options.tsv"), scratch.path() / "luts")), 0);
    size_t compared = 0;
    for (const auto& e : fs::recursive_directory_iterator(TONEMILL_ARCHIVE_STAGING_DIR)) {
        const auto relative = fs::relative(e.path(), TONEMILL_ARCHIVE_STAGING_DIR);
        if (!e.is_regular_file() || relative.begin()->string() == "OCL") continue;
        SCOPED_TRACE(relative.string());
        EXPECT_EQ(readWholeFile((scratch.path() / "luts" / relative).string()), readWholeFile(e.path().string()));
        ++compared;
    }
    EXPECT_EQ(compared, expectedLutEntries().size());
}

TEST(Generation, DrawingAgainGivesByteIdenticalPictures) {
    ScratchFolder scratch("pictures");
    ASSERT_EQ(runQuietly(std::string(TONEMILL_TESTIMAGES) + " --recipes " + shellQuoted(dataPath("lut_recipes.ini")) +
                         " --out " + shellQuoted(scratch.path())),
              0);
    for (const char* file :
         {"LightnesRamp.png", "SaturationRamp.png", "tonemap.png", "korvozones.png", "com.velmora.tonemill.png"})
        EXPECT_EQ(readWholeFile((scratch.path() / file).string()), readWholeFile(resourcePath(file))) << file;
}

TEST(Generation, AnOptionWithoutARecipeFailsBeforeAnyTableIsWritten) {
    ScratchFolder scratch("missing");
    const auto options = scratch.write(
        "options.tsv", readWholeFile(dataPath("lut_options.tsv")) + "contrastOptions\t13\tZ9\t2-CURVES/\tZ9\t1D\n");
    EXPECT_EQ(runQuietly(lutgenCommand(options, scratch.path() / "luts")), 1);
    EXPECT_FALSE(fs::exists(scratch.path() / "luts"));
}

TEST(Generation, RecipeBookInheritsFromBasesAndRejectsMalformedFiles) {
    ScratchFolder scratch("recipes");
    const auto good = scratch.write("good.ini",
                                    "# comment\n[shared]\nmodel = film\ngamma = 1.2\n\n"
                                    "[A/x.cube]\nbase = shared\ngamma = 0.9 1 1.1\n[A/y.cube]\nbase = A/x.cube\n");
    const auto book = lutgen::readRecipeBook(good.string());
    ASSERT_EQ(book.size(), 2u) << "sections without .cube are bases only";
    EXPECT_EQ(book[1].entryName(), "A/y.cube");
    EXPECT_EQ(book[1].text("model"), "film");
    EXPECT_EQ(book[1].triple("gamma", {}), (lutgen::Vec3{0.9, 1.0, 1.1}));
    EXPECT_FALSE(book[1].has("base"));
    EXPECT_THROW(book[1].number("gamma"), std::runtime_error) << "three values are not one number";

    const std::pair<const char*, const char*> bad[] = {
        {"[A/x.cube]\nbase = nowhere\n", "nowhere"},
        {"[A/x.cube]\nmodel = film\nmodel = curve\n", "set twice"},
        {"model = film\n", "inside a section"},
        {"[A/x.cube\n", "without ']'"},
        {"[A/x.cube]\nbase = A/y.cube\n[A/y.cube]\nbase = A/x.cube\n", "circular"},
    };
    for (const auto& [text, message] : bad) {
        const auto path = scratch.write("bad.ini", text);
        try {
            lutgen::readRecipeBook(path.string());
            ADD_FAILURE() << "accepted: " << text;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

TEST(Generation, OptionCatalogueRejectsMalformedLinesByFileAndLine) {
    ScratchFolder scratch("options");
    const char* bad[] = {
        "p\t0\tOption\t1-IDT/\tFile\n",      // five fields
        "p\t0\tOption\t1-IDT/\tFile\t2D\n",  // unknown kind
        "p\t0\tOption\t\tFile\t3D\n",        // LUT without a folder
        "p\t0\tNone\t1-IDT/\tFile\t-\n",     // no LUT but a file
    };
    for (const char* line : bad) {
        const auto path = scratch.write("options.tsv", std::string("# header\n") + line);
        try {
            lutgen::readOptionCatalogue(path.string());
            ADD_FAILURE() << "accepted: " << line;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("options.tsv:2"), std::string::npos) << e.what();
        }
    }
    const auto good =
        scratch.write("options.tsv", "a\t0\tNone\t\t\t-\na\t1\tX\t1-IDT/\tX\t3D\nb\t1\tX\t1-IDT/\tX\t3D\n");
    const auto entries = lutgen::readOptionCatalogue(good.string());
    ASSERT_EQ(entries.size(), 1u) << "an entry two options share is baked once";
    EXPECT_EQ(entries[0].entryName, "1-IDT/X.cube");
}

TEST(Generation, BakerRejectsRecipesThatCannotMeanWhatTheySay) {
    using Values = std::map<std::string, std::string>;
    const std::pair<lutgen::Recipe, const char*> bad[] = {
        {{"PRINT/x.cube", Values{{"model", "film"}, {"satuartion", "1.1"}}}, "satuartion"},
        {{"PRINT/x.cube", Values{{"model", "filmic"}}}, "unknown model"},
        {{"2-CURVES/x.cube", Values{{"model", "film"}}}, "1D"},
        {{"PRINT/x.cube", Values{{"model", "film"}, {"gamma", "1 0 1"}}}, "positive"},
        {{"1-IDT/x.cube",
          Values{{"model", "camera"}, {"curve", "Sony-SLog9"}, {"gamut", "Rec709"}, {"direction", "input"}}},
         "unknown curve"},
        {{"3C-MAJOR/x.cube", Values{{"model", "palette"}, {"key", "H"}}}, "twelve notes"},
        {{"KORVO/x.cube", Values{{"model", "zones"}, {"points", "300"}}}, "whole number from 2 to 256"},
        {{"KORVO/x.cube", Values{{"model", "zones"}, {"points", "64.5"}}}, "whole number from 2 to 256"},
    };
    for (const auto& [recipe, message] : bad) {
        try {
            lutgen::bakeEntry(recipe);
            ADD_FAILURE() << "baked " << message;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("x.cube"), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace tonemill::lookdata_test
