#pragma once

// GPU runtimes are opened at run time, never linked, so that the plug-in loads
// on machines without them. These wrap the platform's loader for that.

namespace ChromvaleBeta2 {

// The names under which each platform installs the runtimes.
#if defined(_WIN32)
inline constexpr const char* kOpenClLoaderName = "OpenCL.dll";
inline constexpr const char* kCudaDriverName = "nvcuda.dll";
#else
inline constexpr const char* kOpenClLoaderName = "libOpenCL.so.1";
inline constexpr const char* kCudaDriverName = "libcuda.so.1";
#endif

// Null when the library cannot be opened.
void* openRuntimeLibrary(const char* name);
void closeRuntimeLibrary(void* library);
// Null when `library` has no symbol of that name.
void* findRuntimeSymbol(void* library, const char* name);

// Resolves `name` in `library` into `function`; false when it is missing.
template <typename Function>
bool resolveRuntimeSymbol(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(findRuntimeSymbol(library, name));
    return function != nullptr;
}

}  // namespace ChromvaleBeta2
