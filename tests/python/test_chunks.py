"""iter_chunks(): chunks of fixed columns and dtypes that concatenate to read()'s result."""
import pandas as pd
import pytest

import survey_decoder

# (year, values, records in the file, records per chunk, keep_going damage or None)
CHUNKINGS = [
    (76, "wide", 50, 7, None),
    (80, "light", 40, 10, None),
    (80, "wide", 40, 40, None),  # the records divide evenly: an empty last chunk ends
    (88, "wide", 30, 1, None),
    (70, "wide", 40, 6, ("flip", 4)),
    (80, "wide", 40, 9, ("overwrite", 2)),
]


@pytest.mark.parametrize("year,values,records,size,damage", CHUNKINGS)
def test_chunks_concatenate_to_the_whole(samples, year, values, records, size, damage):
    path = samples.damaged(year, *damage, values, records) if damage else \
        samples.get(year, values, records)
    keep_going = damage is not None
    whole = survey_decoder.read(path, keep_going=keep_going)
    chunks = list(survey_decoder.iter_chunks(path, size, keep_going=keep_going))
    assert all(sum(len(t) for t in c.tables.values()) <= size for c in chunks)
    *body, last = chunks
    assert all(c.schema == {} and c.complete is None for c in body)
    assert last.complete and last.records == whole.records
    for name, expected in whole.tables.items():
        dtypes = [list(c.tables[name].dtypes) for c in chunks]
        assert all(d == dtypes[0] for d in dtypes), name
        joined = pd.concat([c.tables[name] for c in chunks])
        # read() types a column that never held a value as string; a chunk keeps the
        # layout's type.
        for column in expected.columns:
            if expected[column].dtype != joined[column].dtype:
                assert expected[column].isna().all() and joined[column].isna().all()
                joined[column] = expected[column]
        pd.testing.assert_frame_equal(joined, expected)
        pd.testing.assert_frame_equal(last.schema[name], whole.schema[name])
    pd.testing.assert_frame_equal(pd.concat([c.rejects for c in chunks], ignore_index=True),
                                  whole.rejects)


def test_an_abandoned_iteration_ends_its_decode(samples):
    chunks = survey_decoder.iter_chunks(samples.get(76, "wide", records=400), 10)
    first = next(chunks)
    del chunks  # stops the decoding thread, which must not hang or crash
    assert len(first.tables["District"]) == 10
    assert survey_decoder.read(samples.get(76, "wide", records=400)).complete
