#!/usr/bin/env python3
"""Compares the options that `strandix --help` lists with the man page and the bash completion,
and those of `strandix proximity --help` with the completion after "proximity" and the man page.

    check-option-docs.py TOOL MANPAGE COMPLETION

Fails (status 1) and names each option that one of the three has and another lacks.
"""

import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])(--?[A-Za-z][\w-]*)")


def help_options(tool, *command):
    text = subprocess.run([tool, *command, "--help"], check=True, capture_output=True,
                          text=True).stdout
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


def completion_options(path, *command):
    """What the completion offers for a lone dash (after `command`), from the real function in
    bash."""
    words = " ".join(["strandix", *command, "-"])
    script = (
        f'source "{path}"\n'
        f"COMP_WORDS=({words}); COMP_CWORD={len(command) + 1}; COMP_LINE='{words}'; "
        f"COMP_POINT={len(words)}\n"
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
    # strandix proximity: its --help and the completion after "proximity" name the same options,
    # and the man page describes each of them.
    proximity = help_options(tool, "proximity")
    completed = completion_options(completion, "proximity")
    described = others["the man page"]
    for option in sorted(proximity - completed):
        print(f"error: {option} is in proximity --help but not in the bash completion after "
              "proximity", file=sys.stderr)
        problems += 1
    for option in sorted(completed - proximity):
        print(f"error: {option} is in the bash completion after proximity but not in proximity "
              "--help", file=sys.stderr)
        problems += 1
    for option in sorted(proximity - described):
        print(f"error: {option} is in proximity --help but not in the man page", file=sys.stderr)
        problems += 1
    if problems:
        return 1
    print(f"{len(listed)} options, the same in --help, the man page and the bash completion: "
          + " ".join(sorted(listed)))
    print(f"{len(proximity)} options of proximity, the same in its --help and the bash "
          "completion, all in the man page: " + " ".join(sorted(proximity)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
