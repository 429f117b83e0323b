"""Bad input raises the exception a Python user expects, with the tool's sentence."""

import pytest

import strandix
from conftest import SAMPLES, tool_sentence

GENESIS = SAMPLES / "genesis.txt"

# Every bounded search option just outside its bounds, and the whole-line checks.
BAD_SEARCH_OPTIONS = [
    {"max_skip": 0}, {"max_skip": 50001}, {"span": -1}, {"span": 500001},
    {"width_from": 0}, {"width_from": 10001}, {"width_to": 0}, {"width_to": 501},
    {"min_skip": 0}, {"min_skip": 50001}, {"max_skip": "12x"},
    {"min_skip": 40, "max_skip": 30},
]


def as_arguments(options):
    arguments = []
    for name, value in options.items():
        arguments += ["--" + name.replace("_", "-"), str(value)]
    return arguments


@pytest.mark.parametrize("options", BAD_SEARCH_OPTIONS, ids=str)
def test_bad_search_value(tool, options):
    status, _, errors = tool("-q", "--json", *as_arguments(options), GENESIS, "moses")
    assert status == 2
    doc = strandix.Document.open(str(GENESIS))
    with pytest.raises(ValueError) as raised:
        doc.search("moses", **options)
    assert str(raised.value) == tool_sentence(errors)


@pytest.mark.parametrize("read,arguments", [
    ({"alphabet": "klingon"}, ["--alphabet", "klingon"]),
    ({"keep_finals": True}, ["--keep-finals"]),
], ids=str)
def test_bad_reading(tool, read, arguments):
    _, _, errors = tool("-q", "--json", *arguments, GENESIS, "moses")
    with pytest.raises(ValueError) as raised:
        strandix.Document.open(str(GENESIS), **read)
    assert str(raised.value) == tool_sentence(errors)


def test_missing_file(tool, tmp_path):
    missing = tmp_path / "missing.txt"
    _, _, errors = tool("-q", "--json", missing, "moses")
    with pytest.raises(FileNotFoundError) as raised:
        strandix.Document.open(str(missing))
    assert str(raised.value) == tool_sentence(errors)
    assert raised.value.errno == 2


def test_invalid_utf8(tool, tmp_path):
    bad = tmp_path / "bad.txt"
    bad.write_bytes("שלום עולם".encode() + b"\xff\xfe" + "תורה".encode())
    _, _, errors = tool("-q", "--json", "--alphabet", "hebrew", bad, "תורה")
    with pytest.raises(ValueError) as raised:
        strandix.Document.open(str(bad), alphabet="hebrew")
    assert str(raised.value) == tool_sentence(errors)
    with pytest.raises(ValueError) as raised:
        strandix.Document.from_text(bad.read_bytes(), alphabet="hebrew")
    assert str(raised.value) == tool_sentence(errors).replace(str(bad), "standard input")


def test_bad_keywords(tool):
    doc = strandix.Document.open(str(GENESIS))
    _, _, errors = tool("-q", "--json", GENESIS, ",;")
    with pytest.raises(ValueError) as raised:
        doc.search(",;")
    assert str(raised.value) == tool_sentence(errors)


def test_stray_keyword_and_wrong_types():
    doc = strandix.Document.from_text("MOSES")
    with pytest.raises(TypeError, match="unexpected keyword argument 'controls'"):
        doc.search("moses", controls=3)
    with pytest.raises(TypeError):
        doc.search("moses", reverse="no")
    with pytest.raises(TypeError):
        doc.search("moses", max_skip=2.5)
