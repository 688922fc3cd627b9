#include <dlfcn.h>

#include <filesystem>
#include <string>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/commands_module.h"

namespace tonemill::cli {
namespace {

namespace fs = std::filesystem;

using RunCommand = int (*)(int, char**);

// The module stays loaded until the process ends: the commands' objects may
// outlive the call through exit handlers.
void* openModule() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) throw CliError("cannot find where tonemill itself lies: " + error.message());
    const fs::path folder = program.parent_path();
    std::string complaints;
    for (const fs::path& candidate :
         {folder / kCommandsModule, folder.parent_path() / "lib" / "tonemill" / kCommandsModule}) {
        if (!fs::exists(candidate)) continue;
        if (void* module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
        complaints += std::string("; ") + dlerror();
    }
    throw CliError("cannot load the commands module " + std::string(kCommandsModule) + " beside " + folder.string() +
                   " or in " + (folder.parent_path() / "lib" / "tonemill").string() + complaints);
}

}  // namespace

bool isModuleCommand(std::string_view command) {
    return command == "render" || command == "bake" || command == "list" || command == "info" || command == "sheet" ||
           command == "looks";
}

int runThroughCommandsModule(int argc, char** argv) {
    void* module = openModule();
    auto run = reinterpret_cast<RunCommand>(dlsym(module, kRunCommandSymbol));
    if (run == nullptr) throw CliError(std::string("the commands module has no entry point: ") + dlerror());
    return run(argc, argv);
}

}  // namespace tonemill::cli
