#include "plugin/lut_file_name.h"

#include <algorithm>

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
    if (values.idtProfile > 0) appendOption(name, "idtProfile", values.idtProfile, "-");
    if (values.contrastOptions > 0) appendOption(name, "contrastOptions", values.contrastOptions, "-");

    if (const int stock = activePaletteSelection(values); stock > 0) {
        appendOption(name, activePaletteList(values.colorPaletteAOptions), stock, "-");
    }

    if (values.colorPaletteBOptions != 0) appendOption(name, "colorPaletteBOptions", values.colorPaletteBOptions, "-");
    if (values.outputProfileOptions > 0) appendOption(name, "outputProfileOptions", values.outputProfileOptions, "");

    if (name.ends_with('-')) name.pop_back();
    if (name.empty()) name = "Untitled";
    name += '-';
    name += std::to_string(gridSize);
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

}  // namespace ChromvaleBeta2
