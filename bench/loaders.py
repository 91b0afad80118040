#!/usr/bin/env python3
"""Times the documented table loaders against the plain parsers on a full-size table.

The decoder writes the tables of the full-size year-80 wide sample; then, in turns, a plain
`pandas.read_csv(path, sep="\\t")` and the README's pandas loader, a plain `data.table::fread`
and the README's R loader through fread, and base R's `read.delim` and the R loader without
data.table, each in its own process, on the School table. Wall time is the load alone (timed
inside the process, so the interpreter's start and the package imports are left out); peak
RSS is the whole process's, from /usr/bin/time.

Usage: bench/loaders.py   (bench/run prints the same rows at its end)
"""
import os
import re
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from samples import CACHE, DECODER, ROOT, build, remove, sample  # noqa: E402

PYTHON = "/usr/bin/python3"  # Debian's, which has Debian's pandas
TURNS = 2  # base R's plain read.delim takes over a minute: one turn
LIMIT = 1.5  # a loader's wall time and peak RSS at most this share of the plain parser's
# What is loaded, and how each parser is called on PATH; the loaders come from the README.
PAIRS = [
    # (name, interpreter, loader marker, plain code, loader call, limit, turns)
    ("pandas", [PYTHON], "tables-pandas", 'pd.read_csv(PATH, sep="\\t")', "load_table(PATH)",
     LIMIT, TURNS),
    ("R fread", ["Rscript"], "tables-r", "data.table::fread(PATH)",
     "load_table(PATH, fast = TRUE)", LIMIT, TURNS),
    ("R base", ["Rscript"], "tables-r", 'read.delim(PATH)', "load_table(PATH, fast = FALSE)",
     None, 1),
]
TIMER = {
    "tables-pandas": ("import time\nimport pandas as pd\n", "start = time.perf_counter()\n",
                      "table = {call}\nprint(time.perf_counter() - start)\n"),
    "tables-r": ("", "start <- proc.time()[[\"elapsed\"]]\n",
                 "table <- {call}\ncat(proc.time()[[\"elapsed\"]] - start, \"\\n\")\n"),
}


def loader(marker):
    """The README's loader between the marker's comments, without its example call."""
    with open(os.path.join(ROOT, "README.md")) as f:
        text = f.read()
    code = re.search(r"<!-- %s -->\n```\w*\n(.*?)```" % re.escape(marker), text, re.S).group(1)
    return "\n".join(line for line in code.splitlines() if "OUTPUT." not in line) + "\n"


def timed_load(interpreter, marker, definitions, call, path):
    """(load seconds, peak RSS KiB) of one process that defines `definitions` and runs `call`."""
    imports, start, stop = TIMER[marker]
    script = os.path.join(CACHE, "load.py" if marker == "tables-pandas" else "load.R")
    with open(script, "w") as f:
        f.write(imports + definitions + start +
                stop.format(call=call.replace("PATH", repr(path) if marker == "tables-pandas"
                                              else '"%s"' % path)))
    report = os.path.join(CACHE, "time.txt")
    done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report] + interpreter + [script],
                          capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit("failed: %s %s\n%s" % (interpreter[0], call, done.stderr))
    with open(report) as f:
        rss = int(f.read().split()[-1])
    return float(done.stdout.split()[-1]), rss


def available(interpreter, marker):
    probe = ["-c", "import pandas"] if marker == "tables-pandas" else ["-e", "library(data.table)"]
    try:
        return subprocess.run(interpreter + probe, capture_output=True).returncode == 0
    except FileNotFoundError:
        return False


def rows():
    """Prints the table of loaders and returns the verdicts."""
    data = sample(80, "wide", "full")
    out = os.path.join(CACHE, "loaders.out")
    subprocess.run([DECODER, "--tables", data, out], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    table = out + ".School.tsv"
    print("loader\ttable MB\tplain s\tloader s\tratio\tplain peak RSS MB\tloader peak RSS MB"
          "\tratio")
    verdicts = []
    for name, interpreter, marker, plain_call, loader_call, limit, turns in PAIRS:
        if not available(interpreter, marker):
            verdicts.append("%s: not installed, not timed" % name)
            continue
        definitions = loader(marker)
        plain, loaded = [], []
        for _ in range(turns):
            plain.append(timed_load(interpreter, marker, "", plain_call, table))
            loaded.append(timed_load(interpreter, marker, definitions, loader_call, table))
        plain_s = statistics.median(t for t, _ in plain)
        loaded_s = statistics.median(t for t, _ in loaded)
        plain_rss = max(r for _, r in plain) / 1024
        loaded_rss = max(r for _, r in loaded) / 1024
        print("%s\t%.1f\t%.2f\t%.2f\t%.2f\t%.0f\t%.0f\t%.2f"
              % (name, os.path.getsize(table) / 1e6, plain_s, loaded_s, loaded_s / plain_s,
                 plain_rss, loaded_rss, loaded_rss / plain_rss), flush=True)
        for what, ratio in (("wall", loaded_s / plain_s), ("peak RSS", loaded_rss / plain_rss)):
            if limit is None:
                verdicts.append("%s loader, year 80 wide School: %s %.2f of the plain parser's "
                                "(no target)" % (name, what, ratio))
            else:
                holds = ratio <= limit
                verdicts.append("%s loader, year 80 wide School: %s %.2f of the plain parser's "
                                "%s %g" % (name, what, ratio, "holds <=" if holds else "FAILS >",
                                           limit))
    remove(*[os.path.join(CACHE, n) for n in os.listdir(CACHE) if n.startswith("loaders.out")])
    return verdicts


if __name__ == "__main__":
    build("survey-decoder")
    for line in rows():
        print(line)
