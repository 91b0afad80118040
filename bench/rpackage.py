#!/usr/bin/env python3
"""Times the R package's read_survey() against the command line on the full-size year-80
wide sample, and the TSV path (the decoder's --tables, then the README's base-R loader).

The package is installed from bindings/r into bench/cache/r-library (rebuilt each time, as
its sources may have changed). In turns, RUNS times each: the decoder without options, and
one R process calling read_survey() on the sample. read_survey()'s wall time is the call
alone, timed inside the process (R's start and the package load left out); its peak RSS is
the process's high-water mark (VmHWM) right after the call, against object.size() of the data
frames it returned (the whole process's peak, from /usr/bin/time, is shown too: object.size()
itself makes garbage). The TSV path runs once: the decoder with --tables, then one R process loading both
tables with the README's loader through read.delim.

Usage: bench/rpackage.py   (bench/run prints the same rows at its end)
"""
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from samples import CACHE, DECODER, ROOT, build, remove, sample  # noqa: E402
from loaders import loader  # noqa: E402

RUNS = 3
WALL_LIMIT = 3.0  # read_survey() at most this share of the decoder's wall time
RSS_LIMIT = 1.5  # the R process's peak RSS at most this share of the data frames' size
LIBRARY = os.path.join(CACHE, "r-library")
# The peak is read before object.size(), which makes a hash table per text
# column (hundreds of MB of garbage on this file) to count each string once.
READ = """library(surveydecoder)
start <- proc.time()[["elapsed"]]
survey <- suppressWarnings(read_survey("{path}"))
elapsed <- proc.time()[["elapsed"]] - start
status <- readLines("/proc/self/status")
peak <- as.numeric(sub("[^0-9]*([0-9]+).*", "\\\\1", grep("^VmHWM", status, value = TRUE)))
cat(elapsed, as.numeric(object.size(survey$tables)), peak, "\\n")
"""
LOAD = """start <- proc.time()[["elapsed"]]
tables <- lapply(c({paths}), load_table, fast = FALSE)
cat(proc.time()[["elapsed"]] - start, "\\n")
"""


def timed(argv, env=None):
    """(wall seconds, peak RSS KiB, standard output) of one run of `argv`."""
    report = os.path.join(CACHE, "time.txt")
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report] + argv, env=env,
                          capture_output=True, text=True)
    wall = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit("failed: %s\n%s" % (" ".join(argv), done.stderr))
    with open(report) as f:
        rss = int(f.read().split()[-1])
    return wall, rss, done.stdout


def install():
    os.makedirs(LIBRARY, exist_ok=True)
    subprocess.run(["R", "CMD", "INSTALL", "--library=" + LIBRARY, "bindings/r"], cwd=ROOT,
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   env=dict(os.environ, MAKEFLAGS=os.environ.get("MAKEFLAGS", "-j2")))


def rows():
    """Prints the R package's rows and returns the verdicts."""
    try:
        subprocess.run(["Rscript", "-e", "library(Rcpp)"], check=True, capture_output=True)
    except (FileNotFoundError, subprocess.CalledProcessError):
        return ["R package: R or Rcpp not installed, not timed"]
    install()
    data = sample(80, "wide", "full")
    out = os.path.join(CACHE, "rpackage.out")
    script = os.path.join(CACHE, "read.R")
    with open(script, "w") as f:
        f.write(READ.format(path=data))
    env = dict(os.environ, R_LIBS=LIBRARY)
    decoder, reads = [], []
    for _ in range(RUNS):
        remove(out, out + ".meta.txt")
        decoder.append(timed([DECODER, data, out]))
        _, rss, printed = timed(["Rscript", script], env)
        seconds, size, peak = (float(x) for x in printed.split())
        reads.append((seconds, peak, size, rss))
    remove(out, out + ".meta.txt")

    # The TSV path, once: the tables written, then read by the README's base-R loader.
    tsv_decoder, _, _ = timed([DECODER, "--tables", data, out])
    tables = [out + "." + name + ".tsv" for name in ("District", "School")]
    with open(script, "w") as f:
        f.write(loader("tables-r") + LOAD.format(paths=", ".join('"%s"' % t for t in tables)))
    _, tsv_rss, printed = timed(["Rscript", script])
    tsv_load = float(printed.split()[0])
    tsv_mb = sum(os.path.getsize(t) for t in tables) / 1e6
    remove(out, out + ".meta.txt", *[p for t in tables for p in (t, t[:-4] + ".schema.tsv")])

    decoder_s = statistics.median(t[0] for t in decoder)
    read_s = statistics.median(r[0] for r in reads)
    rss_mb = max(r[1] for r in reads) / 1024
    process_mb = max(r[3] for r in reads) / 1024
    frames_mb = reads[0][2] / 2**20
    print("R package, year 80 wide\tdecoder s\tread_survey s\tratio\tpeak RSS MB"
          "\t(with object.size)\tdata frames MB\tratio\tTSV path s (--tables + read.delim)"
          "\ttables MB\tread.delim peak RSS MB")
    print("\t%.3f\t%.3f\t%.2f\t%.0f\t%.0f\t%.0f\t%.2f\t%.1f (%.1f + %.1f)\t%.0f\t%.0f"
          % (decoder_s, read_s, read_s / decoder_s, rss_mb, process_mb, frames_mb,
             rss_mb / frames_mb, tsv_decoder + tsv_load, tsv_decoder, tsv_load, tsv_mb,
             tsv_rss / 1024), flush=True)
    return [
        "R package, year 80 wide: read_survey wall %.2f of the decoder's %s %g"
        % (read_s / decoder_s, "holds <=" if read_s / decoder_s <= WALL_LIMIT else "FAILS >",
           WALL_LIMIT),
        "R package, year 80 wide: peak RSS %.2f of the data frames' size %s %g"
        % (rss_mb / frames_mb, "holds <=" if rss_mb / frames_mb <= RSS_LIMIT else "FAILS >",
           RSS_LIMIT),
        "R package, year 80 wide: the TSV path (--tables, then read.delim) took %.1f s, "
        "%.1f times read_survey" % (tsv_decoder + tsv_load, (tsv_decoder + tsv_load) / read_s),
    ]


if __name__ == "__main__":
    build("survey-decoder")
    for line in rows():
        print(line)
