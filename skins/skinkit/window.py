"""One skinned window: its skin file, its outline and its five pictures.

Every picture of a window is rendered from the same description, so the
rectangles written to BUTTONPOS are exactly where the pictures draw them."""

from PIL import Image, ImageDraw

from . import theme as t
from .canvas import Canvas

PICTURE_KEYS = (("Mask", "mask"), ("Normal", "normal"), ("Down", "down"), ("Over", "over"),
                ("Disabled", "disabled"))


class Window:
    radius = 10       # corner radius of the outline; 0 = rectangular
    frame = t.FRAME   # one-pixel rim along the outline

    def __init__(self, ini, stem, width, height, elements, disabled_key="Disabled", sections=()):
        self.ini, self.stem = ini, stem
        self.width, self.height = width, height
        self.elements = elements
        self.disabled_key = disabled_key
        self.sections = list(sections)  # extra (section, [(key, value)]) written first

    # --- what subclasses draw -------------------------------------------------
    def chrome(self, cv):
        """Background of every picture, below the elements."""
        cv.rect((0, 0, self.width, self.height), fill=t.BG)

    def chrome_text(self, draw):
        """Texts that belong to the picture itself (never the program's texts)."""

    # --- outline --------------------------------------------------------------
    def inside(self, x, y):
        r = self.radius
        if r <= 0:
            return True
        cx = min(max(x + 0.5, r), self.width - r)
        cy = min(max(y + 0.5, r), self.height - r)
        return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r

    def mask(self):
        img = Image.new("RGB", (self.width, self.height), t.WHITE)
        px = img.load()
        for y, row in enumerate(self._inside_rows()):
            for x in range(self.width):
                if row[x]:
                    px[x, y] = (0, 0, 0)
        return img

    # --- pictures -------------------------------------------------------------
    def picture(self, state):
        cv = Canvas(self.width, self.height, t.BG)
        self.chrome(cv)
        for e in self.elements:
            e.draw(cv, state)
        img = cv.finish()
        draw = ImageDraw.Draw(img)
        self.chrome_text(draw)
        for e in self.elements:
            e.draw_text(draw, state)
        self._rim(img)
        return img

    def _inside_rows(self):
        if not hasattr(self, "_rows"):
            self._rows = [bytes(self.inside(x, y) for x in range(self.width))
                          for y in range(self.height)]
        return self._rows

    def _rim(self, img):
        """Pixel-exact rim on the outline, which the region cuts without smoothing."""
        if self.frame is None:
            return
        px = img.load()
        w, h = self.width, self.height
        rows = self._inside_rows()
        for y in range(h):
            row = rows[y]
            for x in range(w):
                if not row[x]:
                    px[x, y] = t.BG
                elif (x == 0 or y == 0 or x == w - 1 or y == h - 1 or not row[x - 1]
                      or not row[x + 1] or not rows[y - 1][x] or not rows[y + 1][x]):
                    px[x, y] = self.frame

    def picture_files(self):
        return {key: f"{self.stem}_{state}.bmp" for key, state in PICTURE_KEYS}

    def ini_text(self):
        lines = []
        for section, pairs in self.sections:
            lines.append(f"[{section}]")
            lines += [f"{k}={v}" for k, v in pairs]
            lines.append("")
        lines.append("[SCREEN]")
        for key, name in self.picture_files().items():
            lines.append(f"{self.disabled_key if key == 'Disabled' else key}={name}")
        lines.append("")
        lines.append("[BUTTONPOS]")
        lines += [f"{e.key}={e.ini_value()}" for e in self.elements]
        return "\r\n".join(lines) + "\r\n"

    def write(self, folder):
        """Writes the skin file and the five pictures into folder (the Skins folder)."""
        files = self.picture_files()
        self.mask().save(folder / files["Mask"], "BMP")
        for key, state in PICTURE_KEYS[1:]:
            self.picture(state).save(folder / files[key], "BMP")
        (folder / self.ini).write_bytes(self.ini_text().encode("ascii"))


class Dialog(Window):
    """Pop-up dialog: a header band with the title area, an accent line under it
    and the body below. The program centres each title in a box that stops short
    of the right edge; the header puts the close button in a segment of its own
    right of that box, so the title reads as centred in its segment."""
    header = 56
    title_right = None  # right edge of the title box the program paints into

    def chrome(self, cv):
        w, h = self.width, self.height
        cv.rect((0, 0, w, h), fill=t.BG)
        cv.gradient((0, 0, w, self.header), t.HEADER_TOP, t.HEADER_BOTTOM)
        if self.title_right:
            x = self.title_right + 2
            cv.gradient((x, 0, w, self.header - 2), (30, 32, 38), (18, 19, 22))
            cv.rect((x, 6, x + 1, self.header - 8), fill=(12, 12, 15))
            cv.rect((x + 1, 6, x + 2, self.header - 8), fill=(54, 57, 66))
        cv.rect((0, self.header - 2, w, self.header), fill=t.ACCENT)
        cv.gradient((0, self.header, w, self.header + 10), (30, 20, 14), t.BG)
        self.body(cv)

    def body(self, cv):
        pass


class Panel(Window):
    """Feature page shown inside the main window at 781 x 267: rectangular, no
    rim of its own (the main window's frame runs around it)."""
    radius = 0
    frame = None

    def chrome(self, cv):
        w, h = self.width, self.height
        cv.gradient((0, 0, w, h), (29, 30, 36), (20, 21, 25))
        self.body(cv)

    def body(self, cv):
        pass


def card(cv, box, accent=True):
    """Raised card that groups a label painted by the program and its control."""
    x0, y0, x1, y1 = box
    cv.rect((x0 + 1, y0 + 3, x1 + 1, y1 + 4), fill=(12, 12, 15), radius=8)
    cv.gradient(box, (40, 42, 50), (28, 30, 35), radius=8, outline=t.CARD_EDGE)
    if accent:
        cv.rect((x0 + 16, y0, x0 + 64, y0 + 2), fill=t.ACCENT, radius=1)
