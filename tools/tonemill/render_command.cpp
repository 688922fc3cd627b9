#include <memory>
#include <thread>

#include "host/cuda_images.h"
#include "host/opencl_images.h"
#include "tools/tonemill/bundle_locator.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/commands.h"
#include "tools/tonemill/effect_session.h"
#include "tools/tonemill/frame_range.h"
#include "tools/tonemill/image_files.h"
#include "tools/tonemill/progress_bar.h"
#include "tools/tonemill/tone_chart.h"

namespace tonemill::cli {
namespace {

std::unique_ptr<host::DeviceImages> openDevice(const std::string &gpu) {
  try {
    if (gpu == "opencl") return host::OpenClImages::open();
    if (gpu == "cuda") return host::CudaImages::open();
  } catch (const std::exception &error) {
    throw CliError("--gpu " + gpu + " is not available here: " + error.what());
  }
  return nullptr;
}

FrameRange framesFor(const CommandLine &line, const std::string &input, const std::string &output) {
  if (!line.frames) {
    if (hasFramePattern(output) || hasFramePattern(input))
      throw UsageError("a frame pattern needs --frames A-B");
    return {};
  }
  const FrameRange range = parseFrameRange(*line.frames);
  if (range.last > range.first && !hasFramePattern(output))
    throw UsageError("rendering frames " + *line.frames + " needs a frame pattern such as %04d in OUT");
  return range;
}

}  // namespace

int runRender(const CommandLine &line) {
  if (line.positional.empty() || line.positional.size() > 2) throw UsageError("render expects [IN] OUT");
  const std::string input = line.positional.size() == 2 ? line.positional[0] : std::string();
  const std::string output = line.positional.back();
  const FrameRange range = framesFor(line, input, output);

  const unsigned threads = line.threads ? line.threads : std::max(1u, std::thread::hardware_concurrency());
  EffectSession session(locateBundle(line.bundle), threads);
  session.apply(line.assignments);
  const std::unique_ptr<host::DeviceImages> device = openDevice(line.gpu);
  const std::shared_ptr<host::HostImage> chart = input.empty() ? makeToneChart() : nullptr;

  const int count = range.last - range.first + 1;
  std::unique_ptr<ProgressBar> progress = count > 1 ? std::make_unique<ProgressBar>(count) : nullptr;
  session.instance().beginSequenceRender(range.first, range.last);
  for (int frame = range.first; frame <= range.last; ++frame) {
    auto source = chart ? chart : readImage(pathForFrame(input, frame));
    const auto rendered = session.render(std::move(source), frame, device.get());
    writeImage(*rendered, pathForFrame(output, frame));
    if (progress) progress->show(frame - range.first + 1, frame);
  }
  session.instance().endSequenceRender();
  return 0;
}

}  // namespace tonemill::cli
