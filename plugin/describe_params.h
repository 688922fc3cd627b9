#pragma once

#include "ofx/support/ofxsImageEffect.h"

namespace ChromvaleBeta2 {

// Defines the page and every parameter of the catalogue on a descriptor, in
// catalogue order, appending each to the page as it is defined.
void describeParams(OFX::ImageEffectDescriptor& desc);

}  // namespace ChromvaleBeta2
