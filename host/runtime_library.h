#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "host/shared_library.h"

namespace tonemill::host {

// A shared library opened at run time, for optional GPU runtimes the host must not
// depend on at link time. Both operations throw std::runtime_error naming the user,
// the library and the missing piece.
class RuntimeLibrary {
 public:
    RuntimeLibrary(const char* soname, std::string user);
    ~RuntimeLibrary();
    RuntimeLibrary(const RuntimeLibrary&) = delete;
    RuntimeLibrary& operator=(const RuntimeLibrary&) = delete;

    template <class Fn>
    void bind(Fn& fn, const char* symbol) const {
        fn = reinterpret_cast<Fn>(find(symbol));
    }

 private:
    void* find(const char* symbol) const;
    std::unique_ptr<SharedLibrary> library_;
    std::string soname_;
    std::string user_;
};

}  // namespace tonemill::host
