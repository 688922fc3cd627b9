#include "gpu/opencl_api.h"

#include "gpu/runtime_library.h"

namespace ChromvaleBeta2 {

bool loadOpenClApi(const char* libraryName, OpenClApi& api) {
    void* library = openRuntimeLibrary(libraryName);
    if (!library) return false;
    OpenClApi loaded;
    bool complete = true;
#define TONEMILL_OPENCL_RESOLVE(name) complete = complete && resolveRuntimeSymbol(library, #name, loaded.name);
    TONEMILL_OPENCL_ENTRY_POINTS(TONEMILL_OPENCL_RESOLVE)
#undef TONEMILL_OPENCL_RESOLVE
    if (!complete) {
        closeRuntimeLibrary(library);
        return false;
    }
    api = loaded;
    return true;
}

const OpenClApi* openClApi() {
    static const OpenClApi* const api = [] {
        static OpenClApi loaded;
        return loadOpenClApi(kOpenClLoaderName, loaded) ? &loaded : nullptr;
    }();
    return api;
}

}  // namespace ChromvaleBeta2
