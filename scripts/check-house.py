#!/usr/bin/env python3
"""Checks the shape of src/ that reviews kept asking for, so it stays that way:

- folders include only folders below them (LAYERS, lowest first), so no two
  folders include each other and the core never reaches the window; a folder of
  REACHES includes nothing above the folder it names (the console program reaches
  the quiet requests and what lies below them, never the window model);
- no file of src/ is longer than 700 lines;
- no function is longer than 120 lines (definition line to closing brace).

Prints what breaks a rule and exits 1; prints a one-line summary otherwise.
"""
import os
import re
import sys

# Each folder may include itself and the folders before it in this list.
LAYERS = ["base", "errors", "pdf", "lang", "runs", "batch", "app", "lists", "merge", "split",
          "mix", "update", "gui", "cli"]
REACHES = {"cli": "batch"}
MAX_FILE_LINES = 700
MAX_FUNCTION_LINES = 120

INCLUDE = re.compile(r'#include "(\w+)/[^"]+"')


def blanked(source):
    """The source with comments, strings and character literals blanked out (lines kept)."""
    out, i, n = [], 0, len(source)
    while i < n:
        if source.startswith("//", i):
            j = source.find("\n", i)
            j = n if j < 0 else j
        elif source.startswith("/*", i):
            j = source.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif source.startswith('R"', i):
            m = re.match(r'R"([^(]*)\(', source[i:])
            end = ")" + m.group(1) + '"'
            j = source.find(end, i) + len(end)
        elif source[i] in "\"'":
            j = i + 1
            while j < n and source[j] != source[i]:
                j += 2 if source[j] == "\\" else 1
            j += 1
        else:
            out.append(source[i])
            i += 1
            continue
        out.append(re.sub(r"[^\n]", " ", source[i:j]))
        i = j
    return "".join(out)


def long_functions(path):
    """(lines, first line, name) of every function body longer than the limit."""
    text = blanked(open(path, encoding="utf-8", errors="replace").read())
    found, stack, line, last = [], [], 1, 0
    for at, c in enumerate(text):
        if c == "\n":
            line += 1
        elif c == "{":
            head = text[last:at].strip()
            in_function = any(kind[0] == "fn" for kind in stack)
            last_line = head.split("\n")[-1]
            if (not in_function
                    and re.search(r"\)\s*(const|noexcept|override|final|->[^;{]*|\s)*$", head)
                    and not re.search(r"\b(if|for|while|switch|catch)\s*\(", last_line)):
                names = re.findall(r"([~\w:]+)\s*\(", head)
                stack.append(("fn", line - head.count("\n"), names[0] if names else "?"))
            else:
                stack.append(("block",))
            last = at + 1
        elif c == "}":
            if stack:
                kind = stack.pop()
                if kind[0] == "fn" and line - kind[1] + 1 > MAX_FUNCTION_LINES:
                    found.append((line - kind[1] + 1, kind[1], kind[2]))
            last = at + 1
        elif c == ";":
            last = at + 1
    return found


def main():
    src = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    problems = []
    files = 0
    for folder in sorted(os.listdir(src)):
        path = os.path.join(src, folder)
        if not os.path.isdir(path):
            continue
        if folder not in LAYERS:
            problems.append(f"src/{folder}/ has no place in LAYERS of scripts/check-house.py")
            continue
        allowed = set(LAYERS[: LAYERS.index(REACHES.get(folder, folder)) + 1]) | {folder}
        for name in sorted(os.listdir(path)):
            if not name.endswith((".h", ".cpp")):
                continue
            files += 1
            file = os.path.join(path, name)
            shown = f"src/{folder}/{name}"
            lines = open(file, encoding="utf-8", errors="replace").read().split("\n")
            if len(lines) - 1 > MAX_FILE_LINES:
                problems.append(f"{shown}: {len(lines) - 1} lines (at most {MAX_FILE_LINES})")
            for number, text in enumerate(lines, 1):
                m = INCLUDE.match(text)
                if m and m.group(1) in LAYERS and m.group(1) not in allowed:
                    problems.append(f"{shown}:{number}: includes {m.group(1)}/, "
                                    f"which stands above {folder}/")
            for length, first, function in long_functions(file):
                problems.append(f"{shown}:{first}: {function} is {length} lines "
                                f"(at most {MAX_FUNCTION_LINES})")
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print(f"house rules hold: {files} files of src/ in {len(LAYERS)} layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
