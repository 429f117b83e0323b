#!/usr/bin/env python3
"""The Python package against the tool on the bench table's workloads.

    PYTHONPATH=build/native/python python3 bench/python-bench.py KJV_TEXT TOOL [REPEATS]

KJV_TEXT is the King James text the bench targets write (build/native/bench-cache/kjv.txt,
`cmake --build build/native --target bench_bible`); TOOL the built strandix. Prints one table
row per workload: the package's best time of REPEATS, the tool's best wall time for the same
search with --json (reading the document and writing the JSON included), their ratio, and
whether the JSON is the same bytes.
"""

import subprocess
import sys
import time

import strandix


def best(repeats, work):
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        answer = work()
        times.append(time.perf_counter() - start)
    return min(times), answer


def main():
    kjv, tool = sys.argv[1], sys.argv[2]
    repeats = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    doc = strandix.Document.open(kjv)
    print(f"| Workload | package | tool (--json, wall) | package / tool | same JSON |")
    print("|---|---|---|---|---|")

    # W1: MOSES, whole Bible, skips to 10000, span 40000, widths 1-500.
    options = {"max_skip": 10000, "span": 40000, "width_from": 1, "width_to": 500}
    package, results = best(repeats, lambda: doc.search("moses", **options))
    arguments = [tool, "-q", "--json", "--max-skip", "10000", "--span", "40000",
                 "--width-from", "1", "--width-to", "500", kjv, "moses"]
    wall, output = best(repeats, lambda: subprocess.run(arguments, capture_output=True).stdout)
    json_time, text = best(repeats, results.to_json)
    print(f"| W1 doc.search, {len(results)} results | {package:.4f} s | {wall:.4f} s | "
          f"{package / wall:.2f} | {text.encode() == output} |")
    print(f"| W1 to_json | {json_time:.4f} s | | | |")

    # doc.els of a common word: rows per second, no Python object per row.
    els, rows = best(repeats, lambda: doc.els("the", max_skip=150))
    print(f"| doc.els('the', max_skip=150): {len(rows)} rows | {els:.4f} s | | | |")


if __name__ == "__main__":
    main()
