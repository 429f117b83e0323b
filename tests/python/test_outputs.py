"""The package writes what the tool writes: the same search gives the same JSON and page bytes."""

import pytest

import strandix
from conftest import SAMPLES

GENESIS = SAMPLES / "genesis.txt"
TORAH = SAMPLES / "torah-wlc.txt"
JOHN = SAMPLES / "john-byz.txt"

# (document, how it is read, keywords, search options) -- each as the tool's options too.
CASES = {
    "latin": (GENESIS, {}, "moses aaron", {"max_skip": 1000, "span": 5000}),
    "latin-places": (GENESIS, {}, "eden,adam", {"max_skip": 300, "span": 2000, "places": True}),
    "latin-narrow": (GENESIS, {}, "noah", {"max_skip": 2000, "min_skip": 50, "reverse": False,
                                           "width_from": 30, "width_to": 20}),
    "latin-numbers": (GENESIS, {"ignore_numbers": True}, ["torah", "law"],
                      {"exclude_direct": True, "span": 400}),
    "latin-nothing": (GENESIS, {}, "zzzzzq", {}),
    "hebrew-places": (TORAH, {"alphabet": "hebrew", "keep_finals": True}, "אהרן,משה",
                      {"max_skip": 8, "span": 30, "places": True}),
    "hebrew-auto": (TORAH, {"alphabet": "auto"}, "תורה", {"max_skip": 50, "span": 200}),
    "greek": (JOHN, {"alphabet": "greek"}, "λογος", {"max_skip": 200, "span": 1000}),
}


def tool_arguments(read, options):
    arguments = []
    for name, value in {**read, **options}.items():
        if name == "reverse":
            arguments += [] if value else ["--no-reverse"]
        elif value is True:
            arguments.append("--" + name.replace("_", "-"))
        else:
            arguments += ["--" + name.replace("_", "-"), str(value)]
    return arguments


def keyword_operands(keywords):
    return keywords if isinstance(keywords, list) else [keywords]


@pytest.mark.parametrize("case", CASES)
def test_json_and_page_are_the_tools(tool, tmp_path, case):
    path, read, keywords, options = CASES[case]
    results = strandix.Document.open(str(path), **read).search(keywords, **options)
    arguments = tool_arguments(read, options)
    status, expected, _ = tool("-q", "--json", *arguments, path, *keyword_operands(keywords))
    assert status in (0, 1)
    assert results.to_json().encode("utf-8") == expected

    if options.get("places"):
        return  # --places belongs to the JSON only
    page = tmp_path / "package.html"
    results.write_page(page)
    status, _, _ = tool("-q", "--yes", "-o", tmp_path / "tool.html", *arguments, path,
                        *keyword_operands(keywords))
    assert page.read_bytes() == (tmp_path / "tool.html").read_bytes()


def test_text_given_in_the_call_is_standard_input(tool):
    text = GENESIS.read_bytes()[:20000]
    results = strandix.Document.from_text(text).search("adam eve", span=3000)
    _, expected, _ = tool("-q", "--json", "--span", "3000", "-", "adam", "eve", stdin=text)
    assert results.to_json().encode("utf-8") == expected
    # A str is its UTF-8 bytes.
    assert strandix.Document.from_text(text.decode("utf-8")).sha256 == \
        strandix.Document.from_text(text).sha256


def test_finds_agree_with_the_json(tool):
    import json

    doc = strandix.Document.open(str(GENESIS))
    results = doc.search("moses,sinai", max_skip=800, span=4000, places=True)
    parsed = json.loads(results.to_json())
    assert len(results) == parsed["count"] > 0
    assert results.keywords == parsed["keywords"]
    text = doc._core.spell(0, len(doc) - 1)
    for result, row in zip(results, parsed["results"]):
        assert (result.first, result.last, result.columns) == (row["first"], row["last"],
                                                               row["columns"])
        for find, positions, places, keyword in zip(result.finds, row["positions"],
                                                    row["places"], parsed["keywords"]):
            assert list(find.positions) == positions
            assert [list(place) for place in find.places] == places
            letters = [find.start + i * find.skip for i in range(len(keyword))]
            assert sorted(letters) == positions
            assert "".join(text[i] for i in letters) == keyword
        assert result.span == max(max(p) for p in row["positions"]) - \
            min(min(p) for p in row["positions"]) + 1


def test_document_properties(tool):
    import hashlib

    doc = strandix.Document.open(str(TORAH), alphabet="auto")
    assert doc.alphabet == "hebrew"
    assert doc.sha256 == hashlib.sha256(TORAH.read_bytes()).hexdigest()
    _, out, _ = tool("-q", "--json", "--alphabet", "hebrew", TORAH, "תורה")
    assert f'"letters": {len(doc)},'.encode() in out


def test_pandas_rows(tool):
    pandas = pytest.importorskip("pandas")
    results = strandix.Document.open(str(GENESIS)).search("moses aaron", max_skip=1000,
                                                          span=5000)
    frame = results.to_pandas()
    assert isinstance(frame, pandas.DataFrame)
    assert len(frame) == 2 * len(results)
    assert list(frame.loc[frame.result == 3, "keyword"]) == results.keywords
    assert "<table" in results[0]._repr_html_()
