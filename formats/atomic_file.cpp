#include "formats/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

namespace ChromvaleBeta2 {
namespace {

std::string temporaryPathBeside(const std::string& target) {
    std::random_device random;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x%08x.tmp", random(), random());
    return target + suffix;
}

}  // namespace

AtomicFile::AtomicFile(std::string target) : m_target(std::move(target)), m_temporary(temporaryPathBeside(m_target)) {
    m_file = std::fopen(m_temporary.c_str(), "wb");
    if (!m_file) {
        m_writeError = errno;
    }
}

AtomicFile::~AtomicFile() {
    discard();
}

void AtomicFile::discard() {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_committed) {
        std::error_code ignored;
        std::filesystem::remove(m_temporary, ignored);
    }
}

bool AtomicFile::write(const void* bytes, std::size_t count) {
    if (!m_file || m_writeError != 0) {
        return false;
    }
    if (count == 0) {
        return true;  // an empty buffer may have no address to hand to fwrite
    }
    errno = 0;
    if (std::fwrite(bytes, 1, count, m_file) != count) {
        m_writeError = errno != 0 ? errno : EIO;
    }
    return m_writeError == 0;
}

bool AtomicFile::commit(std::string& error) {
    if (!m_file || m_writeError != 0) {
        error = std::strerror(m_writeError != 0 ? m_writeError : EIO);
        discard();
        return false;
    }
    std::FILE* file = std::exchange(m_file, nullptr);
    errno = 0;
    if (std::fclose(file) != 0) {
        error = std::strerror(errno != 0 ? errno : EIO);
        discard();
        return false;
    }
    std::error_code renameError;
    std::filesystem::rename(m_temporary, m_target, renameError);
    if (renameError) {
        error = renameError.message();
        discard();
        return false;
    }
    m_committed = true;
    return true;
}

}  // namespace ChromvaleBeta2
