#include "tests/portability/case_runner.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <stdexcept>

#include "host/bundle.h"
#include "host/host.h"
#include "host/instance.h"
#include "host/shared_library.h"
#include "ofx_status_names.h"
#include "ofxImageEffect.h"
#include "tests/portability/lingering_thread.h"

namespace tonemill::portability {
namespace {

namespace fs = std::filesystem;
using namespace tonemill::host;

// Instance-changed actions end with the default reply when the plug-in handled
// them without a reply of its own.
void require(OfxStatus status, const std::string& what) {
    if (status != kOfxStatOK && status != kOfxStatReplyDefault)
        throw std::runtime_error(what + " failed: " + ofxStatusName(status));
}

std::string numberText(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// The command line's look syntax: on/off for toggles, option indices for
// choices, numbers for sliders.
std::string lookLine(Instance& instance, const Setting& setting) {
    const std::string& type = instance.param(setting.name).type();
    const std::string value =
        type == kOfxParamTypeBoolean ? (setting.value != 0.0 ? "on" : "off") : numberText(setting.value);
    return setting.name + "=" + value + "\n";
}

std::shared_ptr<HostImage> syntheticFrame(const OfxRectI& frame) {
    auto image = HostImage::rgbaFloat(frame);
    image->fill([&](int x, int y) {
        RgbaPixel pixel;
        syntheticPixel(frame, x, y, pixel.data());
        return pixel;
    });
    return image;
}

std::vector<float> windowPixels(const HostImage& image, const OfxRectI& window) {
    std::vector<float> pixels;
    for (int y = window.y1; y < window.y2; ++y)
        for (int x = window.x1; x < window.x2; ++x) {
            const RgbaPixel pixel = image.pixel(x, y);
            pixels.insert(pixels.end(), pixel.begin(), pixel.end());
        }
    return pixels;
}

std::set<fs::path> cubeFiles(const fs::path& folder) {
    std::set<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().extension() == ".cube") files.insert(entry.path());
    return files;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Presses the case's export button and takes the one new file out of the folder,
// so the next export finds it as empty as before.
std::string exportLut(Instance& instance, const RenderCase& renderCase, const fs::path& folder) {
    const std::set<fs::path> before = cubeFiles(folder);
    const std::string button = "export" + std::to_string(renderCase.exportSize) + "LUTButton";
    require(instance.pressButton(button), "pressing " + button);
    std::vector<fs::path> added;
    for (const fs::path& file : cubeFiles(folder))
        if (!before.contains(file)) added.push_back(file);
    if (added.size() != 1)
        throw std::runtime_error(button + " saved " + std::to_string(added.size()) + " new .cube files in " +
                                 folder.string() + ", not one");
    std::string bytes = readBytes(added.front());
    fs::remove(added.front());
    if (bytes.empty()) throw std::runtime_error(button + " left " + added.front().string() + " empty");
    return bytes;
}

CaseOutput runCase(Plugin& plugin, const RenderCase& renderCase, const fs::path& exportFolder, bool exportLuts) {
    OfxStatus status = kOfxStatFailed;
    std::unique_ptr<Instance> instance = plugin.createInstance(renderCase.context, &status);
    if (!instance) throw std::runtime_error(std::string("creating an instance failed: ") + ofxStatusName(status));

    CaseOutput output;
    for (const Setting& setting : renderCase.settings) {
        require(instance->changeParam(setting.name, ParamValue(setting.value)), "setting " + setting.name);
        output.look += lookLine(*instance, setting);
    }
    instance->setImage(kOfxImageEffectSimpleSourceClipName, syntheticFrame(renderCase.frame));
    RenderRequest request;
    request.window = renderCase.window;
    request.outputBounds = renderCase.frame;
    const RenderResult result = instance->render(request);
    require(result.status, "rendering");
    if (!result.output) throw std::runtime_error("rendering gave no output image");
    output.pixels = windowPixels(*result.output, renderCase.window);
    if (exportLuts && renderCase.exportSize > 0) output.cube = exportLut(*instance, renderCase, exportFolder);
    return output;
}

}  // namespace

std::string bundleIdentifier(const std::string& bundlePath) {
    Host host;
    return host.openBundle(bundlePath).plugin(0).identifier();
}

std::map<std::string, CaseOutput> runCases(const std::string& bundlePath, unsigned threads,
                                           const fs::path& exportFolder, bool exportLuts) {
    auto host = std::make_unique<Host>();
    host->setCpuCount(threads);
    Bundle& bundle = host->openBundle(bundlePath);
    const std::string libraryPath = bundle.libraryPath();
    Plugin& plugin = bundle.plugin(0);
    require(plugin.load(), "loading the plug-in");
    require(plugin.describe(), "describing the effect");

    std::map<std::string, CaseOutput> outputs;
    LingeringThread renderThread([&] {
        for (const RenderCase& renderCase : renderCasesFor(plugin.identifier())) {
            try {
                outputs[renderCase.name] = runCase(plugin, renderCase, exportFolder, exportLuts);
            } catch (const std::exception& error) {
                throw std::runtime_error("case " + renderCase.name + ": " + error.what());
            }
        }
    });
    renderThread.waitForJob();
    require(plugin.unload(), "unloading the plug-in");
    host.reset();
    renderThread.release();
#ifdef _WIN32
    // The DLL goes with its last handle (the Linux library keeps itself mapped
    // once loaded); otherwise loading again would find it and check nothing.
    if (SharedLibrary::isMapped(libraryPath))
        throw std::runtime_error("the plug-in library " + libraryPath + " stayed loaded after the host freed it");
#endif
    return outputs;
}

}  // namespace tonemill::portability
