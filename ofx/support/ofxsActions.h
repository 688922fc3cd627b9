#pragma once
// The instance actions mainEntry hands on: finding the instance behind an effect
// handle, the descriptor of a context, and one handler per action that reads the
// in-arguments, calls the instance and writes its answers to the out-arguments.
// Handlers answering yes/no return whether the instance supplied a result.

#include <string>

#include "ofx/support/effect_enums.h"
#include "ofx/support/ofxsProperty.h"
#include "ofxImageEffect.h"

namespace OFX {

class ImageEffect;
class ImageEffectDescriptor;

// The instance that stored itself in the handle's "OfxPropInstanceData"; null, after an
// error line, when there is none.
ImageEffect* retrieveImageEffectPointer(OfxImageEffectHandle handle);

namespace Private {

// As retrieveImageEffectPointer, but a missing instance fails the action with
// kOfxStatErrBadHandle instead of being used.
ImageEffect& retrieveImageEffect(OfxImageEffectHandle handle);

// The descriptor made by describe-in-context for the context under the factory's
// unique id; null when the host never described that context.
ImageEffectDescriptor* findDescriptor(const std::string& uid, ContextEnum context);

void renderAction(OfxImageEffectHandle handle, const PropertySet& inArgs, const std::string& uid);
void beginSequenceRenderAction(OfxImageEffectHandle handle, const PropertySet& inArgs, const std::string& uid);
void endSequenceRenderAction(OfxImageEffectHandle handle, const PropertySet& inArgs, const std::string& uid);
bool isIdentityAction(OfxImageEffectHandle handle, const PropertySet& inArgs, PropertySet& outArgs);
bool regionOfDefinitionAction(OfxImageEffectHandle handle, const PropertySet& inArgs, PropertySet& outArgs);
bool regionsOfInterestAction(OfxImageEffectHandle handle, const PropertySet& inArgs, PropertySet& outArgs,
                             const std::string& uid);
bool framesNeededAction(OfxImageEffectHandle handle, const PropertySet& inArgs, PropertySet& outArgs,
                        const std::string& uid);
bool clipPreferencesAction(OfxImageEffectHandle handle, PropertySet& outArgs, const std::string& uid);
bool timeDomainAction(OfxImageEffectHandle handle, PropertySet& outArgs);
void beginInstanceChangedAction(OfxImageEffectHandle handle, const PropertySet& inArgs);
void instanceChangedAction(OfxImageEffectHandle handle, const PropertySet& inArgs);
void endInstanceChangedAction(OfxImageEffectHandle handle, const PropertySet& inArgs);

}  // namespace Private
}  // namespace OFX
