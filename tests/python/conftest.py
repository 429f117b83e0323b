"""Shared fixtures: the built tool, the sample documents, and running the tool for the bytes
the package must match."""

import os
import pathlib
import subprocess

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
SAMPLES = ROOT / "samples"


@pytest.fixture(scope="session")
def tool():
    """Runs the built tool; answers (exit status, standard output bytes, standard error text)."""
    path = os.environ.get("STRANDIX_TOOL")
    if not path:
        pytest.skip("STRANDIX_TOOL names no tool (CTest sets it)")

    def run(*arguments, stdin=None):
        done = subprocess.run([path, *map(str, arguments)], input=stdin, capture_output=True,
                              env={**os.environ, "LC_ALL": "C.UTF-8"})
        return done.returncode, done.stdout, done.stderr.decode("utf-8")

    return run


def tool_sentence(errors):
    """The tool's sentence on standard error, without its "strandix: " and hint line."""
    first = errors.splitlines()[0]
    assert first.startswith("strandix: "), errors
    return first[len("strandix: "):]
