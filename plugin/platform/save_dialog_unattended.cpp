#include "plugin/platform/save_dialog_unattended.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "formats/console_line.h"
#include "ofx/support/ofxsLog.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace ChromvaleBeta2 {
namespace {

// Enough for any number of exports of one look; beyond it the folder is
// more likely unusable than full.
constexpr int kMaxCopies = 999;

// Creates an empty file, failing if the path exists; errno tells why.
bool createNewFile(const std::string& path) {
#ifdef _WIN32
    const int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL, 0644);
    return fd >= 0 && _close(fd) == 0;
#else
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    return fd >= 0 && close(fd) == 0;
#endif
}

void tellUser(const std::string& line) {
    OFX::Log::print("%s", line.c_str());
    writeConsoleLine(line);
}

}  // namespace

std::optional<SaveTarget> UnattendedSaveDialog::askForTarget(const SaveRequest& request) {
    const std::string stem = request.folder + "/" + request.proposedName;
    for (int copy = 1; copy <= kMaxCopies; ++copy) {
        std::string path = stem;
        if (copy > 1) path.append("_").append(std::to_string(copy));
        path.append(".cube");
        if (createNewFile(path)) return SaveTarget{std::move(path), true};
        if (errno != EEXIST) {
            tellUser("Could not save the LUT as " + path + ": " + std::strerror(errno));
            return std::nullopt;
        }
    }
    tellUser("Could not save the LUT in " + request.folder + ": every name from " + request.proposedName + " to " +
             request.proposedName + "_" + std::to_string(kMaxCopies) + " is taken");
    return std::nullopt;
}

void finishUnattendedSave(const SaveTarget& target, bool written) {
    if (written) {
        tellUser("No save dialog could be shown; the LUT was saved as " + target.path);
        return;
    }
    std::error_code ignored;
    std::filesystem::remove(target.path, ignored);
}

}  // namespace ChromvaleBeta2
