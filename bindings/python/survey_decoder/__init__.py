"""Survey data files straight into pandas: typed DataFrames, one per record format.

    import survey_decoder
    result = survey_decoder.read("data80.dat")
    schools = result.tables["School"]

The tables are those that ``survey-decoder --tables`` writes, built in memory: per record
format (``District``, ``School``, ``District_Summary``) a DataFrame indexed by ``record``
(the record's line number in the decoder's output file) with the columns ``a1`` to ``aN``,
typed by the schema: ``UInt32``, ``Int32``, ``Float32`` or ``string``, ``<NA>`` where a
record has no value. Float values keep their 32 bits. A failure raises ``DecodeError`` with
the message the command line reports; what it warns of on standard error is a
``DecodeWarning``.
"""

import os
import warnings

import numpy as np
import pandas as pd

from ._decoding import DecodeError, Reader, format_names

__all__ = ["DecodeError", "DecodeWarning", "Result", "read", "iter_chunks", "FORMATS"]

# The record formats by index, as the tables name them.
FORMATS = tuple(format_names())
SCHEMA_COLUMNS = ("column", "address", "type", "column_type", "constant", "min", "max")
REJECT_COLUMNS = ("lines_before", "start_offset", "resume_offset", "records_rejected", "message",
                  "first_bytes")


class DecodeWarning(UserWarning):
    """A line the command line writes on standard error while it decodes, such as a file size
    that differs from the year's."""


class Result:
    """What one decode, or one chunk of it, gives.

    Attributes:
        tables: dict from format name to DataFrame, indexed by ``record``, columns ``a1`` ...
            as the command line's ``--tables`` writes them (only those asked for).
        schema: dict from format name to a DataFrame of the schema file's columns
            (``column``, ``address``, ``type``, ``column_type``, ``constant``, ``min``,
            ``max``; all text, as in the file), one row for ``record`` and one per column of
            the table. Empty for every chunk of ``iter_chunks`` but the last.
        rejects: DataFrame of the rejects file's columns: one row per stretch of damaged
            records skipped under ``keep_going`` (empty otherwise).
        year: the survey year decoded (two digits).
        complete: True when the decode reached the end without failing; None for every
            chunk but the last.
        records: dict from format name to the number of records of that format in the whole
            input; None for every chunk but the last.
        rejected_records: how many records were skipped (``keep_going``); None for every
            chunk but the last.
        statistics: the text the command line prints on standard output (one statistics line
            per stage, the line-end layout and the character histogram); None for every
            chunk but the last.
        metadata: the text of the command line's metadata file (``OUTPUT.meta.txt``); None
            for every chunk but the last.
    """

    def __init__(self, year, tables, schema, rejects, end):
        self.year = year
        self.tables = tables
        self.schema = schema
        self.rejects = rejects
        self.complete = end["complete"] if end else None
        self.records = ({FORMATS[format]: count for format, count, _ in end["results"]}
                        if end else None)
        self.rejected_records = end["rejected_records"] if end else None
        self.statistics = end["statistics"] if end else None
        self.metadata = end["metadata"] if end else None

    def __repr__(self):
        shapes = ", ".join("%s %d x %d" % (name, *table.shape)
                           for name, table in self.tables.items())
        return "<survey_decoder.Result year %d: %s; %d rejected stretches>" % (
            self.year, shapes or "no tables", len(self.rejects))


def read(source, *, year=None, keep_going=False, formats=None, columns=None):
    """Decodes a whole survey file into DataFrames.

    Args:
        source: a path (str or os.PathLike; "-" reads standard input) or the file's bytes
            (bytes, bytearray, memoryview or any buffer), plain or gzip-compressed (told by
            its first two bytes).
        year: the survey year (80 or 1980); by default taken from the file name as the
            command line takes it (``data80.dat`` is year 80; a final ``.gz`` is ignored).
            Needed for bytes and standard input.
        keep_going: skip damaged records instead of failing, as ``--keep-going`` does; each
            stretch skipped is a row of ``rejects``. A record that names an address beyond
            its table's last column is one more rejected record. Only a failure of the input
            itself then raises.
        formats: the format names whose tables to build (default: all).
        columns: the columns to build, as names (``"a661"``) or addresses (``661``), in
            every table that has them (default: all). Memory follows what is asked for.

    Returns:
        A Result. ``tables`` holds the formats that occurred. A column's dtype is its
        schema's: one that never held a value is an all-``<NA>`` ``string`` column.

    Raises:
        DecodeError: the file cannot be read or decoded (the command line's message).
        KeyboardInterrupt: Ctrl-C while decoding.
        ValueError: an unknown format name or column, bytes that are not contiguous.
        TypeError: a source that is neither a path nor bytes, a year that is no integer.

    Warns:
        DecodeWarning: what the command line writes on standard error as it decodes.
    """
    reader = _open(source, year, keep_going, formats, columns, type_by_values=True)
    chunk = _pull(reader, 0)
    occurred = {format for format, _, _ in chunk["end"]["results"]}
    tables = {format: table for format, table in chunk["tables"].items() if format in occurred}
    return _result(reader, dict(chunk, tables=tables))


def iter_chunks(source, records=100000, *, year=None, keep_going=False, formats=None,
                columns=None):
    """Decodes a survey file in chunks of at most ``records`` records, for files larger than
    memory.

    Takes the arguments of ``read``. Yields Results whose ``tables`` hold every format of the
    year that was asked for (empty where a chunk has no record of it), with the same columns
    and dtypes in every chunk: the types the year's layout gives each column (``string``,
    all ``<NA>``, where it gives none). ``rejects`` holds the stretches skipped before the
    chunk's last record and after the previous chunk's (the last chunk: all that remain), so
    that the chunks' rejects concatenate to those of ``read``. The last chunk (empty when the
    records divide evenly) also carries what only the whole file tells: ``schema``,
    ``complete``, ``records``, ``rejected_records``, ``statistics`` and ``metadata``; earlier
    chunks have an empty ``schema`` and None for the rest. The chunks' tables concatenate
    (``pandas.concat``) to what ``read`` gives, except that ``read`` types a column that never
    held a value as ``string`` and leaves out formats that did not occur.

    An input without a year, or of a year not handled, raises when iter_chunks is called;
    any other failure (an input that cannot be opened included) raises from the iteration.
    """
    if records < 1:
        raise ValueError("records must be at least 1, not %d" % records)
    reader = _open(source, year, keep_going, formats, columns, type_by_values=False)

    def chunks():
        while True:
            chunk = _pull(reader, records)
            ended = "end" in chunk
            result = _result(reader, chunk)
            # Only the caller keeps a chunk while the next one fills.
            del chunk
            yield result
            del result
            if ended:
                return

    return chunks()


def _open(source, year, keep_going, formats, columns, type_by_values):
    if isinstance(source, (str, os.PathLike)):
        source = os.fsdecode(os.fspath(source))
    else:
        try:
            view = memoryview(source)
        except TypeError:
            raise TypeError("source must be a path or bytes, not %s"
                            % type(source).__name__) from None
        if not view.c_contiguous:
            raise ValueError("source must be contiguous bytes")
        source = view.cast("B")
    format_indices = None if formats is None else [_format_index(f) for f in _listed(formats)]
    addresses = None if columns is None else sorted({_address(c) for c in _listed(columns)})
    if year is not None:
        if not isinstance(year, (int, np.integer)) or isinstance(year, bool):
            raise TypeError("year must be an int such as 80 or 1980, not %r" % (year,))
        year = int(year) - 1900 if 1900 <= year < 2000 else int(year)
    reader = Reader(source, year, bool(keep_going), format_indices, addresses, type_by_values)
    if addresses is not None:
        built = {address for _, planned in reader.columns() for address, _ in planned}
        unknown = [address for address in addresses if address not in built]
        if unknown:
            raise ValueError("no table of year %d asked for has column %s"
                             % (reader.year, ", ".join("a%d" % a for a in unknown)))
    return reader


def _listed(value):
    return [value] if isinstance(value, (str, int)) else list(value)


def _format_index(name):
    if name not in FORMATS:
        raise ValueError("unknown format %r; the formats are %s" % (name, ", ".join(FORMATS)))
    return FORMATS.index(name)


def _address(column):
    if isinstance(column, str):
        digits = column[1:]
        if column[:1] == "a" and digits.isdigit() and digits.isascii() and digits[0] != "0":
            return int(digits)
    elif isinstance(column, (int, np.integer)) and not isinstance(column, bool) and column > 0:
        return int(column)
    raise ValueError("a column is a name such as \"a661\" or an address such as 661, not %r"
                     % (column,))


def _pull(reader, limit):
    """The reader's next `limit` records (0: all); its warnings, even when it fails."""
    try:
        return reader.read(limit)
    finally:
        for line in reader.take_warnings().splitlines():
            warnings.warn(line, DecodeWarning, stacklevel=4)


def _result(reader, chunk):
    end = chunk.get("end")
    tables = {FORMATS[format]: _frame(lines, columns)
              for format, (lines, columns) in chunk["tables"].items()}
    schema = {}
    if end:
        for format, _, rows in end["results"]:
            name = FORMATS[format]
            if name in tables:
                wanted = {"record", *tables[name].columns}
                rows = [row for row in rows if row[0] in wanted]
                schema[name] = pd.DataFrame(rows, columns=SCHEMA_COLUMNS)
    return Result(reader.year, tables, schema, _rejects(chunk["rejects"]), end)


_STRING = pd.StringDtype("python")


def _strings(values):
    """A string array over `values`, whose elements are str or pandas.NA by construction."""
    # The public constructor checks every element again, which costs more than the rest of
    # building the table; pandas' own constructors take this path where they can.
    if hasattr(pd.arrays.StringArray, "_simple_new"):
        return pd.arrays.StringArray._simple_new(values, _STRING)
    return pd.arrays.StringArray(values)


def _frame(lines, columns):
    """A table's DataFrame over the arrays the reader filled, without copying them."""
    data = {}
    for address, kind, values, missing in columns:
        if kind == "s":
            array = _strings(values)
        elif kind == "f":
            array = pd.arrays.FloatingArray(values, missing)
        elif kind:
            array = pd.arrays.IntegerArray(values, missing)
        else:
            array = _strings(np.full(len(lines), pd.NA, dtype=object))
        data["a%d" % address] = array
    return pd.DataFrame(data, index=pd.Index(lines, name="record"), copy=False)


def _rejects(rows):
    columns = list(zip(*rows)) if rows else [()] * len(REJECT_COLUMNS)
    data = {}
    for name, values in zip(REJECT_COLUMNS, columns):
        text = name in ("message", "first_bytes")
        data[name] = np.array(values, dtype=object if text else np.int64)
    return pd.DataFrame(data)
