"""Macro manager. Three columns under the title (painted by the program in
(2, 12)-(386, 57)): the macro list with New and Delete, the event list, and
the recording controls with the hint text the program paints in
(290, 155)-(368, 311). The repeat toggle, its label and the repeat field the
program places at (269, 357), 88 x 17, run along the bottom."""

from skinkit.elements import Field, Glyph, Label, Push, Record, Toggle
from skinkit.window import Dialog, card


def elements():
    by_key = {e.key: e for e in [
        Push("1", "OK", 112, 394, 92, 30, "OK"),
        Push("2", "Cancel", 212, 394, 92, 30, "Cancel"),
        Glyph("3", "Close", 390, 18, 21, 22, "close", danger=True),
        Push("4", "New", 14, 320, 60, 26, "New"),
        Push("5", "Delete", 80, 320, 60, 26, "Delete"),
        Record("7", "Record", 290, 92, 112, 30, "Record"),
        Toggle("8", "Delays", 292, 131, 16, 16),
        Toggle("9", "Repeat", 150, 357, 17, 17),
        Label("12", "LabelMacros", 14, 66, 126, 22, "Macros"),
        Label("15", "LabelEvents", 150, 66, 132, 22, "Events"),
        Label("13", "LabelDelays", 312, 128, 90, 22, "Delays"),
        Label("14", "LabelRepeat", 172, 355, 90, 21, "Repeat"),
        Field("6", "MacroList", 14, 92, 126, 220),
        Field("11", "EventList", 150, 92, 132, 252),
    ]}
    order = ("4", "5", "7", "8", "9", "1", "2", "3", "12", "15", "13", "14", "6", "11")
    return [by_key[k] for k in order]


REPEAT_FIELD = Field("", "", 269, 357, 88, 17)  # placed by the program itself


class MacroManagerDialog(Dialog):
    title_right = 386
    header = 60

    def body(self, cv):
        card(cv, (6, 62, self.width - 6, 382), accent=False)
        REPEAT_FIELD.draw(cv, "normal")


def window():
    return MacroManagerDialog("skin_macro_manager.ini", "macro_manager", 414, 436, elements())
