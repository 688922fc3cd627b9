#include <thread>
#include <vector>

#include "formats/cube_writer.h"
#include "ofxParam.h"
#include "tools/tonemill/bundle_locator.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/commands.h"
#include "tools/tonemill/effect_session.h"

namespace tonemill::cli {
namespace {

// The group whose toggles replace the picture with test views; a baked look
// never contains them, as the export buttons' files do not.
constexpr const char *kTestViewGroup = "testGroup";

void turnTestViewsOff(host::Instance &instance) {
  for (const auto &param : instance.effect().params().params()) {
    const auto &properties = param->properties();
    if (param->type() == kOfxParamTypeBoolean && properties.has(kOfxParamPropParent) &&
        properties.getString(kOfxParamPropParent) == kTestViewGroup)
      instance.setValue(param->name(), host::ParamValue(false));
  }
}

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

int runBake(const CommandLine &line) {
  if (line.positional.size() != 1) throw UsageError("bake expects OUT.cube");
  const int n = static_cast<int>(line.size);
  const unsigned threads = line.threads ? line.threads : std::max(1u, std::thread::hardware_concurrency());
  EffectSession session(locateBundle(line.bundle), threads);
  session.apply(line.assignments);
  turnTestViewsOff(session.instance());

  const auto rendered = session.render(latticeImage(n), 0.0);
  std::vector<float> samples;
  samples.reserve(static_cast<size_t>(n) * n * n * 3);
  for (int b = 0; b < n; ++b)
    for (int x = 0; x < n * n; ++x) {
      const host::RgbaPixel pixel = rendered->pixel(x, b);
      samples.insert(samples.end(), {pixel[0], pixel[1], pixel[2]});
    }
  if (!ChromvaleBeta2::writeCubeFile(line.positional[0], std::move(samples), static_cast<uint32_t>(n)))
    throw CliError("cannot write '" + line.positional[0] + "'");
  return 0;
}

}  // namespace tonemill::cli
