"""Lighting page: the lighting-mode and lighting-level menu buttons under the
two labels the program paints at (73, 100) and (435, 100). The advanced page
shares this page's two-card layout."""

from skinkit import theme as t
from skinkit.elements import Dropdown
from skinkit.window import Panel, card

CARDS = ((49, 72, 371, 190), (411, 72, 733, 190))
CONTROL_Y = 128


def emblem(cv, box, kind):
    """Small line drawing in a card's top right corner that hints at its topic."""
    x, y = box[2] - 44, box[1] + 18
    c = (84, 88, 100)
    if kind == "bulb":
        cv.ellipse((x + 7, y + 3, x + 21, y + 17), outline=c, width=2)
        cv.rect((x + 10, y + 18, x + 18, y + 23), fill=c, radius=1)
        for dx, dy in ((-1, 0), (1, 0), (0, -1), (-0.7, -0.7), (0.7, -0.7)):
            cv.line([(x + 14 + dx * 11, y + 10 + dy * 11), (x + 14 + dx * 15, y + 10 + dy * 15)], c, 1.6)
    elif kind == "bars":
        for i, hgt in enumerate((6, 11, 16, 22)):
            cv.rect((x + i * 7, y + 22 - hgt, x + i * 7 + 5, y + 22), fill=t.ACCENT if i < 3 else c,
                    radius=1)
    elif kind == "pulse":
        cv.line([(x - 4, y + 12), (x + 5, y + 12), (x + 9, y + 2), (x + 14, y + 22), (x + 18, y + 8),
                 (x + 21, y + 12), (x + 30, y + 12)], c, 1.8)
    elif kind == "clock":
        cv.ellipse((x + 2, y, x + 26, y + 24), outline=c, width=2)
        cv.line([(x + 14, y + 5), (x + 14, y + 12), (x + 20, y + 15)], c, 1.8)


def elements():
    return [Dropdown("0", "LightMode", 73, CONTROL_Y, 250, 34, "Mode"),
            Dropdown("1", "LightLevel", 435, CONTROL_Y, 250, 34, "Level")]


class LightingPanel(Panel):
    def body(self, cv):
        for box, kind in zip(CARDS, ("bulb", "bars")):
            card(cv, box)
            emblem(cv, box, kind)


def window():
    return LightingPanel("Skin_light_control.ini", "lighting", 781, 267, elements())
