// The pipeline links the host binding, which asks the plug-in for its
// factories; these tests register none.
#include "ofx/support/ofxsFactory.h"

void OFX::Plugin::getPluginIDs(OFX::PluginFactoryArray&) {}
