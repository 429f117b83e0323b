"""Control runs give the tool's "controls" object, whatever the number of threads."""

import json
import signal
import os
import threading

import pytest

import strandix
from conftest import SAMPLES, tool_sentence

GENESIS = SAMPLES / "genesis.txt"
TORAH = SAMPLES / "torah-wlc.txt"

CASES = {
    "letters": (GENESIS, {}, "moses", {"controls": 12, "seed": 7, "max_skip": 300}),
    "words": (GENESIS, {}, "adam eve", {"controls": 6, "control_kind": "words", "span": 2000,
                                        "threads": 2}),
    "keywords": (GENESIS, {}, "noah", {"controls": 8, "control_kind": "keywords",
                                       "exclude_direct": True}),
    "hebrew": (TORAH, {"alphabet": "hebrew"}, "תורה", {"controls": 5, "seed": 7,
                                                       "max_skip": 2, "exclude_direct": True}),
}


def arguments(read, options):
    listed = []
    for name, value in {**read, **options}.items():
        listed += ["--" + name.replace("_", "-")] + ([] if value is True else [str(value)])
    return listed


def controls_member(output):
    """The raw text of the "controls" member of the tool's JSON document."""
    text = output.decode("utf-8")
    start = text.index(', "controls": ') + len(', "controls": ')
    assert text.endswith("}\n")
    return text[start:-2]


@pytest.mark.parametrize("case", CASES)
def test_controls_json_is_the_tools(tool, case):
    path, read, keywords, options = CASES[case]
    run = strandix.Document.open(str(path), **read).controls(keywords, **options)
    status, out, errors = tool("-q", "--json", *arguments(read, options), path, keywords)
    assert status in (0, 1), errors
    assert run.to_json() == controls_member(out)
    summary = json.loads(run.to_json())
    assert len(run.results) == options["controls"]
    assert run.real_results == json.loads(out)["count"]
    assert summary  # an object with the figures


def test_threads_do_not_change_the_figures():
    doc = strandix.Document.open(str(GENESIS))
    one = doc.controls("moses aaron", 10, threads=1, span=3000)
    three = doc.controls("moses aaron", 10, threads=3, span=3000)
    assert one.results == three.results and one.smallest_spans == three.smallest_spans
    assert one.to_json() == three.to_json()


def test_bad_control_values(tool):
    doc = strandix.Document.open(str(GENESIS))
    for options in ({"controls": 0}, {"controls": 5, "control_kind": "lines"},
                    {"controls": 5, "threads": 0}, {"controls": 5, "seed": -1}):
        _, _, errors = tool("-q", "--json", *arguments({}, options), GENESIS, "moses")
        with pytest.raises(ValueError) as raised:
            doc.controls("moses", **options)
        assert str(raised.value) == tool_sentence(errors)


def test_progress_and_ctrl_c():
    doc = strandix.Document.open(str(GENESIS))
    seen = []
    doc.controls("moses", 20, threads=2, progress=lambda done, total: seen.append((done, total)))
    assert seen and seen[-1] == (20, 20)

    started = threading.Event()

    def interrupt():
        started.wait()
        os.kill(os.getpid(), signal.SIGINT)

    sender = threading.Thread(target=interrupt)
    sender.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            # Far more controls than any machine runs before the signal arrives.
            doc.controls("moses aaron", 1_000_000, span=5000,
                         progress=lambda done, total: started.set())
    finally:
        started.set()
        sender.join()
