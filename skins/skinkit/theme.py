"""Colours and fonts of the default skin: one dark theme around the accent
colour the program itself uses for its texts and menus (COLORREF 0x0A51B2)."""

from PIL import ImageFont

ACCENT = (178, 81, 10)
ACCENT_HI = (222, 116, 34)
ACCENT_LO = (122, 52, 4)
WHITE = (255, 255, 255)

# Window chrome, from the darkest (outer frame) to the lightest (raised plates).
FRAME = (58, 60, 68)
BG = (21, 22, 26)
HEADER_TOP = (36, 38, 45)
HEADER_BOTTOM = (20, 21, 25)
PANEL = (25, 26, 31)
CARD = (32, 34, 40)
CARD_EDGE = (48, 51, 60)
WELL = (8, 8, 10)          # behind edit fields and lists
WELL_EDGE = (70, 74, 86)
DIM_TEXT = (120, 124, 136)  # glyphs that are part of the pictures
GLYPH = (200, 203, 210)

# Push buttons in their four looks: (top, bottom, border).
BUTTON = {
    "normal": ((52, 55, 64), (34, 36, 42), (70, 74, 86)),
    "over": ((72, 76, 88), (46, 49, 57), ACCENT_HI),
    "down": ((196, 94, 18), (142, 62, 6), (236, 132, 52)),
    # The program paints disabled captions near-white, so the disabled plate is a
    # flat mid grey that takes the contrast out of them.
    "disabled": ((78, 80, 86), (78, 80, 86), (92, 94, 100)),
}

_FONT_DIR = "/usr/share/fonts/truetype/liberation/"
_cache = {}


def font(size, bold=True):
    key = (size, bold)
    if key not in _cache:
        name = "LiberationSans-Bold.ttf" if bold else "LiberationSans-Regular.ttf"
        _cache[key] = ImageFont.truetype(_FONT_DIR + name, size)
    return _cache[key]
