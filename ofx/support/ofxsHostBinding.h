#pragma once
// The host pointer, the load count and the suites, as the load and unload actions
// change them.

#include "ofxCore.h"

namespace OFX::Private {

// The set-host function of every plug-in record.
void setHost(OfxHost* host);

// The first load of a process (or the first after a full unload) fetches the suites;
// the first successful one reads the host description. A load that fails counts for
// nothing and leaves no suite behind, so a retry is a first load again.
void loadAction();

// Returns false, after a warning naming the unique id, when nothing is loaded.
// Otherwise counts the unload; the last one forgets every suite.
bool unloadAction(const char* uid);

}  // namespace OFX::Private
