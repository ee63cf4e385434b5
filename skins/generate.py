#!/usr/bin/env python3
"""Generates the default skin: the skin file and the five BMP pictures of every
window into <out>/Skins, and the program's icon and bitmap resources into
<out>/res. The output depends only on these sources, Pillow and the Liberation
fonts, so every build makes the same bytes.

usage: generate.py <out> [window ...]   (no window names: all of them)"""

import importlib
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import icons  # noqa: E402

# one module per window under windows/, each with a window() description
WINDOWS = ("main_window", "keyboard", "macro_panel", "advanced", "lighting", "key_assign",
           "macro_manager", "shortcut", "profile", "warning", "waiting")


def windows(names=WINDOWS):
    return [importlib.import_module(f"windows.{n}").window() for n in names]


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = pathlib.Path(argv[1])
    skins, res = out / "Skins", out / "res"
    skins.mkdir(parents=True, exist_ok=True)
    res.mkdir(parents=True, exist_ok=True)
    if len(argv) == 2:  # a full run leaves no picture of an older skin behind
        for old in list(skins.glob("*.bmp")) + list(skins.glob("*.ini")):
            old.unlink()
    for w in windows(argv[2:] or WINDOWS):
        w.write(skins)
    if len(argv) == 2:
        icons.write(res)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
