#pragma once

#include <string>

namespace tonemill::host {

// A shared library opened at run time: the one place that knows the platform's
// loader (dlopen on POSIX systems, LoadLibraryW on Windows).
class SharedLibrary {
 public:
    enum class Residence {
        // Mapped until the process ends, whatever closes it.
        KeepLoaded,
        // Unmapped when the last handle to it closes, as a host that frees plug-ins does.
        UnloadOnClose,
    };

    // Throws std::runtime_error with the loader's own reason.
    SharedLibrary(const std::string& path, Residence residence);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The address of an exported symbol, or null when the library lacks it.
    void* symbol(const char* name) const;

    // Whether the library at this path is mapped into the process now.
    static bool isMapped(const std::string& path);

 private:
    void* handle_ = nullptr;
};

}  // namespace tonemill::host
