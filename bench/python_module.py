#!/usr/bin/env python3
"""Times the Python module's survey_decoder.read() against the command line's run without
options on the same full-size sample, in turns, and measures the module's peak memory.

Each read runs in its own /usr/bin/python3 process. The wall time of read() is taken inside
the process, around the call alone (the interpreter's start and the imports of pandas and
the module left out); the process's wall time is shown beside it. Peak RSS is the whole
process's, from /usr/bin/time; it is set against the sum of the DataFrames'
memory_usage(deep=True), which the process computes after the timed call. An iter_chunks row
reads the file in chunks and keeps only the latest (its frames MB is the largest chunk's): its
target is an absolute peak RSS.

`--tsv` adds one timing of the way without the module: `survey-decoder --tables`, then the
README's pandas loader on every table (minutes for year 76).

Usage: bench/python_module.py [--tsv]   (bench/run prints the same rows at its end)
"""
import json
import os
import re
import statistics
import subprocess
import sys
import time
from dataclasses import dataclass

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from samples import CACHE, DECODER, ROOT, build, remove, sample  # noqa: E402
import loaders  # noqa: E402

PYTHON = "/usr/bin/python3"  # Debian's, which has Debian's pandas
MODULE_DIR = os.path.join(ROOT, "build", "python", "bindings", "python")
TURNS = 3
MB = 1e6


@dataclass(frozen=True)
class PyRow:
    """One timed use of the module on a full-size sample and its targets (None: none)."""
    year: int
    values: str
    chunk: int = 0  # records per chunk of iter_chunks; 0: one read()
    wall: float = None  # read()'s wall time at most this multiple of the command line's
    over_frames: float = None  # peak RSS at most this multiple of the DataFrames' memory
    rss_mb: float = None  # peak RSS at most this many MB


PY_ROWS = [
    PyRow(80, "wide", wall=3, over_frames=1.3),
    PyRow(76, "wide", wall=3, over_frames=1.3),
    PyRow(76, "light", wall=3, over_frames=1.3),
    PyRow(76, "wide", chunk=10000, rss_mb=400),
    PyRow(76, "light", chunk=10000, rss_mb=400),
]

CHILD = """
import sys, time, json
sys.path.insert(0, {module_dir!r})
import pandas
import survey_decoder
start = time.perf_counter()
if {chunk}:
    rows = largest = 0
    measuring = 0.0  # the chunks' memory_usage(deep=True) takes long: left out of the time
    for chunk in survey_decoder.iter_chunks({path!r}, {chunk}):
        begun = time.perf_counter()
        rows += sum(len(t) for t in chunk.tables.values())
        largest = max(largest, sum(int(t.memory_usage(deep=True).sum())
                                   for t in chunk.tables.values()))
        measuring += time.perf_counter() - begun
    seconds = time.perf_counter() - start - measuring
    frames = largest
else:
    result = survey_decoder.read({path!r})
    seconds = time.perf_counter() - start
    rows = sum(len(t) for t in result.tables.values())
    frames = sum(int(t.memory_usage(deep=True).sum()) for t in result.tables.values())
print(json.dumps({{"seconds": seconds, "rows": rows, "frames": frames}}))
"""


def run_child(script):
    """(the child's report, its wall seconds, its peak RSS KiB)."""
    path = os.path.join(CACHE, "module.py")
    with open(path, "w") as f:
        f.write(script)
    report = os.path.join(CACHE, "time.txt")
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report, PYTHON, path],
                          capture_output=True, text=True)
    wall = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit("failed: the module's run\n" + done.stderr)
    with open(report) as f:
        rss = int(f.read().split()[-1])
    return json.loads(done.stdout.splitlines()[-1]), wall, rss


def cli_seconds(data):
    out = os.path.join(CACHE, "module.out")
    remove(out, out + ".meta.txt")
    start = time.perf_counter()
    subprocess.run([DECODER, data, out], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    seconds = time.perf_counter() - start
    remove(out, out + ".meta.txt")
    return seconds


def verdict(name, what, value, limit, unit=""):
    holds = value <= limit
    return "%s: %s %.2f%s %s %g%s" % (name, what, value, unit,
                                       "holds <=" if holds else "FAILS >", limit, unit)


def build_module():
    subprocess.run(["cmake", "--preset", "python"], cwd=ROOT, check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", "--preset", "python", "--target", "_decoding"], cwd=ROOT,
                   check=True, stdout=subprocess.DEVNULL)


def rows():
    """Prints the module's table and returns the verdicts."""
    build_module()
    print("module\tyear\tvalues\trows\tframes MB\tcommand line s\tread s\tprocess s\tread/CLI"
          "\tpeak RSS MB\tRSS/frames")
    verdicts = []
    for row in PY_ROWS:
        data = sample(row.year, row.values, "full")
        script = CHILD.format(module_dir=MODULE_DIR, chunk=row.chunk, path=data)
        cli, child = [], []
        for _ in range(TURNS if row.wall is not None else 1):
            cli.append(cli_seconds(data))
            child.append(run_child(script))
        cli_s = statistics.median(cli)
        read_s = statistics.median(report["seconds"] for report, _, _ in child)
        process_s = statistics.median(wall for _, wall, _ in child)
        rss_mb = max(rss for _, _, rss in child) * 1024 / MB
        report = child[0][0]
        frames_mb = report["frames"] / MB
        what = "iter_chunks(records=%d)" % row.chunk if row.chunk else "read()"
        print("%s\t%d\t%s\t%d\t%.1f\t%.3f\t%.3f\t%.3f\t%.2f\t%.1f\t%.2f"
              % (what, row.year, row.values, report["rows"], frames_mb, cli_s, read_s, process_s,
                 read_s / cli_s, rss_mb, rss_mb / frames_mb), flush=True)
        name = "module %s, year %d %s" % (what, row.year, row.values)
        if row.wall is not None:
            verdicts.append(verdict(name, "wall time over the command line's", read_s / cli_s,
                                    row.wall))
        if row.over_frames is not None:
            verdicts.append(verdict(name, "peak RSS over the DataFrames' memory",
                                    rss_mb / frames_mb, row.over_frames))
        if row.rss_mb is not None:
            verdicts.append(verdict(name, "peak RSS", rss_mb, row.rss_mb, " MB"))
    return verdicts


TSV_CHILD = """
import time
import pandas as pd
{definitions}
start = time.perf_counter()
tables = [load_table(path) for path in {paths!r}]
print(time.perf_counter() - start)
"""


def tsv_rows():
    """Times the way without the module once per year: --tables, then the README's loader."""
    for year, values in ((80, "wide"), (76, "wide")):
        data = sample(year, values, "full")
        out = os.path.join(CACHE, "module-tsv.out")
        start = time.perf_counter()
        subprocess.run([DECODER, "--tables", data, out], check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        tables_s = time.perf_counter() - start
        table = re.compile(r"module-tsv\.out\.(District|School|District_Summary)\.tsv")
        paths = sorted(os.path.join(CACHE, n) for n in os.listdir(CACHE) if table.fullmatch(n))
        script = TSV_CHILD.format(definitions=loader_definitions(), paths=paths)
        report, wall, rss = run_child(script)
        print("year %d %s: --tables %.2f s, then the README's pandas loader on %d tables "
              "%.2f s (process %.2f s, peak RSS %.0f MB)"
              % (year, values, tables_s, len(paths), report, wall, rss * 1024 / MB), flush=True)
        remove(*[os.path.join(CACHE, n) for n in os.listdir(CACHE)
                 if n.startswith("module-tsv.out")])


def loader_definitions():
    return loaders.loader("tables-pandas")


if __name__ == "__main__":
    build("survey-decoder", "survey-sample")
    for line in rows():
        print(line)
    if "--tsv" in sys.argv[1:]:
        tsv_rows()
