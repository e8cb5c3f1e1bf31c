#!/usr/bin/env python3
"""Draws the pictures of the setup's skins into resources/skin/img.

Every shape is drawn several times larger and reduced with premultiplied alpha, so edges are
smooth while 1-pixel lines and borders stay on whole pixels. Pictures that the skins stretch with
nine-grid corners (buttons, frames, bars, the separator) keep their corners inside the insets the
skins name; state pictures of one control share their size. The PNGs are committed, so the build
needs neither this script nor Pillow.

Run by hand when the design changes:

    /usr/bin/python3 scripts/make_skin_images.py

Needs Pillow (Debian: python3-pil).
"""
import math
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "skin", "img")
SCALE = 8          # supersampling of the small pictures
BANNER_SCALE = 4   # supersampling of the banner

BRAND = (0x48, 0x58, 0xEC)
BRAND_HOT = (0x3B, 0x4B, 0xE2)
BRAND_PUSHED = (0x2F, 0x3C, 0xC4)
BRAND_LIGHT = (0x5E, 0x6C, 0xF2)
BRAND_DEEP = (0x33, 0x40, 0xD0)
TEXT = (0x1F, 0x23, 0x29)
GLYPH = (0x3C, 0x42, 0x50)
WHITE = (0xFF, 0xFF, 0xFF)
GREY_BORDER = (0xC9, 0xCE, 0xD6)
GREY_BORDER_HOT = (0xB3, 0xBA, 0xC5)
GREY_BORDER_PUSHED = (0xA6, 0xAD, 0xB9)
GREY_BORDER_OFF = (0xE1, 0xE4, 0xE9)
GREY_FILL_HOT = (0xF3, 0xF4, 0xF7)
GREY_FILL_PUSHED = (0xE7, 0xE9, 0xEE)
GREY_FILL_OFF = (0xF5, 0xF6, 0xF8)
GREY_FILL_DISABLED_PRIMARY = (0xE6, 0xE8, 0xEC)
CHECK_BORDER = (0x8A, 0x91, 0x9E)
CHECK_FILL_HOT = (0xF1, 0xF2, 0xFE)
FRAME_BORDER = (0xC4, 0xC9, 0xD1)
TITLE_BAND = (0xF5, 0xF6, 0xF8)
HAIRLINE = (0xE3, 0xE6, 0xEB)
TRACK = (0xE4, 0xE7, 0xEE)
CLOSE_HOT = (0xE8, 0x11, 0x23)
CLOSE_PUSHED = (0xC5, 0x0F, 0x1F)
AMBER = (0xF0, 0xA0, 0x0C)


class Canvas:
    """A picture drawn at `scale` times its size; shapes are masks painted in a colour."""

    def __init__(self, width, height, scale=SCALE, background=(0, 0, 0, 0)):
        self.size = (width, height)
        self.scale = scale
        self.image = Image.new("RGBA", (width * scale, height * scale), background)

    def px(self, value):
        return value * self.scale

    def box(self, left, top, right, bottom):
        """Hi-resolution inclusive box of the pixel area [left, right) x [top, bottom)."""
        s = self.scale
        return (round(left * s), round(top * s), round(right * s) - 1, round(bottom * s) - 1)

    def mask(self):
        return Image.new("L", self.image.size, 0)

    def paint(self, colour, mask, alpha=1.0):
        """Colour (RGB or a picture of the canvas size) through the mask, over what is there."""
        if isinstance(colour, Image.Image):
            layer = colour.convert("RGBA")
        else:
            layer = Image.new("RGBA", self.image.size, tuple(colour[:3]) + (255,))
        layer.putalpha(mask if alpha >= 1 else mask.point(lambda v: round(v * alpha)))
        self.image = Image.alpha_composite(self.image, layer)

    def rounded(self, colour, left, top, right, bottom, radius, alpha=1.0):
        m = self.mask()
        ImageDraw.Draw(m).rounded_rectangle(self.box(left, top, right, bottom), radius=self.px(radius), fill=255)
        self.paint(colour, m, alpha)

    def ring(self, colour, left, top, right, bottom, radius, width=1, alpha=1.0):
        """A border of `width` pixels inside [left, right) x [top, bottom)."""
        m = self.mask()
        d = ImageDraw.Draw(m)
        d.rounded_rectangle(self.box(left, top, right, bottom), radius=self.px(radius), fill=255)
        d.rounded_rectangle(self.box(left + width, top + width, right - width, bottom - width),
                            radius=self.px(max(radius - width, 0)), fill=0)
        self.paint(colour, m, alpha)

    def lines(self, colour, points, width, alpha=1.0):
        m = self.mask()
        scaled = [(x * self.scale, y * self.scale) for x, y in points]
        ImageDraw.Draw(m).line(scaled, fill=255, width=round(width * self.scale), joint="curve")
        for x, y in (scaled[0], scaled[-1]):   # round caps
            r = width * self.scale / 2
            ImageDraw.Draw(m).ellipse((x - r, y - r, x + r, y + r), fill=255)
        self.paint(colour, m, alpha)

    def result(self):
        return self.image.convert("RGBa").reduce(self.scale).convert("RGBA")


def vertical_gradient(size, top, bottom):
    width, height = size
    column = Image.new("RGB", (1, height))
    for y in range(height):
        t = y / max(height - 1, 1)
        column.putpixel((0, y), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    return column.resize(size)


def diagonal_gradient(size, start, end):
    width, height = size
    small = Image.new("RGB", (64, 64))
    for y in range(64):
        for x in range(64):
            t = (x + y) / 126
            small.putpixel((x, y), tuple(round(a + (b - a) * t) for a, b in zip(start, end)))
    return small.resize(size, Image.BILINEAR)


def save(image, name):
    path = os.path.join(OUT, name)
    image.save(path, optimize=True)
    print("%-28s %4d x %-4d %6d bytes" % (name, image.width, image.height, os.path.getsize(path)))


# Buttons: 24 x 24, 4-pixel radius, stretched with corner 6 on every side.

def button(fill, border=None, focus=None):
    c = Canvas(24, 24)
    c.rounded(border or fill, 0, 0, 24, 24, 4)
    if border:
        c.rounded(fill, 1, 1, 23, 23, 3)
    if focus:
        c.ring(focus, 0, 0, 24, 24, 4, width=2)
    return c.result()


def primary_focused():
    c = Canvas(24, 24)
    c.rounded(BRAND, 0, 0, 24, 24, 4)
    c.ring(WHITE, 2, 2, 22, 22, 2, alpha=0.7)
    return c.result()


def buttons():
    save(button(BRAND), "btn_primary_normal.png")
    save(button(BRAND_HOT), "btn_primary_hot.png")
    save(button(BRAND_PUSHED), "btn_primary_pushed.png")
    save(primary_focused(), "btn_primary_focused.png")
    save(button(GREY_FILL_DISABLED_PRIMARY), "btn_primary_disabled.png")
    save(button(WHITE, GREY_BORDER), "btn_secondary_normal.png")
    save(button(GREY_FILL_HOT, GREY_BORDER_HOT), "btn_secondary_hot.png")
    save(button(GREY_FILL_PUSHED, GREY_BORDER_PUSHED), "btn_secondary_pushed.png")
    save(button(WHITE, GREY_BORDER, focus=BRAND), "btn_secondary_focused.png")
    save(button(GREY_FILL_OFF, GREY_BORDER_OFF), "btn_secondary_disabled.png")


# Check boxes: 16 x 16, drawn by the skins at dest 16 x 16.

def checkbox(fill, border, tick=None):
    c = Canvas(16, 16)
    c.rounded(border, 0, 0, 16, 16, 3)
    if fill != border:
        c.rounded(fill, 1, 1, 15, 15, 2)
    if tick:
        c.lines(tick, [(4.1, 8.2), (6.8, 10.9), (11.9, 5.4)], 1.7)
    return c.result()


def checkboxes():
    save(checkbox(WHITE, CHECK_BORDER), "checkbox_normal.png")
    save(checkbox(CHECK_FILL_HOT, BRAND), "checkbox_hot.png")
    c = Canvas(16, 16)
    c.rounded(BRAND, 0, 0, 16, 16, 3)
    c.rounded(WHITE, 2, 2, 14, 14, 1.5)
    save(c.result(), "checkbox_focused.png")
    save(checkbox(BRAND, BRAND, tick=WHITE), "checkbox_selected.png")
    save(checkbox(BRAND_PUSHED, BRAND_PUSHED, tick=WHITE), "checkbox_selected_hot.png")
    save(checkbox(GREY_FILL_OFF, GREY_BORDER_OFF), "checkbox_disabled.png")


# Caption buttons. The main window's float over the banner too, so their glyphs carry a light
# halo that keeps them readable on dark pictures.

def glyph_mask(canvas, kind, centre_x, centre_y, half):
    m = canvas.mask()
    d = ImageDraw.Draw(m)
    s = canvas.scale
    if kind == "min":
        d.rectangle(canvas.box(centre_x - half, round(centre_y), centre_x + half, round(centre_y) + 1), fill=255)
    else:
        w = round(1.1 * s)
        for (x0, y0), (x1, y1) in (((-half, -half), (half, half)), ((-half, half), (half, -half))):
            d.line(((centre_x + x0) * s, (centre_y + y0) * s, (centre_x + x1) * s, (centre_y + y1) * s),
                   fill=255, width=w)
    return m


def caption_button(kind, width, height, background, glyph, halo):
    c = Canvas(width, height)
    if background:
        colour, alpha = background
        c.rounded(colour, 0, 0, width, height, 0, alpha=alpha)
    cx = width / 2
    cy = height / 2 if kind == "close" else height / 2 - 0.5
    m = glyph_mask(c, kind, cx, cy, 5)
    if halo:
        c.paint(WHITE, m.filter(ImageFilter.MaxFilter(2 * c.scale + 1)), alpha=0.7)
    c.paint(glyph, m)
    return c.result()


def caption_buttons():
    for kind in ("min", "close"):
        hot = (CLOSE_HOT, 1.0) if kind == "close" else ((0, 0, 0), 0.08)
        pushed = (CLOSE_PUSHED, 1.0) if kind == "close" else ((0, 0, 0), 0.14)
        on_colour = WHITE if kind == "close" else GLYPH
        save(caption_button(kind, 40, 32, None, GLYPH, True), "%s_normal.png" % kind)
        save(caption_button(kind, 40, 32, hot, on_colour, False), "%s_hot.png" % kind)
        save(caption_button(kind, 40, 32, pushed, on_colour, False), "%s_pushed.png" % kind)
    save(caption_button("close", 36, 26, None, GLYPH, False), "dialog_close_normal.png")
    save(caption_button("close", 36, 26, (CLOSE_HOT, 1.0), WHITE, False), "dialog_close_hot.png")
    save(caption_button("close", 36, 26, (CLOSE_PUSHED, 1.0), WHITE, False), "dialog_close_pushed.png")


# Frames, bars and lines.

def dialog_frame():
    """40 x 40, corner 2,28,2,2: border, the 26-pixel title band, its hairline, white."""
    image = Image.new("RGBA", (40, 40), WHITE + (255,))
    d = ImageDraw.Draw(image)
    d.rectangle((1, 1, 38, 26), fill=TITLE_BAND)
    d.line((1, 27, 38, 27), fill=HAIRLINE)
    d.rectangle((0, 0, 39, 39), outline=FRAME_BORDER)
    save(image, "dialog_frame.png")


def bar(colour):
    c = Canvas(24, 8)
    c.rounded(colour, 0, 0, 24, 8, 4)
    return c.result()


def separator():
    """96 x 1, corner 32,0,32,0: the line fades in and out over its first and last 32 pixels."""
    image = Image.new("RGBA", (96, 1))
    for x in range(96):
        fade = min(x + 0.5, 95.5 - x, 32) / 32
        image.putpixel((x, 0), HAIRLINE + (round(255 * fade),))
    save(image, "separator.png")


def focus_ring():
    c = Canvas(8, 8)
    c.ring(BRAND, 0, 0, 8, 8, 2)
    save(c.result(), "focus_ring.png")


def warning():
    c = Canvas(16, 16)
    m = c.mask()
    s = c.scale
    ImageDraw.Draw(m).polygon([(8 * s, 1.2 * s), (15.2 * s, 14.4 * s), (0.8 * s, 14.4 * s)], fill=255)
    m = m.filter(ImageFilter.MinFilter(5)).filter(ImageFilter.MaxFilter(5))   # soften the tips
    c.paint(AMBER, m)
    c.lines(WHITE, [(8, 5.6), (8, 9.4)], 1.6)
    c.lines(WHITE, [(8, 11.9), (8, 11.95)], 1.7)
    return c.result()


# The logo: a brand tile with a restore arrow around a document.

def arrow_mask(canvas, cx, cy, radius, stroke, head):
    """A circle arrow turning anticlockwise, its head at the top pointing left."""
    s = canvas.scale
    m = canvas.mask()
    d = ImageDraw.Draw(m)
    r = radius * s
    start, end = 262, 560     # degrees, clockwise from three o'clock; the gap is upper left
    d.arc((cx * s - r, cy * s - r, cx * s + r, cy * s + r), start, end, fill=255, width=round(stroke * s))
    # round cap at the tail
    tail = math.radians(end)
    tx, ty = cx + (radius - stroke / 2) * math.cos(tail), cy + (radius - stroke / 2) * math.sin(tail)
    d.ellipse(((tx - stroke / 2) * s, (ty - stroke / 2) * s, (tx + stroke / 2) * s, (ty + stroke / 2) * s), fill=255)
    # head: at the start of the arc, pointing along the anticlockwise tangent
    theta = math.radians(start)
    mid = radius - stroke / 2
    px, py = cx + mid * math.cos(theta), cy + mid * math.sin(theta)
    ux, uy = math.sin(theta), -math.cos(theta)          # anticlockwise tangent
    nx, ny = math.cos(theta), math.sin(theta)           # outward normal
    tip = (px + ux * head, py + uy * head)
    a = (px + nx * head * 0.95, py + ny * head * 0.95)
    b = (px - nx * head * 0.95, py - ny * head * 0.95)
    d.polygon([(x * s, y * s) for x, y in (tip, a, b)], fill=255)
    return m


def logo(size):
    c = Canvas(size, size)
    tile = c.mask()
    ImageDraw.Draw(tile).rounded_rectangle(c.box(0, 0, size, size), radius=c.px(size * 0.24), fill=255)
    c.paint(diagonal_gradient(c.image.size, BRAND_LIGHT, BRAND_DEEP), tile)
    k = size / 72
    if size >= 32:
        c.paint(WHITE, arrow_mask(c, 36 * k, 37 * k, 21 * k, 5.5 * k, 6.5 * k))
        # a document with a folded corner
        left, top, right, bottom, fold = 28.5 * k, 27 * k, 44.5 * k, 47 * k, 5 * k
        m = c.mask()
        s = c.scale
        ImageDraw.Draw(m).polygon([(left * s, top * s), ((right - fold) * s, top * s), (right * s, (top + fold) * s),
                                   (right * s, bottom * s), (left * s, bottom * s)], fill=255)
        c.paint(WHITE, m)
        m = c.mask()
        ImageDraw.Draw(m).polygon([((right - fold) * s, top * s), ((right - fold) * s, (top + fold) * s),
                                   (right * s, (top + fold) * s)], fill=255)
        c.paint(BRAND_LIGHT, m, alpha=0.55)
        for y, length in ((35, 10), (39, 10), (43, 6.5)):
            c.rounded(BRAND, 31.5 * k, y * k, (31.5 + length) * k, (y + 1.6) * k, 0.8 * k)
    else:
        c.paint(WHITE, arrow_mask(c, size / 2, size / 2 + 0.3, size * 0.33, size * 0.12, size * 0.16))
    return c.result()


# The default banner of the progress page, 650 x 290: recovered files flying back to a drive.

def soft_shadow(canvas, box, radius, blur, alpha, offset=(0, 0)):
    m = canvas.mask()
    l, t, r, b = box
    ox, oy = offset
    ImageDraw.Draw(m).rounded_rectangle(canvas.box(l + ox, t + oy, r + ox, b + oy), radius=canvas.px(radius), fill=255)
    m = m.filter(ImageFilter.GaussianBlur(blur * canvas.scale))
    canvas.paint((0x2A, 0x33, 0x8F), m, alpha=alpha)


def file_card(kind, width, height, s):
    """One file card, drawn at scale s: white card with a coloured picture of its kind."""
    c = Canvas(width + 24, height + 24, scale=s)
    box = (12, 12, 12 + width, 12 + height)
    soft_shadow(c, box, 6, 6, 0.22, offset=(0, 4))
    c.rounded(WHITE, *box, 6)
    l, t, r, b = box
    if kind == "photo":
        c.rounded((0xDC, 0xF3, 0xF1), l + 7, t + 7, r - 7, t + 42, 3)
        m = c.mask()
        ImageDraw.Draw(m).polygon([((l + 7) * s, (t + 42) * s), ((l + 22) * s, (t + 24) * s), ((l + 31) * s, (t + 33) * s),
                                   ((l + 38) * s, (t + 27) * s), ((r - 7) * s, (t + 42) * s)], fill=255)
        c.paint((0x1F, 0xB5, 0xA4), m)
        sun = c.mask()
        ImageDraw.Draw(sun).ellipse(((r - 19) * s, (t + 12) * s, (r - 12) * s, (t + 19) * s), fill=255)
        c.paint((0xF6, 0xB7, 0x3C), sun)
        lines = ((t + 50, 26), (t + 57, 18))
    elif kind == "document":
        c.rounded(BRAND, l + 7, t + 8, l + 30, t + 13, 2.5)
        lines = ((t + 21, width - 14), (t + 28, width - 14), (t + 35, width - 20), (t + 42, width - 14),
                 (t + 49, width - 24), (t + 56, width - 18))
    else:   # video
        c.rounded((0xFF, 0xE9, 0xE3), l + 7, t + 7, r - 7, t + 42, 3)
        m = c.mask()
        cx, cy = (l + r) / 2, t + 24.5
        ImageDraw.Draw(m).polygon([((cx - 5) * s, (cy - 7) * s), ((cx + 7) * s, cy * s), ((cx - 5) * s, (cy + 7) * s)], fill=255)
        c.paint((0xF2, 0x6B, 0x4B), m)
        lines = ((t + 50, 24), (t + 57, 30))
    for y, length in lines:
        c.rounded((0xDD, 0xE1, 0xEA), l + 7, y, l + 7 + length, y + 3, 1.5)
    return c.image


def sparkle(canvas, x, y, size, colour, alpha=1.0):
    s = canvas.scale
    m = canvas.mask()
    k = size * 0.28
    ImageDraw.Draw(m).polygon([(x * s, (y - size) * s), ((x + k) * s, (y - k) * s), ((x + size) * s, y * s),
                               ((x + k) * s, (y + k) * s), (x * s, (y + size) * s), ((x - k) * s, (y + k) * s),
                               ((x - size) * s, y * s), ((x - k) * s, (y - k) * s)], fill=255)
    canvas.paint(colour, m, alpha)


def banner():
    W, H = 650, 290
    c = Canvas(W, H, scale=BANNER_SCALE, background=(0xF3, 0xF4, 0xFE, 255))
    s = c.scale
    c.paint(diagonal_gradient(c.image.size, (0xF6, 0xF7, 0xFF), (0xE4, 0xE8, 0xFD)), Image.new("L", c.image.size, 255))
    # Large soft discs for depth; the upper right stays light under the caption buttons.
    for (x, y, r, colour, alpha) in ((590, 250, 190, (0xD9, 0xDE, 0xFC), 0.55), (40, 20, 150, (0xFF, 0xFF, 0xFF), 0.6),
                                     (330, 168, 120, (0xFF, 0xFF, 0xFF), 0.55)):
        m = c.mask()
        ImageDraw.Draw(m).ellipse(((x - r) * s, (y - r) * s, (x + r) * s, (y + r) * s), fill=255)
        c.paint(colour, m.filter(ImageFilter.GaussianBlur(18 * s)), alpha)

    # The drive.
    drive = (235, 192, 415, 240)
    soft_shadow(c, drive, 10, 10, 0.28, offset=(0, 8))
    m = c.mask()
    ImageDraw.Draw(m).rounded_rectangle(c.box(*drive), radius=c.px(10), fill=255)
    c.paint(vertical_gradient(c.image.size, (0x60, 0x6E, 0xF4), (0x34, 0x42, 0xD2)), m)
    c.rounded(WHITE, drive[0] + 2, drive[1] + 2, drive[2] - 2, drive[1] + 3, 0.5, alpha=0.25)
    for i in range(4):
        x = drive[0] + 18 + i * 9
        c.rounded(WHITE, x, drive[1] + 17, x + 4, drive[3] - 17, 2, alpha=0.35)
    c.rounded((0x7C, 0xF2, 0xC4), drive[2] - 28, drive[1] + 20, drive[2] - 20, drive[1] + 28, 4)
    glow = c.mask()
    ImageDraw.Draw(glow).ellipse(((drive[2] - 32) * s, (drive[1] + 16) * s, (drive[2] - 16) * s, (drive[1] + 32) * s), fill=255)
    c.paint((0x7C, 0xF2, 0xC4), glow.filter(ImageFilter.GaussianBlur(3 * s)), alpha=0.5)

    # The recovery arc from the files down to the drive, with its arrow head.
    m = c.mask()
    d = ImageDraw.Draw(m)
    r = 150
    d.arc(((325 - r) * s, (205 - r) * s, (325 + r) * s, (205 + r) * s), 196, 344, fill=255, width=round(2.5 * s))
    c.paint(BRAND, m, alpha=0.28)
    for side in (-1, 1):
        theta = math.radians(200 if side < 0 else 340)
        px, py = 325 + r * math.cos(theta), 205 + r * math.sin(theta)
        sparkle(c, px, py, 5, BRAND, alpha=0.35)

    # Three recovered files above the drive.
    for kind, x, y, angle in (("photo", 186, 78, 9), ("document", 292, 44, 0), ("video", 398, 78, -9)):
        card = file_card(kind, 66, 84, s)
        if angle:
            card = card.rotate(angle, resample=Image.BICUBIC, expand=True)
        cx, cy = (x + 33) * s, (y + 42) * s
        layer = Image.new("RGBA", c.image.size, (0, 0, 0, 0))
        layer.paste(card, (round(cx - card.width / 2), round(cy - card.height / 2)), card)
        c.image = Image.alpha_composite(c.image, layer)

    # Dotted trails from the cards to the drive.
    for x0, y0, x1, y1 in ((232, 176, 270, 196), (325, 142, 325, 186), (418, 176, 380, 196)):
        for i in range(5):
            t = i / 4
            x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            dot = c.mask()
            ImageDraw.Draw(dot).ellipse(((x - 1.6) * s, (y - 1.6) * s, (x + 1.6) * s, (y + 1.6) * s), fill=255)
            c.paint(BRAND, dot, alpha=0.25 + 0.35 * t)

    for x, y, size, colour, alpha in ((156, 64, 7, (0xF6, 0xB7, 0x3C), 0.9), (497, 58, 6, BRAND, 0.6),
                                      (470, 150, 4, (0x1F, 0xB5, 0xA4), 0.8), (170, 168, 4, BRAND, 0.5),
                                      (268, 30, 4, BRAND, 0.45)):
        sparkle(c, x, y, size, colour, alpha)

    image = c.image.reduce(s).convert("RGB")
    save(image, "default.png")


def main():
    os.makedirs(OUT, exist_ok=True)
    buttons()
    checkboxes()
    caption_buttons()
    dialog_frame()
    save(bar(TRACK), "progress_track.png")
    save(bar(BRAND), "progress_fill.png")
    separator()
    focus_ring()
    save(warning(), "warning.png")
    save(logo(72), "logo.png")
    save(logo(16), "logo_small.png")
    banner()
    return 0


if __name__ == "__main__":
    sys.exit(main())
