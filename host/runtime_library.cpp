#include "host/runtime_library.h"

#include <dlfcn.h>

namespace tonemill::host {

RuntimeLibrary::RuntimeLibrary(const char* soname, std::string user) : soname_(soname), user_(std::move(user)) {
    // Never unmapped: ICD loaders and drivers keep threads and state that do not
    // survive being unloaded, and would leak what they allocated.
    handle_ = dlopen(soname, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle_) throw std::runtime_error(user_ + ": cannot open " + soname_);
}

RuntimeLibrary::~RuntimeLibrary() {
    dlclose(handle_);
}

void* RuntimeLibrary::find(const char* symbol) const {
    void* address = dlsym(handle_, symbol);
    if (!address) throw std::runtime_error(user_ + ": " + soname_ + " lacks " + symbol);
    return address;
}

}  // namespace tonemill::host
