#!/usr/bin/env python3
"""Builds the Tonemill job offline, as tonemill_job.py would send it to a
Cuebot, checks its job XML, and prints the command of every chunk, one
a line, with the chunk's frames in place of the token, as a render node would
receive them. A check then runs the lines as the nodes would.

    chunk_commands.py TONEMILL IN OUT LOOK FRAMES CHUNK
"""

import sys
import xml.etree.ElementTree as ElementTree

import FileSequence

import tonemill_job


def fail(message):
    sys.exit("opencue check: " + message)


def frames_text(frames):
    """A chunk's frames as tonemill reads them: a span when they run on one by
    one, a list otherwise."""
    if frames == list(range(frames[0], frames[-1] + 1)):
        return "%d-%d" % (frames[0], frames[-1])
    return ",".join(str(frame) for frame in frames)


def checked_layer(job_xml, expected_command, frames, chunk):
    """The one layer of the job, once its command, frames and chunk size are
    those asked for."""
    layers = ElementTree.fromstring(job_xml).findall("./job/layers/layer")
    if len(layers) != 1:
        fail("expected one layer, the job has %d" % len(layers))
    layer = layers[0]
    if layer.findtext("cmd") != expected_command:
        fail("the layer runs %r, not %r" % (layer.findtext("cmd"), expected_command))
    if list(FileSequence.FrameSet(layer.findtext("range"))) != list(FileSequence.FrameSet(frames)):
        fail("the layer covers frames %s, not %s" % (layer.findtext("range"), frames))
    if layer.findtext("chunk") != str(chunk):
        fail("the layer's chunks hold %s frames, not %d" % (layer.findtext("chunk"), chunk))
    return layer


def main(argv):
    tonemill, input_pattern, output_pattern, look, frames, chunk = argv
    chunk = int(chunk)
    job = tonemill_job.build_job("tonemill_check", tonemill, input_pattern, output_pattern, look, frames, chunk)
    command = tonemill_job.render_command(tonemill, input_pattern, output_pattern, look)
    if tonemill_job.CHUNK_FRAMES_TOKEN not in command:
        fail("the command %r leaves the chunk's frames unnamed" % command)
    layer = checked_layer(tonemill_job.job_xml(job), command, frames, chunk)
    every_frame = list(FileSequence.FrameSet(layer.findtext("range")))
    for first in range(0, len(every_frame), chunk):
        chunk_frames = frames_text(every_frame[first:first + chunk])
        print(command.replace(tonemill_job.CHUNK_FRAMES_TOKEN, chunk_frames))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
