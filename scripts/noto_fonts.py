"""Finds the Noto font files the picture and measuring scripts draw or measure with.

Debian: fonts-noto-core, fonts-noto-cjk, and fontconfig's fc-match.
"""
import subprocess
import sys


def font_file(family, bold=False):
    """File and face index of a font family, as fontconfig resolves it; the family must match."""
    pattern = family + (":bold" if bold else "")
    out = subprocess.run(["fc-match", "-f", "%{file}\n%{index}\n%{family}", pattern],
                         check=True, capture_output=True, text=True).stdout.split("\n")
    path, index, found = out[0], int(out[1] or 0), out[2]
    if family not in found.split(","):
        sys.exit("font family %r not installed (fontconfig offers %r)" % (family, found))
    return path, index
