#!/usr/bin/env python3
"""Compares the options that `strandix --help` lists with the man page and the bash completion.

    check-option-docs.py TOOL MANPAGE COMPLETION

Fails (status 1) and names each option that one of the three has and another lacks.
"""

import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])(--?[A-Za-z][\w-]*)")


def help_options(tool):
    text = subprocess.run([tool, "--help"], check=True, capture_output=True, text=True).stdout
    options = set()
    for line in text.splitlines():
        # An option line: indented, starts with a dash; its names end at the first wide gap.
        match = re.match(r"^ {1,4}(-\S.*?)(?: {2,}|$)", line)
        if match:
            options.update(OPTION.findall(match.group(1)))
    return options


def man_options(path):
    """The names in the tags (the line after each .TP) of the OPTIONS section."""
    options = set()
    section = None
    tagged = False
    with open(path, encoding="utf-8") as page:
        for line in page:
            line = line.rstrip("\n")
            if line.startswith(".SH"):
                section = line[3:].strip().strip('"')
                continue
            if section != "OPTIONS":
                continue
            if line.startswith(".TP"):
                tagged = True
                continue
            if tagged:
                plain = re.sub(r"\\f[BIRP]", "", line).replace("\\-", "-")
                plain = re.sub(r"^\.[A-Z]+\s*", "", plain)
                options.update(OPTION.findall(plain))
                tagged = False
    return options


def completion_options(path):
    """What the completion offers for a lone dash, from the real function in bash."""
    script = (
        f'source "{path}"\n'
        "COMP_WORDS=(strandix -); COMP_CWORD=1; COMP_LINE='strandix -'; COMP_POINT=10\n"
        'func=$(complete -p strandix | sed -E "s/.*-F ([^ ]+).*/\\1/")\n'
        '"$func" strandix - strandix\n'
        'printf "%s\\n" "${COMPREPLY[@]}"\n'
    )
    text = subprocess.run(["bash", "-c", script], check=True, capture_output=True,
                          text=True).stdout
    return set(text.split())


def main():
    if len(sys.argv) != 4:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    tool, manpage, completion = sys.argv[1:]
    listed = help_options(tool)
    others = {"the man page": man_options(manpage),
              "the bash completion": completion_options(completion)}
    if not listed:
        print(f"error: found no options in {tool} --help", file=sys.stderr)
        return 1
    problems = 0
    for name, options in others.items():
        for option in sorted(listed - options):
            print(f"error: {option} is in --help but not in {name}", file=sys.stderr)
            problems += 1
        for option in sorted(options - listed):
            print(f"error: {option} is in {name} but not in --help", file=sys.stderr)
            problems += 1
    if problems:
        return 1
    print(f"{len(listed)} options, the same in --help, the man page and the bash completion: "
          + " ".join(sorted(listed)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
