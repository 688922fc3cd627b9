#ifdef _WIN32

#include <windows.h>

#include <stdexcept>

#include "host/shared_library.h"

namespace tonemill::host {
namespace {

// Paths are UTF-8 everywhere in the host; the wide loader takes any of them,
// whatever the code page of the system. The loader wants backslashes.
std::wstring widePath(const std::string& path) {
    if (path.empty()) return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (size <= 0) throw std::runtime_error("the path is not valid UTF-8");
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), size);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return wide;
}

bool isPath(const std::wstring& name) {
    return name.find(L'\\') != std::wstring::npos;
}

// A path made full, as the loader needs it to search the library's own folder
// and to find a loaded module by name; a bare name stays for the usual search.
std::wstring loaderName(const std::string& name) {
    std::wstring wide = widePath(name);
    if (!isPath(wide)) return wide;
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return wide;
    full.resize(length);
    return full;
}

std::string systemMessage(DWORD code) {
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length && text ? std::string(text, length) : "";
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message + (message.empty() ? "" : " ") + "(Windows error " + std::to_string(code) + ")";
}

}  // namespace

SharedLibrary::SharedLibrary(const std::string& path, Residence residence) {
    const std::wstring file = loaderName(path);
    // A library named by path brings its own folder into the search for the DLLs it needs.
    const DWORD flags = isPath(file) ? LOAD_WITH_ALTERED_SEARCH_PATH : 0;
    // No dialog box for a library that cannot load: a host run unattended would wait on it.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, flags);
    const DWORD error = GetLastError();
    SetThreadErrorMode(previousMode, nullptr);
    if (!module) throw std::runtime_error(systemMessage(error));
    if (residence == Residence::KeepLoaded) {
        HMODULE pinned = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(module), &pinned);
    }
    handle_ = module;
}

SharedLibrary::~SharedLibrary() {
    FreeLibrary(static_cast<HMODULE>(handle_));
}

void* SharedLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

bool SharedLibrary::isMapped(const std::string& path) {
    HMODULE module = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, loaderName(path).c_str(), &module) != 0;
}

}  // namespace tonemill::host

#endif  // _WIN32
