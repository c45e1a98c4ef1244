#!/usr/bin/env python3
"""The layers: every include names a file of its own layer or of one below.

    python3 layers_test.py SOURCE_DIR

Lists each include that runs up a layer, crosses between format families or front ends,
brings a platform header into the core, or takes the GStreamer plug-in past the public header,
and fails when there is any.
"""
import os
import re
import sys
from pathlib import Path

# Bottom up. A file may include its own layer and those before it.
LAYERS = ["platform", "mixer", "song", "engine", "formats/*", "formats", "settings", "front"]
# The front ends; each includes the core and itself only, but for the groups that are built
# together: the plug-in's host, dialogs and resources, and the library's sources and header.
FRONT_GROUPS = [{"host", "ui", "resources"}, {"api", "include"}, {"cli"}, {"gst"}]
CORE = {"mixer", "song", "engine", "formats/*", "formats", "settings"}
CHECKED = ["platform", "mixer", "song", "engine", "formats", "settings", "cli", "host", "ui",
           "resources", "api", "include", "gst"]
PUBLIC_HEADER = Path("include/tolva/tolva.h")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def place(path):
    """(layer, unit): the unit is a format family or a front end folder."""
    parts = path.parts
    top = parts[0]
    if top == "formats":
        return ("formats/*", parts[1]) if len(parts) > 2 else ("formats", "formats")
    if top in LAYERS:
        return top, top
    return "front", top


def front_group(unit):
    return next(g for g in FRONT_GROUPS if unit in g)


def problem(source, target):
    """Why `source` may not include `target` (both relative to the root), or None."""
    (layer, unit), (target_layer, target_unit) = place(source), place(target)
    rank, target_rank = LAYERS.index(layer), LAYERS.index(target_layer)
    if target_rank > rank:
        return f"runs up from {layer} to {target_layer}"
    if layer == "formats/*" and target_layer == "formats/*" and unit != target_unit:
        return f"crosses from format family {unit} to {target_unit}"
    if layer == "front" and target_layer == "front" and target_unit not in front_group(unit):
        return f"crosses from front end {unit} to {target_unit}"
    return None


def gst_problem(source, kind, name, exists):
    """Why a gst/ file may not include `name`, or None: the plug-in is built on the public header
    alone, so the only file of the repo it reaches outside its folder is include/tolva/tolva.h.
    `exists` tells whether a path relative to the root is a file of the repo."""
    places = [source.parent / name] if kind == '"' else []
    for target in places + [Path(name), Path("include") / name]:
        target = Path(os.path.normpath(target))
        if exists(target):
            if target.parts[0] == "gst" or target == PUBLIC_HEADER:
                return None
            return f"reaches {target}: gst/ may include only {PUBLIC_HEADER}"
    return None


def platform_header(name):
    # The core sees the system through platform/ only: standard C++ headers and the
    # compiler's vector intrinsics are all it includes in angle brackets.
    return name.endswith(".h") and not name.endswith("intrin.h")


def check(root):
    found = []
    for top in CHECKED:
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in (".h", ".c", ".cpp", ".rc") or not path.is_file():
                continue
            source = path.relative_to(root)
            for kind, name in INCLUDE.findall(path.read_text(errors="replace")):
                if top == "gst":
                    why = gst_problem(source, kind, name, lambda p: (root / p).is_file())
                    if why:
                        found.append(f"{source}: \"{name}\" {why}")
                    continue
                if kind == "<":
                    if place(source)[0] in CORE and platform_header(name):
                        found.append(f"{source}: <{name}> is a platform header in the core")
                    continue
                target = Path(name) if "/" in name else source.parent / name
                if target.parts[0] not in CHECKED:
                    continue
                why = problem(source, target)
                if why:
                    found.append(f"{source}: \"{name}\" {why}")
    return found


def self_test():
    """The rules themselves, on made-up paths, so that a broken table cannot pass everything."""
    bad = [("engine/Player.h", "settings/Settings.h"), ("song/Song.h", "engine/Player.h"),
           ("mixer/Mixer.h", "song/InputStream.h"), ("formats/xm/XmPlayer.h", "formats/it/ItPlayer.h"),
           ("formats/mod/ModLoader.cpp", "formats/FormatTable.h"),
           ("settings/Settings.h", "ui/config/ConfigDialog.h"), ("cli/main.cpp", "host/Dialogs.h"),
           ("ui/info/InfoDialog.cpp", "cli/SongFacts.h"), ("api/tolva.cpp", "cli/SongLoader.h")]
    good = [("formats/FormatTable.cpp", "formats/xm/XmLoader.h"), ("host/Dialogs.cpp", "ui/config/ConfigDialog.h"),
            ("settings/Settings.h", "engine/FormatId.h"), ("api/Song.cpp", "include/tolva/tolva.h"),
            ("formats/xm/XmLoader.cpp", "formats/xm/XmPlayer.h"), ("cli/main.cpp", "formats/SongPipeline.h")]
    wrong = [f"{s} -> {t} passes" for s, t in bad if not problem(Path(s), Path(t))]
    wrong += [f"{s} -> {t} fails" for s, t in good if problem(Path(s), Path(t))]
    repo = {Path(p) for p in ["gst/tolvadec.h", "include/tolva/tolva.h", "engine/Player.h"]}
    for kind, name, allowed in [('"', "tolvadec.h", True), ("<", "tolva/tolva.h", True),
                                ("<", "gst/gst.h", True), ("<", "engine/Player.h", False),
                                ('"', "../engine/Player.h", False)]:
        if (gst_problem(Path("gst/tolvadec.c"), kind, name, repo.__contains__) is None) != allowed:
            wrong.append(f"gst/tolvadec.c -> {kind}{name} judged wrongly")
    wrong += [f"<{h}> judged wrongly" for h, p in
              [("windows.h", True), ("sys/stat.h", True), ("cstdint", False), ("emmintrin.h", False)]
              if platform_header(h) != p]
    return wrong


def main():
    root = Path(sys.argv[1])
    found = self_test() + check(root)
    for line in found:
        print(line)
    print(f"{len(found)} include(s) out of place" if found else "every include keeps to its layer")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
