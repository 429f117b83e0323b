"""doc.els lists every sequence of one word, as a plain scan of the text would."""

import os
import random
import subprocess
import sys

import pytest

import strandix


def scan(text, word, min_skip, max_skip, reverse):
    rows = []
    for start in range(len(text)):
        skips = [s for s in range(-max_skip, max_skip + 1)
                 if abs(s) >= min_skip and (reverse or s > 0)]
        if len(word) == 1:
            skips = [0]
        for skip in skips:
            letters = [start + i * skip for i in range(len(word))]
            if all(0 <= i < len(text) for i in letters) and \
                    "".join(text[i] for i in letters) == word:
                rows.append((start, skip))
    return rows


@pytest.mark.parametrize("word,options", [
    ("ABA", {"max_skip": 40}),
    ("ABBA", {"max_skip": 60, "reverse": False}),
    ("BAC", {"min_skip": 5, "max_skip": 30}),
    ("CABAC", {"max_skip": 25}),
])
def test_rows_are_every_sequence(word, options):
    generator = random.Random(1994)
    text = "".join(generator.choice("ABC") for _ in range(600))
    rows = strandix.Document.from_text(text).els(word, **options)
    expected = scan(text, word, options.get("min_skip", 1), options["max_skip"],
                    options.get("reverse", True))
    assert [tuple(row) for row in rows.tolist()] == expected


def test_numpy_array_and_list_without_numpy():
    numpy = pytest.importorskip("numpy")
    doc = strandix.Document.from_text("ABCABCABCBACBACBACABC" * 50)
    rows = doc.els("abc", max_skip=30)
    assert rows.dtype == numpy.int32 and rows.shape[1] == 2 and len(rows) > 0
    script = ("import sys; sys.modules['numpy'] = None; import strandix; "
              "print(strandix.Document.from_text('ABCABCABCBACBACBACABC' * 50)"
              ".els('abc', max_skip=30))")
    listed = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                            env=os.environ, check=True).stdout
    assert eval(listed) == [tuple(row) for row in rows.tolist()]


def test_bounds_are_the_tools():
    doc = strandix.Document.from_text("ABC" * 10)
    with pytest.raises(ValueError, match="^--max-skip: Please enter an integer between 1 and"):
        doc.els("abc", max_skip=0)
    with pytest.raises(ValueError, match="^--min-skip: 9 is above --max-skip 3"):
        doc.els("abc", min_skip=9, max_skip=3)
    with pytest.raises(TypeError, match="span"):
        doc.els("abc", span=10)
