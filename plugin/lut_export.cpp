// The LUT export behind the two export buttons. This build offers no export
// yet: pressing a button logs that and changes nothing.

#include "ofx/support/ofxsLog.h"
#include "plugin/ChromvaleNG.h"

namespace ChromvaleBeta2 {

int ChromvaleNG::renderLUT(double /*time*/, int gridSize) {
    OFX::Log::error(true, "LUT export with %d points per axis is not available in this build", gridSize);
    return 2;
}

}  // namespace ChromvaleBeta2
