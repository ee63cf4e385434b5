"""The things a skin file names in its BUTTONPOS section. Each one knows its
rectangle (written to the skin file) and how it looks in the four state
pictures, so a window's rectangles and pictures come from one description.

Captions of skinned buttons are painted by the program at run time, so no
element draws a caption; only keyboard keys carry their label in the picture."""

from . import theme as t
from .canvas import centred_text, text_size

STATES = ("normal", "over", "down", "disabled")


class Element:
    def __init__(self, key, name, x, y, w, h, caption=""):
        self.key, self.name, self.caption = str(key), name, caption
        self.x, self.y, self.w, self.h = x, y, w, h

    @property
    def box(self):
        return (self.x, self.y, self.x + self.w, self.y + self.h)

    def ini_value(self):
        return f"{self.name},{self.x},{self.y},{self.w},{self.h},{self.caption}"

    def draw(self, cv, state):
        pass

    def draw_text(self, draw, state):
        pass


class Push(Element):
    """Raised rounded button; pressed and checked show the accent plate."""
    radius = 4

    def draw(self, cv, state):
        top, bottom, edge = t.BUTTON[state]
        cv.gradient(self.box, top, bottom, radius=self.radius, outline=edge)
        if state in ("normal", "over"):  # a thin top highlight gives the plate depth
            x0, y0, x1, _ = self.box
            cv.line([(x0 + self.radius, y0 + 1.25), (x1 - self.radius, y0 + 1.25)],
                    tuple(min(255, c + 22) for c in top), 0.5)


class Dropdown(Push):
    """Push button that opens a menu: a chevron at its right end says so."""

    def draw(self, cv, state):
        super().draw(cv, state)
        x1, cy = self.x + self.w - 14, self.y + self.h / 2
        colour = t.WHITE if state in ("over", "down") else t.ACCENT if state == "normal" else t.GLYPH
        cv.line([(x1 - 4, cy - 2), (x1, cy + 2), (x1 + 4, cy - 2)], colour, 1.6)


class Record(Push):
    """The record button: a red dot at its left, lit while recording."""

    def draw(self, cv, state):
        super().draw(cv, state)
        cy = self.y + self.h / 2
        colour = {"normal": (200, 40, 40), "over": (240, 60, 60), "down": (255, 235, 225),
                  "disabled": (120, 90, 90)}[state]
        cv.ellipse((self.x + 8, cy - 4, self.x + 16, cy + 4), fill=colour)


class Tab(Element):
    """Page tab standing on the panel area; the checked tab joins the panel."""

    def draw(self, cv, state):
        x0, y0, x1, y1 = self.box
        if state == "down":
            cv.gradient((x0, y0, x1, y1 + 6), (46, 48, 56), t.PANEL, radius=5)
            cv.rect((x0 + 1, y0, x1 - 1, y0 + 3), fill=t.ACCENT_HI, radius=1.5)
            cv.rect((x0, y1, x1, y1 + 7), fill=t.PANEL)
            return
        top, bottom = {"normal": ((34, 36, 43), (26, 27, 32)),
                       "over": ((54, 57, 66), (36, 38, 45)),
                       "disabled": ((76, 78, 84), (70, 72, 78))}[state]
        cv.gradient((x0, y0 + 4, x1, y1 + 6), top, bottom, radius=5, outline=(50, 53, 61))
        if state == "over":
            cv.rect((x0 + 6, y0 + 4, x1 - 6, y0 + 6), fill=t.ACCENT, radius=1)
        cv.rect((x0, y1, x1, y1 + 7), fill=t.PANEL)
        # the panel edge runs under unselected tabs
        cv.rect((x0, y1 - 1, x1, y1), fill=(50, 53, 61))


class Tile(Push):
    """Profile selector: a taller plate with an indicator bar at its bottom."""
    radius = 5

    def draw(self, cv, state):
        super().draw(cv, state)
        x0, _, x1, y1 = self.box
        bar = {"normal": (64, 67, 77), "over": t.ACCENT, "down": (255, 206, 160),
               "disabled": (96, 98, 104)}[state]
        cv.rect((x0 + 10, y1 - 5, x1 - 10, y1 - 3), fill=bar, radius=1)


def draw_glyph(cv, glyph, box, colour, back):
    """Symbol of a button without caption, centred in box."""
    x0, y0, x1, y1 = box
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    s = min(x1 - x0, y1 - y0) / 2 - 6
    if glyph == "close":
        cv.line([(cx - s, cy - s), (cx + s, cy + s)], colour, 1.6)
        cv.line([(cx - s, cy + s), (cx + s, cy - s)], colour, 1.6)
    elif glyph == "min":
        cv.line([(cx - s, cy + s * 0.6), (cx + s, cy + s * 0.6)], colour, 1.8)
    elif glyph == "folder":
        w, h = 16, 11
        fx, fy = cx - w / 2, cy - h / 2 + 1
        cv.polygon([(fx, fy - 2), (fx + 5, fy - 2), (fx + 7, fy), (fx + w, fy), (fx + w, fy + h),
                    (fx, fy + h)], colour)
        cv.line([(fx + 1, fy + 2.5), (fx + w - 1, fy + 2.5)], back, 1)


class Glyph(Element):
    """Window button without caption (close, minimise): a symbol on a plate
    that shows on hover."""

    def __init__(self, key, name, x, y, w, h, glyph, caption="", danger=False):
        super().__init__(key, name, x, y, w, h, caption)
        self.glyph, self.danger = glyph, danger

    def draw(self, cv, state):
        plate = {"normal": None, "over": (190, 50, 40) if self.danger else (62, 66, 77),
                 "down": t.ACCENT, "disabled": None}[state]
        if plate:
            cv.rect(self.box, fill=plate, radius=4)
        colour = t.WHITE if state in ("over", "down") else t.GLYPH if state == "normal" else (80, 82, 88)
        draw_glyph(cv, self.glyph, self.box, colour, plate or t.BG)


class IconPush(Push):
    """Push button that shows a symbol instead of a caption."""

    def __init__(self, key, name, x, y, w, h, glyph, caption=""):
        super().__init__(key, name, x, y, w, h, caption)
        self.glyph = glyph

    def draw(self, cv, state):
        super().draw(cv, state)
        colour = {"normal": t.ACCENT_HI, "over": t.WHITE, "down": t.WHITE,
                  "disabled": (140, 142, 148)}[state]
        draw_glyph(cv, self.glyph, self.box, colour, t.BUTTON[state][1])


class Toggle(Element):
    """Check box: the pressed picture (checked) fills it with the accent."""

    def draw(self, cv, state):
        box = self.box
        if state == "down":
            cv.gradient(box, t.ACCENT_HI, t.ACCENT, radius=3, outline=(240, 140, 60))
            x0, y0 = self.x, self.y
            s = self.w
            cv.line([(x0 + s * 0.24, y0 + s * 0.52), (x0 + s * 0.43, y0 + s * 0.72),
                     (x0 + s * 0.78, y0 + s * 0.3)], t.WHITE, 1.8)
            return
        fill, edge = {"normal": ((14, 15, 18), (96, 100, 112)),
                      "over": ((30, 32, 38), t.ACCENT_HI),
                      "disabled": ((44, 45, 49), (62, 64, 70))}[state]
        cv.rect(box, fill=fill, outline=edge, radius=3)


class Radio(Element):
    """Choice with a round indicator at its left; the caption is painted at the
    right end by the program (right-aligned)."""

    def draw(self, cv, state):
        cy, x = self.y + self.h / 2, self.x + 4
        if state == "over":
            cv.rect(self.box, fill=(40, 42, 50), radius=self.h / 2)
        ring = {"normal": (110, 114, 126), "over": t.ACCENT_HI, "down": t.ACCENT_HI,
                "disabled": (66, 68, 74)}[state]
        cv.ellipse((x, cy - 8, x + 16, cy + 8), fill=(12, 12, 15), outline=ring, width=2)
        if state == "down":
            cv.ellipse((x + 4, cy - 4, x + 12, cy + 4), fill=t.ACCENT_HI)


class Label(Element):
    """Caption strip (a skinned button used as a label): the same in every look."""

    def draw(self, cv, state):
        cv.gradient(self.box, (46, 49, 58), (34, 36, 43), radius=3)
        cv.rect((self.x, self.y + self.h - 2, self.x + self.w, self.y + self.h), fill=t.ACCENT)


class Field(Element):
    """Edit control or list placed by the skin: the picture gives it a sunken well
    with a frame just outside its rectangle; the control paints its inside."""

    def draw(self, cv, state):
        x0, y0, x1, y1 = self.box
        cv.rect((x0 - 3, y0 - 3, x1 + 3, y1 + 3), fill=t.WELL_EDGE, radius=3)
        cv.rect((x0 - 2, y0 - 2, x1 + 2, y1 + 2), fill=t.WELL, radius=2)


class Key(Element):
    """A key of the keyboard picture, labelled with its factory key's name; the
    pressed picture is the look of a remapped key."""

    LOOK = {  # top face, bottom face, border, label
        "normal": ((60, 63, 72), (40, 42, 49), (20, 21, 25), (236, 238, 242)),
        "over": ((92, 96, 108), (62, 65, 75), t.ACCENT_HI, t.WHITE),
        "down": ((218, 108, 26), (160, 70, 6), (96, 40, 2), t.WHITE),
        "disabled": ((24, 25, 28), (22, 23, 26), (46, 48, 54), (96, 98, 104)),
    }

    def __init__(self, key, name, x, y, w, h, label, lines=None):
        super().__init__(key, name, x, y, w, h, label.replace(",", "Comma"))
        self.label = label
        self.lines = lines  # how to break a label that is too long for its cap

    def draw(self, cv, state):
        top, bottom, edge, _ = self.LOOK[state]
        x0, y0, x1, y1 = self.box
        # skirt (the key's side) and top face, as on a real keycap
        cv.rect(self.box, fill=edge, radius=4)
        cv.gradient((x0 + 1, y0 + 1, x1 - 1, y1 - 1), tuple(c - 8 for c in bottom), bottom, radius=3.5)
        cv.gradient((x0 + 3, y0 + 2, x1 - 3, y1 - 4), top, tuple((a + b) // 2 for a, b in zip(top, bottom)),
                    radius=3)

    def draw_text(self, draw, state):
        if not self.label:
            return
        colour = self.LOOK[state][3]
        x0, y0, x1, y1 = self.x + 3, self.y + 2, self.x + self.w - 3, self.y + self.h - 4
        lines, fnt = fit_label(draw, self.lines or [self.label], x1 - x0 - 2, y1 - y0)
        lh = fnt.size + 1
        top = y0 + (y1 - y0 - lh * len(lines)) / 2
        for i, line in enumerate(lines):
            centred_text(draw, (x0, top + i * lh, x1, top + (i + 1) * lh), line, fnt, colour)


def fit_label(draw, lines, width, height):
    """Largest font at which the label fits: given lines, else one line, else
    split at its spaces. Single characters get a larger face, like real caps."""
    label = " ".join(lines)
    words = label.split(" ")
    for size in range(13 if len(label) <= 2 else 11, 6, -1):
        fnt = t.font(size)
        candidates = [lines] if len(lines) > 1 else [[label]]
        if len(lines) == 1 and len(words) > 1:
            candidates.append([" ".join(words[:-1]), words[-1]])
            candidates.append([words[0], " ".join(words[1:])])
        for lines in candidates:
            if (len(lines) * (size + 1) <= height
                    and all(text_size(draw, ln, fnt)[0] <= width for ln in lines)):
                return lines, fnt
    return [label], t.font(7)
