"""The program's own icon and bitmap resources, drawn here so the resource
script only names files:

  icon128.ico   program icon, 16, 32, 48 and 256 pixels
  arrow137.bmp  submenu arrow of the owner-drawn menus
  icon138.bmp   event list: key pressed (light-blue arrow down), 11 x 14
  icon139.bmp   event list: key released (light-blue arrow up), 11 x 14
  icon140.bmp   event list: pause (blue-rimmed stopwatch), 15 x 15
  icon143.bmp   event list: mouse button (grey mouse), 16 x 18

The list and the menu draw these bitmaps with black as the transparent colour,
so every picture sits on pure black and uses no pure black of its own."""

import io
import struct

from PIL import Image, ImageDraw

from skinkit import theme as t

SUPER = 8  # small pictures are drawn this many times larger and scaled down
BLUE = (96, 190, 255)


def _small(w, h, paint):
    big = Image.new("RGB", (w * SUPER, h * SUPER), (0, 0, 0))
    paint(ImageDraw.Draw(big), SUPER)
    img = big.resize((w, h), Image.BOX)
    # scaling leaves near-black fringe pixels; keep them visible but make the
    # background exactly black so it stays transparent
    px = img.load()
    for y in range(h):
        for x in range(w):
            p = px[x, y]
            if max(p) < 24:
                px[x, y] = (0, 0, 0)
    return img


def arrow_down(d, s):
    d.rectangle([4 * s, 1 * s, 7 * s - 1, 8 * s], fill=BLUE)
    d.polygon([(0.5 * s, 7 * s), (10.5 * s, 7 * s), (5.5 * s, 13.5 * s)], fill=BLUE)


def arrow_up(d, s):
    d.rectangle([4 * s, 6 * s, 7 * s - 1, 13 * s], fill=BLUE)
    d.polygon([(0.5 * s, 7 * s), (10.5 * s, 7 * s), (5.5 * s, 0.5 * s)], fill=BLUE)


def stopwatch(d, s):
    d.rectangle([6 * s, 0, 9 * s, 1.6 * s], fill=(60, 140, 230))
    d.ellipse([0.6 * s, 1.8 * s, 14.4 * s, 14.8 * s], fill=(40, 120, 225))
    d.ellipse([2.2 * s, 3.4 * s, 12.8 * s, 13.2 * s], fill=(236, 240, 246))
    d.line([(7.5 * s, 8.3 * s), (7.5 * s, 4.6 * s)], fill=(30, 34, 40), width=int(1.4 * s))
    d.line([(7.5 * s, 8.3 * s), (10.2 * s, 9.8 * s)], fill=(200, 60, 30), width=int(1.2 * s))


def mouse(d, s):
    d.rounded_rectangle([2 * s, 1 * s, 14 * s, 17 * s], radius=6 * s, fill=(150, 154, 162))
    d.rounded_rectangle([3.2 * s, 2.2 * s, 12.8 * s, 15.8 * s], radius=5 * s, fill=(196, 200, 208))
    d.line([(2 * s, 7.5 * s), (14 * s, 7.5 * s)], fill=(110, 114, 122), width=s)
    d.line([(8 * s, 1 * s), (8 * s, 7.5 * s)], fill=(110, 114, 122), width=s)
    d.rounded_rectangle([7.2 * s, 3 * s, 8.8 * s, 6 * s], radius=s, fill=(90, 94, 102))


def submenu_arrow(d, s):
    # The menu draws this picture at (right - 19, top - 9) of a 20-pixel item,
    # so the arrow sits at rows 13 to 25 to appear centred in the item.
    d.polygon([(5 * s, 14.5 * s), (10.5 * s, 19 * s), (5 * s, 23.5 * s)], fill=(236, 238, 242))


def logo(size):
    """The program icon: the brand keycap, drawn at 4x and scaled down."""
    k = 4
    n = size * k
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)

    def box(a, b, c, e):
        return [round(a * n), round(b * n), round(c * n) - 1, round(e * n) - 1]

    d.rounded_rectangle(box(0.03, 0.06, 0.97, 0.99), radius=0.22 * n, fill=(10, 10, 12, 200))
    d.rounded_rectangle(box(0.03, 0.02, 0.97, 0.95), radius=0.22 * n, fill=t.ACCENT_LO + (255,))
    d.rounded_rectangle(box(0.05, 0.03, 0.95, 0.90), radius=0.2 * n, fill=t.ACCENT + (255,))
    d.rounded_rectangle(box(0.16, 0.12, 0.84, 0.74), radius=0.14 * n, fill=t.ACCENT_HI + (255,))
    w = max(2, round(0.11 * n))
    d.line([(0.30 * n, 0.26 * n), (0.50 * n, 0.58 * n), (0.70 * n, 0.26 * n)], fill=(255, 255, 255, 255),
           width=w, joint="curve")
    return img.resize((size, size), Image.LANCZOS)


def ico_bytes(sizes=(16, 32, 48, 256)):
    """An .ico with 32-bit DIB entries for the small sizes and a PNG entry for
    256 (the form every Windows version since Vista reads)."""
    entries = []
    for size in sizes:
        img = logo(size)
        if size >= 256:
            buf = io.BytesIO()
            img.save(buf, "PNG", optimize=False)
            data = buf.getvalue()
        else:
            rows = []
            px = img.load()
            for y in range(size - 1, -1, -1):  # DIB rows are stored bottom-up
                rows.append(b"".join(struct.pack("<BBBB", px[x, y][2], px[x, y][1], px[x, y][0],
                                                 px[x, y][3]) for x in range(size)))
            mask_stride = ((size + 31) // 32) * 4
            data = (struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
                    + b"".join(rows) + bytes(mask_stride * size))
        entries.append((size, data))
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for size, data in entries:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in entries)


def write(res):
    (res / "icon128.ico").write_bytes(ico_bytes())
    for name, w, h, paint in (("arrow137.bmp", 16, 38, submenu_arrow),
                              ("icon138.bmp", 11, 14, arrow_down),
                              ("icon139.bmp", 11, 14, arrow_up),
                              ("icon140.bmp", 15, 15, stopwatch),
                              ("icon143.bmp", 16, 18, mouse)):
        _small(w, h, paint).save(res / name, "BMP")
