"""Checks the generated skin the way the program will use it: the files and
keys each window reads, picture format and sizes, button rectangles inside the
picture and the outline, state pictures that differ where buttons are, the
keyboard's key layout, the icon resources, and that generation is repeatable.

VANTREL_SKIN_DIR names the Skins folder to check, VANTREL_SKIN_RES the folder
of the icon resources."""

import configparser
import os
import pathlib
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = pathlib.Path(__file__).resolve().parent
SKINS = pathlib.Path(os.environ.get("VANTREL_SKIN_DIR", "Skins"))
RES = pathlib.Path(os.environ.get("VANTREL_SKIN_RES", "res"))

# What each window reads: skin file, its key for the disabled picture, and its
# BUTTONPOS keys in reading order. Written out here rather than taken from the
# generator, so a key the generator forgets is caught.
READS = {
    "skin_Config.ini": ("Disable", "1 2 3 4 25 10 6 7 8 9 11 12 13 15 21 22 20 16 17"),
    "skin_main.ini": ("Disabled", " ".join(str(40 + i) for i in range(114))),
    "Skin_color_control.ini": ("Disabled", "1 0 20"),
    "Skin_light_control.ini": ("Disabled", "0 1"),
    "skin_swap_key.ini": ("Disabled", "2 3 5 4"),
    "Skin_Macro_control.ini": ("Disabled", "4 5 6 7 8 9"),
    "skin_macro_manager.ini": ("Disabled", "4 5 7 8 9 1 2 3 12 15 13 14 6 11"),
    "skin_Shortcut.ini": ("Disabled", "2 3 4 6 7 8 9 10 11"),
    "skin_Profile.ini": ("Disabled", "4 5 6 3 1 2"),
    "skin_reset_warn.ini": ("Disabled", "1 2 3"),
    "skin_wait.ini": ("Disabled", ""),
}

# Keys that are edit fields, lists or labels: they look the same in every picture.
STATIC = {"skin_macro_manager.ini": {"12", "15", "13", "14", "6", "11"},
          "skin_Profile.ini": {"1", "2"}, "skin_Shortcut.ini": {"11"}}

PANEL = (781, 267)
EXACT_SIZE = {f: PANEL for f in ("skin_main.ini", "Skin_color_control.ini",
                                 "Skin_light_control.ini", "Skin_Macro_control.ini")}

# Areas the program paints into or places controls at, by window: (left, top,
# right, bottom). All of them must lie inside the picture and the outline.
PAINTED = {
    "skin_Config.ini": [(1, 100, 782, 367)],
    "Skin_color_control.ini": [(73, 100, 200, 115), (435, 100, 560, 115)],
    "Skin_light_control.ini": [(73, 100, 200, 115), (435, 100, 560, 115)],
    "Skin_Macro_control.ini": [(39, 15, 300, 37)],
    "skin_swap_key.ini": [(7, 33, 302, 57), (25, 90, 300, 112), (25, 112, 285, 134),
                          (28, 137, 142, 154)],
    "skin_macro_manager.ini": [(2, 12, 386, 57), (290, 155, 368, 311), (269, 357, 357, 374)],
    "skin_Shortcut.ini": [(5, 26, 261, 43), (60, 86, 275, 99), (58, 157, 240, 170)],
    "skin_Profile.ini": [(5, 18, 345, 43), (24, 90, 307, 155), (24, 175, 288, 255),
                         (24, 235, 397, 295), (24, 285, 361, 399)],
    "skin_reset_warn.ini": [(8, 9, 255, 25), (21, 62, 283, 96)],
    "skin_wait.ini": [(5, 67, 300, 117)],
}


def read_bmp(path):
    """(width, height, rows top-down of (r, g, b) tuples); only the 24-bit
    uncompressed form that every Windows picture loader decodes is accepted."""
    data = path.read_bytes()
    if data[:2] != b"BM":
        raise ValueError(f"{path.name}: not a BMP")
    offset, = struct.unpack_from("<I", data, 10)
    size, w, h, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
    if size != 40 or planes != 1 or bpp != 24 or compression != 0 or w <= 0 or h == 0:
        raise ValueError(f"{path.name}: header {size} {planes} {bpp} {compression} {w}x{h}")
    stride = (w * 3 + 3) // 4 * 4
    rows = []
    for r in range(abs(h)):
        start = offset + r * stride
        raw = data[start:start + w * 3]
        if len(raw) != w * 3:
            raise ValueError(f"{path.name}: pixel data cut short")
        rows.append([(raw[i + 2], raw[i + 1], raw[i]) for i in range(0, w * 3, 3)])
    if h > 0:
        rows.reverse()
    return w, abs(h), rows


def parse_button_pos(value):
    """The program's reading of a BUTTONPOS value: (name, left, top, right, bottom)."""
    name, _, rest = value.partition(",")
    nums = []
    for part in rest.split(",")[:4]:
        try:
            nums.append(int(part))
        except ValueError:
            break
    nums += [0] * (4 - len(nums))
    x, y, w, h = nums
    return name, x, y, x + w, y + h


def load_ini(name):
    cp = configparser.RawConfigParser(strict=True)
    cp.optionxform = str  # keys are case-sensitive here
    cp.read_string((SKINS / name).read_bytes().decode("ascii"))
    return cp


class Skin:
    """One window's skin file with its pictures, loaded once."""
    _cache = {}

    @classmethod
    def get(cls, name):
        if name not in cls._cache:
            cls._cache[name] = cls(name)
        return cls._cache[name]

    def __init__(self, name):
        self.name = name
        self.ini = load_ini(name)
        disabled_key, keys = READS[name]
        self.keys = keys.split()
        screen = self.ini["SCREEN"]
        self.pictures = {}
        for key in ("Mask", "Normal", "Down", "Over", disabled_key):
            self.pictures[key] = read_bmp(SKINS / screen[key])
        self.width, self.height = self.pictures["Normal"][:2]
        self.mask = self.pictures["Mask"][2]
        self.rects = {k: parse_button_pos(self.ini["BUTTONPOS"][k])[1:] for k in self.keys}

    def inside_mask(self, rect):
        x0, y0, x1, y1 = rect
        return all(self.mask[y][x] != (255, 255, 255)
                   for y in range(y0, y1) for x in range(x0, x1))


def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


class SkinFilesTest(unittest.TestCase):
    def test_every_window_has_its_file_and_keys(self):
        for name, (disabled_key, keys) in READS.items():
            with self.subTest(name):
                ini = load_ini(name)
                for key in ("Mask", "Normal", "Down", "Over", disabled_key):
                    self.assertTrue(ini.get("SCREEN", key, fallback=""), key)
                for key in keys.split():
                    value = ini.get("BUTTONPOS", key, fallback="")
                    name_part, x0, y0, x1, y1 = parse_button_pos(value)
                    self.assertTrue(0 < len(name_part) <= 39, value)
                    self.assertTrue(x1 > x0 and y1 > y0, f"{key}: empty rectangle in {value!r}")

    def test_main_window_version(self):
        self.assertTrue(load_ini("skin_Config.ini").get("Driver_Version", "Driver_Version"))

    def test_pictures_share_one_size(self):
        for name in READS:
            with self.subTest(name):
                skin = Skin.get(name)
                sizes = {k: p[:2] for k, p in skin.pictures.items()}
                self.assertEqual(len(set(sizes.values())), 1, sizes)
                if name in EXACT_SIZE:
                    self.assertEqual((skin.width, skin.height), EXACT_SIZE[name])

    def test_masks_are_pure_white_outside_and_dark_inside(self):
        for name in READS:
            with self.subTest(name):
                skin = Skin.get(name)
                colours = {p for row in skin.mask for p in row}
                self.assertLessEqual(colours, {(255, 255, 255), (0, 0, 0)})
                self.assertIn((0, 0, 0), colours)

    def test_buttons_lie_inside_picture_and_outline_without_overlap(self):
        for name in READS:
            skin = Skin.get(name)
            for key, rect in skin.rects.items():
                with self.subTest(name, key=key):
                    x0, y0, x1, y1 = rect
                    self.assertTrue(0 <= x0 and 0 <= y0 and x1 <= skin.width and y1 <= skin.height,
                                    rect)
                    self.assertTrue(skin.inside_mask(rect), rect)
            items = list(skin.rects.items())
            for i, (ka, a) in enumerate(items):
                for kb, b in items[i + 1:]:
                    self.assertFalse(overlap(a, b), f"{name}: {ka} {a} overlaps {kb} {b}")

    def test_painted_areas_fit_the_window(self):
        for name, areas in PAINTED.items():
            skin = Skin.get(name)
            for rect in areas:
                with self.subTest(name, rect=rect):
                    self.assertTrue(rect[2] <= skin.width and rect[3] <= skin.height,
                                    (skin.width, skin.height))
                    self.assertTrue(skin.inside_mask(rect))

    def test_state_pictures_differ_at_every_button(self):
        for name in READS:
            skin = Skin.get(name)
            normal = skin.pictures["Normal"][2]
            for key, (x0, y0, x1, y1) in skin.rects.items():
                static = key in STATIC.get(name, ())
                for state in ("Over", "Down", READS[name][0]):
                    other = skin.pictures[state][2]
                    diff = max(abs(a - b) for y in range(y0, y1) for x in range(x0, x1)
                               for a, b in zip(normal[y][x], other[y][x]))
                    with self.subTest(name, key=key, state=state):
                        if static:
                            self.assertEqual(diff, 0)
                        else:
                            self.assertGreater(diff, 40)


class KeyboardTest(unittest.TestCase):
    def setUp(self):
        self.skin = Skin.get("skin_main.ini")
        self.keys = [self.skin.rects[str(40 + i)] for i in range(114)]

    def test_real_keys_are_key_sized_and_spare_positions_small(self):
        for pos, (x0, y0, x1, y1) in enumerate(self.keys):
            with self.subTest(pos=pos):
                low = 8 if pos >= 108 else 24
                self.assertGreaterEqual(min(x1 - x0, y1 - y0), low)

    def test_layout_follows_factory_key_positions(self):
        left_of = [(0, 1), (12, 13), (16, 17), (28, 106), (106, 29), (30, 31), (42, 56), (44, 45),
                   (55, 43), (57, 104), (104, 58), (67, 107), (107, 68), (69, 70), (71, 72),
                   (72, 73), (75, 76), (76, 79), (79, 83), (83, 86), (86, 91), (89, 94), (98, 105),
                   (99, 103), (15, 108), (108, 109), (112, 113)]
        for a, b in left_of:
            with self.subTest(left=a, right=b):
                ka, kb = self.keys[a], self.keys[b]
                self.assertLessEqual(ka[2], kb[0])
                self.assertTrue(ka[1] < kb[3] and kb[1] < ka[3], "not on one row")
        above = [(0, 16), (16, 30), (30, 44), (44, 57), (57, 69), (82, 83), (102, 105), (87, 88),
                 (113, 101)]
        for a, b in above:
            with self.subTest(above=a, below=b):
                self.assertLessEqual(self.keys[a][3], self.keys[b][1])
        self.assertEqual(max(range(114), key=lambda p: self.keys[p][2] - self.keys[p][0]), 72)

    def test_remapped_look_stands_out(self):
        normal, down = self.skin.pictures["Normal"][2], self.skin.pictures["Down"][2]

        def mean(rows, rect):
            x0, y0, x1, y1 = rect
            px = [rows[y][x] for y in range(y0, y1) for x in range(x0, x1)]
            return [sum(c[i] for c in px) / len(px) for i in range(3)]

        for pos, rect in enumerate(self.keys):
            with self.subTest(pos=pos):
                r, g, b = mean(down, rect)
                self.assertGreater(r - b, 80)   # accent-coloured
                r, g, b = mean(normal, rect)
                self.assertLess(abs(r - b), 30)  # neutral grey


class ResourceTest(unittest.TestCase):
    def test_bitmaps_sizes_and_black_background(self):
        for name, size in (("arrow137.bmp", (16, 38)), ("icon138.bmp", (11, 14)),
                           ("icon139.bmp", (11, 14)), ("icon140.bmp", (15, 15)),
                           ("icon143.bmp", (16, 18))):
            with self.subTest(name):
                w, h, rows = read_bmp(RES / name)
                self.assertEqual((w, h), size)
                self.assertEqual(rows[0][0], (0, 0, 0))  # the list's transparent colour
                self.assertTrue(any(p != (0, 0, 0) for row in rows for p in row))

    def test_program_icon_sizes(self):
        data = (RES / "icon128.ico").read_bytes()
        reserved, kind, count = struct.unpack_from("<HHH", data, 0)
        self.assertEqual((reserved, kind), (0, 1))
        sizes = []
        for i in range(count):
            w, h, _, _, planes, bpp, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
            self.assertLessEqual(offset + length, len(data))
            self.assertEqual(bpp, 32)
            sizes.append(w or 256)
        self.assertEqual(sorted(sizes), [16, 32, 48, 256])


class RepeatableTest(unittest.TestCase):
    def test_a_fresh_run_gives_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run([sys.executable, "-B", str(HERE / "generate.py"), tmp], check=True)
            fresh = pathlib.Path(tmp)
            for folder, shipped in (("Skins", SKINS), ("res", RES)):
                names = sorted(p.name for p in (fresh / folder).iterdir())
                self.assertEqual(names, sorted(p.name for p in shipped.iterdir()))
                for n in names:
                    with self.subTest(n):
                        self.assertEqual((fresh / folder / n).read_bytes(),
                                         (shipped / n).read_bytes())


if __name__ == "__main__":
    unittest.main()
