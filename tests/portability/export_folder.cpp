#include "tests/portability/export_folder.h"

#include <cstdlib>

namespace tonemill::portability {

std::filesystem::path prepareExportFolder(const std::filesystem::path& scratch) {
#ifdef _WIN32
    (void)scratch;
    const std::filesystem::path hostLuts = "C:/ProgramData/Blackmagic Design/DaVinci Resolve/Support/LUT";
#else
    const std::filesystem::path dataHome = std::filesystem::absolute(scratch / "data-home");
    const std::filesystem::path hostLuts = dataHome / "DaVinciResolve" / "LUT";
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
#endif
    std::filesystem::create_directories(hostLuts);
    return hostLuts / "CHROMVALE";
}

}  // namespace tonemill::portability
