#!/usr/bin/env python3
"""Benchmark: hxdemux against the floor of loading a file and writing it out.

    python3 bench/run.py [--runs N] [--dir DIR] [--typical-mb MB] [--tiny-mb MB]

Builds the release preset, generates the "typical" and "tiny" recordings in
a temporary directory, and times, side by side in turn, hxdemux, the
reference copy (one block allocated as hxdemux allocates its input, one
write), the reference copy's load alone, and cat. Prints the medians as a
table.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "release")


def run_once(argv, cwd, stdout_path=None):
    out = open(stdout_path, "wb") if stdout_path else subprocess.DEVNULL
    start = time.perf_counter()
    proc = subprocess.Popen(argv, cwd=cwd, stdout=out)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    if stdout_path:
        out.close()
    if proc.returncode != 0:
        sys.exit(f"{argv[0]} failed with status {proc.returncode}")
    return wall, usage.ru_maxrss * 1024


def clean(directory, keep):
    for name in os.listdir(directory):
        if name not in keep:
            os.unlink(os.path.join(directory, name))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--dir", default=None)
    parser.add_argument("--typical-mb", type=int, default=1000)
    parser.add_argument("--tiny-mb", type=int, default=300)
    args = parser.parse_args()

    subprocess.run(["cmake", "--workflow", "--preset", "release"], cwd=ROOT, check=True,
                   stdout=subprocess.DEVNULL)
    hxdemux = os.path.join(BUILD, "hxdemux")
    reference = os.path.join(BUILD, "bench", "reference_copy")
    generate = os.path.join(BUILD, "bench", "make_bench_recording")

    work = tempfile.mkdtemp(prefix="hxdemux-bench-", dir=args.dir)
    rows = []
    try:
        for kind, mb in (("typical", args.typical_mb), ("tiny", args.tiny_mb)):
            rec = f"{kind}.264"
            records = int(subprocess.run([generate, kind, os.path.join(work, rec), str(mb * 1000 * 1000)],
                                         check=True, capture_output=True, text=True).stdout)
            size = os.path.getsize(os.path.join(work, rec))
            commands = {
                "hxdemux": ([hxdemux, rec], None),
                "reference copy": ([reference, rec, "copy.out"], None),
                "load only": ([reference, rec], None),
                "cat": (["cat", rec], os.path.join(work, "cat.out")),
            }
            times = {name: [] for name in commands}
            rss = {name: 0 for name in commands}
            for i in range(args.runs + 1):  # the first round warms the cache and is not counted
                for name, (argv, stdout_path) in commands.items():
                    wall, peak = run_once(argv, work, stdout_path)
                    clean(work, {rec})
                    if i > 0:
                        times[name].append(wall)
                        rss[name] = max(rss[name], peak)
            for name in commands:
                median = statistics.median(times[name])
                rows.append((kind, f"{size / 1e6:.0f} MB", name, median,
                             median / statistics.median(times["reference copy"]),
                             statistics.median([t / r for t, r in zip(times[name], times["reference copy"])]),
                             size / 1e6 / median, records / median, rss[name] / 2**20))
    finally:
        shutil.rmtree(work, ignore_errors=True)

    print(f"median of {args.runs} runs each, after one warm-up round; '/ reference' divides the "
          "medians, 'paired' is the median of the ratios of runs made side by side")
    print("| recording | size | program | wall s | / reference | paired | MB/s | records/s | peak RSS MiB |")
    print("|---|---|---|---|---|---|---|---|---|")
    for kind, size, name, wall, ratio, paired, mbs, rps, peak in rows:
        print(f"| {kind} | {size} | {name} | {wall:.3f} | {ratio:.2f} | {paired:.2f} | {mbs:.0f} "
              f"| {rps / 1e6:.2f} M | {peak:.0f} |")

if __name__ == "__main__":
    main()
