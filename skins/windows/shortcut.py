"""Shortcut dialog. The program paints the title in (5, 26)-(261, 43), the
four modifier names (Ctrl, Shift, Alt, Win) at y 86 from x 60, 130, 188 and
250, and two labels at (58, 157) and (180, 157): the first names the key field
below it, the second belongs to the no-modifier toggle beside it."""

from skinkit.elements import Field, Glyph, Push, Toggle
from skinkit.window import Dialog, card

TOGGLE = 15


def elements():
    # read in the order "2", "3", "4", "6".."10", "11"
    toggles = [Toggle(str(7 + i), name, x - TOGGLE - 4, 85, TOGGLE, TOGGLE)
               for i, (name, x) in enumerate((("Ctrl", 60), ("Shift", 130), ("Alt", 188),
                                              ("Win", 250)))]
    return ([Push("2", "OK", 52, 216, 86, 28, "OK"),
             Push("3", "Cancel", 152, 216, 86, 28, "Cancel"),
             Glyph("4", "Close", 265, 16, 22, 22, "close", danger=True),
             Toggle("6", "NoModifier", 180 - TOGGLE - 4, 156, TOGGLE, TOGGLE)]
            + toggles
            + [Field("11", "KeyName", 58, 180, 110, 18, "Key")])


class ShortcutDialog(Dialog):
    title_right = 261
    def body(self, cv):
        card(cv, (12, 70, self.width - 12, 116))
        card(cv, (12, 142, self.width - 12, 206))


def window():
    return ShortcutDialog("skin_Shortcut.ini", "shortcut", 290, 258, elements())
