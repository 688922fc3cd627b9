#!/usr/bin/env python3
"""Comparison A against OpenColorIO's newest release, in one driver.

The eight 33-point tables, the frame and Tonemill's result come from
tonemill_bench --write-comparison, so both sides work on identical data.
OpenColorIO applies the tables as a group of tetrahedral 3D LUT transforms
(applyRGBA, in place, on a fresh copy of the frame each time; it releases
Python's lock while it works, so its bands run in parallel). Rounds
alternate: Tonemill's bench in a child process, then OpenColorIO here. In a
round each side renders the frame several times and counts its fastest:
on a machine shared with other work, other work only ever slows a run
down. One thread is timed by the CPU time it used, which leaves out the time
others held the core; two threads by wall time. Prints every round, the ratios' min /
median / max, and the largest difference between the two results.

Run with the interpreter of bench/ocio26/setup-venv.sh's environment:
  build/ocio26-venv/bin/python bench/ocio26/compare.py build/release/bench/tonemill_bench
--simd avx2 holds both sides to AVX2: Tonemill through TONEMILL_SIMD, and
OpenColorIO, which has no switch for it, by answering its CPUID questions
with the AVX-512 bits cleared (hide_avx512.c).
"""
import argparse
import ctypes
import json
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
POINTS = 33
TABLES = 8


def hide_avx512(work):
    """Loads the CPUID shim before OpenColorIO reads the processor."""
    library = os.path.join(work, "hide_avx512.so")
    subprocess.run(["cc", "-O2", "-shared", "-fPIC", "-o", library, os.path.join(HERE, "hide_avx512.c")], check=True)
    shim = ctypes.CDLL(library)
    if shim.tmHideAvx512() != 0:
        sys.exit("compare.py: this system cannot make CPUID fault, so OpenColorIO cannot be held to AVX2 here")
    return shim


def load_floats(path, count):
    values = np.fromfile(path, dtype=np.float32)
    if values.size != count:
        sys.exit(f"compare.py: {path} holds {values.size} floats, expected {count}")
    return values


def eight_table_processor(ocio, folder):
    group = ocio.GroupTransform()
    for i in range(TABLES):
        # Tonemill's tables run red fastest; OpenColorIO's data runs blue fastest.
        entries = load_floats(os.path.join(folder, f"table{i}.f32"), 3 * POINTS**3).reshape(POINTS, POINTS, POINTS, 3)
        lut = ocio.Lut3DTransform()
        lut.setGridSize(POINTS)
        lut.setInterpolation(ocio.INTERP_TETRAHEDRAL)
        lut.setData(np.ascontiguousarray(entries.transpose(2, 1, 0, 3)).ravel())
        probe = entries[5, 3, 1]  # blue 5, green 3, red 1
        if not np.array_equal(np.float32(lut.getValue(1, 3, 5)), probe):
            sys.exit("compare.py: OpenColorIO's table order is not the one assumed")
        group.appendTransform(lut)
    # Unoptimised, so the eight tables stay eight (the default keeps them too).
    return ocio.Config.CreateRaw().getProcessor(group).getOptimizedCPUProcessor(ocio.OPTIMIZATION_NONE)


def apply_in_bands(cpu, frame, threads):
    if threads == 1:
        cpu.applyRGBA(frame)
        return
    rows = (frame.shape[0] + threads - 1) // threads
    workers = [threading.Thread(target=cpu.applyRGBA, args=(frame[t * rows:(t + 1) * rows],)) for t in range(threads)]
    for w in workers:
        w.start()
    for w in workers:
        w.join()


def ocio_rate(cpu, source, threads, runs):
    """Pixels per second of the fastest of `runs` frames."""
    clock = time.thread_time if threads == 1 else time.perf_counter
    fastest = float("inf")
    frame = np.empty_like(source)
    for _ in range(runs):
        np.copyto(frame, source)
        start = clock()
        apply_in_bands(cpu, frame, threads)
        fastest = min(fastest, clock() - start)
    return source.shape[0] * source.shape[1] / fastest


def tonemill_rate(bench, frame_flag, threads, runs, simd, work):
    """The same for Tonemill's bench: the fastest of `runs` repetitions."""
    out = os.path.join(work, "round.json")
    env = dict(os.environ)
    env.pop("TONEMILL_SIMD", None)
    if simd:
        env["TONEMILL_SIMD"] = simd
    subprocess.run([bench, frame_flag, f"--benchmark_filter=^A_EightTables_Tonemill/threads:{threads}/",
                    "--benchmark_min_time=0.01", f"--benchmark_repetitions={runs}", f"--benchmark_out={out}",
                    "--benchmark_out_format=json"],
                   env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(out) as f:
        repetitions = [b for b in json.load(f)["benchmarks"] if b.get("run_type", "iteration") == "iteration"]
    if threads > 1:
        return max(b["items_per_second"] for b in repetitions)
    # Times in the bench's unit (ms); items over CPU time.
    return max(b["items_per_second"] * b["real_time"] / b["cpu_time"] for b in repetitions)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("bench", help="path of tonemill_bench")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--threads", type=int, nargs="+", default=[1, 2])
    parser.add_argument("--runs", type=int, default=5, help="frames each side renders per round")
    parser.add_argument("--frame", default="3840x2160")
    parser.add_argument("--simd", choices=["avx512", "avx2"], default=None,
                        help="hold both sides to this path (default: each takes its widest)")
    args = parser.parse_args()
    width, height = (int(v) for v in args.frame.split("x"))
    frame_flag = f"--frame={args.frame}"

    with tempfile.TemporaryDirectory(prefix="tonemill-ocio26-") as work:
        shim = hide_avx512(work) if args.simd == "avx2" else None
        import PyOpenColorIO as ocio  # after the shim, before anything reads the processor

        subprocess.run([args.bench, frame_flag, f"--write-comparison={work}"], check=True, stdout=subprocess.DEVNULL)
        source = load_floats(os.path.join(work, "frame.f32"), 4 * width * height).reshape(height, width, 4)
        ours = load_floats(os.path.join(work, "tonemill.f32"), source.size).reshape(source.shape)
        cpu = eight_table_processor(ocio, work)
        theirs = source.copy()
        cpu.applyRGBA(theirs)
        difference = float(np.max(np.abs(theirs[..., :3].astype(np.float64) - ours[..., :3])))
        alpha_kept = bool(np.array_equal(theirs[..., 3], source[..., 3]) and np.array_equal(ours[..., 3], source[..., 3]))
        del theirs, ours

        path = args.simd or "widest"
        print(f"Frame {width} x {height} RGBA float, eight {POINTS}-point tetrahedral tables")
        print(f"Tonemill: {'TONEMILL_SIMD=' + args.simd if args.simd else 'its widest path'}; "
              f"OpenColorIO {ocio.__version__} (PyPI wheel): "
              + (f"AVX-512 hidden, {shim.tmCpuidCalls()} CPUID answers" if shim else "its own run-time choice"))
        print(f"Largest difference of the results: {difference:.3g} (alpha kept on both sides: {alpha_kept})")
        for threads in args.threads:
            ratios = []
            for r in range(args.rounds):
                t = tonemill_rate(args.bench, frame_flag, threads, args.runs, args.simd, work)
                o = ocio_rate(cpu, source, threads, args.runs)
                ratios.append(t / o)
                print(f"  {path}, {threads} thread(s), round {r + 1}: Tonemill {t / 1e6:6.2f}  "
                      f"OpenColorIO {o / 1e6:6.2f} Mpix/s  ratio {t / o:5.2f}", flush=True)
            clock = "CPU time" if threads == 1 else "wall time"
            print(f"A Tonemill / OpenColorIO {ocio.__version__}, {path}, {threads} thread(s), {clock}: min / median / max "
                  f"{min(ratios):.2f} / {statistics.median(ratios):.2f} / {max(ratios):.2f}", flush=True)


if __name__ == "__main__":
    main()
