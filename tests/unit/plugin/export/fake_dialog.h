#pragma once

// Stand-ins for the desktop's dialog programs: scripts put first on PATH that
// record their arguments and give a scripted answer, so the save dialog is
// exercised exactly as it starts zenity or kdialog, in unit tests and inside
// a host alike.

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ChromvaleBeta2::testing {

// Sets environment variables for its own lifetime.
class ScopedEnvironment {
 public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (const auto& [name, earlier] : m_earlier) {
            if (earlier) {
                ::setenv(name.c_str(), earlier->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }
    void set(const std::string& name, const std::string& value) {
        remember(name);
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    void unset(const std::string& name) {
        remember(name);
        ::unsetenv(name.c_str());
    }

 private:
    void remember(const std::string& name) {
        if (m_earlier.count(name)) return;
        const char* value = std::getenv(name.c_str());
        m_earlier[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
    std::map<std::string, std::optional<std::string>> m_earlier;
};

// A folder of fake dialog programs that becomes the whole PATH, with a display
// announced, while the object lives.
class FakeDialogs {
 public:
    explicit FakeDialogs(std::filesystem::path folder) : m_folder(std::move(folder)) {
        std::filesystem::create_directories(m_folder);
        m_environment.set("PATH", m_folder.string());
        m_environment.set("DISPLAY", ":tonemill-test");
        m_environment.unset("WAYLAND_DISPLAY");
    }

    // `program` prints `answer` (a path, or nothing) and exits with `exitCode`
    // (zenity and kdialog: 0 chosen, 1 cancelled).
    void script(const std::string& program, const std::string& answer, int exitCode = 0) const {
        const std::filesystem::path file = m_folder / program;
        std::ofstream(file) << "#!/bin/sh\n"
                            << "printf '%s\\n' \"$@\" > '" << argumentsFile(program).string() << "'\n"
                            << "printf '%s\\n' '" << answer << "'\n"
                            << "exit " << exitCode << "\n";
        ::chmod(file.c_str(), 0755);
    }

    void remove(const std::string& program) const { std::filesystem::remove(m_folder / program); }
    void hideDisplay() { m_environment.unset("DISPLAY"); }

    bool ran(const std::string& program) const { return std::filesystem::exists(argumentsFile(program)); }

    // The arguments of the program's last run, one per line as it got them.
    std::vector<std::string> arguments(const std::string& program) const {
        std::vector<std::string> args;
        std::ifstream in(argumentsFile(program));
        for (std::string line; std::getline(in, line);) args.push_back(line);
        return args;
    }

 private:
    std::filesystem::path argumentsFile(const std::string& program) const { return m_folder / (program + ".args"); }

    std::filesystem::path m_folder;
    ScopedEnvironment m_environment;
};

}  // namespace ChromvaleBeta2::testing
