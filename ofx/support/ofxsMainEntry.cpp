// mainEntry: every action of every plug-in passes through here, is checked, logged,
// dispatched, and leaves as a status.

#include <cstring>
#include <new>
#include <string>

#include "ofx/support/ofxsActions.h"
#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsFactory.h"
#include "ofx/support/ofxsHostBinding.h"
#include "ofx/support/ofxsImageEffect.h"
#include "ofx/support/ofxsLog.h"
#include "ofx/support/ofxsProperty.h"
#include "ofx/support/ofxsRegistry.h"

namespace OFX {

ImageEffect* retrieveImageEffectPointer(OfxImageEffectHandle handle) {
    OfxPropertySetHandle props = nullptr;
    throwSuiteStatusException(imageEffectSuite().getPropertySet(handle, &props));
    auto* instance = static_cast<ImageEffect*>(PropertySet(props).propGetPointer(kOfxPropInstanceData));
    Log::error(instance == nullptr, "Instance data handle in effect instance properties is NULL!");
    return instance;
}

namespace Private {

ImageEffect& retrieveImageEffect(OfxImageEffectHandle handle) {
    ImageEffect* instance = retrieveImageEffectPointer(handle);
    if (!instance) throwSuiteStatusException(kOfxStatErrBadHandle);
    return *instance;
}

}  // namespace Private

namespace {

// What one action finds on entry.
struct ActionCall {
    const char* action;
    const void* handle;
    PropertySet inArgs;
    PropertySet outArgs;
    PluginFactory& factory;
    const std::string& uid;

    OfxImageEffectHandle effect() const { return static_cast<OfxImageEffectHandle>(const_cast<void*>(handle)); }
    ImageEffect& instance() const { return Private::retrieveImageEffect(effect()); }
};

OfxStatus yesOrDefault(bool answered) {
    return answered ? kOfxStatOK : kOfxStatReplyDefault;
}

OfxStatus load(ActionCall& call) {
    Private::loadAction();
    call.factory.load();
    return kOfxStatOK;
}

OfxStatus unload(ActionCall& call) {
    call.factory.unload();
    if (Private::unloadAction(call.uid.c_str())) PluginRegistry::instance().forgetDescriptors(call.uid);
    return kOfxStatOK;
}

OfxStatus describe(ActionCall& call) {
    auto descriptor = std::make_unique<ImageEffectDescriptor>(call.effect());
    call.factory.describe(*descriptor);
    PluginRegistry::instance().storeDescriptor(call.uid, eContextNone, std::move(descriptor));
    return kOfxStatOK;
}

OfxStatus describeInContext(ActionCall& call) {
    auto descriptor = std::make_unique<ImageEffectDescriptor>(call.effect());
    const ContextEnum context = mapStrToContextEnum(call.inArgs.propGetString(kOfxImageEffectPropContext));
    call.factory.describeInContext(*descriptor, context);
    PluginRegistry::instance().storeDescriptor(call.uid, context, std::move(descriptor));
    return kOfxStatOK;
}

OfxStatus createInstance(ActionCall& call) {
    OfxPropertySetHandle props = nullptr;
    throwSuiteStatusException(imageEffectSuite().getPropertySet(call.effect(), &props));
    const ContextEnum context = mapStrToContextEnum(PropertySet(props).propGetString(kOfxImageEffectPropContext));
    // The instance stores itself on the handle; destroy-instance finds and deletes it.
    call.factory.createInstance(call.effect(), context);
    return kOfxStatOK;
}

OfxStatus destroyInstance(ActionCall& call) {
    delete retrieveImageEffectPointer(call.effect());
    return kOfxStatOK;
}

OfxStatus render(ActionCall& call) {
    Private::renderAction(call.effect(), call.inArgs, call.uid);
    return kOfxStatOK;
}

OfxStatus beginSequenceRender(ActionCall& call) {
    Private::beginSequenceRenderAction(call.effect(), call.inArgs, call.uid);
    return kOfxStatReplyDefault;
}

OfxStatus endSequenceRender(ActionCall& call) {
    Private::endSequenceRenderAction(call.effect(), call.inArgs, call.uid);
    return kOfxStatReplyDefault;
}

OfxStatus isIdentity(ActionCall& call) {
    return yesOrDefault(Private::isIdentityAction(call.effect(), call.inArgs, call.outArgs));
}

OfxStatus regionOfDefinition(ActionCall& call) {
    return yesOrDefault(Private::regionOfDefinitionAction(call.effect(), call.inArgs, call.outArgs));
}

OfxStatus regionsOfInterest(ActionCall& call) {
    return yesOrDefault(Private::regionsOfInterestAction(call.effect(), call.inArgs, call.outArgs, call.uid));
}

OfxStatus framesNeeded(ActionCall& call) {
    return yesOrDefault(Private::framesNeededAction(call.effect(), call.inArgs, call.outArgs, call.uid));
}

OfxStatus clipPreferences(ActionCall& call) {
    return yesOrDefault(Private::clipPreferencesAction(call.effect(), call.outArgs, call.uid));
}

OfxStatus purgeCaches(ActionCall& call) {
    call.instance().purgeCaches();
    return kOfxStatReplyDefault;
}

OfxStatus syncPrivateData(ActionCall& call) {
    call.instance().syncPrivateData();
    return kOfxStatReplyDefault;
}

OfxStatus timeDomain(ActionCall& call) {
    return yesOrDefault(Private::timeDomainAction(call.effect(), call.outArgs));
}

OfxStatus beginInstanceChanged(ActionCall& call) {
    Private::beginInstanceChangedAction(call.effect(), call.inArgs);
    return kOfxStatReplyDefault;
}

OfxStatus instanceChanged(ActionCall& call) {
    Private::instanceChangedAction(call.effect(), call.inArgs);
    return kOfxStatReplyDefault;
}

OfxStatus endInstanceChanged(ActionCall& call) {
    Private::endInstanceChangedAction(call.effect(), call.inArgs);
    return kOfxStatReplyDefault;
}

OfxStatus beginInstanceEdit(ActionCall& call) {
    call.instance().beginEdit();
    return kOfxStatReplyDefault;
}

OfxStatus endInstanceEdit(ActionCall& call) {
    call.instance().endEdit();
    return kOfxStatReplyDefault;
}

// How an action treats each of its three arguments.
enum class Arg { Unchecked, Required, Null };

struct ActionEntry {
    const char* name;
    Arg handle, in, out;
    OfxStatus (*perform)(ActionCall&);
};

constexpr Arg U = Arg::Unchecked, R = Arg::Required, N = Arg::Null;

constexpr ActionEntry kActions[] = {
    {kOfxActionLoad, U, U, U, load},
    {kOfxActionUnload, N, N, N, unload},
    {kOfxActionDescribe, R, N, N, describe},
    {kOfxImageEffectActionDescribeInContext, R, R, N, describeInContext},
    {kOfxActionCreateInstance, R, N, N, createInstance},
    {kOfxActionDestroyInstance, R, N, N, destroyInstance},
    {kOfxImageEffectActionRender, R, R, N, render},
    {kOfxImageEffectActionBeginSequenceRender, R, R, N, beginSequenceRender},
    {kOfxImageEffectActionEndSequenceRender, R, R, N, endSequenceRender},
    {kOfxImageEffectActionIsIdentity, R, R, R, isIdentity},
    {kOfxImageEffectActionGetRegionOfDefinition, R, R, R, regionOfDefinition},
    {kOfxImageEffectActionGetRegionsOfInterest, R, R, R, regionsOfInterest},
    {kOfxImageEffectActionGetFramesNeeded, R, R, R, framesNeeded},
    {kOfxImageEffectActionGetClipPreferences, R, N, R, clipPreferences},
    {kOfxActionPurgeCaches, R, N, N, purgeCaches},
    {kOfxActionSyncPrivateData, R, N, N, syncPrivateData},
    {kOfxImageEffectActionGetTimeDomain, R, N, R, timeDomain},
    {kOfxActionBeginInstanceChanged, R, R, N, beginInstanceChanged},
    {kOfxActionInstanceChanged, R, R, N, instanceChanged},
    {kOfxActionEndInstanceChanged, R, R, N, endInstanceChanged},
    {kOfxActionBeginInstanceEdit, R, N, N, beginInstanceEdit},
    {kOfxActionEndInstanceEdit, R, N, N, endInstanceEdit},
};

// Logs one argument against its rule; true when a required argument is missing.
bool checkArgument(Arg rule, const void* argument, const char* missingLine, const char* presentLine,
                   const char* action) {
    Log::error(rule == Arg::Required && !argument, missingLine, action);
    Log::warning(rule == Arg::Null && argument, presentLine, action);
    return rule == Arg::Required && !argument;
}

void checkMainHandles(const ActionEntry& entry, const char* action, const void* handle, OfxPropertySetHandle inArgs,
                      OfxPropertySetHandle outArgs) {
    bool missing = checkArgument(entry.handle, handle, "'Handle passed to '%s' is null.",
                                 "Handle passed to '%s' is not null.", action);
    missing |= checkArgument(entry.in, inArgs, "'inArgs' handle passed to '%s' is null.",
                             "'inArgs' Handle passed to '%s' is not null.", action);
    missing |= checkArgument(entry.out, outArgs, "'outArgs' handle passed to '%s' is null.",
                             "'outArgs' Handle passed to '%s' is not null.", action);
    if (missing) throwSuiteStatusException(kOfxStatErrBadHandle);
}

// A plug-in's private actions are named after its identifier ("com.example.effect.doThing"),
// so that no host's own extension actions reach it.
bool isPrivateAction(const char* action, const std::string& pluginId) {
    return action && std::strncmp(action, pluginId.c_str(), pluginId.size()) == 0 && action[pluginId.size()] == '.';
}

// A private action goes to the instance it names, with both argument sets.
OfxStatus privateAction(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                        OfxPropertySetHandle outArgs) {
    if (!handle || !inArgs || !outArgs) throwSuiteStatusException(kOfxStatErrBadHandle);
    ImageEffect& instance = Private::retrieveImageEffect(static_cast<OfxImageEffectHandle>(const_cast<void*>(handle)));
    PropertySet in(inArgs), out(outArgs);
    return instance.privateAction(action, in, out) ? kOfxStatOK : kOfxStatReplyDefault;
}

const ActionEntry* findAction(const char* action) {
    if (!action) return nullptr;
    for (const ActionEntry& entry : kActions)
        if (std::strcmp(entry.name, action) == 0) return &entry;
    return nullptr;
}

OfxStatus dispatch(const char* action, const void* handle, OfxPropertySetHandle inArgs, OfxPropertySetHandle outArgs,
                   const std::string& uid) {
    // Unique ids come from the factories' own entry functions; one the registry does
    // not know means a broken caller, and nothing is touched for it.
    PluginFactory* factory = PluginRegistry::instance().findFactory(uid);
    if (!factory) {
        Log::error(true, "No plug-in is registered under the unique id '%s'.", uid.c_str());
        return kOfxStatErrBadHandle;
    }
    const ActionEntry* entry = findAction(action);
    if (!entry && isPrivateAction(action, factory->getID())) return privateAction(action, handle, inArgs, outArgs);
    if (!entry) {
        Log::error(true, "Unknown action '%s'.", action ? action : "(null)");
        return kOfxStatReplyDefault;
    }
    checkMainHandles(*entry, action, handle, inArgs, outArgs);
    ActionCall call{action, handle, PropertySet(inArgs), PropertySet(outArgs), *factory, uid};
    return entry->perform(call);
}

}  // namespace

OfxStatus mainEntry(const char* action, const void* handle, OfxPropertySetHandle inArgs, OfxPropertySetHandle outArgs,
                    const std::string& uid) noexcept {
    const char* shownAction = action ? action : "(null)";
    Log::print("********************************************************************************");
    Log::print("START mainEntry (%s)", shownAction);
    Log::indent();
    OfxStatus status = kOfxStatReplyDefault;
    try {
        status = dispatch(action, handle, inArgs, outArgs, uid);
    } catch (const Exception::Suite& e) {
        status = e.status();
    } catch (const Exception::HostInadequate&) {
        status = kOfxStatErrMissingHostFeature;
    } catch (const Exception::PropertyUnknownToHost&) {
        status = kOfxStatErrMissingHostFeature;
    } catch (const std::bad_alloc&) {
        status = kOfxStatErrMemory;
    } catch (...) {
        status = kOfxStatFailed;
    }
    Log::outdent();
    Log::print("STOP mainEntry (%s)\n", shownAction);
    return status;
}

}  // namespace OFX
