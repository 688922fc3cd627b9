#ifdef _WIN32

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "ofx/support/ofxsLog.h"
#include "plugin/platform/save_dialog.h"
#include "plugin/platform/save_dialog_unattended.h"

namespace ChromvaleBeta2 {
namespace {

// The dialog writes the chosen path into this buffer over the proposed name.
constexpr DWORD kFileBufferSize = 10000;

#ifdef _WIN64
static_assert(sizeof(OPENFILENAMEA) == 152, "the common dialog expects its 64-bit record");
#endif

// Services run in a window station no one sees, and a process without a display
// driver (Wine with no X server) cannot make windows at all: either way a dialog
// would never be answered.
bool canShowWindows() {
    USEROBJECTFLAGS flags{};
    if (GetUserObjectInformationA(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags, nullptr) &&
        !(flags.dwFlags & WSF_VISIBLE))
        return false;
    HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return true;
}

// The common save dialog; where it cannot be shown (a render node, a service
// without a desktop), `fallback` answers instead, as on other systems.
class CommonSaveDialog : public SaveDialog {
 public:
    explicit CommonSaveDialog(std::unique_ptr<SaveDialog> fallback) : m_fallback(std::move(fallback)) {}

    std::optional<SaveTarget> askForTarget(const SaveRequest& request) override {
        if (!canShowWindows()) return m_fallback->askForTarget(request);
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

        if (GetSaveFileNameA(&record) == 1) return SaveTarget{file.data(), false};
        // No extended error: the user cancelled.
        const DWORD failure = CommDlgExtendedError();
        if (failure == 0) return std::nullopt;
        OFX::Log::warning(true, "The save dialog could not be shown (error 0x%lx); saving without asking",
                          static_cast<unsigned long>(failure));
        return m_fallback->askForTarget(request);
    }

 private:
    std::unique_ptr<SaveDialog> m_fallback;
};

}  // namespace

std::unique_ptr<SaveDialog> makePlatformSaveDialog() {
    return std::make_unique<CommonSaveDialog>(std::make_unique<UnattendedSaveDialog>());
}

std::string defaultExportFolder() {
    return "C:\\ProgramData\\Blackmagic Design\\DaVinci Resolve\\Support\\LUT\\CHROMVALE";
}

void createExportFolder(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
}

}  // namespace ChromvaleBeta2

#endif  // _WIN32
