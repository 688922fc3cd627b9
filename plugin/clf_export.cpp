// The look written as a CLF process list, stage by stage, at a host's request
// through the effect's private action. (ChromvaleNG's other methods are in
// ChromvaleNG.cpp, render_orchestration.cpp, lut_export.cpp and
// test_toggle_rules.cpp.)

#include <stdexcept>

#include "formats/atomic_file.h"
#include "formats/chain_clf.h"
#include "formats/look_clf_action.h"
#include "ofx/support/ofxsCore.h"
#include "plugin/ChromvaleNG.h"
#include "plugin/chromvale_factory.h"
#include "plugin/param_catalogue.h"
#include "pipeline/set_settings.h"

namespace ChromvaleBeta2 {
namespace {

// "2.4.2" out of the version button's "Version 2.4.2".
std::string_view bundleVersion() {
    const std::string_view label = kVersionLabel;
    return label.substr(label.rfind(' ') + 1);
}

std::string optionText(std::string_view choice, int option) {
    const LutOption* chosen = option > 0 ? optionAt(choice, option) : nullptr;
    return chosen ? std::string(chosen->text) : std::string();
}

std::vector<std::string> readLines(OFX::PropertySet& args, const char* name) {
    std::vector<std::string> lines;
    const int count = args.propGetDimension(name, false);
    for (int i = 0; i < count; ++i) lines.push_back(args.propGetString(name, i));
    return lines;
}

void writeText(const std::string& path, const ClfProcessList& list) {
    AtomicFile file(path);
    if (!file.isOpen()) throw std::runtime_error("cannot create a file beside " + path);
    writeClfText(list, [&file](std::string_view text) { file.write(text.data(), text.size()); });
    std::string error;
    if (!file.commit(error)) throw std::runtime_error("cannot write " + path + ": " + error);
}

}  // namespace

bool ChromvaleNG::privateAction(const std::string& action, OFX::PropertySet& inArgs, OFX::PropertySet& outArgs) {
    if (action != kWriteLookClfAction) return false;
    try {
        const double time = inArgs.propGetDouble(kOfxPropTime);
        LookParams values;
        gatherLookParams(values, time);
        resolveLuts(values);
        PipelineSettings settings{};
        setSettings(settings, values);
        ChainAsClf chain = chainAsClf(settings);  // test views are never part of it

        const std::string name = inArgs.propGetString(kClfPropName);
        ClfProcessList list;
        list.id = std::string(kPluginIdentifier) + ":" + std::string(bundleVersion()) + ":" + name;
        list.name = name;
        list.descriptions = readLines(inArgs, kClfPropDescription);
        for (const std::string& line : chain.inexact) list.descriptions.push_back("Not exact: " + line);
        const std::string input = optionText("idtProfile", values.idtProfile);
        list.inputDescriptor = input.empty() ? "ACEScct" : input;
        list.outputDescriptor = optionText("outputProfileOptions", values.outputProfileOptions);
        if (list.outputDescriptor.empty()) list.outputDescriptor = "ACEScct";
        list.operators = std::move(chain.operators);
        writeText(inArgs.propGetString(kClfPropPath), list);

        for (size_t i = 0; i < chain.inexact.size(); ++i)
            outArgs.propSetString(kClfPropInexact, chain.inexact[i], static_cast<int>(i));
        outArgs.propSetString(kClfPropOutputProfile, optionText("outputProfileOptions", values.outputProfileOptions));
        return true;
    } catch (const std::exception& e) {
        outArgs.propSetString(kClfPropError, e.what(), 0, false);
        throw OFX::Exception::Suite(kOfxStatFailed);
    }
}

}  // namespace ChromvaleBeta2
