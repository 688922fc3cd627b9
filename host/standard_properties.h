#pragma once

#include <string>

#include "host/host_profile.h"
#include "host/property_set.h"

namespace tonemill::host {

// The properties this host gives each kind of object, with their types, dimensions
// and starting values. Sets are strict: a plug-in writing a name not listed here is
// told kOfxStatErrUnknown, as a careful host would.

PropertySet hostDescriptionProperties();
PropertySet effectDescriptorProperties(const std::string& bundlePath, const HostProfile& profile = {});
// Removes from a host description what a host of that profile does not have.
void trimToProfile(PropertySet& hostDescription, const HostProfile& profile);
// Turns a copy of a context descriptor's properties into an instance's.
void addEffectInstanceProperties(PropertySet& properties, const std::string& context);
PropertySet clipDescriptorProperties(const std::string& name);
void addClipInstanceProperties(PropertySet& properties);
PropertySet paramDescriptorProperties(const std::string& type, const std::string& name);

}  // namespace tonemill::host
