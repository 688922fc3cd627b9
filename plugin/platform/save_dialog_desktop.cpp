#ifndef _WIN32

#include "plugin/platform/save_dialog_desktop.h"

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "ofx/support/ofxsLog.h"
#include "plugin/platform/save_dialog_unattended.h"

extern char** environ;

namespace ChromvaleBeta2 {
namespace {

// A path is far shorter; anything beyond this is not a path.
constexpr std::size_t kMaxAnswerBytes = 1 << 16;

struct ProgramRun {
    enum class Outcome { NotStarted, Exited, Failed };
    Outcome outcome = Outcome::NotStarted;
    int exitCode = 0;
    std::string output;
};

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return text;
        if (text.size() < kMaxAnswerBytes) text.append(buffer, static_cast<std::size_t>(got));
    }
}

// Runs a program found on PATH, waits for it and collects its standard output.
ProgramRun runProgram(std::vector<std::string> args) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);

    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawnError = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawnError != 0) {
        close(pipeEnds[0]);
        return {};
    }

    ProgramRun run;
    run.output = readAll(pipeEnds[0]);
    close(pipeEnds[0]);
    int status = 0;
    pid_t waited = 0;
    do {
        waited = waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited < 0) {
        // A host that ignores SIGCHLD reaps children itself; the answer then
        // is all there is to go by.
        run.outcome = ProgramRun::Outcome::Exited;
        run.exitCode = run.output.empty() ? 1 : 0;
    } else if (WIFEXITED(status)) {
        run.outcome = ProgramRun::Outcome::Exited;
        run.exitCode = WEXITSTATUS(status);
    } else {
        run.outcome = ProgramRun::Outcome::Failed;
    }
    return run;
}

bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

std::vector<std::string> zenityArgs(const std::string& proposedPath) {
    return {"zenity",
            "--file-selection",
            "--save",
            "--confirm-overwrite",
            std::string("--title=") + kSaveDialogTitle,
            "--filename=" + proposedPath,
            "--file-filter=Cube | *.cube"};
}

std::vector<std::string> kdialogArgs(const std::string& proposedPath) {
    return {"kdialog", "--title", kSaveDialogTitle, "--getsavefilename", proposedPath, "*.cube|Cube"};
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) return user->pw_dir;
    return std::filesystem::temp_directory_path().string();
}

}  // namespace

std::optional<SaveTarget> DesktopSaveDialog::askForTarget(const SaveRequest& request) {
    if (hasDisplay()) {
        const std::string proposedPath = request.folder + "/" + request.proposedName + ".cube";
        for (auto args : {zenityArgs(proposedPath), kdialogArgs(proposedPath)}) {
            const std::string program = args.front();
            ProgramRun run = runProgram(std::move(args));
            if (run.outcome == ProgramRun::Outcome::NotStarted) continue;
            if (run.outcome == ProgramRun::Outcome::Exited && run.exitCode <= 1) {
                std::string& path = run.output;
                if (path.ends_with('\n')) path.pop_back();
                if (run.exitCode == 1 || path.empty()) return std::nullopt;
                return SaveTarget{std::move(path), false};
            }
            OFX::Log::warning(true, "The save dialog %s failed; saving without asking", program.c_str());
            break;
        }
    }
    return m_fallback->askForTarget(request);
}

std::unique_ptr<SaveDialog> makePlatformSaveDialog() {
    return std::make_unique<DesktopSaveDialog>(std::make_unique<UnattendedSaveDialog>());
}

std::string defaultExportFolder() {
    const std::string home = homeFolder();
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const std::string hostLuts =
        (dataHome && *dataHome ? std::string(dataHome) : home + "/.local/share") + "/DaVinciResolve/LUT";
    std::error_code ignored;
    if (std::filesystem::is_directory(hostLuts, ignored)) return hostLuts + "/CHROMVALE";
    return home + "/Tonemill LUTs";
}

void createExportFolder(const std::string& folder) {
    mkdir(folder.c_str(), 0755);
}

}  // namespace ChromvaleBeta2

#endif  // _WIN32
