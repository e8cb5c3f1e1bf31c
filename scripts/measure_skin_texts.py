#!/usr/bin/env python3
"""Measures every text the skins show, in every language, for the skin tests' text-fit check.

    /usr/bin/python3 scripts/measure_skin_texts.py [--check]

Reads the texts the code sets (tests/skin_ui/skin_texts.tsv), the translations
(resources/config/<Language>/text.ini with the placeholders of productInfo.ini filled in), the
static texts and the fonts of the skins (resources/skin), and writes
tests/skin_ui/skin_text_widths.tsv: per window, language and control the text as shown, the font,
the width it needs and, for wrapped texts, its lines. The skin test compares those needs with the
controls' text rectangles and with the current texts, so a changed translation or skin shows up
there until this script is run again. With --check nothing is written; the exit status says
whether the file is current.

The skins name Windows faces; the Noto faces stand in for them, as they do in the test prefixes:
Latin and digits in Noto Sans, each other script in its Noto face. Noto Sans is a little wider
than Segoe UI and Tahoma, and every need carries a further MARGIN for the platform's hinted
metrics. Line heights are those of Noto Sans, the face the linked scripts borrow them from.

Needs Pillow with complex text layout (raqm) and the Noto fonts (Debian: python3-pil,
fonts-noto-core, fonts-noto-cjk).
"""
import argparse
import math
import os
import re
import sys
import xml.etree.ElementTree as ET

from PIL import ImageFont, features

from noto_fonts import font_file

MARGIN = 1.10   # share added to every measured width for the platform's metrics
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
CONFIG = os.path.join(ROOT, "resources", "config")
SKIN = os.path.join(ROOT, "resources", "skin")
BINDINGS = os.path.join(ROOT, "tests", "skin_ui", "skin_texts.tsv")
OUTPUT = os.path.join(ROOT, "tests", "skin_ui", "skin_text_widths.tsv")

RIGHT_TO_LEFT = {"Arabic"}
CJK_FACE = {"Chinese": "Noto Sans CJK SC", "ChineseTW": "Noto Sans CJK TC",
            "Japanese": "Noto Sans CJK JP", "Korean": "Noto Sans CJK KR"}
LAYOUT_LANGUAGE = {"Arabic": "ar", "Thai": "th", "Chinese": "zh-Hans", "ChineseTW": "zh-Hant",
                   "Japanese": "ja", "Korean": "ko"}
MARKUP = re.compile(r"\{/?[a-z][^}]*\}")


def script_of(ch):
    code = ord(ch)
    if 0x0600 <= code <= 0x06FF or 0x0750 <= code <= 0x077F or 0xFB50 <= code <= 0xFDFF \
            or 0xFE70 <= code <= 0xFEFF:
        return "arabic"
    if 0x0E00 <= code <= 0x0E7F:
        return "thai"
    if 0x1100 <= code <= 0x11FF or 0x2E80 <= code <= 0x9FFF or 0xAC00 <= code <= 0xD7AF \
            or 0xF900 <= code <= 0xFAFF or 0xFF00 <= code <= 0xFFEF:
        return "cjk"
    return "latin"


def runs(text):
    """The text cut where the script changes: [(script, run)]."""
    result = []
    for ch in text:
        script = script_of(ch)
        if result and result[-1][0] == script:
            result[-1] = (script, result[-1][1] + ch)
        else:
            result.append((script, ch))
    return result


class Measurer:
    def __init__(self):
        self.cache = {}

    def font(self, family, size, bold):
        key = (family, size, bold)
        if key not in self.cache:
            path, index = font_file(family, bold)
            self.cache[key] = ImageFont.truetype(path, size, index=index,
                                                 layout_engine=ImageFont.Layout.RAQM)
        return self.cache[key]

    def family(self, script, language):
        return {"latin": "Noto Sans", "arabic": "Noto Sans Arabic", "thai": "Noto Sans Thai",
                "cjk": CJK_FACE.get(language, "Noto Sans CJK SC")}[script]

    def width(self, text, size, bold, language):
        total = 0.0
        for script, run in runs(text):
            font = self.font(self.family(script, language), size, bold)
            direction = "rtl" if script == "arabic" else "ltr"
            total += font.getlength(run, direction=direction,
                                    language=LAYOUT_LANGUAGE.get(language, "en"))
        return total

    def line_height(self, size, bold):
        ascent, descent = self.font("Noto Sans", size, bold).getmetrics()
        return ascent + descent


def read_ini_section(path, section):
    """One section of a UTF-16 INI file of the configuration archive: {key: value}."""
    with open(path, encoding="utf-16") as f:
        lines = f.read().splitlines()
    values, inside = {}, False
    for line in lines:
        line = line.strip()
        if line.startswith("["):
            inside = line[1:-1].strip() == section
        elif inside and "=" in line:
            key, value = line.split("=", 1)
            values[key.strip()] = value.strip()
    return values


def language_texts(language):
    """The language's texts with PRODUCT, COLOR and BRAND filled in, in that order."""
    product = read_ini_section(os.path.join(CONFIG, "productInfo.ini"), "PRODUCT")
    texts = read_ini_section(os.path.join(CONFIG, language, "text.ini"), "LANSTR")
    fills = [("PRODUCT", product.get("STR_PRODUCT_NAME", "")),
             ("COLOR", product.get("STR_LISENCE_COLOR", "")),
             ("BRAND", product.get("STR_BRAND_NAME", "") or "Nexvale")]
    for key, text in texts.items():
        for placeholder, value in fills:
            text = text.replace(placeholder, value)
        texts[key] = text
    return texts


def read_bindings():
    bindings = []
    with open(BINDINGS, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line and not line.startswith("#"):
                window, control, shown, template = line.split("\t")
                bindings.append((window, control, shown, template))
    return bindings


def fill(template, texts):
    return re.sub(r"\{(STR_\w+)\}", lambda m: texts.get(m.group(1), ""), template)


class Skin:
    """The fonts and named elements of one window's skin file and the files it includes."""

    def __init__(self, file_name):
        self.fonts = {}
        self.default_font = None
        self.elements = {}
        self.read(file_name)

    def read(self, file_name):
        root = ET.parse(os.path.join(SKIN, file_name)).getroot()
        for font in root.findall("Font"):
            spec = (font.get("name"), int(font.get("size", "12")), font.get("bold") == "true")
            self.fonts[int(font.get("id", "-1"))] = spec
            if font.get("default") == "true":
                self.default_font = spec
        for element in root.iter():
            if element.tag == "Include":
                self.read(element.get("source").replace("\\", "/"))
            elif element.get("name"):
                self.elements[element.get("name")] = element

    def font_of(self, control):
        index = int(self.elements[control].get("font", "-1"))
        return self.fonts.get(index, self.default_font)


def wrap(measurer, text, room, size, bold, language):
    """Lines of a text wrapped at `room` pixels: at blanks where the language has them, else
    between any two characters."""
    breakable = " " in text
    units = re.findall(r"\S+\s*", text) if breakable else list(text)
    lines, current = [], ""
    for unit in units:
        candidate = current + unit
        if current and measurer.width(candidate.rstrip(), size, bold, language) > room:
            lines.append(current.rstrip())
            current = unit
        else:
            current = candidate
    lines.append(current.rstrip())
    return lines


def measure_all():
    if not features.check("raqm"):
        sys.exit("Pillow lacks complex text layout (raqm); Arabic and Thai would be measured wrongly")
    measurer = Measurer()
    bindings = read_bindings()
    windows = sorted({b[0] for b in bindings})
    rows = []
    for language in sorted(os.listdir(CONFIG)):
        if not os.path.isdir(os.path.join(CONFIG, language)):
            continue
        texts = language_texts(language)
        suffix = "_rtl" if language in RIGHT_TO_LEFT else ""
        for window in windows:
            skin = Skin(window + suffix + ".xml")
            shown = [(c, how, fill(t, texts)) for w, c, how, t in bindings if w == window]
            shown += [(name, "line", element.get("text")) for name, element in skin.elements.items()
                      if element.get("text")]
            for control, how, text in sorted(shown):
                if control not in skin.elements:
                    sys.exit("%s%s.xml has no control %r" % (window, suffix, control))
                face, size, bold = skin.font_of(control)
                if how == "short24" and len(text) > 24:
                    text = text[:24] + "..."
                plain = MARKUP.sub("", text)
                if how.startswith("wrap="):
                    room = int(how[5:]) / MARGIN
                    lines = wrap(measurer, plain, room, size, bold, language)
                else:
                    lines = [plain]
                need = math.ceil(max(measurer.width(line, size, bold, language) for line in lines) * MARGIN)
                rows.append((window, language, control, "%s,%d,%s" % (face, size, "bold" if bold else "normal"),
                             str(need), str(len(lines)), str(len(lines) * measurer.line_height(size, bold)), text))
    return rows


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    header = ("# Written by scripts/measure_skin_texts.py: window, language, control, font (face, pixel\n"
              "# size, weight), width needed in pixels (measured, plus %d %%), lines, height in pixels,\n"
              "# the text as shown.\n" % round((MARGIN - 1) * 100))
    content = header + "".join("\t".join(row) + "\n" for row in measure_all())
    if args.check:
        with open(OUTPUT, encoding="utf-8") as f:
            current = f.read() == content
        print("current" if current else "out of date: run scripts/measure_skin_texts.py")
        return 0 if current else 1
    with open(OUTPUT, "w", encoding="utf-8", newline="\n") as f:
        f.write(content)
    return 0


if __name__ == "__main__":
    sys.exit(main())
