#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into OUT/<target>/: small real inputs from tests/data and
the forms the program itself writes. Each input starts with the target's options byte (see the target's
source)."""

import pathlib
import struct
import sys

root = pathlib.Path(__file__).resolve().parent.parent
data = root / "tests" / "data"
out = pathlib.Path(sys.argv[1])


def put(target, name, flags, body):
    folder = out / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes((b"" if flags is None else bytes([flags])) + body)


def head(path, limit=4096):
    """The first lines of a file, whole lines only, at most limit bytes."""
    text = path.read_bytes()
    if len(text) <= limit:
        return text
    cut = text.rfind(b"\n", 0, limit)
    return text[: cut + 1]


files = data / "files"
kinds = {"bnx": 0, "epd": 1, "fen": 2, "txt": 3}

# Position files: each file as its own kind, with the check on and off.
for path in sorted(files.iterdir()):
    kind = kinds.get(path.suffix[1:])
    if kind is None:
        continue
    fairy = 8 if "fairy" in path.name else 0
    put("fuzz_position_file", path.name + ".checked", kind | 4 | fairy | 64, head(path))
    put("fuzz_position_file", path.name + ".unchecked", kind | fairy, head(path))
put("fuzz_position_file", "wcc-excerpt.epd", 1 | 4, head(data / "pgn" / "wcc-excerpt.epd", 2048))
put("fuzz_position_file", "startnum.bnx", 4 | 64,
    b"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - c0 \"Startnum 5 \";\r\n")
# EPD lines of other programs: a FEN-form first line, several comments, escaped quotes, g-opcodes, a last
# operation without its ';', tabs, file-letter castling, and LF, CR LF and lone CR line ends mixed.
put("fuzz_position_file", "others.epd", 1 | 64,
    b"r3k2r/8/8/8/8/8/8/R3K2R w HAha - 0 1\n"
    b"4k3/8/8/8/8/8/8/4K3 w - - bm g6; id \"SUITE.002\";\r"
    b"4k3/8/8/8/8/8/8/4K3\tb\t-\t-\tc0 \"a \\\"q\\\" b\"; c1 \"two\"; ga 1; pd 9\r\n"
    b"4k3/8/8/8/8/8/8/4K3  w  -  -  3 40 id \"x\";\r\r\n")

# Position lines: the first lines of every file, in the modes the list can be in.
lines = []
for path in sorted(files.iterdir()):
    if path.suffix[1:] in kinds:
        for line in path.read_bytes().splitlines(keepends=True):
            if b"/" in line and len(lines) < 24:
                lines.append(line)
for i, line in enumerate(lines):
    put("fuzz_position_line", "line%02d" % i, (2 | (i % 4) << 3), line)
put("fuzz_position_line", "fairy", 1 | 32, b"8/8/3Z4/8/8/8/8/k6K w - - c0 \"rotated\"; id \"x\";\r\n")
put("fuzz_position_line", "family2", 4 | 2,
    b"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\r\n")
put("fuzz_position_line", "operations", 2 | 8,
    b"4k3/8/8/8/8/8/8/4K3 b - - id \"a;b\"; bm Ke2; c0 \"two\xd5quotes\xd5**line\"; acd 12; pv e4;\n")

# Chess-font text as a copy leaves it: top border with CR LF, eight rows with LF, the bottom border.
start1 = [b"$tMvWlVmT%", b"$OoOoOoOo%", b"$ + + + +%", b"$+ + + + %",
          b"$ + + + +%", b"$+ + + + %", b"$pPpPpPpP%", b"$RnBqKbNr%"]
start2 = [r.replace(b"$", b"4").replace(b"%", b"5").replace(b"M", b"J").replace(b"m", b"j")
          .replace(b"V", b"N").replace(b"v", b"n") for r in start1]
put("fuzz_board_text", "family1", 0, b"!\"\"\"\"\"\"\"\"#\r\n" + b"".join(r + b"\n" for r in start1)
    + b"/(((((((()")
put("fuzz_board_text", "family2", 4, b"1222222223\r\n" + b"".join(r + b"\n" for r in start2)
    + b"7888888889")
put("fuzz_board_text", "crlf-rows", 1 | 16, b"".join(r + b"\r\n" for r in start1) + b"/(((((((()")
put("fuzz_board_text", "lf-rows", 3 | 64, b"".join(r + b"\n" for r in start1) + b"/(((((((()")

# RTF: a board copy as the program writes it, the import's board, and a few neighbours.
def board_rtf(face, rows, size=71, coordinates=False):
    text = (b"{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset2 "
            + face + b";}{\\f1\\fswiss\\fcharset0 Arial;}}\\viewkind4\\uc1\\pard\\f0\\fs" + str(size).encode()
            + b" !\"\"\"\"\"\"\"\"#\r\n\\line ")
    for i, r in enumerate(rows):
        first = b"\\'%02x" % (0xE7 - i) if coordinates else r[:1]
        text += first + r[1:] + b"\\line "
    return text + b"/(((((((()\\f1\\line }"


put("fuzz_rtf", "copy", None, board_rtf(b"Chess Merida", start1))
put("fuzz_rtf", "coordinates", None, board_rtf(b"Chess Alpha", start1, 30, True))
put("fuzz_rtf", "import", None,
    b"{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset2 Chess Merida;}}\\f0\\fs45 !\"\"\"\"\"\"\"\"#"
    + b"".join(b"\\line\xe7" + r[1:] for r in start1) + b"\\line/\xe8\xe9\xea\xeb\xec\xed\xee\xef) \n\\par }")
put("fuzz_rtf", "groups", None,
    b"{\\rtf1{\\colortbl;\\red0\\green0\\blue0;}{\\*\\generator x;}\\plain\\fs-20 a\\tab b\\par"
    b"{\\fs99999 c}\\'e7\\{\\}\\\\ \\u8364?}")

# PGN files: the test files, the tags and move forms the import reads.
for path in sorted((data / "pgn-dialog").iterdir()):
    put("fuzz_pgn", path.name, 0x80 | 0x20, head(path))
put("fuzz_pgn", "two.pgn", 0x80, head(files / "two.pgn"))
put("fuzz_pgn", "wcc-excerpt.pgn", 0x80 | 0x20 | 7, head(data / "pgn" / "wcc-excerpt.pgn"))
put("fuzz_pgn", "coordinates.pgn", 0x10 | 0x80,
    b"[Event \"c\"]\n[White \"w\"]\n[Black \"b\"]\n\n1. e2-e4 e7-e5 2. Ng1-f3 Nb8-c6 3. Bf1-c4 Ng8-f6"
    b" 4. O-O Bf8-c5 1-0\n")
put("fuzz_pgn", "fen-game.pgn", 0x80 | 0x20,
    b"[Event \"f\"]\n[White \"w\"]\n[Black \"b\"]\n[SetUp \"1\"]\n[FEN \"4k3/P7/8/8/8/8/8/4K2R w K - 0 1\"]\n\n"
    b"1. a8=Q+ {check} (1. O-O $1) Kd7 2. O-O! ; rest\n% escape\n*\n")
put("fuzz_pgn", "french.pgn", 0x80 | 7,
    b"[Event \"fr\"]\n[White \"w\"]\n[Black \"b\"]\n\n1. e4 e5 2. Cf3 Cc6 3. Fb5 a6 4. Fxc6 dxc6 5. O-O"
    b" Fd6 6. d4 exd4 7. Dxd4 f6 8. Tf1 1/2-1/2\n")

# Move text alone for the interpreter: the [FEN] value on the first line, then the moves.
def move_text(pgn):
    return b"\n".join(l for l in pgn.splitlines() if not l.startswith(b"["))


for path in sorted((data / "pgn-dialog").iterdir()):
    fen = b""
    for l in path.read_bytes().splitlines():
        if l.startswith(b"[FEN \""):
            fen = l[6:l.rfind(b"\"")]
    put("fuzz_pgn_replay", path.name, 0x20, fen + b"\n" + move_text(head(path)))
put("fuzz_pgn_replay", "wcc-excerpt", 0x20 | 0x40, b"\n" + move_text(head(data / "pgn" / "wcc-excerpt.pgn")))
put("fuzz_pgn_replay", "promotion", 0x20, b"4k3/P7/8/8/8/8/8/4K2R w K - 0 1\n1. a8=Q+ {check} (1. O-O $1) Kd7 2. O-O!"
    b" ; rest\n% escape\n2... Kc7 3. Qb8+ *\n")
put("fuzz_pgn_replay", "coordinates", 0x10 | 5, b"\n1. e2-e4 e7-e5 2. Ng1-f3 Nb8-c6 3. Bf1-c4 Ng8-f6 4. O-O 1-0\n")
put("fuzz_pgn_replay", "en-passant", 7 | 0x80, b"\n1. e4 Cf6 2. e5 d5 3. exd6 e.p. cxd6 4. Cf3 Fg4 5. Fe2 Fxf3"
    b" 6. Fxf3 Dc7 7. O-O O-O-O 1/2-1/2\n")


# DIB blocks: a 40-byte header, the palette, the rows bottom-up, padded to four bytes.
def info(width, height, bits, compression=0, colours=0, size_image=0, ppm=3780, header=40):
    return struct.pack("<IiiHHIIiiII", header, width, height, 1, bits, compression, size_image, ppm, ppm,
                       colours, 0) + b"\0" * (header - 40)


def palette(n):
    return b"".join(bytes([i * 7 & 255, i * 13 & 255, i * 29 & 255, 0]) for i in range(n))


def rows(width, height, bits):
    stride = (width * bits + 31) // 32 * 4
    return bytes((x * 37 + y * 11) & 255 for y in range(height) for x in range(stride))


put("fuzz_dib", "24bit", 4, info(5, 3, 24) + rows(5, 3, 24))
put("fuzz_dib", "8bit", 0, info(6, 4, 8, 0, 256) + palette(256) + rows(6, 4, 8))
put("fuzz_dib", "4bit", 2, info(7, 3, 4, 0, 16) + palette(16) + rows(7, 3, 4))
put("fuzz_dib", "1bit", 4, info(9, 2, 1, 0, 2) + palette(2) + rows(9, 2, 1))
put("fuzz_dib", "topdown", 1, info(3, -3, 24) + rows(3, 3, 24))
put("fuzz_dib", "16bit", 0, info(3, 2, 16, 3) + struct.pack("<III", 0xF800, 0x07E0, 0x001F) + rows(3, 2, 16))
put("fuzz_dib", "32bit", 1, info(2, 2, 32) + rows(2, 2, 32))
put("fuzz_dib", "core", 0, struct.pack("<IHHHH", 12, 4, 2, 1, 8) + b"\x10\x20\x30" * 256 + rows(4, 2, 8))
put("fuzz_dib", "rle8", 0, info(4, 3, 8, 1, 16) + palette(16)
    + bytes([3, 5, 1, 7, 0, 0, 0, 3, 1, 2, 3, 0, 4, 9, 0, 0, 0, 2, 1, 0, 2, 9, 0, 1]))
put("fuzz_dib", "rle4", 1, info(7, 1, 4, 2, 16) + palette(16) + bytes([5, 0x12, 0, 3, 0xAB, 0xC0, 0, 1]))
put("fuzz_dib", "resolution", 4, info(2, 2, 24, ppm=0x7FFFFFFF) + rows(2, 2, 24))
