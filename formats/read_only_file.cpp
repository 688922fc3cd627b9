#include "formats/read_only_file.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace ChromvaleBeta2 {
namespace {

#ifdef _WIN32
using FileStat = struct _stat64;
int statOpenFile(int file, FileStat* info) {
    return _fstat64(file, info);
}
bool seekTo(int file, uint64_t offset) {
    return _lseeki64(file, static_cast<__int64>(offset), SEEK_SET) >= 0;
}
long readSome(int file, unsigned char* buffer, std::size_t count) {
    return _read(file, buffer, static_cast<unsigned>(count < INT_MAX ? count : INT_MAX));
}
constexpr int kOpenFlags = _O_RDONLY | _O_BINARY;
#define TONEMILL_OPEN _open
#define TONEMILL_CLOSE _close
#else
using FileStat = struct stat;
int statOpenFile(int file, FileStat* info) {
    return fstat(file, info);
}
bool seekTo(int file, uint64_t offset) {
    return lseek(file, static_cast<off_t>(offset), SEEK_SET) >= 0;
}
long readSome(int file, unsigned char* buffer, std::size_t count) {
    return read(file, buffer, count < SSIZE_MAX ? count : SSIZE_MAX);
}
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC;
#define TONEMILL_OPEN ::open
#define TONEMILL_CLOSE ::close
#endif

}  // namespace

int openReadOnlyFile(const std::string& path) {
    const int file = TONEMILL_OPEN(path.c_str(), kOpenFlags);
    if (file < 0) {
        return -1;
    }
    FileStat info{};
    if (statOpenFile(file, &info) != 0 || (info.st_mode & S_IFMT) != S_IFREG) {
        const int reason = (info.st_mode & S_IFMT) == S_IFDIR ? EISDIR : EINVAL;
        TONEMILL_CLOSE(file);
        errno = reason;
        return -1;
    }
    return file;
}

std::optional<uint64_t> sizeOfOpenFile(int file) {
    FileStat info{};
    if (statOpenFile(file, &info) != 0 || info.st_size < 0) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(info.st_size);
}

std::size_t readFileAt(int file, uint64_t offset, unsigned char* buffer, std::size_t count) {
    if (!seekTo(file, offset)) {
        return 0;
    }
    std::size_t done = 0;
    while (done < count) {
        const long got = readSome(file, buffer + done, count - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void closeFile(int file) {
    if (file >= 0) {
        TONEMILL_CLOSE(file);
    }
}

}  // namespace ChromvaleBeta2
