#!/usr/bin/env python3
"""Checks that a program's --help and its manual page name the same options,
environment variables and exit statuses, so that the two cannot drift apart.

Usage: usage_matches_manual.py PROGRAM PAGE [PROGRAM PAGE]...

From the usage text: every option named before its "environment:" and
"exit status:" parts, the variables listed under the first, the statuses
under the second. From the page (rendered by man, without hyphenation): the
options of SYNOPSIS and OPTIONS, the variables of ENVIRONMENT, the statuses of
EXIT STATUS."""
import os
import re
import subprocess
import sys

# An option stands alone: "-o", "--help", "--", "@FILE" (any @NAME is that
# form); not the dash inside "-x.kbv" or "1970-01-01".
OPTION = re.compile(r'(?:(?<=^)|(?<=[\s\[|(]))(--?[A-Za-z][\w-]*|--|@[A-Za-z][\w.]*)(?=$|[\s\]|):,;])')


def options_in(text):
    return {"@FILE" if token.startswith("@") else token for token in OPTION.findall(text)}


def usage_sets(program):
    # Without a display: the answer must not need one.
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    run = subprocess.run([program, "--help"], capture_output=True, text=True, timeout=60, env=env)
    if run.returncode != 0:
        sys.exit(f"FAIL: {program} --help: status {run.returncode}")
    parts = {"options": [], "environment:": [], "exit status:": []}
    part = "options"
    for line in run.stdout.splitlines():
        if line.strip() in parts:
            part = line.strip()
        else:
            parts[part].append(line)
    firsts = lambda lines, pattern: {m.group(1) for m in map(re.compile(pattern).match, lines) if m}
    return {
        "options": options_in("\n".join(parts["options"])),
        "environment variables": firsts(parts["environment:"], r"\s+([A-Z][A-Z0-9_]+)\s"),
        "exit statuses": firsts(parts["exit status:"], r"\s+(\d+)\s"),
    }


def page_sets(page):
    env = dict(os.environ, MANWIDTH="200", LC_ALL="C.UTF-8")
    text = subprocess.run(["man", "--nh", "--nj", "-l", page], capture_output=True, text=True,
                          env=env, timeout=60, check=True).stdout
    sections = {}
    name = ""
    for line in text.splitlines():
        if line and not line[0].isspace():
            name = line.strip()
        else:
            sections.setdefault(name, []).append(line)
    tags = lambda section, pattern: {m.group(1) for m in map(re.compile(pattern).match, sections.get(section, [])) if m}
    return {
        "options": options_in("\n".join(sections.get("SYNOPSIS", []) + sections.get("OPTIONS", []))),
        "environment variables": tags("ENVIRONMENT", r" {7}([A-Z][A-Z0-9_]+)\b"),
        "exit statuses": tags("EXIT STATUS", r" {7}(\d+)(?:\s|$)"),
    }


def main(args):
    if len(args) < 2 or len(args) % 2:
        sys.exit(__doc__)
    failures = 0
    for program, page in zip(args[::2], args[1::2]):
        usage, manual = usage_sets(program), page_sets(page)
        for what in usage:
            if usage[what] != manual[what]:
                failures += 1
                print(f"FAIL: {os.path.basename(page)}: {what} differ from {os.path.basename(program)} --help:\n"
                      f"  only in --help: {sorted(usage[what] - manual[what])}\n"
                      f"  only in the page: {sorted(manual[what] - usage[what])}")
        if not usage["options"] or not usage["exit statuses"]:
            failures += 1
            print(f"FAIL: {program} --help names no options or no exit statuses")
        print(f"{os.path.basename(page)}: {', '.join(f'{len(v)} {k}' for k, v in usage.items())}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
