"""A drawing surface that renders shapes at twice the size and scales them down,
so rounded corners and glyph strokes come out smooth; texts are drawn afterwards
at the final size, where FreeType's hinting keeps small labels crisp."""

from PIL import Image, ImageDraw

SCALE = 2


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.img = Image.new("RGB", (width * SCALE, height * SCALE), fill)
        self.draw = ImageDraw.Draw(self.img)

    @staticmethod
    def _box(box):
        x0, y0, x1, y1 = box
        # Pillow boxes include their last pixel; ours end before it.
        return [round(x0 * SCALE), round(y0 * SCALE), round(x1 * SCALE) - 1, round(y1 * SCALE) - 1]

    def rect(self, box, fill=None, outline=None, radius=0, width=1):
        b = self._box(box)
        if b[2] < b[0] or b[3] < b[1]:
            return
        self.draw.rounded_rectangle(b, radius=radius * SCALE, fill=fill, outline=outline,
                                    width=width * SCALE)

    def gradient(self, box, top, bottom, radius=0, outline=None, width=1):
        """Vertical gradient from top to bottom colour inside a rounded box."""
        b = self._box(box)
        w, h = b[2] - b[0] + 1, b[3] - b[1] + 1
        if w <= 0 or h <= 0:
            return
        grad = Image.new("RGB", (1, h))
        for y in range(h):
            t = y / max(1, h - 1)
            grad.putpixel((0, y), tuple(round(a + (c - a) * t) for a, c in zip(top, bottom)))
        grad = grad.resize((w, h))
        mask = Image.new("L", (w, h), 0)
        ImageDraw.Draw(mask).rounded_rectangle([0, 0, w - 1, h - 1], radius=radius * SCALE,
                                               fill=255)
        self.img.paste(grad, (b[0], b[1]), mask)
        if outline:
            self.rect(box, outline=outline, radius=radius, width=width)

    def line(self, points, fill, width=1):
        pts = [(round(x * SCALE), round(y * SCALE)) for x, y in points]
        self.draw.line(pts, fill=fill, width=max(1, round(width * SCALE)), joint="curve")

    def polygon(self, points, fill):
        self.draw.polygon([(round(x * SCALE), round(y * SCALE)) for x, y in points], fill=fill)

    def ellipse(self, box, fill=None, outline=None, width=1):
        self.draw.ellipse(self._box(box), fill=fill, outline=outline, width=width * SCALE)

    def arc(self, box, start, end, fill, width=1):
        self.draw.arc(self._box(box), start, end, fill=fill, width=round(width * SCALE))

    def finish(self):
        return self.img.resize((self.width, self.height), Image.BOX)


def text_size(draw, text, fnt):
    x0, y0, x1, y1 = draw.textbbox((0, 0), text, font=fnt)
    return x1 - x0, y1 - y0


def centred_text(draw, box, text, fnt, fill):
    """Draws one line centred in box (x0, y0, x1, y1): horizontally by its ink,
    vertically by the capital height, so Q, comma and backtick sit where they
    sit on a printed keycap instead of each being centred on its own."""
    x0, y0, x1, y1 = box
    bx0, _, bx1, _ = draw.textbbox((0, 0), text, font=fnt)
    _, cy0, _, cy1 = draw.textbbox((0, 0), "H", font=fnt)
    x = x0 + (x1 - x0 - (bx1 - bx0)) / 2 - bx0
    y = y0 + (y1 - y0 - (cy1 - cy0)) / 2 - cy0
    draw.text((round(x), round(y)), text, font=fnt, fill=fill)
