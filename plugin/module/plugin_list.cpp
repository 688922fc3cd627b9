// The plug-in list of the library: the one effect it offers.

#include "ofx/support/ofxsFactory.h"
#include "plugin/chromvale_factory.h"

namespace OFX::Plugin {

void getPluginIDs(PluginFactoryArray& ids) {
    static ChromvaleBeta2::ChromvaleFactory factory;
    ids.push_back(&factory);
}

}  // namespace OFX::Plugin
