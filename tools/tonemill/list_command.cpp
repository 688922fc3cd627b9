#include <cstdio>
#include <sstream>

#include "ofxParam.h"
#include "tools/tonemill/bundle_locator.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/commands.h"
#include "tools/tonemill/effect_session.h"

namespace tonemill::cli {
namespace {

std::string kindOf(const std::string& type) {
    if (type == kOfxParamTypeBoolean) return "toggle";
    if (type == kOfxParamTypeChoice) return "choice";
    if (type == kOfxParamTypeDouble) return "slider";
    if (type == kOfxParamTypeInteger) return "integer";
    if (type == kOfxParamTypeGroup) return "group";
    if (type == kOfxParamTypePage) return "page";
    if (type == kOfxParamTypePushButton) return "button";
    if (type == kOfxParamTypeString) return "text";
    return type;
}

std::string describeValue(const host::Param& param) {
    const host::ParamValue value = param.defaultValue();
    const std::string& type = param.type();
    if (type == kOfxParamTypeBoolean) return value.asBool() ? "on" : "off";
    if (type == kOfxParamTypeChoice) {
        const auto options = param.properties().getStrings(kOfxParamPropChoiceOption);
        const int index = value.asInt();
        return index >= 0 && index < static_cast<int>(options.size()) ? "\"" + options[index] + "\"" : "?";
    }
    if (!value.text.empty() || value.numbers.empty()) return value.text;
    std::ostringstream text;
    text << value.asDouble();
    return text.str();
}

void listParam(const host::Param& param) {
    const auto& properties = param.properties();
    const std::string& type = param.type();
    const std::string label = properties.has(kOfxPropLabel) ? properties.getString(kOfxPropLabel) : std::string();
    std::printf("%-28s %-8s", param.name().c_str(), kindOf(type).c_str());
    if (type == kOfxParamTypeGroup || type == kOfxParamTypePage || type == kOfxParamTypePushButton) {
        std::printf(" \"%s\"\n", label.c_str());
        return;
    }
    std::printf(" default %s", describeValue(param).c_str());
    if (type == kOfxParamTypeDouble && properties.has(kOfxParamPropMin) && properties.has(kOfxParamPropMax))
        std::printf(" range [%g, %g]", properties.getDouble(kOfxParamPropMin), properties.getDouble(kOfxParamPropMax));
    std::printf("  \"%s\"\n", label.c_str());
    if (type == kOfxParamTypeChoice) {
        const auto options = properties.getStrings(kOfxParamPropChoiceOption);
        for (size_t i = 0; i < options.size(); ++i) std::printf("%32zu  %s\n", i, options[i].c_str());
    }
}

}  // namespace

int runList(const CommandLine& line) {
    acceptOnly(line, "list", {"--effect"});
    if (!line.positional.empty()) throw UsageError("list takes no arguments");
    EffectSession session(locateBundle(line.bundle, bundleNameFor(line.effect, "--effect")), 1);
    for (const auto& param : session.instance().effect().params().params()) listParam(*param);
    return 0;
}

}  // namespace tonemill::cli
