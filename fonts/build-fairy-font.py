#!/usr/bin/python3
"""Builds the program's fairy-chess font "Varnok Fairy" from the outlines of Chess Merida.

usage: build-fairy-font.py <font dir holding Chess Merida> <output .ttf>

The font keeps every glyph of Chess Merida at the same byte (the byte-encoded Macintosh Roman map is
what the program draws with), and adds what fairy diagrams need:
  - pieces on dark squares turned a quarter turn: the dark-square forms of "BKLMNOPQRTVW" turned
    counter-clockwise at "ACDEFGHIJSUX", turned clockwise at "YZacdefghijs"; the square's hatching stays
    as it is, only the piece turns;
  - the frame letters of fairy copies: corners at '1', '2' (top) and '3', '4' (bottom), the right border
    at 'z', drawn like the usual frame's corners and border;
  - the square markers that copies write into empty squares, drawn as the screen draws them over the
    middle third of the square: a filled circle at '&' (light square) and ',' (dark square), a cross of
    strokes an eighth of the square wide at "'" (light) and '-' (dark).
Runs with Debian's python3-fontforge.
"""

import glob
import math
import os
import struct
import sys

import fontforge
import psMat

FAMILY = "Varnok Fairy"
DARK_PIECES = "BKLMNOPQRTVW"
TURNED_LEFT = "ACDEFGHIJSUX"  # counter-clockwise, rotation mark 4
TURNED_RIGHT = "YZacdefghijs"  # clockwise, rotation mark 5
FAIRY_FRAME = {"1": "!", "2": "#", "3": "/", "4": ")", "z": "%"}
# Square markers: byte -> (shape, on a dark square).
MARKERS = {"&": ("circle", False), ",": ("circle", True), "'": ("cross", False), "-": ("cross", True)}
# The hatching of a dark square is cut away this far around a piece (font units), as in the source font.
HALO = 64


def sfnt_tables(data):
    count = struct.unpack(">H", data[4:6])[0]
    tables = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack(">4sIII", data[12 + 16 * i : 28 + 16 * i])
        tables[tag] = (offset, length)
    return tables


def family_name(path):
    """The family name of a TrueType file, from its name table (None when unreadable)."""
    try:
        data = open(path, "rb").read()
        offset, _ = sfnt_tables(data)[b"name"]
        _, count, strings = struct.unpack(">HHH", data[offset : offset + 6])
        for i in range(count):
            platform, encoding, _, name_id, length, start = struct.unpack(
                ">HHHHHH", data[offset + 6 + 12 * i : offset + 18 + 12 * i]
            )
            if name_id != 1:
                continue
            raw = data[offset + strings + start : offset + strings + start + length]
            return raw.decode("utf-16-be" if platform in (0, 3) else "mac_roman", "replace")
    except (OSError, KeyError, struct.error):
        return None
    return None


def mac_roman_map(path):
    """Byte -> glyph id of the font's Macintosh Roman character map."""
    data = open(path, "rb").read()
    offset, _ = sfnt_tables(data)[b"cmap"]
    count = struct.unpack(">H", data[offset + 2 : offset + 4])[0]
    for i in range(count):
        platform, encoding, sub = struct.unpack(">HHI", data[offset + 4 + 8 * i : offset + 12 + 8 * i])
        if (platform, encoding) != (1, 0):
            continue
        start = offset + sub
        form = struct.unpack(">H", data[start : start + 2])[0]
        if form == 0:
            return {b: data[start + 6 + b] for b in range(256)}
        if form == 6:
            first, entries = struct.unpack(">HH", data[start + 6 : start + 10])
            return {
                first + k: struct.unpack(">H", data[start + 10 + 2 * k : start + 12 + 2 * k])[0]
                for k in range(entries)
            }
        raise SystemExit("unexpected Macintosh character map format %d in %s" % (form, path))
    raise SystemExit("no Macintosh Roman character map in " + path)


def find_merida(folder):
    named = os.path.join(folder, "merida.ttf")
    if os.path.exists(named) and family_name(named) == "Chess Merida":
        return named
    for path in sorted(glob.glob(os.path.join(folder, "*.ttf"))):
        if family_name(path) == "Chess Merida":
            return path
    raise SystemExit("Chess Merida not found in " + folder)


def polygon(contour):
    return [(p.x, p.y) for p in contour]


def inside(point, poly):
    x, y = point
    result = False
    j = len(poly) - 1
    for i in range(len(poly)):
        xi, yi = poly[i]
        xj, yj = poly[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


class Builder:
    def __init__(self, source):
        self.font = fontforge.open(source)
        self.scratch = 0

    def temp(self, layer=None):
        self.scratch += 1
        glyph = self.font.createChar(-1, "build.tmp%d" % self.scratch)
        glyph.clear()
        if layer is not None:
            glyph.foreground = layer
        glyph.width = 2048
        return glyph

    def silhouette(self, layer):
        """The filled outline of a piece: its outermost contours, widened by the halo."""
        contours = list(layer)
        polys = [polygon(c) for c in contours]
        outer = fontforge.layer()
        outer.is_quadratic = layer.is_quadratic
        for i, contour in enumerate(contours):
            if not any(inside(polys[i][0], polys[j]) for j in range(len(contours)) if j != i):
                outer += contour.dup()
        shape = self.temp(outer)
        shape.correctDirection()
        ring = self.temp(shape.foreground)
        ring.stroke("circular", 2 * HALO, "round", "round")
        both = shape.foreground
        both += ring.foreground
        shape.foreground = both
        shape.removeOverlap()
        shape.correctDirection()
        return shape.foreground

    def marker(self, shape, square):
        """A square marker over the middle third of the square (x0, y0, x1, y1), as a glyph."""
        x0, y0, x1, y1 = square
        side = min(x1 - x0, y1 - y0)
        cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
        layer = fontforge.layer()
        if shape == "circle":
            circle = fontforge.unitShape(0)
            circle.transform(psMat.compose(psMat.scale(side / 6.0), psMat.translate(cx, cy)))
            layer += circle
        else:
            # Two strokes from corner to corner of the middle third, with square ends.
            half_length = side / 6.0 * math.sqrt(2) + side / 16.0
            half_width = side / 16.0
            for angle in (math.pi / 4, -math.pi / 4):
                stroke = fontforge.contour()
                for x, y in ((-half_length, -half_width), (half_length, -half_width),
                             (half_length, half_width), (-half_length, half_width)):
                    stroke += fontforge.point(x, y)
                stroke.closed = True
                stroke.transform(psMat.compose(psMat.rotate(angle), psMat.translate(cx, cy)))
                layer += stroke
        glyph = self.temp(layer)
        glyph.removeOverlap()
        glyph.correctDirection()
        return glyph

    def dark_square(self, light_piece, matrix):
        """A dark square with the piece of the light-square glyph turned by matrix over upright hatching."""
        piece = light_piece.foreground
        piece.transform(matrix)
        cut = self.silhouette(piece)
        hatching = self.font["plus"].foreground if "plus" in self.font else None
        if hatching is None:
            raise SystemExit("the dark square glyph is missing")
        # The layer operation keeps what the argument covers outside the receiver: hatching minus piece.
        result = cut.dup()
        result.exclude(hatching)
        box = result.boundingBox()
        full = hatching.boundingBox()
        if box[2] - box[0] < 0.9 * (full[2] - full[0]) or box[3] - box[1] < 0.9 * (full[3] - full[1]):
            raise SystemExit("cutting the hatching around a piece failed")
        result += piece
        return result


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    source = find_merida(sys.argv[1])
    out = sys.argv[2]
    cmap = mac_roman_map(source)
    b = Builder(source)
    font = b.font
    by_gid = {g.originalgid: g for g in font.glyphs()}

    def glyph_at(byte):
        gid = cmap.get(ord(byte) if isinstance(byte, str) else byte, 0)
        glyph = by_gid.get(gid)
        if not gid or glyph is None:
            raise SystemExit("Chess Merida has no glyph at byte %r" % byte)
        return glyph

    # Outlines per byte: Merida's own, then the fairy additions.
    outlines = {}
    widths = {}
    for byte in range(0x20, 0x100):
        gid = cmap.get(byte, 0)
        if gid and gid in by_gid:
            outlines[byte] = by_gid[gid].foreground
            widths[byte] = by_gid[gid].width
    square = font["plus"].boundingBox()
    cx, cy = (square[0] + square[2]) / 2.0, (square[1] + square[3]) / 2.0

    def turn(angle):
        return psMat.compose(
            psMat.compose(psMat.translate(-cx, -cy), psMat.rotate(angle)), psMat.translate(cx, cy)
        )

    for i, dark in enumerate(DARK_PIECES):
        light = glyph_at(dark.lower())
        outlines[ord(TURNED_LEFT[i])] = b.dark_square(light, turn(math.pi / 2))
        outlines[ord(TURNED_RIGHT[i])] = b.dark_square(light, turn(-math.pi / 2))
        widths[ord(TURNED_LEFT[i])] = widths[ord(TURNED_RIGHT[i])] = glyph_at(dark).width
    for letter, (shape, dark) in MARKERS.items():
        mark = b.marker(shape, square)
        outlines[ord(letter)] = b.dark_square(mark, psMat.identity()) if dark else mark.foreground
        widths[ord(letter)] = glyph_at("+").width
    for letter, model in FAIRY_FRAME.items():
        outlines[ord(letter)] = glyph_at(model).foreground
        widths[ord(letter)] = glyph_at(model).width

    # A new font with one glyph per byte; its Unicode values are those of the Macintosh Roman bytes, so
    # that both character maps of the output give the same glyph for a byte.
    new = fontforge.font()
    new.encoding = "UnicodeBmp"
    new.em = font.em
    new.is_quadratic = True
    new.familyname = FAMILY
    new.fontname = FAMILY.replace(" ", "")
    new.fullname = FAMILY
    new.weight = "Regular"
    new.version = "1.0"
    new.copyright = "Fairy-chess glyphs for Brennix, made from the outlines of Chess Merida."
    for offset in ("os2_winascent_add", "os2_windescent_add", "os2_typoascent_add", "os2_typodescent_add",
                   "hhea_ascent_add", "hhea_descent_add"):
        setattr(new, offset, False)
    # Glyph cells are exactly one square: the cell is the em, with the baseline at the square's foot.
    new.ascent = font.em
    new.descent = 0
    new.os2_winascent = font.em
    new.os2_windescent = 0
    new.os2_typoascent = font.em
    new.os2_typodescent = 0
    new.os2_typolinegap = 0
    new.hhea_ascent = font.em
    new.hhea_descent = 0
    new.hhea_linegap = 0
    notdef = new.createChar(-1, ".notdef")
    notdef.width = font.em
    for byte in sorted(outlines):
        code = ord(bytes([byte]).decode("mac_roman"))
        glyph = new.createChar(code, fontforge.nameFromUnicode(code))
        glyph.foreground = outlines[byte]
        glyph.width = widths[byte]
    new.selection.all()
    new.round()
    new.generate(out, flags=("opentype",))
    check(out, outlines)


def check(path, outlines):
    """The output must give every byte the glyph built for it through its Macintosh Roman map."""
    cmap = mac_roman_map(path)
    font = fontforge.open(path)
    by_gid = {g.originalgid: g for g in font.glyphs()}
    for byte in outlines:
        glyph = by_gid.get(cmap.get(byte, 0))
        expected = fontforge.nameFromUnicode(ord(bytes([byte]).decode("mac_roman")))
        if glyph is None or glyph.glyphname != expected:
            raise SystemExit("byte 0x%02X of %s does not reach its glyph" % (byte, path))
    if font.familyname != FAMILY:
        raise SystemExit("wrong family name in " + path)


if __name__ == "__main__":
    main()
