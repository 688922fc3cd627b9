#include <cstdio>
#include <thread>
#include <vector>

#include "formats/cube_writer.h"
#include "tools/tonemill/bake_clf.h"
#include "tools/tonemill/bundle_locator.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/commands.h"
#include "tools/tonemill/effect_session.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/output_file.h"
#include "tools/tonemill/standard_output.h"

namespace tonemill::cli {
namespace {

// Lattice point (r, g, b) sits at pixel (r + g * n, b), so one render covers the
// whole lattice; red varies fastest, as .cube files store it.
std::shared_ptr<host::HostImage> latticeImage(int n) {
    auto image = host::HostImage::rgbaFloat({0, 0, n * n, n});
    const float last = static_cast<float>(n - 1);
    image->fill([&](int x, int y) -> host::RgbaPixel {
        return {static_cast<float>(x % n) / last, static_cast<float>(x / n) / last, static_cast<float>(y) / last, 1.0f};
    });
    return image;
}

}  // namespace

int runBake(const CommandLine& line) {
    acceptOnly(line, "bake", {"--set", "--look", "--size", "--threads"});
    if (line.positional.size() != 1) throw UsageError("bake expects OUT.cube, or - for standard output");
    const std::string& target = line.positional[0];
    const bool toStandardOutput = target == "-";
    const std::string extension = toStandardOutput ? std::string() : lowercaseExtension(target);
    if (extension == ".clf") return bakeClf(line, target);
    if (extension == ".ocio") return bakeOcioConfig(line, target);
    if (!toStandardOutput && extension != ".cube")
        throw UsageError("bake writes .cube, .clf and .ocio files: " + quotedText(target) + " names another kind");

    const int n = static_cast<int>(line.size);
    const unsigned threads = line.threads ? line.threads : std::max(1u, std::thread::hardware_concurrency());
    EffectSession session(locateBundle(line.bundle), threads);
    session.apply(line.assignments);
    // A baked look never contains test views, as the export buttons' files do not.
    if (session.showsTestViews())
        std::fputs("tonemill: warning: test views are never baked; their toggles have no effect on bake\n", stderr);
    session.turnTestViewsOff();

    const auto rendered = session.render(latticeImage(n), 0);
    std::vector<float> samples;
    samples.reserve(static_cast<size_t>(n) * n * n * 3);
    for (int b = 0; b < n; ++b)
        for (int x = 0; x < n * n; ++x) {
            const host::RgbaPixel pixel = rendered->pixel(x, b);
            samples.insert(samples.end(), {pixel[0], pixel[1], pixel[2]});
        }
    if (toStandardOutput) {
        ChromvaleBeta2::writeCubeText(samples, static_cast<uint32_t>(n),
                                      [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); });
        flushStandardOutput();
        return 0;
    }
    OutputFile file(target);
    ChromvaleBeta2::writeCubeText(samples, static_cast<uint32_t>(n),
                                  [&file](std::string_view text) { file.append(text.data(), text.size()); });
    file.commit();
    return 0;
}

}  // namespace tonemill::cli
