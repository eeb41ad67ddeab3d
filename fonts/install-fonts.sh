#!/usr/bin/env bash
# The chess fonts come from Debian's pychess package; only its TrueType pieces are kept, in a
# folder fontconfig reads. Nothing of them lives in this repository.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
dest=/usr/local/share/fonts/brennix
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

if ! ls "$dest"/*.ttf >/dev/null 2>&1; then
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    (cd "$work" && apt-get download pychess >/dev/null 2>&1 || { $SUDO apt-get update -q && apt-get download pychess; })
    dpkg -x "$work"/pychess_*.deb "$work/x"
    $SUDO mkdir -p "$dest"
    $SUDO cp "$work"/x/usr/share/pychess/pieces/ttf/*.ttf "$dest"/
fi

# The fairy font is built again whenever its build script changed since it was built.
stamp=""
[ -f "$here/build-fairy-font.py" ] && stamp="$(sha256sum "$here/build-fairy-font.py" | cut -d' ' -f1)"
if [ -n "$stamp" ] && { [ ! -f "$dest/VarnokFairy.ttf" ] || [ "$(cat "$dest/VarnokFairy.built-by" 2>/dev/null)" != "$stamp" ]; }; then
    work2="$(mktemp -d)"
    # FontForge's module belongs to the system's Python, which a python3 earlier on PATH may not see.
    py=python3
    [ -x /usr/bin/python3 ] && /usr/bin/python3 -c "import fontforge" 2>/dev/null && py=/usr/bin/python3
    "$py" "$here/build-fairy-font.py" "$dest" "$work2/VarnokFairy.ttf" 2>"$work2/log" \
        || { cat "$work2/log" >&2; exit 1; }
    $SUDO cp "$work2/VarnokFairy.ttf" "$dest/"
    echo "$stamp" | $SUDO tee "$dest/VarnokFairy.built-by" >/dev/null
    rm -rf "$work2"
fi

# fc-cache is quick when nothing changed.
fc-cache -f "$dest" >/dev/null 2>&1 || true
