#!/usr/bin/env python3
"""Checks that every #include of the game's sources goes down its layers, never up.

From the bottom:
  base/      what every layer shares: UTF-8 text, the random source, ending the program
  puzzles/   the puzzle library
  speech/    the speech object, the sound effects and the routes to screen readers
  game/ ui/  the rules and the windows; they call each other, since the rules keep their state
             in the windows' controls
  script/    the script platform of `orvanta --script`
  app/       the program: its command line and the wiring of each platform

A platform's folders (base/windows, speech/windows and ui/win32 on Windows; speech/linux and
ui/wx on Linux) are reached only from the same platform's folders and from app/, so everything
else builds and runs its tests without a display, an audio device or a speech service.

Usage: check-layers.py [SOURCE_DIR]. Prints each wrong-way include and exits 1 if there is one.
"""

import pathlib
import re
import sys

LAYERS = {
    "base": {"base"},
    "puzzles": {"base", "puzzles"},
    "speech": {"base", "puzzles", "speech"},
    "game": {"base", "puzzles", "speech", "game", "ui"},
    "ui": {"base", "puzzles", "speech", "game", "ui"},
    "script": {"base", "puzzles", "speech", "game", "ui", "script"},
    "app": {"base", "puzzles", "speech", "game", "ui", "script", "app"},
}
PLATFORMS = {
    "windows": ("base/windows/", "speech/windows/", "ui/win32/"),
    "linux": ("speech/linux/", "ui/wx/"),
}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def platform_of(path):
    for name, folders in PLATFORMS.items():
        if path.startswith(folders):
            return name
    return None


def wrong_way(source, target):
    """Why including `target` from `source` (both relative to the tree) goes the wrong way."""
    layer, target_layer = source.split("/")[0], target.split("/")[0]
    if target_layer not in LAYERS:
        return None  # not one of ours
    if target_layer not in LAYERS[layer]:
        return f"{layer}/ is below {target_layer}/"
    target_platform = platform_of(target)
    if target_platform and layer != "app" and platform_of(source) != target_platform:
        return f"{target} belongs to the {target_platform} platform"
    return None


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    faults = []
    for layer in LAYERS:
        for path in sorted((root / layer).rglob("*")):
            if path.suffix not in (".h", ".cpp") or path.name.endswith("_test.cpp"):
                continue
            source = path.relative_to(root).as_posix()
            text = path.read_text(encoding="utf-8")
            for match in INCLUDE.finditer(text):
                why = wrong_way(source, match.group(1))
                if why:
                    line = text.count("\n", 0, match.start()) + 1
                    faults.append(f'{source}:{line}: includes "{match.group(1)}": {why}')
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) against the layers; see scripts/check-layers.py")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
