"""Warning box. The program paints the title in (8, 9)-(255, 25) and the
message, centred, in (21, 62)-(283, 96)."""

from skinkit import theme as t
from skinkit.elements import Glyph, Push
from skinkit.window import Dialog


def elements():
    return [Push("1", "OK", 56, 112, 88, 28, "OK"),
            Push("2", "Cancel", 156, 112, 88, 28, "Cancel"),
            Glyph("3", "Close", 270, 6, 22, 22, "close", danger=True)]


class WarningDialog(Dialog):
    title_right = 255
    header = 34

    def body(self, cv):
        cx, y = self.width / 2, 38
        cv.polygon([(cx, y), (cx + 11, y + 19), (cx - 11, y + 19)], t.ACCENT_HI)
        cv.rect((cx - 1.2, y + 6, cx + 1.2, y + 13), fill=t.BG, radius=1)
        cv.rect((cx - 1.2, y + 14.5, cx + 1.2, y + 17), fill=t.BG, radius=1)


def window():
    return WarningDialog("skin_reset_warn.ini", "reset_warn", 300, 156, elements())
