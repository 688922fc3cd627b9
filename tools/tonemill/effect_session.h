#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/bundle.h"
#include "host/host.h"
#include "host/instance.h"
#include "tools/tonemill/look_assignments.h"

namespace tonemill::cli {

// The OpenFX status name of a status, as the plug-in's log writes it.
std::string statusName(OfxStatus status);

// The plug-in loaded from its bundle, described, and one instance of the effect
// in the filter context, driven through the host library as any host drives it.
class EffectSession {
 public:
    // Throws CliError with the OpenFX status name when an action fails.
    EffectSession(const std::string& bundlePath, unsigned threads);
    // Another bundle's effect in the same host as `other` (a process has one host).
    EffectSession(const std::string& bundlePath, EffectSession& other);
    ~EffectSession();
    EffectSession(const EffectSession&) = delete;
    EffectSession& operator=(const EffectSession&) = delete;

    host::Host& host() { return *host_; }
    host::Plugin& plugin() { return *plugin_; }
    host::Instance& instance() { return *instance_; }
    const std::string& bundlePath() const { return bundlePath_; }

    // Sets each parameter; an unknown name is refused with the closest names.
    // Names the plug-in disables with these settings are warned about.
    void apply(const std::vector<Assignment>& assignments, bool warnIfDisabled = true);
    // Every parameter back at its default, as a user resetting the effect.
    void resetToDefaults();

    // A parameter that holds a value; throws CliError for an unknown name,
    // suggesting the closest ones. `origin` says where the name was given.
    host::Param& valueParam(const std::string& name, const std::string& origin);

    // The toggles that replace or mark the picture with test views.
    bool showsTestViews();
    void turnTestViewsOff();

    // Renders the whole source image at a time; the output covers the same bounds.
    std::shared_ptr<host::HostImage> render(std::shared_ptr<host::HostImage> source, std::int64_t frame,
                                            host::DeviceImages* device = nullptr);

 private:
    void open();
    std::vector<host::Param*> testViewToggles();

    std::string bundlePath_;
    std::shared_ptr<host::Host> host_;
    host::Plugin* plugin_ = nullptr;
    std::unique_ptr<host::Instance> instance_;
};

}  // namespace tonemill::cli
