"""Main control panel: the keyboard picture with its 114 key positions.

Positions follow the factory key map: a full-size keyboard with the extra ISO
key beside left Shift (104), a keypad comma below keypad + (105) and the two
Japanese keys, Yen beside Backspace (106) and Ro beside right Shift (107).
Positions 108 to 113 carry no key; they get six small blank slots above the
keypad, where a full-size board has room, so that each position still has a
button the user can see and click."""

from skinkit import theme as t
from skinkit.elements import Key
from skinkit.window import Window

UNIT = 32      # pixels per key unit
GAP = 3        # between neighbouring keys
LEFT = 22      # x of the main block's first column
TOP = 33       # y of the function-key row
ROWS = (0, 1.4, 2.4, 3.4, 4.4, 5.4)

# (position, label, column in units, row index, width in units, height in units)
_F_ROW = [(0, "Esc", 0)] + [(i, f"F{i}", c) for i, c in zip(
    range(1, 13), (2, 3, 4, 5, 6.5, 7.5, 8.5, 9.5, 11, 12, 13, 14))]
LAYOUT = (
    [(p, n, c, 0, 1, 1) for p, n, c in _F_ROW]
    + [(13, "Prnt Scrn", 15.5, 0, 1, 1), (14, "Scroll Lock", 16.5, 0, 1, 1),
       (15, "Pause", 17.5, 0, 1, 1)]
    # number row: ` 1..0 - = Yen BackSpace
    + [(16, "`", 0, 1, 1, 1)]
    + [(17 + i, "1234567890"[i], 1 + i, 1, 1, 1) for i in range(10)]
    + [(27, "-", 11, 1, 1, 1), (28, "=", 12, 1, 1, 1), (106, "\\", 13, 1, 1, 1),
       (29, "BackSpace", 14, 1, 1, 1)]
    # top letter row
    + [(30, "Tab", 0, 2, 1.5, 1)]
    + [(31 + i, "QWERTYUIOP"[i], 1.5 + i, 2, 1, 1) for i in range(10)]
    + [(41, "[", 11.5, 2, 1, 1), (42, "]", 12.5, 2, 1, 1), (56, "\\", 13.5, 2, 1.5, 1)]
    # home row
    + [(44, "Caps Lock", 0, 3, 1.75, 1)]
    + [(45 + i, "ASDFGHJKL"[i], 1.75 + i, 3, 1, 1) for i in range(9)]
    + [(54, ";", 10.75, 3, 1, 1), (55, "'", 11.75, 3, 1, 1), (43, "Enter", 12.75, 3, 2.25, 1)]
    # shift row: Shift, ISO key, Z../, Ro, Right Shift
    + [(57, "Shift", 0, 4, 1.25, 1), (104, "|\\", 1.25, 4, 1, 1)]
    + [(58 + i, "ZXCVBNM"[i], 2.25 + i, 4, 1, 1) for i in range(7)]
    + [(65, ",", 9.25, 4, 1, 1), (66, ".", 10.25, 4, 1, 1), (67, "/", 11.25, 4, 1, 1),
       (107, "-\\", 12.25, 4, 1, 1), (68, "Right Shift", 13.25, 4, 1.75, 1)]
    # bottom row
    + [(69, "Ctrl", 0, 5, 1.25, 1), (70, "Left Windows", 1.25, 5, 1.25, 1),
       (71, "Alt", 2.5, 5, 1.25, 1), (72, "Space", 3.75, 5, 6.25, 1),
       (73, "Right Alt", 10, 5, 1.25, 1), (74, "Right Windows", 11.25, 5, 1.25, 1),
       (75, "APP", 12.5, 5, 1.25, 1), (76, "Right Ctrl", 13.75, 5, 1.25, 1)]
    # navigation block
    + [(77, "Insert", 15.5, 1, 1, 1), (80, "Home", 16.5, 1, 1, 1), (84, "Page Up", 17.5, 1, 1, 1),
       (78, "Delete", 15.5, 2, 1, 1), (81, "End", 16.5, 2, 1, 1), (85, "Page Down", 17.5, 2, 1, 1),
       (82, "Up", 16.5, 4, 1, 1),
       (79, "Left", 15.5, 5, 1, 1), (83, "Down", 16.5, 5, 1, 1), (86, "Right", 17.5, 5, 1, 1)]
    # keypad, with the keypad comma splitting the tall + key
    + [(87, "Num Lock", 19, 1, 1, 1), (92, "Num /", 20, 1, 1, 1), (96, "Num *", 21, 1, 1, 1),
       (101, "Num -", 22, 1, 1, 1),
       (88, "Num 7", 19, 2, 1, 1), (93, "Num 8", 20, 2, 1, 1), (97, "Num 9", 21, 2, 1, 1),
       (102, "Num +", 22, 2, 1, 1),
       (89, "Num 4", 19, 3, 1, 1), (94, "Num 5", 20, 3, 1, 1), (98, "Num 6", 21, 3, 1, 1),
       (105, "Num .", 22, 3, 1, 1),
       (90, "Num 1", 19, 4, 1, 1), (95, "Num 2", 20, 4, 1, 1), (99, "Num 3", 21, 4, 1, 1),
       (103, "Num Enter", 22, 4, 1, 2),
       (91, "Num 0", 19, 5, 2, 1), (100, "Num Del", 21, 5, 1, 1)]
)

# Names too long for their cap, broken where a printed keycap would break them.
LINES = {"BackSpace": ["Back", "Space"], "Left Windows": ["Left", "Win"],
         "Right Windows": ["Right", "Win"], "Prnt Scrn": ["Prnt", "Scrn"],
         "Scroll Lock": ["Scroll", "Lock"], "Page Down": ["Page", "Down"]}

KEY_COUNT = 114
SPARE = range(108, 114)


def key_rect(col, row, w, h):
    x = LEFT + round(col * UNIT)
    y = TOP + round(ROWS[row] * UNIT)
    # a key two rows tall spans the row step, not two units
    bottom = TOP + round(ROWS[row + h - 1] * UNIT) + UNIT - GAP
    return x, y, round(w * UNIT) - GAP, bottom - y


def spare_rect(i):
    """Small blank slot i (0..5) above the keypad."""
    step = 4 * UNIT / 6
    x = LEFT + round(19 * UNIT + i * step + 2)
    return x, TOP + 10, round(step) - 5, UNIT - GAP - 20


def keys():
    out = [None] * KEY_COUNT
    for pos, label, col, row, w, h in LAYOUT:
        out[pos] = Key(40 + pos, f"Key{pos}", *key_rect(col, row, w, h), label, LINES.get(label))
    for i, pos in enumerate(SPARE):
        out[pos] = Key(40 + pos, f"Key{pos}", *spare_rect(i), "")
    return out


class KeyboardPanel(Window):
    radius = 0
    frame = None

    def chrome(self, cv):
        w, h = self.width, self.height
        cv.rect((0, 0, w, h), fill=t.PANEL)
        # keyboard case: a dark slab with a bevelled rim and an under-glow line
        case = (LEFT - 14, TOP - 16, LEFT + 23 * UNIT - GAP + 14, TOP + round(6.4 * UNIT) - GAP + 14)
        cv.rect((case[0] + 2, case[1] + 4, case[2] + 2, case[3] + 5), fill=(12, 12, 14), radius=12)
        cv.gradient(case, (44, 46, 54), (24, 25, 30), radius=12, outline=(64, 68, 78))
        cv.gradient((case[0] + 5, case[1] + 5, case[2] - 5, case[3] - 5), (18, 19, 22), (13, 14, 16),
                    radius=8)
        cv.rect((case[0] + 40, case[3] - 1.5, case[2] - 40, case[3]), fill=t.ACCENT, radius=1)
        # the area of the six spare slots reads as a recessed strip
        x0 = LEFT + 19 * UNIT
        cv.rect((x0, TOP + 4, x0 + 4 * UNIT - GAP, TOP + UNIT - GAP - 4), fill=(9, 9, 11),
                outline=(40, 42, 50), radius=4)


def window():
    return KeyboardPanel("skin_main.ini", "keyboard", 781, 267, keys())
