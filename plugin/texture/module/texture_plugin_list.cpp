// The plug-in list of the texture bundle's library: the texture effect alone.

#include "ofx/support/ofxsFactory.h"
#include "plugin/texture/texture_factory.h"

namespace OFX::Plugin {

void getPluginIDs(PluginFactoryArray& ids) {
    static TonemillTexture::TextureFactory factory;
    ids.push_back(&factory);
}

}  // namespace OFX::Plugin
