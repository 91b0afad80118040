"""keep_going: what the command line's -k salvages, no more; only input failures raise."""
import pytest

import survey_decoder
from cli_files import assert_matches_cli, module_message, run_cli

# (year, damage kind, damage seed) on a 40-record wide sample.
DAMAGES = [
    (70, "flip", 4),  # a record names an address beyond the table's last column
    (70, "delete", 2),
    (74, "insert", 3),
    (76, "duplicate", 1),
    (76, "overwrite", 5),
    (78, "lose-crlf", 1),
    (78, "flip", 2),
    (80, "overwrite", 2),
    (80, "delete", 6),
    (80, "truncate", 5),
    (88, "flip", 7),
    (88, "insert", 1),
]


@pytest.mark.parametrize("year,kind,seed", DAMAGES)
def test_keep_going_matches_the_command_line(samples, tmp_path, year, kind, seed):
    path = samples.damaged(year, kind, seed)
    run = run_cli(path, str(tmp_path), "--keep-going")
    if run.status == 1:
        with pytest.raises(survey_decoder.DecodeError) as raised:
            survey_decoder.read(path, keep_going=True)
        assert str(raised.value) == module_message(run.failure)
        return
    result = survey_decoder.read(path, keep_going=True)
    assert_matches_cli(result, run)
    assert result.complete
    rejected = run.rejects["records_rejected"].astype(int).sum() if run.rejects is not None else 0
    assert result.rejected_records == rejected
