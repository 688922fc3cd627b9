#!/usr/bin/env python3
"""Builds an OpenCue job that renders an image sequence through a Tonemill look.

The job has one layer; OpenCue splits its frame range into chunks and runs one
`tonemill render` per chunk, naming the chunk's frames in place of #FRAMESPEC#
(OpenCue writes them as tonemill reads --frames: 1-10, 1-9x2, 1,5,9). A chunk's
exit status tells OpenCue whether to retry it, and --skip-existing makes the
retry leave the frames its earlier attempt finished.

    tonemill_job.py IN OUT --look LOOK --frames 1001-1100 --chunk 10          launch on the Cuebot
    tonemill_job.py IN OUT --look LOOK --frames 1001-1100 --chunk 10 --xml   print the job's XML only
"""

import argparse
import shlex
import sys

import FileSequence
import outline
import outline.cuerun
import outline.modules.shell

# OpenCue replaces this with the frames of the chunk being run.
CHUNK_FRAMES_TOKEN = "#FRAMESPEC#"


def render_command(tonemill, input_pattern, output_pattern, look):
    """The shell command of one chunk. RQD runs it through a shell, so every
    value is quoted; the chunk token is left bare for OpenCue to replace."""
    words = [tonemill, "render", input_pattern, output_pattern, "--look", look]
    return shlex.join(words) + " --frames " + CHUNK_FRAMES_TOKEN + " --skip-existing"


def build_job(name, tonemill, input_pattern, output_pattern, look, frames, chunk, show=None, shot=None):
    """The outline of the job: one render layer over `frames` in chunks. Show
    and shot default to those of the site's outline configuration."""
    job = outline.Outline(name, frame_range=frames, show=show, shot=shot)
    job.add_layer(outline.modules.shell.Shell(
        "render",
        command=render_command(tonemill, input_pattern, output_pattern, look),
        range=frames,
        chunk=chunk))
    return job


def job_xml(job):
    """The job as the XML the Cuebot receives, built without reaching one. The
    commands go in as they are, without pycuerun wrapping them, so a render
    node needs only tonemill."""
    return outline.cuerun.OutlineLauncher(job).serialize(use_pycuerun=False)


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("input_pattern", help="input frames, with a frame pattern such as %%04d")
    parser.add_argument("output_pattern", help="output frames, with a frame pattern; the extension names the format")
    parser.add_argument("--look", required=True, help="a shipped look by name or the path of a look file")
    parser.add_argument("--frames", required=True, help="1001-1100, 1-99x2 (every second frame) or 1,5,9-12")
    parser.add_argument("--chunk", type=int, default=10, help="frames per task (default 10)")
    parser.add_argument("--tonemill", default="tonemill", help="the tonemill program on the render nodes")
    parser.add_argument("--name", default="tonemill_render", help="the job's name")
    parser.add_argument("--show", help="the show the job belongs to (default: the outline configuration's)")
    parser.add_argument("--shot", help="the shot the job belongs to (default: the outline configuration's)")
    parser.add_argument("--xml", action="store_true", help="print the job as XML instead of launching")
    arguments = parser.parse_args(argv)
    if arguments.chunk < 1:
        parser.error("--chunk must be 1 or more")
    try:
        frames = list(FileSequence.FrameSet(arguments.frames))
    except ValueError as error:
        parser.error("--frames %r: %s" % (arguments.frames, error))
    # A chunk of descending frames would reach tonemill as a descending span
    # (9-8), which its --frames refuses, on every render node rather than here;
    # a frame named twice would render twice.
    if any(later <= earlier for earlier, later in zip(frames, frames[1:])):
        parser.error("--frames %r: frames must ascend, each named once" % arguments.frames)
    return arguments


def main(argv):
    arguments = parse_arguments(argv)
    job = build_job(arguments.name, arguments.tonemill, arguments.input_pattern, arguments.output_pattern,
                    arguments.look, arguments.frames, arguments.chunk, arguments.show, arguments.shot)
    if arguments.xml:
        print(job_xml(job))
    else:
        outline.cuerun.launch(job, use_pycuerun=False)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
