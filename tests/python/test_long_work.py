"""Long work lets other threads run, stops at Ctrl-C and reports its progress.

Nothing here waits on a clock: the search is long enough to outlast any machine's delays, and
each test stops it as soon as the event it waits for has happened.
"""

import os
import random
import signal
import sys
import threading

import pytest

import strandix


class Enough(Exception):
    pass


@pytest.fixture(scope="module")
def long_search():
    """A document and keywords whose search takes many seconds."""
    generator = random.Random(7)
    text = "".join(generator.choice("ABCDE") for _ in range(2_000_000))
    doc = strandix.Document.from_text(text)
    return doc, "ABCD ABCE ABDE ACDE BCDE", {"max_skip": 50000, "span": 500000}


def test_other_threads_run_during_a_search(long_search):
    doc, keywords, options = long_search
    searching = threading.Event()
    counted = threading.Event()

    def count():
        searching.wait()
        total = 0
        for _ in range(100_000):
            total += 1
        counted.set()

    def progress(done, total):
        searching.set()
        if counted.is_set():
            raise Enough

    counter = threading.Thread(target=count)
    counter.start()
    # Without its lock released by the search, the counter could run only at a forced switch,
    # which this interval puts far beyond the test.
    interval = sys.getswitchinterval()
    sys.setswitchinterval(1000)
    try:
        with pytest.raises(Enough):
            doc.search(keywords, progress=progress, **options)
    finally:
        sys.setswitchinterval(interval)
        searching.set()
        counter.join()


@pytest.mark.skipif(os.name != "posix", reason="SIGINT from a thread")
def test_ctrl_c_raises_keyboard_interrupt(long_search):
    doc, keywords, options = long_search
    searching = threading.Event()
    calls_after_signal = []
    sent = threading.Event()

    def interrupt():
        searching.wait()
        os.kill(os.getpid(), signal.SIGINT)
        sent.set()

    def progress(done, total):
        searching.set()
        if sent.is_set():
            calls_after_signal.append(done)

    sender = threading.Thread(target=interrupt)
    sender.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            doc.search(keywords, progress=progress, **options)
    finally:
        searching.set()
        sender.join()
    # The search stopped at the first look after the signal, not at its end.
    assert len(calls_after_signal) <= 1


def test_progress_reaches_the_end():
    doc = strandix.Document.open(os.path.join(os.path.dirname(__file__), "..", "..", "samples",
                                              "genesis.txt"))
    calls = []
    doc.search("moses aaron", max_skip=5000, span=20000, progress=lambda d, t: calls.append((d, t)))
    assert calls, "progress was never called"
    assert all(total == len(doc) for _, total in calls)
    assert [done for done, _ in calls] == sorted(done for done, _ in calls)
    assert calls[-1] == (len(doc), len(doc))


def test_an_exception_in_progress_stops_the_search(long_search):
    doc, keywords, options = long_search
    with pytest.raises(Enough):
        doc.search(keywords, progress=lambda done, total: (_ for _ in ()).throw(Enough()),
                   **options)
