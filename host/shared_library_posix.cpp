#ifndef _WIN32

#include <dlfcn.h>

#include <stdexcept>

#include "host/shared_library.h"

namespace tonemill::host {

SharedLibrary::SharedLibrary(const std::string& path, Residence residence) {
    const int keep = residence == Residence::KeepLoaded ? RTLD_NODELETE : 0;
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | keep);
    if (!handle_) {
        const char* why = dlerror();
        throw std::runtime_error(why ? why : "unknown error");
    }
}

SharedLibrary::~SharedLibrary() {
    dlclose(handle_);
}

void* SharedLibrary::symbol(const char* name) const {
    return dlsym(handle_, name);
}

bool SharedLibrary::isMapped(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

}  // namespace tonemill::host

#endif  // _WIN32
