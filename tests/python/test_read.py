"""read(): the tables, schemas and reports of the command line, typed, from any source."""
import gzip
import os
import re

import numpy as np
import pandas as pd
import pytest

import survey_decoder
from cli_files import ROOT, assert_matches_cli, run_cli, shown_bytes

YEARS = (70, 74, 76, 78, 80, 88)


@pytest.mark.parametrize("values", ("light", "wide"))
@pytest.mark.parametrize("year", YEARS)
def test_every_cell_is_the_tables_files(samples, tmp_path, year, values):
    path = samples.get(year, values)
    assert_matches_cli(survey_decoder.read(path), run_cli(path, str(tmp_path)))


def assert_same_result(result, expected):
    assert result.year == expected.year and result.complete and result.records == expected.records
    assert result.tables.keys() == expected.tables.keys()
    for name, table in expected.tables.items():
        pd.testing.assert_frame_equal(result.tables[name], table)
        pd.testing.assert_frame_equal(result.schema[name], expected.schema[name])
    assert result.metadata == expected.metadata


def gzipped(path, _):
    with open(path, "rb") as f:
        data = f.read()
    target = path + ".gz"
    with open(target, "wb") as f:
        f.write(gzip.compress(data))
    return survey_decoder.read(target)


def raw(path, wrap):
    with open(path, "rb") as f:
        return survey_decoder.read(wrap(f.read()), year=80)


# How the same year-80 file is handed over: each gives the plain path's result.
SOURCES = {
    "gzip": gzipped,
    "bytes": lambda path, _: raw(path, bytes),
    "bytearray": lambda path, _: raw(path, bytearray),
    "memoryview": lambda path, _: raw(path, memoryview),
    "year given": lambda path, samples: survey_decoder.read(samples.copy(path, "renamed.dat"),
                                                            year=80),
    "year given long": lambda path, samples: survey_decoder.read(
        samples.copy(path, "renamed.dat"), year=1980),
    "path object": lambda path, _: survey_decoder.read(__import__("pathlib").Path(path)),
}


@pytest.mark.parametrize("source", SOURCES)
def test_every_source_gives_the_plain_files_result(samples, source):
    path = samples.get(80, "wide")
    assert_same_result(SOURCES[source](path, samples), survey_decoder.read(path))


# (year, formats, columns) asked for -> the tables and columns expected.
SELECTIONS = [
    (80, ["School"], None, {"School": None}),
    (88, "District_Summary", None, {"District_Summary": None}),
    (88, None, ["a3", 5, "a700", "a1348"], {"District": ["a3", "a5", "a700", "a1348"],
                                             "School": ["a3", "a5", "a700", "a1348"],
                                             "District_Summary": ["a3", "a5", "a700"]}),
    (80, ["School", "District"], "a1", {"District": ["a1"], "School": ["a1"]}),
    (80, None, [2140, "a1564", "a1564"], {"District": ["a1564"], "School": ["a1564", "a2140"]}),
]


@pytest.mark.parametrize("year,formats,columns,expected", SELECTIONS)
def test_formats_and_columns_restrict_the_tables(samples, year, formats, columns, expected):
    path = samples.get(year, "wide", records=60)
    whole = survey_decoder.read(path)
    result = survey_decoder.read(path, formats=formats, columns=columns)
    assert set(result.tables) == set(expected)
    for name, names in expected.items():
        names = names or list(whole.tables[name].columns)
        pd.testing.assert_frame_equal(result.tables[name], whole.tables[name][names])
        assert list(result.schema[name]["column"]) == ["record"] + names


@pytest.mark.parametrize("call,error", [
    (lambda path: survey_decoder.read(path, year="80"), TypeError),
    (lambda path: survey_decoder.read(5), TypeError),
    (lambda path: survey_decoder.read(np.zeros((4, 4), np.uint8)[:, ::2], year=80), ValueError),
    (lambda path: survey_decoder.iter_chunks(path, 0), ValueError),
])
def test_wrong_arguments_are_refused(samples, call, error):
    with pytest.raises(error):
        call(samples.get(80))


@pytest.mark.parametrize("formats,columns", [
    (["Schools"], None),
    (None, ["b3"]),
    (None, ["a0"]),
    (None, [0]),
    (None, ["a01"]),
    (None, ["a2141"]),  # beyond every table of year 80
    (["District"], ["a2140"]),
])
def test_unknown_formats_and_columns_are_refused(samples, formats, columns):
    with pytest.raises(ValueError):
        survey_decoder.read(samples.get(80), formats=formats, columns=columns)


def test_a_column_without_any_value_is_an_empty_string_column(samples):
    result = survey_decoder.read(samples.get(80))
    for name, table in result.tables.items():
        schema = result.schema[name].set_index("column")
        empty = [c for c in table.columns if schema.loc[c, "type"] == ""]
        assert empty, name
        assert all(table[c].dtype == "string" and table[c].isna().all() for c in empty)


def test_a_nan_keeps_its_bits(samples):
    # The tables write every NaN as nan; the record view shows the bytes it came from.
    path = samples.get(76, "wide", records=1000)
    table = survey_decoder.read(path).tables["District"]
    seen = set()
    for column in (c for c in table.columns if table[c].dtype == "Float32"):
        bits = table[column].to_numpy(dtype=np.float32, na_value=np.float32(0)).view(np.uint32)
        for row in np.flatnonzero(np.isnan(bits.view(np.float32)))[:20]:
            address = int(column[1:])
            assert shown_bytes(path, table.index[row])[address] == "%08x" % bits[row]
            seen.add(int(bits[row]))
    assert seen - {0x7FC00000, 0xFFC00000}, "no NaN with a payload in the sample"


def test_the_readme_example_runs(samples, capsys):
    with open(os.path.join(ROOT, "README.md")) as f:
        code = re.search(r"<!-- python-module -->\n```python\n(.*?)```", f.read(), re.S).group(1)
    exec(code.replace('"data80.dat"', repr(samples.get(80))), {})
    assert "a661" in capsys.readouterr().out
