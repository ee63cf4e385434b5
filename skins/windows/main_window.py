"""The main window: header with the brand and the four page tabs, the panel
area (x 1, y 100, 781 x 267, covered by the pages), and a footer with the
profile selector, the profile tools and OK, Cancel and Apply."""

from skinkit import theme as t
from skinkit.elements import Glyph, Push, Tab, Tile
from skinkit.window import Window

WIDTH, HEIGHT = 783, 440
PANEL_TOP, PANEL_BOTTOM = 100, 367
VERSION = "1.0.0"


def elements():
    tabs = [Tab(key, f"Tab{i + 1}", 12 + i * 122, 60, 118, 40, caption)
            for i, (key, caption) in enumerate((("1", "Keys"), ("2", "Macros"),
                                                ("3", "Advanced"), ("4", "Lighting")))]
    profiles = [Tile(key, f"Profile{i + 1}", 12 + i * 80, 380, 76, 48, f"Profile {i + 1}")
                for i, key in enumerate(("10", "11", "12", "13"))]
    by_key = {e.key: e for e in tabs + profiles + [
        # Macro manager (like profile 1) lays its caption out for two lines of a
        # 20-pixel font from the top: 48 high, and narrow enough that a
        # two-word caption does wrap instead of sitting in the upper half.
        Push("15", "MacroManager", 540, 50, 104, 48, "Macro Manager"),
        Push("25", "RestoreDefaults", 650, 50, 126, 48, "Restore Defaults"),
        Push("9", "EditProfile", 340, 380, 84, 22, "Edit"),
        Push("6", "NewProfile", 428, 380, 84, 22, "New"),
        Push("7", "Import", 340, 406, 84, 22, "Import"),
        Push("8", "Export", 428, 406, 84, 22, "Export"),
        Push("20", "OK", 530, 389, 78, 30, "OK"),
        Push("22", "Cancel", 614, 389, 78, 30, "Cancel"),
        Push("21", "Apply", 698, 389, 76, 30, "Apply"),
        Glyph("16", "Minimize", 716, 10, 28, 24, "min"),
        Glyph("17", "Close", 748, 10, 28, 24, "close", danger=True),
    ]}
    # the order in which the main window reads its keys
    order = ("1", "2", "3", "4", "25", "10", "6", "7", "8", "9", "11", "12", "13", "15", "21",
             "22", "20", "16", "17")
    return [by_key[k] for k in order]


class MainWindow(Window):
    def chrome(self, cv):
        w, h = self.width, self.height
        cv.rect((0, 0, w, h), fill=t.BG)
        # header
        cv.gradient((0, 0, w, PANEL_TOP), t.HEADER_TOP, (17, 18, 21))
        cv.gradient((0, 0, w, 44), (48, 50, 58), t.HEADER_TOP)
        cv.rect((0, 43, w, 44), fill=(14, 14, 17))
        cv.rect((0, 44, w, 45), fill=(52, 55, 63))
        self.logo(cv, 18, 10)
        cv.rect((0, PANEL_TOP - 1, w, PANEL_TOP), fill=(50, 53, 61))
        # panel area (the pages cover it once they exist)
        cv.rect((1, PANEL_TOP, w - 1, PANEL_BOTTOM), fill=t.PANEL)
        # footer
        cv.gradient((0, PANEL_BOTTOM, w, h), (30, 31, 37), (15, 16, 19))
        cv.rect((0, PANEL_BOTTOM, w, PANEL_BOTTOM + 1), fill=(54, 57, 66))
        cv.rect((0, PANEL_BOTTOM + 1, w, PANEL_BOTTOM + 2), fill=t.ACCENT_LO)
        for x in (328, 520):
            cv.rect((x, 382, x + 1, 426), fill=(12, 12, 15))
            cv.rect((x + 1, 382, x + 2, 426), fill=(50, 53, 61))

    @staticmethod
    def logo(cv, x, y):
        """The brand mark: a keycap seen from above with a chevron on its face."""
        cv.rect((x, y + 1, x + 26, y + 27), fill=(10, 10, 12), radius=6)
        cv.gradient((x, y, x + 26, y + 25), t.ACCENT_HI, t.ACCENT_LO, radius=6)
        cv.gradient((x + 4, y + 3, x + 22, y + 19), (238, 140, 60), t.ACCENT, radius=4)
        cv.line([(x + 8, y + 7), (x + 13, y + 15), (x + 18, y + 7)], t.WHITE, 2.4)

    def chrome_text(self, draw):
        draw.text((52, 7), "VANTREL", font=t.font(20), fill=t.WHITE)
        x = 53
        for ch in "GAMING KEYBOARD":  # spaced out, as small capitals under the name
            draw.text((x, 30), ch, font=t.font(8, bold=False), fill=(150, 154, 166))
            x += draw.textlength(ch, font=t.font(8, bold=False)) + 1.6


def window():
    return MainWindow("skin_Config.ini", "config", WIDTH, HEIGHT, elements(), disabled_key="Disable",
                      sections=[("Driver_Version", [("Driver_Version", VERSION)])])
