#!/usr/bin/env python3
"""Copies C++ sources, writing the non-ASCII characters of narrow string and
character literals as octal escapes of their Shift-JIS bytes.

clang has no -fexec-charset for Shift-JIS, and a Shift-JIS source would not do
either: a trail byte 0x5C would escape the closing quote. Escaped, the literals
hold exactly the bytes GCC's -fexec-charset=CP932 gives them.

usage: sjis_literals.py SRC_ROOT DST_ROOT DIR...
"""
import os
import sys


def escape_literal(body):
    out = []
    for ch in body:
        if ord(ch) < 0x80:
            out.append(ch)
        else:
            try:
                out.extend("\\%03o" % b for b in ch.encode("cp932"))
            except UnicodeEncodeError:
                # Only a literal pasted into a wide one (WSTR("café")) holds
                # such a character: it stays as it is.
                out.append(ch)
    return "".join(out)


def convert(text):
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(text[i:j])
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(text[i:j])
            i = j
        elif c in "\"'":
            # The prefix decides: u8"", u"", U"", L"" and raw strings stay UTF-8.
            k = i
            while k > 0 and (text[k - 1].isalnum() or text[k - 1] == "_"):
                k -= 1
            prefix = text[k:i]
            if prefix.endswith("R") and c == '"':
                close = ")" + text[i + 1:text.index("(", i)] + '"'
                j = text.index(close, i) + len(close)
                out.append(text[i:j])
                i = j
                continue
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            body = text[i + 1:j]
            if prefix == "":
                body = escape_literal(body)
            out.append(c + body + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def main():
    src, dst, dirs = sys.argv[1], sys.argv[2], sys.argv[3:]
    for d in dirs:
        for root, _, files in os.walk(os.path.join(src, d)):
            for name in files:
                if not name.endswith((".cpp", ".h", ".hpp", ".txt", ".cmake")):
                    continue
                path = os.path.join(root, name)
                rel = os.path.relpath(path, src)
                target = os.path.join(dst, rel)
                os.makedirs(os.path.dirname(target), exist_ok=True)
                with open(path, encoding="utf-8") as f:
                    text = f.read()
                if name.endswith((".cpp", ".h", ".hpp")):
                    text = convert(text)
                if os.path.exists(target):
                    with open(target, encoding="utf-8") as f:
                        if f.read() == text:
                            continue
                with open(target, "w", encoding="utf-8") as f:
                    f.write(text)


if __name__ == "__main__":
    main()
