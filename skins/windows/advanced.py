"""Advanced page: polling rate (500 Hz and 1000 Hz choices, captions painted
right-aligned by the program) and the response-time menu button. The program
paints the two labels at (73, 100) and (435, 100)."""

from skinkit.elements import Dropdown, Radio
from skinkit.window import Panel, card
from windows.lighting import CARDS, CONTROL_Y, emblem


def elements():
    # read in the order "1", "0", "20"
    return [Radio("1", "Rate500", 73, CONTROL_Y, 96, 34, "500 HZ"),
            Radio("0", "Rate1000", 193, CONTROL_Y, 106, 34, "1000 HZ"),
            Dropdown("20", "ResponseTime", 435, CONTROL_Y, 240, 34, "1 ms")]


class AdvancedPanel(Panel):
    def body(self, cv):
        for box, kind in zip(CARDS, ("pulse", "clock")):
            card(cv, box)
            emblem(cv, box, kind)


def window():
    return AdvancedPanel("Skin_color_control.ini", "advanced", 781, 267, elements())
