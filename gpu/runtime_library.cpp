#include "gpu/runtime_library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace ChromvaleBeta2 {

#if defined(_WIN32)
void* openRuntimeLibrary(const char* name) {
    return reinterpret_cast<void*>(LoadLibraryA(name));
}
void closeRuntimeLibrary(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}
void* findRuntimeSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
#else
void* openRuntimeLibrary(const char* name) {
    return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}
void closeRuntimeLibrary(void* library) {
    dlclose(library);
}
void* findRuntimeSymbol(void* library, const char* name) {
    return dlsym(library, name);
}
#endif

}  // namespace ChromvaleBeta2
