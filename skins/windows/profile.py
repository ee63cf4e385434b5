"""Profile form. The program paints the title in (5, 18)-(345, 43), the name
label and its hint at y 90 and 115, the game-file label at (24, 175) with a
note at (225, 175), and two label-and-text pairs in the notes box from y 235
to 399 (texts reaching x 397)."""

from skinkit import theme as t
from skinkit.elements import Field, Glyph, IconPush, Push
from skinkit.window import Dialog, card


def elements():
    # read in the order "4", "5", "6", "3", "1", "2"
    return [Push("4", "OK", 112, 416, 86, 30, "OK"),
            Push("5", "Cancel", 206, 416, 86, 30, "Cancel"),
            Glyph("6", "Close", 364, 16, 24, 22, "close", danger=True),
            IconPush("3", "Browse", 294, 194, 36, 28, "folder"),
            Field("1", "ProfileName", 24, 143, 290, 20, "Name"),
            Field("2", "GameFile", 24, 200, 190, 20, "Game")]


class ProfileDialog(Dialog):
    title_right = 345
    def body(self, cv):
        card(cv, (12, 76, self.width - 4, 406))
        # the notes below the fields sit on a darker inset
        cv.rect((13, 228, self.width - 5, 405), fill=(26, 27, 32), radius=7)
        cv.rect((13, 228, self.width - 5, 229), fill=(52, 55, 64))


def window():
    return ProfileDialog("skin_Profile.ini", "profile", 404, 458, elements())
