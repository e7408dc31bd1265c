#!/usr/bin/env python3
"""Lists the longest functions in C++ sources, by lines from the signature to the closing brace.

  tools/function-lengths.py [--top N] FOLDER_OR_FILE...   (default: src, the ten longest)

A function is a definition whose body opens at the end of a line at namespace or class level;
lambdas and local classes count towards the function that holds them. String and character
literals and comments are skipped when braces are counted.
"""
import argparse
import pathlib
import re

KEYWORDS = ("if", "for", "while", "switch", "namespace", "class", "struct", "enum", "union", "extern", "do", "else")


def strip_literals(line, in_comment):
    """The line without comments, string and character literals; and whether a block comment goes on."""
    out, i = [], 0
    while i < len(line):
        if in_comment:
            end = line.find("*/", i)
            if end < 0:
                return "".join(out), True
            in_comment, i = False, end + 2
        elif line.startswith("//", i):
            break
        elif line.startswith("/*", i):
            in_comment, i = True, i + 2
        elif line[i] in "\"'":
            quote, i = line[i], i + 1
            while i < len(line) and line[i] != quote:
                i += 2 if line[i] == "\\" else 1
            i += 1
        else:
            out.append(line[i])
            i += 1
    return "".join(out), in_comment


def functions(path):
    lines = path.read_text(errors="replace").splitlines()
    code, in_comment = [], False
    for line in lines:
        stripped, in_comment = strip_literals(line, in_comment)
        code.append(stripped)
    depth_stack = []  # kinds of the open braces: "scope" (namespace, class) or "other"
    signature_start = None
    i = 0
    while i < len(code):
        text = code[i].strip()
        at_scope = all(kind == "scope" for kind in depth_stack)
        if at_scope and text and signature_start is None and not text.startswith("#"):
            signature_start = i
        if at_scope and text.endswith("{"):
            head = " ".join(c.strip() for c in code[signature_start:i + 1]) if signature_start is not None else text
            first_word = re.match(r"[A-Za-z_]*", head.lstrip("}")).group(0)
            is_function = "(" in head and first_word not in KEYWORDS and not head.startswith("=") and "=" not in head.split("(")[0]
            if is_function:
                depth, j = 0, i
                while j < len(code):
                    depth += code[j].count("{") - code[j].count("}")
                    if depth <= 0:
                        break
                    j += 1
                name = re.sub(r"\s+", " ", head.split("(")[0]).split(" ")[-1]
                yield (j - signature_start + 1, f"{path}:{signature_start + 1}", name)
                i, signature_start = j + 1, None
                continue
        for ch in code[i]:
            if ch == "{":
                head_text = " ".join(c.strip() for c in code[signature_start:i + 1]) if signature_start is not None else ""
                scope = re.match(r"\s*(namespace|class|struct|union|extern|enum)\b", head_text) is not None
                depth_stack.append("scope" if scope else "other")
            elif ch == "}" and depth_stack:
                depth_stack.pop()
        if text.endswith((";", "{", "}")) or text.startswith("#") or not text:
            signature_start = None
        i += 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--top", type=int, default=10)
    parser.add_argument("paths", nargs="*", default=["src"])
    args = parser.parse_args()
    found = []
    for root in map(pathlib.Path, args.paths):
        files = [root] if root.is_file() else sorted(p for p in root.rglob("*") if p.suffix in (".cpp", ".h"))
        for path in files:
            found.extend(functions(path))
    for length, where, name in sorted(found, key=lambda f: (-f[0], f[1]))[: args.top]:
        print(f"{length:5d}  {name:32s} {where}")


if __name__ == "__main__":
    main()
