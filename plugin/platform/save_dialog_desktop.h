#pragma once

#ifndef _WIN32

#include "plugin/platform/save_dialog.h"

namespace ChromvaleBeta2 {

// The desktop's file chooser, shown by zenity or, where zenity is missing,
// kdialog, each started directly with an argument vector, never through a
// shell, since names and folders may hold any character. Where neither can
// be shown (no display, neither installed, the program failing), `fallback`
// answers instead.
class DesktopSaveDialog : public SaveDialog {
 public:
    explicit DesktopSaveDialog(std::unique_ptr<SaveDialog> fallback) : m_fallback(std::move(fallback)) {}
    std::optional<SaveTarget> askForTarget(const SaveRequest& request) override;

 private:
    std::unique_ptr<SaveDialog> m_fallback;
};

}  // namespace ChromvaleBeta2

#endif  // _WIN32
