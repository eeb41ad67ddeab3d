#!/usr/bin/env bash
# Rebuilds the committed excerpt of the World Championship games and pgn-extract's positions for it:
# the first game, games with en-passant captures, promotions and castling on both wings, and the
# forfeit without moves. Needs the data of bench/fetch-pgn-data.sh and pgn-extract.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
data="$(bash "$here/../../../bench/fetch-pgn-data.sh")"
extract="$(command -v pgn-extract || echo /usr/games/pgn-extract)"
# Game numbers counted from 0 in file order.
picks="0 18 25 26 28 107 113 567"
awk -v picks="$picks" '
    BEGIN { n = split(picks, p, " "); for (i = 1; i <= n; i++) keep[p[i]] = 1; game = -1 }
    /^\[Event / { game++ }
    game in keep { print }
' "$data/wcc.pgn" >"$here/wcc-excerpt.pgn"
"$extract" -s --nofauxep -Wepd -o "$here/wcc-excerpt.epd" "$here/wcc-excerpt.pgn"
