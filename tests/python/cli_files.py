"""The command line's files for an input, and the checks that a survey_decoder Result holds
exactly what they hold."""
import os
import re
import shutil
import subprocess
from dataclasses import dataclass, field

import numpy as np
import pandas as pd

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.join(ROOT, "build", "python")
DECODER = os.environ.get("SURVEY_DECODER_EXE", os.path.join(BUILD, "survey-decoder"))
SAMPLE = os.environ.get("SURVEY_SAMPLE_EXE",
                        os.path.join(BUILD, "tools", "survey-sample", "survey-sample"))
DAMAGE = os.environ.get("SURVEY_DAMAGE_EXE",
                        os.path.join(BUILD, "tools", "survey-damage", "survey-damage"))
FAILURE_HEADER = "Caught std::exception whose 'what()' output appears below."
DTYPES = {"uint32": "UInt32", "int32": "Int32", "float32": "Float32", "string": "string"}


class Samples:
    """Sample files made once per test session, named so that the year reads."""

    def __init__(self, folder):
        self.folder = folder

    def get(self, year, values="light", records=30, seed=1):
        path = os.path.join(self.folder, "%s-r%d-s%d-%d.dat" % (values, records, seed, year))
        if not os.path.exists(path):
            subprocess.run([SAMPLE, str(year), path, "--records", str(records), "--seed",
                            str(seed), "--values", values], check=True,
                           stdout=subprocess.DEVNULL)
        return path

    def damaged(self, year, kind, seed, values="wide", records=40):
        """The sample with one damage of `kind` (survey-damage), made once."""
        path = os.path.join(self.folder, "%s-%s%d-%d.dat" % (values, kind, seed, year))
        if not os.path.exists(path):
            subprocess.run([DAMAGE, kind, str(seed), self.get(year, values, records), path],
                           check=True, stdout=subprocess.DEVNULL)
        return path

    def copy(self, source, name):
        path = os.path.join(self.folder, name)
        shutil.copyfile(source, path)
        return path


@dataclass
class CliRun:
    status: int
    stdout: str
    failure: str  # the message after the failure report's header, or ""
    warnings: list  # the lines on standard error before the run's summary lines
    metadata: str = ""
    tables: dict = field(default_factory=dict)  # format name -> DataFrame of the cells' texts
    schemas: dict = field(default_factory=dict)
    rejects: pd.DataFrame = None


def read_tsv(path):
    return pd.read_csv(path, sep="\t", dtype=str, keep_default_na=False, quoting=3)


def run_cli(path, folder, *options, stdin=False):
    """Runs the decoder with --tables and `options` on `path` (given on standard input as
    "-" with `stdin`), writing into `folder`."""
    out = os.path.join(folder, "out.txt")
    with open(path if stdin else os.devnull, "rb") as source:
        done = subprocess.run([DECODER, "--tables", *options, "-" if stdin else path, out],
                              stdin=source, capture_output=True, text=True)
    lines = done.stderr.splitlines()
    report = lines.index(FAILURE_HEADER) if FAILURE_HEADER in lines else len(lines)
    summary = re.compile(r"duration: |\d+ records rejected; see ")
    run = CliRun(done.returncode, done.stdout, "\n".join(lines[report + 1:]),
                 [line for line in lines[:report] if not summary.match(line)])
    if os.path.exists(out + ".meta.txt"):
        with open(out + ".meta.txt") as f:
            run.metadata = f.read()
    for name in os.listdir(folder):
        found = re.fullmatch(r"out\.txt\.(\w+?)(\.schema)?\.tsv", name)
        if found and found.group(1) != "rejects":
            target = run.schemas if found.group(2) else run.tables
            target[found.group(1)] = read_tsv(os.path.join(folder, name))
    rejects = out + ".rejects.tsv"
    if os.path.exists(rejects):
        run.rejects = read_tsv(rejects)
    return run


def module_message(message):
    """The command line's message as the module words it: a table is named, not its file."""
    message = re.sub(r"the last column of \S*?out\.txt\.(\w+)\.tsv",
                     r"the last column of the \1 table", message)
    return message.replace("; --keep-going skips", "; keep_going=True skips")


def assert_column(actual, texts, name):
    """`actual` (a typed column) holds the values whose table cells are `texts`."""
    texts = texts.to_numpy(dtype=object)
    present = texts != ""
    if actual.dtype == "string":
        # The tables cannot tell an empty text from a missing value.
        got = actual.to_numpy(dtype=object, na_value="")
        assert (got == texts).all(), name
        return
    assert (actual.isna().to_numpy() == ~present).all(), name
    if actual.dtype == "Float32":
        expected = np.where(present, texts, "0").astype(np.float64).astype(np.float32)
        got = actual.to_numpy(dtype=np.float32, na_value=np.float32(0))
        nan_alike = np.isnan(got) & (np.signbit(got) == np.signbit(expected))
        same = np.where(np.isnan(expected), nan_alike,
                        expected.view(np.uint32) == got.view(np.uint32))
        assert same.all(), (name, texts[~same][:3], got[~same][:3])
    else:
        expected = np.where(present, texts, "0").astype(np.int64)
        got = actual.to_numpy(dtype=np.int64, na_value=0)
        assert (got == expected).all(), (name, texts[got != expected][:3])


def assert_matches_cli(result, run):
    """Every table, schema, rejected stretch and report of `result` is the command line's."""
    assert set(result.tables) == set(run.tables)
    for name, texts in run.tables.items():
        table = result.tables[name]
        assert table.index.name == "record"
        assert list(table.index.astype(str)) == list(texts["record"]), name
        assert list(table.columns) == list(texts.columns[1:]), name
        schema = run.schemas[name]
        pd.testing.assert_frame_equal(result.schema[name].astype(str), schema, check_dtype=False)
        types = dict(zip(schema["column"], schema["column_type"]))
        for column in table.columns:
            assert table[column].dtype == DTYPES[types[column]], (name, column)
            assert_column(table[column], texts[column], (name, column))
    expected = run.rejects if run.rejects is not None else read_rejects_header()
    expected = expected.assign(message=[module_message(m) for m in expected["message"]])
    pd.testing.assert_frame_equal(result.rejects.astype(str), expected, check_dtype=False,
                                  check_index_type=False)
    assert result.metadata == run.metadata
    assert result.statistics == run.stdout


def shown_bytes(path, line):
    """Per address, the raw bytes (hex) that --show-record gives for record `line`."""
    done = subprocess.run([DECODER, "--show-record", str(line), path], capture_output=True,
                          text=True, check=True)
    rows = [row.split("\t") for row in done.stdout.splitlines()]
    start = rows.index(["address", "offset", "bytes", "entry", "value"]) + 1
    return {int(row[0]): row[2] for row in rows[start:] if len(row) == 5 and row[0].isdigit()}


def read_rejects_header():
    return pd.DataFrame({name: pd.Series(dtype=str) for name in
                         ("lines_before", "start_offset", "resume_offset", "records_rejected",
                          "message", "first_bytes")})
