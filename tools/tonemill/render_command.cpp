#include <sys/stat.h>

#include <memory>
#include <optional>
#include <set>
#include <thread>

#include "host/cuda_images.h"
#include "host/opencl_images.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/commands.h"
#include "tools/tonemill/effect_chain.h"
#include "tools/tonemill/input_profile_hint.h"
#include "tools/tonemill/frame_range.h"
#include "tools/tonemill/image_reader.h"
#include "tools/tonemill/image_writer.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/progress_bar.h"
#include "tools/tonemill/tone_chart.h"

namespace tonemill::cli {
namespace {

// The height of the plug-in's test view pictures, which repeat down the frame
// from its bottom row.
constexpr int kTestViewRows = 1080;
// About 16 MB of float RGBA per band otherwise.
constexpr long long kBandPixels = 1 << 20;

std::unique_ptr<host::DeviceImages> openDevice(const std::string& gpu) {
    try {
        if (gpu == "opencl") return host::OpenClImages::open();
        if (gpu == "cuda") return host::CudaImages::open();
    } catch (const std::exception& error) {
        throw CliError("--gpu " + gpu + " is not available here: " + oneLine(error.what()));
    }
    return nullptr;
}

FrameList framesFor(const CommandLine& line, const std::string& input, const std::string& output) {
    if (!line.frames) {
        if (hasFramePattern(output) || hasFramePattern(input))
            throw UsageError("a frame pattern needs --frames, such as --frames 1001-1100");
        return {};
    }
    const FrameList frames = FrameList::parse(*line.frames);
    if (!frames.single() && !hasFramePattern(output))
        throw UsageError("rendering frames " + *line.frames + " needs a frame pattern such as %04d in OUT");
    return frames;
}

// Bands start at multiples of their height from the bottom of the frame, so
// that with test views on (which the plug-in draws relative to the image it is
// given) every band shows them where a whole-frame render would.
int bandRows(int width, int height, bool testViews) {
    const long long rows = testViews ? kTestViewRows : std::max(1LL, kBandPixels / width);
    return static_cast<int>(std::min<long long>(rows, height));
}

using FileIdentity = std::pair<dev_t, ino_t>;

std::optional<FileIdentity> identityOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino};
}

// Rendering onto a source would replace a camera original with its graded
// copy. Files are compared by identity, so symbolic and hard links are caught.
// Frames are looked at up to the first missing input, where a job stops anyway.
void refuseOverwritingInputs(const std::string& input, const std::string& output, const FrameList& frames,
                             bool skipMissing) {
    std::set<FileIdentity> inputs;
    std::int64_t looked = 0;
    frames.forEach([&](std::int64_t frame) {
        const auto identity = identityOf(pathForFrame(input, frame));
        if (identity) inputs.insert(*identity);
        ++looked;
        return identity || skipMissing;
    });
    frames.forEach([&](std::int64_t frame) {
        if (looked-- <= 0) return false;
        const std::string target = pathForFrame(output, frame);
        const auto identity = identityOf(target);
        if (identity && inputs.count(*identity))
            throw UsageError("output " + quotedText(target) +
                             " is one of the input files; refusing to overwrite a source");
        return true;
    });
}

struct RenderJob {
    EffectChain& chain;
    host::DeviceImages* device;
    const OutputSettings& settings;
    ProgressBar& progress;
    bool testViews;
    std::optional<std::string> profileNote;  // said once the job is done, so a failure stays one line
};

void renderFrame(RenderJob& job, const std::shared_ptr<host::HostImage>& chart, const std::string& input,
                 const std::string& output, std::int64_t frame) {
    std::optional<ImageReader> reader;
    if (!chart) reader.emplace(input);
    // Only the look reads camera encodings; the texture works on any picture.
    const host::Param* profileParam = job.chain.first().instance().effect().params().find("idtProfile");
    if (reader && !job.profileNote && profileParam) {
        const int profile = profileParam->valueAt(static_cast<double>(frame)).asInt();
        job.profileNote = inputProfileNote(profile, *reader).value_or(std::string());
    }
    const int width = chart ? chart->width() : reader->width();
    const int height = chart ? chart->height() : reader->height();
    ImageWriter writer(output, width, height, reader ? &*reader : nullptr, job.settings);
    const int rows = chart || job.chain.needsWholeFrames() ? height : bandRows(width, height, job.testViews);
    for (int top = height; top > 0;) {
        const int bottom = (top - 1) / rows * rows;
        auto source = chart ? chart : reader->readRows(height - top, height - bottom);
        writer.writeRows(*job.chain.render(std::move(source), frame, job.device));
        top = bottom;
        job.progress.partDone(frame, static_cast<double>(height - top) / height);
    }
    writer.commit();
}

}  // namespace

int runRender(const CommandLine& line) {
    acceptOnly(line, "render",
               {"--set", "--look", "--gpu", "--frames", "--threads", "--depth", "--compression", "--skip-missing",
                "--skip-existing", "--effect", "--then"});
    if (line.positional.empty() || line.positional.size() > 2) throw UsageError("render expects [IN] OUT");
    const std::string input = line.positional.size() == 2 ? line.positional[0] : std::string();
    const std::string output = line.positional.back();
    const FrameList frames = framesFor(line, input, output);
    if (!input.empty()) refuseOverwritingInputs(input, output, frames, line.skipMissing);

    const unsigned threads = line.threads ? line.threads : std::max(1u, std::thread::hardware_concurrency());
    EffectChain chain(line, threads);
    chain.applyAll();
    const std::unique_ptr<host::DeviceImages> device = openDevice(line.gpu);
    const std::shared_ptr<host::HostImage> chart = input.empty() ? makeToneChart() : nullptr;

    ProgressBar progress(frames.count());
    RenderJob job{chain, device.get(), line.output, progress, chain.first().showsTestViews(), std::nullopt};
    chain.beginSequenceRender(static_cast<double>(frames.lowest()), static_cast<double>(frames.highest()));
    frames.forEach([&](std::int64_t frame) {
        const std::string source = input.empty() ? std::string() : pathForFrame(input, frame);
        const std::string target = pathForFrame(output, frame);
        if (line.skipExisting && identityOf(target)) {
            progress.frameDone(frame, "output exists, skipped");
            return true;
        }
        if (!source.empty() && !identityOf(source)) {
            const std::string missing = "cannot read image " + quotedText(source) + ": no such file";
            if (!line.skipMissing)
                throw CliError(line.frames ? missing + " (frame " + std::to_string(frame) +
                                                 "; --skip-missing renders the frames that exist)"
                                           : missing);
            progress.message("tonemill: " + missing + "; frame " + std::to_string(frame) + " skipped");
            progress.frameDone(frame, "input missing, skipped");
            return true;
        }
        renderFrame(job, chart, source, target, frame);
        progress.frameDone(frame);
        return true;
    });
    chain.endSequenceRender();
    if (job.profileNote && !job.profileNote->empty()) progress.message("tonemill: " + *job.profileNote);
    return 0;
}

}  // namespace tonemill::cli
