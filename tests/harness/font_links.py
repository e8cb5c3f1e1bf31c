#!/usr/bin/env python3
"""Writes the test world's font settings as a registry file (UTF-16, as regedit takes it):
the Windows faces a skin may name are replaced by the Noto faces linked into the prefix, and
each Noto face falls back on the others for the scripts it has no glyphs for."""
import sys

VERSION = r"SOFTWARE\Microsoft\Windows NT\CurrentVersion"

# Face a skin may name -> the Noto face that stands for it.
SUBSTITUTES = {
    "Tahoma": "Noto Sans",
    "Segoe UI": "Noto Sans",
    "Arial": "Noto Sans",
    "Microsoft Sans Serif": "Noto Sans",
    "Microsoft YaHei": "Noto Sans CJK SC",
    "\u5fae\u8f6f\u96c5\u9ed1": "Noto Sans CJK SC",  # Microsoft YaHei by its Chinese name
    "SimSun": "Noto Sans CJK SC",
    "\u5b8b\u4f53": "Noto Sans CJK SC",  # SimSun by its Chinese name
    # The faces of the CJK scripts the setup gives its rich text (Window/flow/ScriptFaces.cpp).
    "Yu Gothic UI": "Noto Sans CJK JP",
    "Microsoft YaHei UI": "Noto Sans CJK SC",
    "Microsoft JhengHei UI": "Noto Sans CJK TC",
    "Malgun Gothic": "Noto Sans CJK KR",
}

LATIN = "NotoSans-Regular.ttf,Noto Sans"
ARABIC = "NotoSansArabic-Regular.ttf,Noto Sans Arabic"
THAI = "NotoSansThai-Regular.ttf,Noto Sans Thai"
CJK = "NotoSansCJK-Regular.ttc,Noto Sans CJK SC"

# Face -> the faces its missing glyphs are taken from, in order. Wine looks links up by the
# chosen face's full name, so each weight of a face has an entry of its own.
LINKS = {
    "Noto Sans Regular": [ARABIC, THAI, CJK],
    "Noto Sans Bold": [ARABIC, THAI, CJK],
    "Noto Sans CJK SC": [LATIN, ARABIC, THAI],
    "Noto Sans CJK SC Bold": [LATIN, ARABIC, THAI],
}


def quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def multi_string(values):
    data = ("\0".join(values) + "\0\0").encode("utf-16-le")
    return "hex(7):" + ",".join(f"{b:02x}" for b in data)


lines = ["Windows Registry Editor Version 5.00", ""]
lines.append(f"[HKEY_LOCAL_MACHINE\\{VERSION}\\FontSubstitutes]")
lines += [f"{quoted(face)}={quoted(noto)}" for face, noto in SUBSTITUTES.items()]
lines += ["", f"[HKEY_LOCAL_MACHINE\\{VERSION}\\FontLink\\SystemLink]"]
lines += [f"{quoted(face)}={multi_string(linked)}" for face, linked in LINKS.items()]
text = "\r\n".join(lines) + "\r\n"
sys.stdout.buffer.write(b"\xff\xfe" + text.encode("utf-16-le"))
