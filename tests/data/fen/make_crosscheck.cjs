// Writes crosscheck.tsv: positions with the verdicts of an independent chess library (chess.js), for
// the test that compares our checker with it. Run once, by hand:
//   mkdir -p /tmp/cjs && cd /tmp/cjs && npm install chess.js@1.4.0
//   NODE_PATH=/tmp/cjs/node_modules node make_crosscheck.cjs > crosscheck.tsv
// The positions come from seeded random games, so every run writes the same file.
'use strict';
const { Chess, validateFen } = require('chess.js');

let seed = 20240611;
function random() {
    // mulberry32
    seed = (seed + 0x6d2b79f5) | 0;
    let t = seed;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const pick = (items) => items[Math.floor(random() * items.length)];

// Board rows (rank 8 first) as 8 x 8 arrays of FEN letters or null, and back.
function toRows(placement) {
    return placement.split('/').map((rank) => {
        const row = [];
        for (const c of rank) {
            if (c >= '1' && c <= '8') for (let i = 0; i < Number(c); ++i) row.push(null);
            else row.push(c);
        }
        return row;
    });
}
function fromRows(rows) {
    return rows
        .map((row) => {
            let out = '';
            let run = 0;
            for (const c of row) {
                if (c === null) {
                    ++run;
                    continue;
                }
                if (run) out += run;
                run = 0;
                out += c;
            }
            return run ? out + run : out;
        })
        .join('/');
}
function emptySquares(rows, rowFilter) {
    const found = [];
    rows.forEach((row, r) => row.forEach((c, col) => { if (c === null && rowFilter(r)) found.push([r, col]); }));
    return found;
}
function withFields(fen, changes) {
    const fields = fen.split(' ');
    Object.entries(changes).forEach(([i, v]) => { fields[Number(i)] = v; });
    return fields.join(' ');
}

// The library's own verdicts on a position. Its board keeps one king of a colour, so the king rule
// is taken from its FEN validation, and the check test only asked of positions with two kings.
function verdicts(fen) {
    const check = validateFen(fen);
    const kingsOk = check.ok || !/king/.test(check.error);
    const game = new Chess(fen, { skipValidation: true });
    const edgePawns = [0, 7].some((r) => game.board()[r].some((p) => p && p.type === 'p'));
    let notToMoveInCheck = '-';
    if (kingsOk) {
        const toMove = game.turn();
        const other = toMove === 'w' ? 'b' : 'w';
        const king = game.findPiece({ type: 'k', color: other })[0];
        notToMoveInCheck = game.isAttacked(king, toMove) ? 1 : 0;
    }
    return [check.ok ? 'ok' : check.error, kingsOk ? 'ok' : 'bad', edgePawns ? 1 : 0, notToMoveInCheck];
}

const positions = new Set();
const inCheck = [];
for (let g = 0; g < 60; ++g) {
    const game = new Chess();
    const plies = 10 + Math.floor(random() * 110);
    for (let p = 0; p < plies && !game.isGameOver(); ++p) {
        game.move(pick(game.moves()));
        if (random() < 0.08) positions.add(game.fen());
        if (game.inCheck()) inCheck.push(game.fen());
    }
    positions.add(game.fen());
}
const real = [...positions];

const mutated = new Set();
for (const fen of inCheck.slice(0, 80)) {
    // The side in check is no longer the one to move.
    mutated.add(withFields(fen, { 1: fen.split(' ')[1] === 'w' ? 'b' : 'w', 3: '-' }));
}
for (let i = 0; i < 120; ++i) {
    const fen = pick(real);
    const rows = toRows(fen.split(' ')[0]);
    const kind = i % 4;
    if (kind === 0) {
        // A king taken off the board.
        const king = random() < 0.5 ? 'K' : 'k';
        rows.forEach((row) => row.forEach((c, col) => { if (c === king) row[col] = null; }));
    } else if (kind === 1) {
        // A second king of one colour.
        const [r, col] = pick(emptySquares(rows, () => true));
        rows[r][col] = random() < 0.5 ? 'K' : 'k';
    } else {
        // A pawn on rank 1 or rank 8.
        const edge = emptySquares(rows, (r) => r === 0 || r === 7);
        if (!edge.length) continue;
        const [r, col] = pick(edge);
        rows[r][col] = random() < 0.5 ? 'P' : 'p';
    }
    mutated.add(withFields(fen, { 0: fromRows(rows), 2: '-', 3: '-' }));
}

process.stdout.write('# fen\tvalidateFen\tkings\tpawn on rank 1 or 8\tside not to move in check\n');
for (const fen of [...real, ...mutated]) process.stdout.write([fen, ...verdicts(fen)].join('\t') + '\n');
