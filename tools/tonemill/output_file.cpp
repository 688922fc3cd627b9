#include "tools/tonemill/output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/temporary_cleanup.h"

namespace tonemill::cli {
namespace {

// ".NAME.tonemill-PID.EXT" beside the target; NAME is shortened so that a
// target name of up to NAME_MAX bytes still has a temporary that fits.
std::string temporaryName(const std::filesystem::path& target, int attempt) {
    std::string suffix = ".tonemill-" + std::to_string(::getpid());
    if (attempt > 0) suffix.append("-").append(std::to_string(attempt));
    suffix.append(target.extension().string());
    std::string stem = target.stem().string();
    const size_t room = NAME_MAX - 1 - suffix.size();
    if (stem.size() > room) stem.resize(room);
    return std::string(1, '.').append(stem).append(suffix);
}

std::string folderOf(const std::filesystem::path& target) {
    return target.has_parent_path() ? target.parent_path().string() : std::string(".");
}

std::string reason(int error) {
    return std::strerror(error != 0 ? error : EIO);
}

// Renaming over a file needs only the folder's permission, so the file's own
// is checked here. Root, who may write anything, is held to the write bits as
// the kernel holds it to the execute bits: a protected render stays protected.
bool writableByCaller(const std::string& path, const struct stat& status) {
    if (::geteuid() == 0) return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace

OutputFile::OutputFile(std::string target) : target_(std::move(target)) {
    const std::filesystem::path path(target_);
    const std::string cannot = "cannot write " + quotedText(target_) + ": ";
    if (path.filename().empty()) throw CliError(cannot + "it names a folder");
    // The rename at the end would fail, after the whole frame was rendered.
    if (path.filename().string().size() > NAME_MAX)
        throw CliError(cannot + "its name is longer than the " + std::to_string(NAME_MAX) + " bytes a file name holds");
    struct stat existing {};
    const bool replaces = ::stat(target_.c_str(), &existing) == 0;
    // A rename would put the file in place of a folder's name, or of a device such as /dev/null.
    if (replaces && !S_ISREG(existing.st_mode))
        throw CliError(cannot + (S_ISDIR(existing.st_mode) ? "it is a folder" : "it is not a regular file"));
    if (replaces && !writableByCaller(target_, existing))
        throw CliError(cannot + "the file there is write-protected; it is left as it is");
    // Watched before it exists, so that no signal finds it created but unknown.
    for (int attempt = 0; descriptor_ < 0 && attempt < 100; ++attempt) {
        temporary_ = (path.parent_path() / temporaryName(path, attempt)).string();
        watched_ = watchTemporary(temporary_, target_);
        descriptor_ = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor_ >= 0) break;
        const int error = errno;
        if (watched_) unwatchTemporary(temporary_);
        temporary_.clear();
        // The folder is at fault (read-only, missing), not the file.
        if (error != EEXIST)
            throw CliError(cannot + "cannot create a file in its folder " + quotedText(folderOf(path)) + ": " +
                           reason(error));
    }
    if (descriptor_ < 0) throw CliError(cannot + reason(EEXIST));
    // The replacement is readable by whom the earlier file was, no more.
    if (replaces && ::fchmod(descriptor_, existing.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO)) != 0) failure_ = errno;
}

OutputFile::~OutputFile() {
    discard();
}

void OutputFile::discard() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    if (temporary_.empty()) return;
    ::unlink(temporary_.c_str());
    if (watched_) unwatchTemporary(temporary_);
    temporary_.clear();
}

void OutputFile::append(const void* bytes, size_t count) {
    writeAt(bytes, count, size_);
}

void OutputFile::writeAt(const void* bytes, size_t count, int64_t offset) {
    if (failure_ != 0 || descriptor_ < 0) return;
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t written = ::pwrite(descriptor_, next, count, offset);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            failure_ = written < 0 ? errno : ENOSPC;
            return;
        }
        next += written;
        count -= static_cast<size_t>(written);
        offset += written;
        if (offset > size_) size_ = offset;
    }
}

size_t OutputFile::readAt(void* bytes, size_t count, int64_t offset) const {
    if (descriptor_ < 0) return 0;
    const ssize_t read = ::pread(descriptor_, bytes, count, offset);
    return read > 0 ? static_cast<size_t>(read) : 0;
}

std::string lowercaseExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

void OutputFile::commit() {
    const std::string cannot = "cannot write " + quotedText(target_) + ": ";
    if (failure_ != 0) throw CliError(cannot + reason(failure_));
    // A full disk or a quota may only show when the data reaches the disk.
    if (::fsync(descriptor_) != 0 && errno != EINVAL && errno != EROFS) throw CliError(cannot + reason(errno));
    const int closed = ::close(descriptor_);
    descriptor_ = -1;
    if (closed != 0) throw CliError(cannot + reason(errno));
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        throw CliError("cannot move the finished file into place at " + quotedText(target_) + ": " + reason(errno));
    if (watched_) unwatchTemporary(temporary_);
    temporary_.clear();
}

}  // namespace tonemill::cli
