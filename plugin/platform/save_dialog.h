#pragma once

// Where an exported LUT goes: the platform's save dialog, asked with a
// proposed name in a default folder, answers with a path or a cancellation.

#include <memory>
#include <optional>
#include <string>

namespace ChromvaleBeta2 {

inline constexpr const char* kSaveDialogTitle = "Specify a .cube file to save current settings as a 3D LUT to";

struct SaveRequest {
    std::string proposedName;  // without the ".cube" extension
    std::string folder;        // where the dialog starts
};

struct SaveTarget {
    std::string path;
    // No one was asked: the path is a free name in the default folder, held
    // by an empty file until the LUT replaces it. The caller removes that
    // file if the LUT cannot be written, and tells where the LUT went.
    bool unattended = false;
};

class SaveDialog {
 public:
    virtual ~SaveDialog() = default;
    // The path the LUT is to be written to, or nothing when the user cancelled.
    virtual std::optional<SaveTarget> askForTarget(const SaveRequest& request) = 0;
};

// The common save dialog on Windows; elsewhere zenity or kdialog, falling
// back to an unattended choice where no dialog can be shown.
std::unique_ptr<SaveDialog> makePlatformSaveDialog();

// The folder an export starts in: the host's LUT folder where there is one.
std::string defaultExportFolder();

// Creates the last level of the folder so the dialog can start there; an
// existing folder, or a parent that is missing, is left as it is.
void createExportFolder(const std::string& folder);

}  // namespace ChromvaleBeta2
