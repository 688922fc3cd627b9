#pragma once

#include "plugin/platform/save_dialog.h"

namespace ChromvaleBeta2 {

// Saving where no dialog can be shown (a render node, a session without a
// display): the proposed name in the requested folder, or the first free
// "<name>_2", "<name>_3"... so that no existing file is ever replaced. The
// name is claimed by creating it empty, so two exports cannot pick the same.
class UnattendedSaveDialog : public SaveDialog {
 public:
    std::optional<SaveTarget> askForTarget(const SaveRequest& request) override;
};

// Tells where an unattended export went, on the diagnostic log and standard
// output, or removes the empty file that claimed its name when the LUT could
// not be written there.
void finishUnattendedSave(const SaveTarget& target, bool written);

}  // namespace ChromvaleBeta2
