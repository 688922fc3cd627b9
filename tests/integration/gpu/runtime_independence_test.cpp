// The plug-in must load and render on the CPU where neither GPU runtime is
// installed: no load-time dependency on either, and no OpenCL loader needed.

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gpu_render_fixture.h"
#include "runtime_independence.h"

extern char** environ;

namespace plugin_integration {

namespace {

// Names the bundle a child runs; which of the two runs it is, is kChildRunVariable's value.
constexpr const char* kChildVariable = "TONEMILL_RUNTIME_CHILD_BUNDLE";
constexpr const char* kChildRunVariable = "TONEMILL_RUNTIME_CHILD_RUN";
constexpr const char* kHiddenLoaderRun = "hidden-loader";
constexpr const char* kNoLogRun = "no-log";

std::string commandOutput(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, read);
        ::pclose(pipe);
    }
    return output;
}

// Runs this test program again with extra environment variables; its exit status.
int runSelf(const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> variables(extraEnvironment);
    for (char** entry = environ; *entry != nullptr; ++entry) variables.emplace_back(*entry);
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    char program[] = "/proc/self/exe";
    char* argv[] = {program, nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, program, nullptr, nullptr, argv, envp.data()) != 0) return -1;
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Loads, describes, and renders a small frame on the CPU: 0, or 3 load or
// describe, 4 instance, 5 render, 6 picture unchanged.
int describeAndRender(const char* bundleRoot) {
    Host host;
    Plugin& plugin = host.openBundle(bundleRoot).plugin(0);
    if (plugin.load() != kOfxStatOK || plugin.describe() != kOfxStatOK) return 3;
    OfxStatus status = kOfxStatFailed;
    auto instance = plugin.createInstance(kFilter, &status);
    if (status != kOfxStatOK) return 4;
    auto source = HostImage::rgbaFloat({0, 0, 16, 4});
    source->fill([](int x, int y) { return RgbaPixel{0.05f * float(x), 0.2f * float(y), 0.5f, 1.0f}; });
    instance->setImage(kOfxImageEffectSimpleSourceClipName, source);
    const RenderResult result = instance->render(renderOf({0, 0, 16, 4}));
    if (result.status != kOfxStatOK) return 5;
    // The default look has an output transform, so the picture must have changed.
    return result.output->pixel(7, 2) == source->pixel(7, 2) ? 6 : 0;
}

int renderWithoutOpenClLoader(const char* bundleRoot) {
    if (void* loader = ::dlopen("libOpenCL.so.1", RTLD_NOW | RTLD_LOCAL)) {
        ::dlclose(loader);
        std::fprintf(stderr, "the OpenCL loader is still visible\n");
        return 2;
    }
    ::setenv("OFX_PLUGIN_LOGFILE", (std::filesystem::path(bundleRoot) / "ofx.log").c_str(), 1);
    return describeAndRender(bundleRoot);
}

bool isLoaded(const char* library) {
    void* handle = ::dlopen(library, RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    if (handle) ::dlclose(handle);
    return handle != nullptr;
}

// Without a log the device report has no reader, so no GPU driver may be started
// for it: drivers are slow to start, and one that fails can end the host.
int renderWithoutLog(const char* bundleRoot) {
    ::unsetenv("OFX_PLUGIN_LOGFILE");
    if (const int failed = describeAndRender(bundleRoot)) return failed;
    for (const char* driver : {"libOpenCL.so.1", "libcuda.so.1"}) {
        if (isLoaded(driver)) {
            std::fprintf(stderr, "%s was loaded\n", driver);
            return 7;
        }
    }
    return 0;
}

}  // namespace

int runRuntimeChild(int* handled) {
    const char* bundleRoot = std::getenv(kChildVariable);
    const char* run = std::getenv(kChildRunVariable);
    *handled = bundleRoot != nullptr && run != nullptr;
    if (!*handled) return 0;
    if (std::string(run) == kHiddenLoaderRun) return renderWithoutOpenClLoader(bundleRoot);
    if (std::string(run) == kNoLogRun) return renderWithoutLog(bundleRoot);
    std::fprintf(stderr, "unknown child run %s\n", run);
    return 1;
}

namespace {

class RuntimeIndependence : public GpuRenderTest {};

TEST_F(RuntimeIndependence, TheLibraryNeedsNeitherGpuRuntimeToLoad) {
    const std::string dynamic = commandOutput("readelf -d -W '" TONEMILL_PLUGIN_LIBRARY "' 2>/dev/null");
    if (dynamic.find("NEEDED") == std::string::npos) GTEST_SKIP() << "readelf is not available";
    for (const char* runtime : {"libOpenCL", "libcuda", "libcudart", "libnvidia"}) {
        EXPECT_EQ(dynamic.find(runtime), std::string::npos) << runtime << " is a load-time dependency:\n" << dynamic;
    }
    const std::string symbols = commandOutput("readelf --dyn-syms -W '" TONEMILL_PLUGIN_LIBRARY "'");
    EXPECT_NE(symbols.find("NvOptimusEnablementCuda"), std::string::npos);
}

TEST_F(RuntimeIndependence, RendersOnTheCpuWithTheOpenClLoaderHidden) {
    writeResources(false, false);
    // A library of the loader's name that cannot be loaded shadows the real one.
    const auto hidden = bundle.root() / "hidden";
    std::filesystem::create_directories(hidden);
    std::ofstream(hidden / "libOpenCL.so.1") << "not a library";

    const int exitStatus = runSelf({std::string("LD_LIBRARY_PATH=") + hidden.string(),
                                    std::string(kChildVariable) + "=" + bundle.root().string(),
                                    std::string(kChildRunVariable) + "=" + kHiddenLoaderRun});
    EXPECT_EQ(exitStatus, 0) << "2 loader visible, 3 load or describe, 4 instance, 5 render, 6 picture unchanged";
    // Without a loader the OpenCL report lists nothing; the CUDA report is still there.
    EXPECT_EQ(logCount("CUDA compile time version : ") + logCount("CUDA support was not built into this plug-in"), 1);
    EXPECT_EQ(logCount(". Device: "), 0);
}

TEST_F(RuntimeIndependence, WithoutALogNoGpuDriverIsStarted) {
    writeResources(false, false);
    const int exitStatus = runSelf(
        {std::string(kChildVariable) + "=" + bundle.root().string(), std::string(kChildRunVariable) + "=" + kNoLogRun});
    EXPECT_EQ(exitStatus, 0) << "3 load or describe, 4 instance, 5 render, 6 picture unchanged, 7 a driver was loaded";
}

}  // namespace
}  // namespace plugin_integration
