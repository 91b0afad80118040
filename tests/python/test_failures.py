"""A failure raises DecodeError with the command line's message; Ctrl-C stops a read."""
import contextlib
import inspect
import signal
import sys
import traceback
import warnings

import pytest

import survey_decoder
from cli_files import module_message, run_cli


def truncated(samples):
    return samples.damaged(76, "truncate", 3, values="wide", records=20)


def read_bytes(path):
    with open(path, "rb") as f:
        return survey_decoder.read(f.read())


# name -> (the input, the module's call on it, whether the command line reads it as "-")
FAILURES = {
    "truncated": (truncated, survey_decoder.read, False),
    "truncated, in chunks": (truncated, lambda path: list(survey_decoder.iter_chunks(path, 5)),
                             False),
    "year not handled": (lambda s: s.copy(s.get(76), "data75.dat"), survey_decoder.read, False),
    "no such file": (lambda s: s.folder + "/missing80.dat", survey_decoder.read, False),
    "address beyond the table": (lambda s: s.damaged(70, "flip", 4), survey_decoder.read, False),
    "bytes without a year": (lambda s: s.get(80), read_bytes, True),
}


@pytest.mark.parametrize("case", FAILURES)
def test_a_failure_carries_the_command_lines_message(samples, tmp_path, case):
    make, call, stdin = FAILURES[case]
    path = make(samples)
    run = run_cli(path, str(tmp_path), stdin=stdin)
    assert run.status == 1 and run.failure
    with pytest.raises(survey_decoder.DecodeError) as raised:
        call(path)
    assert str(raised.value) == module_message(run.failure)


# name -> (the input, read()'s options): the warnings of each are the command line's.
WARNED = {
    "short file": (lambda s: s.get(80), {}),
    "truncated": (truncated, {}),
    "truncated, keep going": (truncated, {"keep_going": True}),
    "no such file": (lambda s: s.folder + "/missing80.dat", {}),  # none: it fails at once
}


@pytest.mark.parametrize("case", WARNED)
def test_warnings_are_the_command_lines(samples, tmp_path, case):
    make, options = WARNED[case]
    path = make(samples)
    run = run_cli(path, str(tmp_path), *(["--keep-going"] if options else []))
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        try:
            survey_decoder.read(path, **options)
        except survey_decoder.DecodeError:
            pass
    assert [str(w.message) for w in caught if w.category is survey_decoder.DecodeWarning] == \
        run.warnings


def test_a_year_given_that_is_not_handled_is_refused(samples, tmp_path):
    run = run_cli(samples.copy(samples.get(76), "data75.dat"), str(tmp_path))
    with pytest.raises(survey_decoder.DecodeError) as raised:
        survey_decoder.read(samples.get(76), year=75)
    assert str(raised.value) == run.failure


@contextlib.contextmanager
def alarms(handler, first, every):
    """SIGALRM handled by `handler`, first after `first` seconds, then every `every`."""
    previous = signal.signal(signal.SIGALRM, handler)
    signal.setitimer(signal.ITIMER_REAL, first, every)
    try:
        yield
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, previous)


def test_ctrl_c_stops_the_decode(samples):
    path = samples.get(76, "wide", records=8000)
    fired = []

    def interrupt(*_):
        if not fired:
            fired.append(True)
            raise KeyboardInterrupt

    with alarms(interrupt, 0.05, 0.01), pytest.raises(KeyboardInterrupt) as raised:
        survey_decoder.read(path)
    # The handler ran within the decode, not between two Python statements around it.
    *_, caller, handler = traceback.extract_tb(raised.tb)
    assert handler.name == "interrupt"
    assert caller.name == "_pull" and "reader.read" in caller.line
    assert survey_decoder.read(samples.get(76)).complete


def test_signal_handlers_run_while_records_are_decoded(samples):
    path = samples.get(76, "wide", records=20000)
    places = []

    def note(*_):
        context = inspect.getframeinfo(sys._getframe(1)).code_context
        places.append(context[0].strip() if context else None)

    with alarms(note, 0.01, 0.01):
        survey_decoder.read(path)
    # Pending signals would otherwise be handled once, after the decode returned.
    assert places.count("return reader.read(limit)") >= 2, places
