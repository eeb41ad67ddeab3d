#!/usr/bin/env bash
# Fetches the World Championship games that Debian's python3-networkx package ships in its
# documentation and prepares them for bench_pgn and the full cross-check of the PGN tests:
#   wcc.pgn            the 685 games
#   wcc100.pgn         the same file 100 times over (68,500 games, about 49 MB)
#   wcc-expected.epd   pgn-extract's EPD line for every position of wcc.pgn (when pgn-extract is there)
# The files go into $BRENNIX_PGN_DATA (default: ~/.cache/brennix/pgn) and are never committed.
# Prints the folder. Run as root, or with sudo at hand, to install pgn-extract when it is missing.
set -euo pipefail

dir="${BRENNIX_PGN_DATA:-${XDG_CACHE_HOME:-$HOME/.cache}/brennix/pgn}"
mkdir -p "$dir"
cd "$dir"

if [ ! -s wcc.pgn ]; then
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    (cd "$work" && apt-get download -q python3-networkx >/dev/null 2>"$work/apt.log") || {
        cat "$work/apt.log" >&2
        exit 1
    }
    dpkg -x "$work"/python3-networkx_*.deb "$work/x"
    archive="$(find "$work/x" -name chess_masters_WCC.pgn.bz2 | head -n 1)"
    if [ -z "$archive" ]; then
        echo "fetch-pgn-data: chess_masters_WCC.pgn.bz2 not found in python3-networkx" >&2
        exit 1
    fi
    bzip2 -dc "$archive" >wcc.pgn.part
    mv wcc.pgn.part wcc.pgn
fi

if [ ! -s wcc100.pgn ] || [ wcc100.pgn -ot wcc.pgn ]; then
    for _ in $(seq 100); do cat wcc.pgn; done >wcc100.pgn.part
    mv wcc100.pgn.part wcc100.pgn
fi

extract="$(command -v pgn-extract || true)"
[ -z "$extract" ] && [ -x /usr/games/pgn-extract ] && extract=/usr/games/pgn-extract
if [ -z "$extract" ] && command -v apt-get >/dev/null; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    if DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends pgn-extract >/dev/null; then
        extract=/usr/games/pgn-extract
    fi
fi
if [ -n "$extract" ] && { [ ! -s wcc-expected.epd ] || [ wcc-expected.epd -ot wcc.pgn ]; }; then
    "$extract" -s --nofauxep -Wepd -o wcc-expected.epd.part wcc.pgn
    mv wcc-expected.epd.part wcc-expected.epd
fi

echo "$dir"
