"""Macro control page: the six programmable keys G1 to G6, each with a badge
and a wide button whose caption (painted by the program) says what the key
does. The page title is painted at (39, 15) in a 22-pixel font."""

from skinkit import theme as t
from skinkit.canvas import centred_text
from skinkit.elements import Dropdown
from skinkit.window import Panel, card

COLUMNS = (39, 410)
ROWS = (64, 128, 192)
BADGE = 44
BUTTON_W, BUTTON_H = 276, 38


def elements():
    out = []
    for k in range(6):
        x = COLUMNS[k // 3] + BADGE + 10
        out.append(Dropdown(4 + k, f"MacroKey{k + 1}", x, ROWS[k % 3], BUTTON_W, BUTTON_H,
                            f"G{k + 1}"))
    return out


class MacroPanel(Panel):
    def body(self, cv):
        cv.rect((39, 46, 741, 48), fill=(46, 49, 57))
        cv.rect((39, 46, 119, 48), fill=t.ACCENT)
        for k in range(6):
            x, y = COLUMNS[k // 3], ROWS[k % 3]
            card(cv, (x - 8, y - 6, x + BADGE + 10 + BUTTON_W + 8, y + BUTTON_H + 6), accent=False)
            cv.gradient((x, y, x + BADGE, y + BUTTON_H), (64, 67, 77), (38, 40, 47), radius=5,
                        outline=(20, 21, 25))

    def chrome_text(self, draw):
        for k in range(6):
            x, y = COLUMNS[k // 3], ROWS[k % 3]
            centred_text(draw, (x, y, x + BADGE, y + BUTTON_H - 2), f"G{k + 1}", t.font(15),
                         t.ACCENT_HI)


def window():
    return MacroPanel("Skin_Macro_control.ini", "macro_control", 781, 267, elements())
