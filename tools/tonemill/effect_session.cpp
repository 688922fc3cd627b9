#include "tools/tonemill/effect_session.h"

#include <algorithm>
#include <cstdio>

#include "ofx_status_names.h"
#include "ofxParam.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/message_text.h"

namespace tonemill::cli {
namespace {

void require(OfxStatus status, const std::string& what) {
    if (status != kOfxStatOK && status != kOfxStatReplyDefault) throw CliError(what + " failed: " + statusName(status));
}

// The group whose toggles replace the picture with test views.
constexpr const char* kTestViewGroup = "testGroup";

bool holdsValue(const std::string& type) {
    return type != kOfxParamTypeGroup && type != kOfxParamTypePage && type != kOfxParamTypePushButton;
}

}  // namespace

std::string statusName(OfxStatus status) {
    return ofxStatusName(status);
}

EffectSession::EffectSession(const std::string& bundlePath, unsigned threads)
    : bundlePath_(bundlePath), host_(std::make_shared<host::Host>()) {
    host_->setCpuCount(threads);
    open();
}

EffectSession::EffectSession(const std::string& bundlePath, EffectSession& other)
    : bundlePath_(bundlePath), host_(other.host_) {
    open();
}

void EffectSession::open() {
    try {
        plugin_ = &host_->openBundle(bundlePath_).plugin(0);
    } catch (const std::exception& error) {
        throw CliError("cannot load the plug-in from " + quotedText(bundlePath_) + ": " + oneLine(error.what()));
    }
    require(plugin_->load(), "loading the plug-in");
    require(plugin_->describe(), "describing the effect");
    OfxStatus status = kOfxStatFailed;
    instance_ = plugin_->createInstance(kOfxImageEffectContextFilter, &status);
    if (!instance_) throw CliError("creating an instance of the effect failed: " + statusName(status));
}

EffectSession::~EffectSession() {
    instance_.reset();
    if (plugin_) plugin_->unload();
}

host::Param& EffectSession::valueParam(const std::string& name, const std::string& origin) {
    host::Param* param = instance_->effect().params().find(name);
    if (param && holdsValue(param->type())) return *param;
    std::vector<std::string> names;
    for (const auto& candidate : instance_->effect().params().params())
        if (holdsValue(candidate->type())) names.push_back(candidate->name());
    std::string message = "unknown parameter " + quotedText(name);
    if (!origin.empty()) message += " (" + origin + ")";
    const std::vector<std::string> suggestions = closestNames(name, names);
    for (size_t i = 0; i < suggestions.size(); ++i)
        message += (i == 0 ? "; did you mean " : i + 1 == suggestions.size() ? " or " : ", ") + suggestions[i];
    if (!suggestions.empty()) message += "?";
    throw CliError(message + " ('tonemill list' shows every parameter)");
}

void EffectSession::apply(const std::vector<Assignment>& assignments, bool warnIfDisabled) {
    for (const Assignment& assignment : assignments) {
        const host::Param& param = valueParam(assignment.name, assignment.origin);
        // As a user's edit, so that the plug-in updates which parameters it enables.
        require(instance_->changeParam(assignment.name, resolveAssignment(assignment, param)),
                "setting parameter " + quotedText(assignment.name));
    }
    if (!warnIfDisabled) return;
    // Judged once every value is in: a later assignment may enable an earlier one.
    for (const Assignment& assignment : assignments)
        if (!instance_->enabled(assignment.name))
            std::fprintf(stderr,
                         "tonemill: warning: %s%s has no effect with these settings (the plug-in disables it)\n",
                         quotedText(assignment.name).c_str(),
                         assignment.origin.empty() ? "" : (" (" + assignment.origin + ")").c_str());
}

void EffectSession::resetToDefaults() {
    for (const auto& param : instance_->effect().params().params()) {
        if (!holdsValue(param->type())) continue;
        const host::ParamValue standard = param->defaultValue();
        if (instance_->value(param->name()) != standard)
            require(instance_->changeParam(param->name(), standard),
                    "resetting parameter " + quotedText(param->name()));
    }
}

std::vector<host::Param*> EffectSession::testViewToggles() {
    std::vector<host::Param*> toggles;
    for (const auto& param : instance_->effect().params().params()) {
        const auto& properties = param->properties();
        if (param->type() == kOfxParamTypeBoolean && properties.has(kOfxParamPropParent) &&
            properties.getString(kOfxParamPropParent) == kTestViewGroup)
            toggles.push_back(param.get());
    }
    return toggles;
}

bool EffectSession::showsTestViews() {
    for (host::Param* toggle : testViewToggles())
        if (instance_->value(toggle->name()).asBool()) return true;
    return false;
}

void EffectSession::turnTestViewsOff() {
    for (host::Param* toggle : testViewToggles()) instance_->setValue(toggle->name(), host::ParamValue(false));
}

std::shared_ptr<host::HostImage> EffectSession::render(std::shared_ptr<host::HostImage> source, std::int64_t frame,
                                                       host::DeviceImages* device) {
    const OfxRectI bounds = source->bounds();
    instance_->setImage(kOfxImageEffectSimpleSourceClipName, std::move(source));
    host::RenderRequest request;
    request.time = static_cast<double>(frame);
    request.window = bounds;
    request.outputBounds = bounds;
    request.device = device;
    host::RenderResult result = instance_->render(request);
    instance_->setImage(kOfxImageEffectSimpleSourceClipName, nullptr);
    if (result.status != kOfxStatOK || !result.output)
        throw CliError("the plug-in failed to render frame " + std::to_string(frame) + ": " +
                       statusName(result.status));
    return result.output;
}

}  // namespace tonemill::cli
