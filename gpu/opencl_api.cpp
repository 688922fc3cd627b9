#include "gpu/opencl_api.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace ChromvaleBeta2 {
namespace {

#if defined(_WIN32)
constexpr const char* kIcdLoaderName = "OpenCL.dll";
using LibraryHandle = HMODULE;
LibraryHandle openLibrary(const char* name) {
    return LoadLibraryA(name);
}
void closeLibrary(LibraryHandle library) {
    FreeLibrary(library);
}
void* findSymbol(LibraryHandle library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(library, name));
}
#else
constexpr const char* kIcdLoaderName = "libOpenCL.so.1";
using LibraryHandle = void*;
LibraryHandle openLibrary(const char* name) {
    return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}
void closeLibrary(LibraryHandle library) {
    dlclose(library);
}
void* findSymbol(LibraryHandle library, const char* name) {
    return dlsym(library, name);
}
#endif

template <typename Function>
bool resolve(LibraryHandle library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(findSymbol(library, name));
    return function != nullptr;
}

}  // namespace

bool loadOpenClApi(const char* libraryName, OpenClApi& api) {
    LibraryHandle library = openLibrary(libraryName);
    if (!library) return false;
    OpenClApi loaded;
    bool complete = true;
#define TONEMILL_OPENCL_RESOLVE(name) complete = complete && resolve(library, #name, loaded.name);
    TONEMILL_OPENCL_ENTRY_POINTS(TONEMILL_OPENCL_RESOLVE)
#undef TONEMILL_OPENCL_RESOLVE
    if (!complete) {
        closeLibrary(library);
        return false;
    }
    api = loaded;
    return true;
}

const OpenClApi* openClApi() {
    static const OpenClApi* const api = [] {
        static OpenClApi loaded;
        return loadOpenClApi(kIcdLoaderName, loaded) ? &loaded : nullptr;
    }();
    return api;
}

}  // namespace ChromvaleBeta2
