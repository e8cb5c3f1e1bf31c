#!/usr/bin/python3
"""Writes the test prefix's "Noto Sans": Noto Sans with the glyphs, shaping and positioning
rules of Noto Sans Arabic and Noto Sans Thai merged in, one file per weight, into FOLDER.

Wine shapes complex scripts (Arabic, Thai) with the glyphs of the face a font chose only: text
that reaches its glyphs through a system link is drawn in logical order (Arabic left to right)
or as boxes (Thai). Windows' Segoe UI and Tahoma carry these scripts themselves, so the face
standing for them here must too. The Latin face's vertical metrics are kept, so Latin text is
laid out exactly as with Noto Sans alone.

Usage: merge_ui_font.py FOLDER        (Debian: python3-fonttools, fonts-noto-core)
"""
import os
import sys
import tempfile

from fontTools import merge
from fontTools.ttLib import TTFont

NOTO = "/usr/share/fonts/truetype/noto/"
VERTICAL = {
    "hhea": ["ascent", "descent", "lineGap"],
    "OS/2": ["sTypoAscender", "sTypoDescender", "sTypoLineGap", "usWinAscent", "usWinDescent"],
}


def merged(weight):
    files = [NOTO + "NotoSans%s-%s.ttf" % (script, weight) for script in ("", "Arabic", "Thai")]
    font = merge.Merger().merge(files)
    latin = TTFont(files[0])
    for table, fields in VERTICAL.items():
        for field in fields:
            setattr(font[table], field, getattr(latin[table], field))
    drop_thai_mark_positioning(font)
    return font


def drop_thai_mark_positioning(font):
    """Wine 8's positioning of a Thai run that begins with a combining mark (the rich edit
    measures such runs when it wraps) reads before the run's first glyph and crashes; without
    the mark attachment the marks sit where their own outlines put them, over the consonant."""
    table = font["GPOS"].table
    features = table.FeatureList.FeatureRecord
    for record in table.ScriptList.ScriptRecord:
        if record.ScriptTag != "thai":
            continue
        systems = [record.Script.DefaultLangSys] + [r.LangSys for r in record.Script.LangSysRecord]
        for system in filter(None, systems):
            system.FeatureIndex = [i for i in system.FeatureIndex
                                   if features[i].FeatureTag not in ("mark", "mkmk")]
            system.FeatureCount = len(system.FeatureIndex)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for weight in ("Regular", "Bold"):
        target = os.path.join(folder, "NotoSans-%s.ttf" % weight)
        if os.path.exists(target):
            continue
        # Written beside the target and renamed, so parallel test worlds never see half a file.
        handle, partial = tempfile.mkstemp(dir=folder, suffix=".partial")
        os.close(handle)
        merged(weight).save(partial)
        os.replace(partial, target)


main()
