#include "host/runtime_library.h"

namespace tonemill::host {

RuntimeLibrary::RuntimeLibrary(const char* soname, std::string user) : soname_(soname), user_(std::move(user)) {
    // Never unmapped: ICD loaders and drivers keep threads and state that do not
    // survive being unloaded, and would leak what they allocated.
    try {
        library_ = std::make_unique<SharedLibrary>(soname_, SharedLibrary::Residence::KeepLoaded);
    } catch (const std::runtime_error&) {
        throw std::runtime_error(user_ + ": cannot open " + soname_);
    }
}

RuntimeLibrary::~RuntimeLibrary() = default;

void* RuntimeLibrary::find(const char* symbol) const {
    void* address = library_->symbol(symbol);
    if (!address) throw std::runtime_error(user_ + ": " + soname_ + " lacks " + symbol);
    return address;
}

}  // namespace tonemill::host
