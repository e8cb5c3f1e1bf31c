#!/usr/bin/env python3
"""Draws the install tip picture (520 x 36) of every language folder of the configuration archive.

The picture is the background of the tip control on the first page of the setup window and reminds
the user not to install the program on the drive that holds the files to be recovered. Each one is written to
resources/config/<Language>/install_tips.png; the PNGs are committed, so the build needs neither
this script nor its fonts.

Run by hand when a tip text or the design changes:

    /usr/bin/python3 scripts/make_install_tips.py [Language ...]

Needs Pillow with complex text layout (raqm) for Arabic and Thai shaping, fontconfig's fc-match and
the Noto fonts (Debian: python3-pil, fonts-noto-core, fonts-noto-cjk).
"""
import os
import sys

from PIL import Image, ImageDraw, ImageFont, features

from noto_fonts import font_file

WIDTH, HEIGHT = 520, 36
BRAND = (0x48, 0x58, 0xEC)                       # #4858EC
BACKGROUND = (0xF1, 0xF3, 0xFE)                  # brand colour at about 7 % on white
BORDER = (0xDC, 0xE0, 0xFB)                      # hairline frame, brand colour at about 19 %
TEXT = (0x3A, 0x3F, 0x55)                        # dark blue-grey
ACCENT_WIDTH = 3                                 # brand-coloured bar on the leading edge
ICON_DIAMETER = 16
PADDING = 14                                     # from the accent bar to the icon
GAP = 8                                          # from the icon to the text
FONT_SIZE = 13                   # pixels, the same in every language
PALETTE_COLOURS = 48

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "config")

# Font family (fontconfig name), layout language and direction, and the tip text of each folder.
TIPS = {
    "English": ("Noto Sans", "en", "ltr",
                "Do not install the program on the drive with the files you want to recover."),
    "German": ("Noto Sans", "de", "ltr",
               "Nicht auf dem Laufwerk installieren, auf dem die verlorenen Dateien liegen."),
    "French": ("Noto Sans", "fr", "ltr",
               "N’installez pas le logiciel sur le disque qui contient les fichiers à récupérer."),
    "Spanish": ("Noto Sans", "es", "ltr",
                "No instale el programa en la unidad con los archivos que desea recuperar."),
    "Italian": ("Noto Sans", "it", "ltr",
                "Non installare il programma sull’unità che contiene i file da recuperare."),
    "Portuguese": ("Noto Sans", "pt", "ltr",
                   "Não instale o programa na unidade que contém os ficheiros a recuperar."),
    "Dutch": ("Noto Sans", "nl", "ltr",
              "Installeer het programma niet op de schijf met de verloren bestanden."),
    "Swedish": ("Noto Sans", "sv", "ltr",
                "Installera inte programmet på den enhet där filerna du vill återställa finns."),
    "Japanese": ("Noto Sans CJK JP", "ja", "ltr",
                 "復元したいファイルがあるドライブには、インストールしないでください。"),
    "Chinese": ("Noto Sans CJK SC", "zh-Hans", "ltr",
                "请勿将软件安装到丢失文件所在的磁盘分区，以免覆盖需要恢复的数据。"),
    "ChineseTW": ("Noto Sans CJK TC", "zh-Hant", "ltr",
                  "請勿將軟體安裝到遺失檔案所在的磁碟機，以免覆寫需要救援的資料。"),
    "Korean": ("Noto Sans CJK KR", "ko", "ltr",
               "복구할 파일이 있는 드라이브에는 프로그램을 설치하지 마세요."),
    "Arabic": ("Noto Sans Arabic", "ar", "rtl",
               "لا تثبّت البرنامج على محرك الأقراص الذي يحتوي على الملفات التي تريد استردادها."),
    "Thai": ("Noto Sans Thai", "th", "ltr",
             "โปรดอย่าติดตั้งโปรแกรมลงในไดรฟ์ที่มีไฟล์ที่คุณต้องการกู้คืน"),
}


def draw_icon(img, left):
    """An info sign: a brand-coloured disc with a white 'i', drawn 4x larger and scaled down."""
    scale = 4
    size = ICON_DIAMETER * scale
    disc = Image.new("L", (size, size), 0)
    sign = Image.new("L", (size, size), 0)
    ImageDraw.Draw(disc).ellipse((0, 0, size - 1, size - 1), fill=255)
    d = ImageDraw.Draw(sign)
    cx = size / 2
    d.ellipse((cx - 1.15 * scale, 3.4 * scale, cx + 1.15 * scale, 5.7 * scale), fill=255)       # dot
    d.rounded_rectangle((cx - 1.0 * scale, 7.0 * scale, cx + 1.0 * scale, 12.6 * scale),
                        radius=0.5 * scale, fill=255)                                          # stem
    disc = disc.resize((ICON_DIAMETER, ICON_DIAMETER), Image.LANCZOS)
    sign = sign.resize((ICON_DIAMETER, ICON_DIAMETER), Image.LANCZOS)
    top = (HEIGHT - ICON_DIAMETER) // 2
    img.paste(BRAND, (left, top), disc)
    img.paste((255, 255, 255), (left, top), sign)


def fitted_font(family, text, lang, direction, room):
    path, index = font_file(family)
    font = ImageFont.truetype(path, FONT_SIZE, index=index, layout_engine=ImageFont.Layout.RAQM)
    box = font.getbbox(text, direction=direction, language=lang)
    if box[2] - box[0] > room:
        sys.exit("tip text %d px wide, only %d px fit: %r" % (box[2] - box[0], room, text))
    return font, box


def make(language):
    family, lang, direction, text = TIPS[language]
    rtl = direction == "rtl"
    img = Image.new("RGB", (WIDTH, HEIGHT), BACKGROUND)
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, WIDTH - 1, HEIGHT - 1), outline=BORDER)
    accent = (WIDTH - ACCENT_WIDTH, 0, WIDTH - 1, HEIGHT - 1) if rtl else (0, 0, ACCENT_WIDTH - 1, HEIGHT - 1)
    d.rectangle(accent, fill=BRAND)

    icon_left = WIDTH - ACCENT_WIDTH - PADDING - ICON_DIAMETER if rtl else ACCENT_WIDTH + PADDING
    draw_icon(img, icon_left)

    room = WIDTH - ACCENT_WIDTH - PADDING - ICON_DIAMETER - GAP - PADDING
    font, box = fitted_font(family, text, lang, direction, room)
    # Centre the ink of the text vertically; align it to the icon on the leading side.
    y = (HEIGHT - (box[3] - box[1])) / 2 - box[1]
    if rtl:
        x = icon_left - GAP - box[2]
    else:
        x = icon_left + ICON_DIAMETER + GAP - box[0]
    d.text((round(x), round(y)), text, font=font, fill=TEXT, direction=direction, language=lang)

    out = img.quantize(colors=PALETTE_COLOURS, method=Image.Quantize.LIBIMAGEQUANT, dither=Image.Dither.NONE)
    path = os.path.join(ROOT, language, "install_tips.png")
    out.save(path, optimize=True)
    print("%-10s %5d bytes  %s px %s" % (language, os.path.getsize(path), font.size, family))


def main(argv):
    if not features.check("raqm"):
        sys.exit("Pillow lacks complex text layout (raqm); Arabic and Thai would be drawn wrongly")
    languages = argv or sorted(TIPS)
    for language in languages:
        if language not in TIPS:
            sys.exit("unknown language folder %r" % language)
        make(language)


if __name__ == "__main__":
    main(sys.argv[1:])
