#include "plugin/lut_file_name.h"

#include <algorithm>

#include "pipeline/lut_stages.h"
#include "plugin/param_catalogue.h"

namespace ChromvaleBeta2 {
namespace {

// Appends the option text of a choice, followed by `separator`. An index the
// list does not hold (a host may hand any integer) names nothing.
void appendOption(std::string& name, std::string_view choice, int index, std::string_view separator) {
    if (const LutOption* option = optionAt(choice, index)) {
        name.append(option->text);
        name.append(separator);
    }
}

}  // namespace

std::string makeLutFileName(const LookParams& values, int gridSize) {
    std::string name;
    for (const LutStage& stage : lutStages()) {
        if (!stage.inExportName || !stage.selected(values)) continue;
        const StageOption picked = stage.option(values);
        appendOption(name, picked.choice, picked.option, "-");
    }

    if (name.ends_with('-')) name.pop_back();
    if (name.empty()) name = "Untitled";
    name += '-';
    name += std::to_string(gridSize);
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

}  // namespace ChromvaleBeta2
