#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks which folder of the program may include which.

A folder is a top folder, but each backend under platform/ (platform/x11) and
the front end app/desktop are folders of their own; "platform" is the ports,
the headers at the top of platform/, and "app" the core's controller logic.
Usage: check_includes.py SOURCE_DIR. Prints each violation as
"file:line: folder X includes Y (rule N: ...)" and fails if there is one.
"""
import fnmatch
import os
import re
import sys

# One rule a line: folders, then "may only" or "may not" and what they may
# (not) include, or "no cycle" among them. "<...>" stands for system headers,
# "-folder" leaves a folder out, and the words below stand for their lists.
RULES = """
log may only log text settings platform machines
text may only text
categories may only categories text platform
machines may only machines platform
settings may only settings platform
ranking may not recorder report app
report may not recorder app
core may not platform/* app/*
core may not <Q*> <xcb/*> <wayland*> <X11/*> posix
* may not tests
platform may only platform
platform/* may only platform core platform/posix platform/dbus platform/dbus_report platform/wayland platform/desktop
* no cycle
"""
WORDS = {
    "core": "recorder ranking settings report text log app categories machines",
    "posix": "<unistd.h> <fcntl.h> <sys/*> <pthread.h> <dirent.h> <syslog.h> <poll.h> <signal.h>"
    " <dlfcn.h> <pwd.h>",
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of(path):
    parts = path.split("/")
    if len(parts) > 2 and parts[0] in ("platform", "app"):
        return parts[0] + "/" + parts[1]
    return "app/main.cpp" if path == "app/main.cpp" else parts[0]


def product_files(root):
    """The program's files and the benchmarks', which use the tests' fakes
    only through their library."""
    for top, dirs, files in os.walk(root):
        dirs[:] = [
            d for d in dirs
            if not d.startswith(".") and not (top == root and d == "tests")
            and not os.path.exists(os.path.join(top, d, "CMakeCache.txt"))
        ]
        for name in files:
            if name.endswith((".h", ".cpp", ".inl")):
                yield os.path.relpath(os.path.join(top, name), root)


def includes(root):
    """(file, line, folder, included) for each include of a product file."""
    for path in sorted(product_files(root)):
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            for number, text in enumerate(source, 1):
                match = INCLUDE.match(text)
                if not match:
                    continue
                quote, name = match.groups()
                if quote == "<":
                    yield path, number, folder_of(path), "<" + name + ">"
                elif "/" in name:  # a name alone is a file of the same folder
                    yield path, number, folder_of(path), folder_of(name)


def matches(name, patterns):
    return any(fnmatch.fnmatchcase(name, pattern) for pattern in patterns)


def in_scope(folder, sources):
    excluded = [s[1:] for s in sources if s.startswith("-")]
    wanted = [s for s in sources if not s.startswith("-")]
    return matches(folder, wanted) and not matches(folder, excluded)


def cycle_edges(edges):
    """The edges that lie on a cycle: those whose end reaches back to their start."""
    def reaches(start, goal):
        seen, stack = set(), [start]
        while stack:
            folder = stack.pop()
            if folder == goal:
                return True
            if folder not in seen:
                seen.add(folder)
                stack.extend(edges.get(folder, ()))
        return False
    return {(a, b) for a in edges for b in edges[a] if reaches(b, a)}


def main(root):
    found = list(includes(root))
    violations = []
    for number, rule in enumerate(filter(None, RULES.strip().splitlines()), 1):
        kind = next(k for k in ("may only", "may not", "no cycle") if f" {k}" in rule)
        sources, _, targets = (
            " ".join(WORDS.get(word, word) for word in part.split()).split()
            for part in rule.partition(f" {kind}"))
        said = f"rule {number}: {rule}"
        scoped = [i for i in found if in_scope(i[2], sources) and i[3] != i[2]]
        if kind == "no cycle":
            edges = {}
            for _, _, folder, included in scoped:
                if not included.startswith("<") and in_scope(included, sources):
                    edges.setdefault(folder, set()).add(included)
            cycles = cycle_edges(edges)
            bad = [i for i in scoped if (i[2], i[3]) in cycles]
        elif kind == "may only":
            bad = [i for i in scoped if not i[3].startswith("<") and not matches(i[3], targets)]
        else:
            bad = [i for i in scoped if matches(i[3], targets)]
        violations += [f"{p}:{n}: folder {f} includes {i} ({said})" for p, n, f, i in bad]
    print("\n".join(violations) if violations else f"{len(found)} includes follow the rules")
    return 1 if violations else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
