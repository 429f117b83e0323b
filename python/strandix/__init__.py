"""Strandix in Python: equidistant letter sequences, with the tool's speed and its numbers.

Open a document, search it, and write what the tool writes::

    import strandix
    doc = strandix.Document.open("genesis.txt")
    results = doc.search("moses aaron", max_skip=1000)
    print(len(results), results.to_json())

Every keyword argument is the command-line tool's option of the same name, with dashes as
underscores (``max_skip`` is ``--max-skip``; ``reverse=False`` is ``--no-reverse``). The defaults
and bounds are the tool's, and a bad value raises ValueError with the tool's sentence.

Long work runs without the interpreter lock: other Python threads run meanwhile, Ctrl-C raises
KeyboardInterrupt, and an optional ``progress(done, total)`` callable is called now and then.
"""

from __future__ import annotations

import html
from collections.abc import Sequence
from dataclasses import dataclass, field
from typing import Any, Callable, Iterator, Optional, Union

from . import _strandix

__all__ = ["Document", "Results", "Result", "Find", "Controls"]

Progress = Optional[Callable[[int, int], Any]]


@dataclass(frozen=True)
class Find:
    """One keyword of a result: where its letters stand in the search text.

    ``start`` is the index of the keyword's first letter and ``skip`` the step to the next one
    (negative when the keyword reads right to left). ``positions`` holds the letters' indexes in
    ascending order, as the tool's JSON does; ``places`` their ``(line, column)`` in the document
    when the search was asked for ``places=True``, else None.
    """

    keyword: str
    start: int
    skip: int
    positions: tuple[int, ...]
    places: Optional[tuple[tuple[int, int], ...]] = None


@dataclass(frozen=True)
class Result:
    """One result: a find of every keyword, shown as a grid ``columns`` letters wide.

    ``first`` and ``last`` are the indexes of the grid's first and last letters; ``span`` is the
    number of letters from the lowest to the highest letter of the finds. In a notebook a result
    shows itself as its coloured grid.
    """

    first: int
    last: int
    columns: int
    finds: tuple[Find, ...]
    _document: Any = field(repr=False, compare=False, default=None)

    @property
    def span(self) -> int:
        """Letters from the lowest to the highest letter of the finds, both counted."""
        low = min(min(find.positions) for find in self.finds)
        high = max(max(find.positions) for find in self.finds)
        return high - low + 1

    def _repr_html_(self) -> str:
        colours = ["#ffd966", "#9fc5e8", "#b6d7a8", "#ea9999", "#b4a7d6", "#f9cb9c"]
        colour_of = {}
        for number, find in enumerate(self.finds):
            for position in find.positions:
                colour_of.setdefault(position, colours[number % len(colours)])
        letters = self._document.spell(self.first, self.last)
        rows = []
        for row_start in range(0, len(letters), self.columns):
            cells = []
            for offset, letter in enumerate(letters[row_start:row_start + self.columns]):
                index = self.first + row_start + offset
                style = f' style="background:{colour_of[index]}"' if index in colour_of else ""
                cells.append(f"<td{style}>{html.escape(letter)}</td>")
            rows.append("<tr>" + "".join(cells) + "</tr>")
        caption = ", ".join(f"{html.escape(f.keyword)} (skip {f.skip})" for f in self.finds)
        return ('<table style="font-family:monospace;border-collapse:collapse">'
                f"<caption>{caption}</caption>" + "".join(rows) + "</table>")


class Results(Sequence):
    """The results of one search, in the order the tool reports them.

    A sequence of :class:`Result`. ``to_json()`` and ``write_page(path)`` write exactly what the
    tool writes for the same search (``--json`` and the page).
    """

    def __init__(self, core: Any, document: "Document") -> None:
        self._core = core
        self._document = document
        self._rows: Optional[list[Result]] = None

    def _results(self) -> list[Result]:
        if self._rows is None:
            self._rows = [
                Result(row["first"], row["last"], row["columns"],
                       tuple(Find(f["keyword"], f["start"], f["skip"], tuple(f["positions"]),
                                  tuple(f["places"]) if "places" in f else None)
                             for f in row["finds"]),
                       self._document._core)
                for row in self._core.rows()
            ]
        return self._rows

    def __len__(self) -> int:
        return len(self._core)

    def __getitem__(self, index):  # type: ignore[override]
        return self._results()[index]

    def __iter__(self) -> Iterator[Result]:
        return iter(self._results())

    def __repr__(self) -> str:
        return f"<strandix.Results: {len(self)} results of {', '.join(self.keywords)}>"

    @property
    def keywords(self) -> list[str]:
        """The keywords in the search's order: longest first, as the tool's JSON lists them."""
        return self._core.keywords

    def to_json(self) -> str:
        """The tool's ``--json`` output for this search, byte for byte (with its final newline)."""
        return self._core.to_json()

    def write_page(self, path: str) -> None:
        """Writes the tool's results page for this search to ``path``, replacing it."""
        self._core.write_page(str(path))

    def to_pandas(self):
        """One row per find: result, keyword, start, skip, first, last, columns, positions.

        Needs pandas.
        """
        import pandas

        rows = []
        for number, result in enumerate(self):
            for find in result.finds:
                rows.append({"result": number, "keyword": find.keyword, "start": find.start,
                             "skip": find.skip, "first": result.first, "last": result.last,
                             "columns": result.columns, "positions": find.positions})
        return pandas.DataFrame(rows, columns=["result", "keyword", "start", "skip", "first",
                                               "last", "columns", "positions"])


class Controls:
    """A control run: the search repeated on control texts, and how the real search compares.

    ``results`` and ``smallest_spans`` hold each control's result count and smallest span (0
    without a result), in control order; ``real_results`` and ``real_smallest_span`` are the
    real search's. ``to_json()`` is the tool's ``"controls"`` object byte for byte,
    ``to_text()`` its report on standard output, ``write_report(path)`` its HTML report.
    """

    def __init__(self, core: Any) -> None:
        self._core = core

    def __repr__(self) -> str:
        return (f"<strandix.Controls: {len(self.results)} controls, real results "
                f"{self.real_results}>")

    @property
    def real_results(self) -> int:
        """The real search's result count."""
        return self._core.real_results

    @property
    def real_smallest_span(self) -> int:
        """The real search's smallest span (0 without a result)."""
        return self._core.real_smallest_span

    @property
    def results(self) -> list[int]:
        """Each control's result count, in control order."""
        return self._core.results

    @property
    def smallest_spans(self) -> list[int]:
        """Each control's smallest span (0 without a result), in control order."""
        return self._core.smallest_spans

    @property
    def seed(self) -> int:
        """The seed the controls were drawn with."""
        return self._core.seed

    def to_json(self) -> str:
        """The tool's ``"controls"`` object (``--json --controls``), byte for byte."""
        return self._core.to_json()

    def to_dict(self) -> dict:
        """The ``"controls"`` object read into Python: the summary, the p-values, the counts."""
        import json

        return json.loads(self.to_json())

    def to_text(self) -> str:
        """The report the tool prints for ``--controls``."""
        return self._core.to_text()

    def write_report(self, path: str) -> None:
        """Writes the tool's HTML report (``--report``) to ``path``."""
        with open(path, "w", encoding="utf-8", newline="") as page:
            page.write(self._core.to_html())


class Document:
    """A document read into the letters of an alphabet, ready to be searched.

    Make one with :meth:`Document.open` or :meth:`Document.from_text`. ``len(doc)`` is its number
    of letters (digits too when they are kept), ``doc.alphabet`` the alphabet it is read in and
    ``doc.sha256`` the SHA-256 of its bytes, as the tool's reports give it.
    """

    def __init__(self, core: Any) -> None:
        self._core = core

    @classmethod
    def open(cls, path: str, alphabet: str = "latin", keep_finals: bool = False,
             ignore_numbers: bool = False) -> "Document":
        """Reads the document at ``path``.

        ``alphabet`` is "latin", "hebrew", "greek" or "auto" (the document's, as the tool picks
        it); ``keep_finals`` keeps Hebrew final forms letters of their own; ``ignore_numbers``
        leaves the digits out. Raises OSError when the file cannot be read and ValueError when
        its bytes are not what the alphabet reads, with the tool's sentences.
        """
        return cls(_strandix.Document.open(str(path), alphabet=alphabet,
                                           keep_finals=keep_finals,
                                           ignore_numbers=ignore_numbers))

    @classmethod
    def from_text(cls, text: Union[str, bytes], alphabet: str = "latin",
                  keep_finals: bool = False, ignore_numbers: bool = False,
                  name: str = "-") -> "Document":
        """A document from a string (written as UTF-8) or bytes.

        ``name`` is what the JSON calls it ("-", as the tool calls standard input).
        """
        return cls(_strandix.Document.from_text(text, name, alphabet=alphabet,
                                                keep_finals=keep_finals,
                                                ignore_numbers=ignore_numbers))

    def __len__(self) -> int:
        return len(self._core)

    def __repr__(self) -> str:
        return f"<strandix.Document {self.name!r}: {len(self)} {self.alphabet} letters>"

    @property
    def name(self) -> str:
        """The path the document was opened with, or the name given to from_text."""
        return self._core.name

    @property
    def alphabet(self) -> str:
        """"latin", "hebrew" or "greek" (with "auto", the one picked)."""
        return self._core.alphabet

    @property
    def sha256(self) -> str:
        """The SHA-256 of the document's bytes, in hex."""
        return self._core.sha256

    def search(self, keywords: Union[str, Sequence[str]], *, progress: Progress = None,
               **options: Any) -> Results:
        """Searches for the keywords and returns the :class:`Results`.

        ``keywords`` is one string as the tool takes it ("moses aaron", "moses,aaron") or a
        list. Options, with the tool's defaults: ``max_skip`` (500), ``span`` (1000),
        ``width_from`` (10), ``width_to`` (100), ``min_skip`` (1), ``exclude_direct`` (False),
        ``reverse`` (True), ``places`` (False: each letter's line and column too).
        """
        return Results(self._core.search(keywords, progress, **options), self)

    def controls(self, keywords: Union[str, Sequence[str]], controls: int, *,
                 progress: Progress = None, **options: Any) -> Controls:
        """Runs the search on ``controls`` control texts and compares the real search with them.

        Takes the search's options and ``control_kind`` ("letters": the document's letters
        shuffled, the default; "words"; "keywords": each keyword replaced by random letters),
        ``seed`` (the tool's default) and ``threads`` (one per core). The figures are the same
        whatever the number of threads. ``progress`` is given (controls done, controls).
        """
        return Controls(self._core.controls(keywords, progress, controls=controls, **options))

    def els(self, word: str, *, progress: Progress = None, **options: Any):
        """Every equidistant letter sequence of one word, as (start, skip) rows.

        ``start`` is the index of the first letter; ``skip`` is negative for the word read
        right to left. Rows come start ascending, then skip ascending. Options: ``min_skip``
        (1), ``max_skip`` (500), ``reverse`` (True). The span does not bound them. Returns an
        (N, 2) numpy array of int32 when numpy is installed, a list of tuples otherwise.
        """
        return self._core.els(word, progress, **options)
