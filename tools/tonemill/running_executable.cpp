#include "tools/tonemill/running_executable.h"

namespace tonemill::cli {

std::filesystem::path runningExecutable() {
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable;
}

}  // namespace tonemill::cli
