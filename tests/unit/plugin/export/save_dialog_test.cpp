// The desktop save dialog through the programs it starts, and the
// unattended choice it falls back to.

#include <gtest/gtest.h>
#include <unistd.h>

#include "plugin/platform/save_dialog_desktop.h"
#include "plugin/platform/save_dialog_unattended.h"
#include "tests/unit/plugin/export/fake_dialog.h"

namespace ChromvaleBeta2 {
namespace {

namespace fs = std::filesystem;
using testing::FakeDialogs;

// Answers like a dialog, counting how often it was asked.
class RecordingDialog : public SaveDialog {
 public:
    explicit RecordingDialog(int& calls) : m_calls(calls) {}
    std::optional<SaveTarget> askForTarget(const SaveRequest& request) override {
        ++m_calls;
        return SaveTarget{request.folder + "/fallback.cube", true};
    }

 private:
    int& m_calls;
};

class SaveDialogTest : public ::testing::Test {
 protected:
    SaveDialogTest()
        : root(fs::path(::testing::TempDir()) /
               ("tonemill-save-dialog-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                "-" + std::to_string(::getpid()))),
          folder(root / "LUT folder with 'quotes' & $signs") {
        fs::remove_all(root);
        fs::create_directories(folder);
        dialogs.emplace(root / "bin");
    }
    ~SaveDialogTest() override { fs::remove_all(root); }

    std::optional<SaveTarget> ask(const std::string& name = "ARRI_Log_C-F1-REC709_ODT-33") {
        DesktopSaveDialog dialog(std::make_unique<RecordingDialog>(fallbackCalls));
        return dialog.askForTarget({name, folder.string()});
    }

    fs::path root;
    fs::path folder;
    std::optional<FakeDialogs> dialogs;
    int fallbackCalls = 0;
};

TEST_F(SaveDialogTest, ZenityGetsTheProposedPathTitleAndFilterAsSeparateArguments) {
    dialogs->script("zenity", "/chosen/look.cube");
    dialogs->script("kdialog", "/not/this.cube");
    const auto target = ask();
    ASSERT_TRUE(target);
    EXPECT_EQ(target->path, "/chosen/look.cube");
    EXPECT_FALSE(target->unattended);
    EXPECT_FALSE(dialogs->ran("kdialog"));
    const std::vector<std::string> expected = {"--file-selection",
                                               "--save",
                                               "--confirm-overwrite",
                                               "--title=Specify a .cube file to save current settings as a 3D LUT to",
                                               "--filename=" + folder.string() + "/ARRI_Log_C-F1-REC709_ODT-33.cube",
                                               "--file-filter=Cube | *.cube"};
    EXPECT_EQ(dialogs->arguments("zenity"), expected);
}

TEST_F(SaveDialogTest, KdialogIsAskedWhereZenityIsMissing) {
    dialogs->script("kdialog", "/chosen/other.cube");
    const auto target = ask("Untitled-65");
    ASSERT_TRUE(target);
    EXPECT_EQ(target->path, "/chosen/other.cube");
    const std::vector<std::string> expected = {"--title", kSaveDialogTitle, "--getsavefilename",
                                               folder.string() + "/Untitled-65.cube", "*.cube|Cube"};
    EXPECT_EQ(dialogs->arguments("kdialog"), expected);
    EXPECT_EQ(fallbackCalls, 0);
}

TEST_F(SaveDialogTest, CancellingAsksNoOneElseButAFailingDialogFallsBack) {
    dialogs->script("zenity", "", 1);
    EXPECT_FALSE(ask());
    dialogs->script("zenity", "", 0);  // confirmed without a name
    EXPECT_FALSE(ask());
    EXPECT_EQ(fallbackCalls, 0);

    dialogs->script("zenity", "", 5);  // a dialog program that failed
    auto target = ask();
    ASSERT_TRUE(target);
    EXPECT_TRUE(target->unattended);

    dialogs->remove("zenity");  // neither program installed
    EXPECT_TRUE(ask());
    EXPECT_EQ(fallbackCalls, 2);
}

TEST_F(SaveDialogTest, UnattendedSaveGivesUpANameItCouldNotFill) {
    UnattendedSaveDialog dialog;
    const auto target = dialog.askForTarget({"REC709_ODT-33", folder.string()});
    ASSERT_TRUE(target && target->unattended);
    EXPECT_TRUE(fs::exists(target->path)) << "the name is claimed at once";
    finishUnattendedSave(*target, false);
    EXPECT_FALSE(fs::exists(target->path));

    EXPECT_FALSE(dialog.askForTarget({"look", (folder / "missing").string()})) << "a folder that does not exist";
}

}  // namespace
}  // namespace ChromvaleBeta2
