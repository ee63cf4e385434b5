"""Key assignment dialog. The program paints the title in (7, 33)-(302, 57),
the current-key line at y 90 to 112, the instruction at y 112 to 134, and
places its key edit at (28, 137), 114 x 17."""

from skinkit import theme as t
from skinkit.elements import Field, Glyph, Push
from skinkit.window import Dialog, card

EDIT = Field("", "", 28, 137, 114, 17)  # placed by the program, framed by the picture


def elements():
    # read in the order "2", "3", "5", "4"
    return [Push("2", "OK", 70, 174, 90, 28, "OK"),
            Push("3", "Cancel", 170, 174, 90, 28, "Cancel"),
            Push("5", "Default", 158, 134, 98, 24, "Default"),
            Glyph("4", "Close", 306, 21, 21, 22, "close", danger=True)]


class KeyAssignDialog(Dialog):
    title_right = 302
    header = 66

    def body(self, cv):
        card(cv, (12, 80, self.width - 12, 164))
        EDIT.draw(cv, "normal")


def window():
    return KeyAssignDialog("skin_swap_key.ini", "swap_key", 330, 216, elements())
