"""Waiting window, shown while an apply runs. The program paints its text in
a 30-pixel font, centred in (5, 67)-(300, 117); the picture adds a header
with the brand mark and a progress track."""

from skinkit import theme as t
from skinkit.window import Dialog
from windows.main_window import MainWindow


class WaitingDialog(Dialog):
    header = 44

    def body(self, cv):
        MainWindow.logo(cv, self.width / 2 - 13, 9)
        x0, x1, y = 40, self.width - 40, 132
        cv.rect((x0, y, x1, y + 6), fill=t.WELL, outline=(50, 53, 61), radius=3)
        cv.gradient((x0 + 1, y + 1, x0 + (x1 - x0) * 0.62, y + 5), t.ACCENT_HI, t.ACCENT, radius=2)


def window():
    return WaitingDialog("skin_wait.ini", "wait", 305, 160, [])
