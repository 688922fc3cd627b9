#pragma once

namespace tonemill::host {

// Which generation and temper of host the library plays. Real hosts range from
// OpenFX 1.4 applications without the GPU extension to hosts that hold plug-ins to
// every rule of the API; a plug-in has to load and render in all of them.
struct HostProfile {
    // The host description carries the properties OpenFX 1.5 added
    // ("OfxParamHostPropSupportsStrChoiceAnimation").
    bool openFx15Properties = true;
    // The host description, effect descriptors and render arguments carry the GPU
    // render extension's properties.
    bool gpuRenderExtension = true;
    // paramSetValue and paramSetValueAtTime are refused (kOfxStatFailed) outside the
    // instance-changed actions, as the API allows them nowhere else.
    bool strictParamWrites = false;

    // What this library played before profiles existed: every property, any write.
    static HostProfile current() { return {}; }
    // An OpenFX 1.4 host without the GPU extension.
    static HostProfile openFx14() { return {false, false, false}; }
    // A current host that refuses parameter writes where the API does not allow them.
    static HostProfile strict() { return {true, true, true}; }
};

}  // namespace tonemill::host
