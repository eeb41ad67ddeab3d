"""check_layers.py SOURCE_DIR: fails, naming each offending line, where a source file includes a header of a
layer above its own. The layers, from the bottom: the core (storage, positions, pgn, picture: no Qt
either), platform, settings, dialogs, view, app. A layer that included one above it would make the two one
circle again: the lower one could no longer be built, tested or changed without the upper one."""
import pathlib
import re
import sys

LAYERS = ["core", "platform", "settings", "dialogs", "view", "app"]
FOLDER_LAYER = {"storage": "core", "positions": "core", "pgn": "core", "picture": "core", "platform": "platform",
                "settings": "settings", "dialogs": "dialogs", "view": "view", "app": "app"}
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]')


def layer_of_header(header):
    first = header.split("/", 1)[0]
    if "/" in header and first in FOLDER_LAYER:
        return FOLDER_LAYER[first]
    # The core is plain C++: a Qt header there is a layer above it as well.
    if first.startswith("Q") or first.startswith("qt"):
        return "platform"
    return None


def faults(source_dir):
    root = pathlib.Path(source_dir)
    for folder, layer in FOLDER_LAYER.items():
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                included = layer_of_header(match.group(1))
                if included and LAYERS.index(included) > LAYERS.index(layer):
                    yield f"{path.relative_to(root)}:{number}: {layer} includes {included}: {line.strip()}"


def main():
    found = list(faults(sys.argv[1]))
    for fault in found:
        print(fault)
    print(f"{len(found)} includes point up")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
