"""OpenColorIO's newest release applies what `tonemill bake` writes: the CLF of
every shipped look and of looks of sliders alone, and the config beside one,
each compared with `tonemill render` of the same random colours. Any message
OpenColorIO logs while reading them is a failure too."""

import argparse
import pathlib
import subprocess
import sys

import numpy
import PyOpenColorIO as OCIO
import tifffile

TOLERANCE = 1e-5

SLIDER_LOOKS = [
    ["liftR=0.2", "liftG=-0.3", "lift=0.05"],
    ["gain=1.3", "gainB=0.6"],
    ["gammaR=0.4", "gammaG=1.8"],
    ["temperature=-1200", "PrinterLight=0.1"],
    ["CMYAmount=1.4", "C=0.6", "Y=1.2"],
    ["PushPullLight=1.5"],
    ["saturation=1"],
    ["saturation=-0.7"],
    ["contrastOptions=2", "saturation=0.8", "contrastIntensity=0.5"],
]

messages = []


def tonemill(program, *arguments):
    """Runs tonemill; its notes (such as the missing input profile of the
    random colours, which are working-space values) are shown only on failure."""
    run = subprocess.run([str(program), *map(str, arguments)], stderr=subprocess.PIPE, text=True, timeout=300)
    if run.returncode != 0:
        sys.exit(f"tonemill {' '.join(map(str, arguments))} failed:\n{run.stderr}")


# OpenColorIO's default CPU optimisation evaluates Exponent operators with a
# fast approximation of pow, whose error (about 1e-4 here) is OpenColorIO's,
# not the file's: the comparison turns that one approximation off and reports
# the default beside it.
EXACT_POW = OCIO.OptimizationFlags(int(OCIO.OPTIMIZATION_DEFAULT) & ~int(OCIO.OPTIMIZATION_FAST_LOG_EXP_POW))


def largest_difference(processor, colours, rendered, optimization=EXACT_POW):
    applied = colours.copy()
    processor.getOptimizedCPUProcessor(optimization).applyRGB(applied)
    return float(numpy.abs(applied - rendered[..., :3]).max())


def file_processor(path):
    OCIO.ClearAllCaches()
    return OCIO.Config.CreateRaw().getProcessor(OCIO.FileTransform(src=str(path)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tonemill", required=True, type=pathlib.Path)
    parser.add_argument("--looks", required=True, type=pathlib.Path)
    parser.add_argument("--work", required=True, type=pathlib.Path)
    args = parser.parse_args()

    OCIO.SetLoggingLevel(OCIO.LOGGING_LEVEL_WARNING)
    OCIO.SetLoggingFunction(messages.append)

    colours = numpy.random.default_rng(2136).random((32, 64, 3), dtype=numpy.float32)
    source = args.work / "colours.tif"
    tifffile.imwrite(source, colours)

    cases = [(look.stem, ["--look", look]) for look in sorted(args.looks.glob("*.look"))]
    for i, settings in enumerate(SLIDER_LOOKS):
        cases.append((f"sliders-{i}", [a for s in settings for a in ("--set", s)]))

    failures = 0
    for name, look in cases:
        clf = args.work / f"{name}.clf"
        rendered_path = args.work / f"{name}.tif"
        tonemill(args.tonemill, "bake", clf, *look)
        tonemill(args.tonemill, "render", source, rendered_path, "--depth", "float", *look)
        rendered = tifffile.imread(rendered_path).astype(numpy.float32)
        processor = file_processor(clf)
        difference = largest_difference(processor, colours, rendered)
        fast = largest_difference(processor, colours, rendered, OCIO.OPTIMIZATION_DEFAULT)
        verdict = "ok" if difference <= TOLERANCE else "FAILED"
        failures += verdict != "ok"
        print(f"{name}: CLF vs render {difference:.3g} ({verdict}); with the fast pow {fast:.3g}")

    config_folder = args.work / "ocio"
    config_folder.mkdir()
    look = args.looks / "print-film-709.look"
    tonemill(args.tonemill, "bake", config_folder / "config.ocio", "--look", look)
    config = OCIO.Config.CreateFromFile(str(config_folder / "config.ocio"))
    config.validate()
    view = OCIO.DisplayViewTransform(src="ACEScct", display=config.getDefaultDisplay(), view="print-film-709")
    rendered = tifffile.imread(args.work / "print-film-709.tif").astype(numpy.float32)
    difference = largest_difference(config.getProcessor(view), colours, rendered)
    print(f"config.ocio, display {config.getDefaultDisplay()!r}: view vs render {difference:.3g}")
    failures += difference > TOLERANCE

    # A Python function left as OpenColorIO's logger can deadlock the
    # interpreter's exit: the library's own logger takes over again first.
    OCIO.ResetToDefaultLoggingFunction()
    for message in messages:
        print(f"OpenColorIO said: {message.strip()}")
    if failures or messages:
        sys.exit(f"OpenColorIO {OCIO.__version__}: {failures} comparisons failed, {len(messages)} messages")
    print(f"OpenColorIO {OCIO.__version__}: every CLF matches the render within {TOLERANCE}")


if __name__ == "__main__":
    main()
