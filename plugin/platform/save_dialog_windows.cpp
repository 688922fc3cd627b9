#ifdef _WIN32

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "plugin/platform/save_dialog.h"

namespace ChromvaleBeta2 {
namespace {

// The dialog writes the chosen path into this buffer over the proposed name.
constexpr DWORD kFileBufferSize = 10000;

#ifdef _WIN64
static_assert(sizeof(OPENFILENAMEA) == 152, "the common dialog expects its 64-bit record");
#endif

class CommonSaveDialog : public SaveDialog {
 public:
    std::optional<SaveTarget> askForTarget(const SaveRequest& request) override {
        std::vector<char> file(kFileBufferSize, '\0');
        request.proposedName.copy(file.data(), kFileBufferSize - 1);

        OPENFILENAMEA record{};
        record.lStructSize = sizeof(OPENFILENAMEA);
        record.hwndOwner = nullptr;
        record.lpstrFile = file.data();
        record.nMaxFile = kFileBufferSize;
        record.lpstrDefExt = "cube";
        // One filter: a description and a pattern, the list ending in two NULs.
        record.lpstrFilter = "Cube\0*.cube\0";
        record.nFilterIndex = 1;
        record.lpstrTitle = kSaveDialogTitle;
        record.lpstrInitialDir = request.folder.c_str();
        record.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;

        if (GetSaveFileNameA(&record) != 1) return std::nullopt;
        return SaveTarget{file.data(), false};
    }
};

}  // namespace

std::unique_ptr<SaveDialog> makePlatformSaveDialog() {
    return std::make_unique<CommonSaveDialog>();
}

std::string defaultExportFolder() {
    return "C:\\ProgramData\\Blackmagic Design\\DaVinci Resolve\\Support\\LUT\\CHROMVALE";
}

void createExportFolder(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
}

}  // namespace ChromvaleBeta2

#endif  // _WIN32
