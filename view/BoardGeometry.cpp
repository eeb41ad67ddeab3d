#include "BoardGeometry.h"

#include <cmath>
#include <cstring>
#include <numbers>

using namespace Win32;

namespace BoardGeometry {

RECT CellRect(const RECT& board, int sq, int column, int row)
{
    const int left = board.left + column * sq, top = board.top + row * sq;
    return { left, top, left + sq, top + sq };
}

POINT SquareCentre(const RECT& board, int sq, int square)
{
    const Square shown = Square::FromMarkNumber(square);
    return { board.left + shown.Cell() * sq + sq / 2, board.top + shown.Row() * sq + sq / 2 };
}

namespace {
bool OnBoard(int square)
{
    return square >= 1 && square <= 64;
}
} // namespace

bool IsNumberMark(int type)
{
    return type >= '0' && type <= 0x3D;
}

bool IsDrawableArrow(const MarkSlot& slot)
{
    return OnBoard(slot.from) && OnBoard(slot.to) && slot.from != slot.to && slot.type >= MarkGreen
        && slot.type <= MarkDoubleStep;
}

bool IsDrawableSquareMark(const MarkSlot& slot)
{
    return OnBoard(slot.from) && slot.from == slot.to
        && (slot.type == MarkSquare1 || slot.type == MarkSquare2 || IsNumberMark(slot.type));
}

bool IsDrawableSquareColour(int code)
{
    return code >= MarkGreen && code <= MarkBlue;
}

XFORM ArrowShape::Transform() const
{
    XFORM form;
    if (angle == 0) return form;
    const double r = angle / 180 * std::numbers::pi;
    double c = std::cos(r), s = std::sin(r);
    if (angle == 90 || angle == 180 || angle == 270) {
        // A quarter turn is exact: the turned arrow's edges lie on whole pixels, as an upright one's do.
        c = std::round(c);
        s = std::round(s);
    }
    const double x1 = tail.x, y1 = tail.y;
    form.eM11 = float(c);
    form.eM12 = float(s);
    form.eM21 = float(-s);
    form.eM22 = float(c);
    form.eDx = float(x1 - x1 * c + y1 * s);
    form.eDy = float(y1 - y1 * c - x1 * s);
    return form;
}

std::array<POINT, 7> ArrowShape::TurnedPoints() const
{
    XFORM f = Transform();
    std::array<POINT, 7> turned;
    for (size_t i = 0; i < points.size(); ++i) {
        double x = points[i].x, y = points[i].y;
        turned[i] = { int(std::lround(x * f.eM11 + y * f.eM21 + f.eDx)),
            int(std::lround(x * f.eM12 + y * f.eM22 + f.eDy)) };
    }
    return turned;
}

ArrowProportions ScreenArrow(int sq)
{
    const int w = sq / 20 + 1;
    return { w, 4 * w, 2 * w + w / 2 };
}

ArrowProportions PrintedArrow(int sq)
{
    const int w = sq / 11;
    return { w, sq / 4, sq / 9 + w };
}

ArrowShape ArrowBetween(
    POINT from, POINT to, int sq, bool fromOccupied, bool toOccupied, const ArrowProportions& size)
{
    int x1 = from.x, y1 = from.y;
    const int x2 = to.x, y2 = to.y;
    ArrowShape arrow;

    const int dx = x1 - x2, dy = y1 - y2;
    double angle = std::atan2(double(dy), double(dx)) / std::numbers::pi * 180;
    if (angle < 0) angle += 360;
    angle = angle >= 90 ? angle - 90 : angle + 270;

    double length = std::sqrt(double(dx) * dx + double(dy) * dy);
    if (toOccupied) length -= sq / 4;
    if (fromOccupied) {
        // The tail starts off the piece: a quarter square toward the target.
        const int toward = x2 > x1 ? sq / 4 : -(sq / 4);
        if (y1 == y2) {
            length -= sq / 4;
            x1 += toward;
        } else {
            y1 += y1 > y2 ? -(sq / 4) : sq / 4;
            length -= sq / 4;
            if (x1 != x2) x1 += toward;
            length -= sq / 8;
        }
    }
    arrow.length = length;

    const int tip = y1 - int(length), head = tip + size.headLength;
    arrow.points = { POINT { x1 + size.halfShaft, y1 }, POINT { x1 + size.halfShaft, head },
        POINT { x1 + size.halfHead, head }, POINT { x1, tip }, POINT { x1 - size.halfHead, head },
        POINT { x1 - size.halfShaft, head }, POINT { x1 - size.halfShaft, y1 } };
    arrow.tail = { x1, y1 };
    arrow.angle = angle;
    return arrow;
}

ArrowShape ArrowPolygon(const RECT& board, int sq, int from, int to, bool fromOccupied, bool toOccupied)
{
    return ArrowBetween(SquareCentre(board, sq, from), SquareCentre(board, sq, to), sq, fromOccupied,
        toOccupied, ScreenArrow(sq));
}

RECT MarkerRect(const RECT& board, int sq, int square)
{
    const Square shown = Square::FromMarkNumber(square);
    RECT r;
    r.left = board.left + shown.Cell() * sq + sq / 3;
    r.right = r.left + sq / 3;
    r.bottom = board.top + (shown.Row() + 1) * sq - sq / 3;
    r.top = r.bottom - sq / 3;
    return r;
}

POINT NumberMarkOrigin(const RECT& board, int sq, int square)
{
    RECT r = MarkerRect(board, sq, square);
    return { r.left + sq / 14, r.top - sq / 10 };
}

char NumberMarkChar(int type)
{
    static constexpr char digits[] = "00123456789abcd";
    const int index = type - 47;
    return index >= 0 && index < int(sizeof digits) - 1 ? digits[index] : '?';
}

bool IsBlackPieceLetter(char letter, bool family2)
{
    if (letter == 0) return false;
    const char lower = char(std::tolower(static_cast<unsigned char>(letter)));
    return std::strchr(family2 ? "tjnwlo" : "tmvwlo", lower) != nullptr;
}

POINT PaletteCellOrigin(const RECT& board, const RECT& palette, int sq, int column, int row)
{
    return { palette.left + column * sq, board.top + (row - 1) * sq };
}

std::string PaletteRowText(int row, bool family2, bool numbers)
{
    static const char* const pieces1[]
        = { "!\"\"#", "$Po%", "$nM%", "$Bv%", "$rT%", "$Qw%", "$kL%", "$+ %", "/(()" };
    static const char* const pieces2[]
        = { "1223", "4Po5", "4hJ5", "4Bn5", "4rT5", "4Qw5", "4kL5", "4+ 5", "6778" };
    static const char* const numbers1[]
        = { "!\"\"#", "$ +%", "$+ %", "$ +%", "$+ %", "$ +%", "$+ %", "$ +%", "/(()" };
    static const char* const numbers2[]
        = { "1223", "4 +5", "4+ 5", "4 +5", "4+ 5", "4 +5", "4+ 5", "4 +5", "6778" };
    if (row < 0 || row >= PaletteDrawRows) return {};
    if (numbers) return family2 ? numbers2[row] : numbers1[row];
    return family2 ? pieces2[row] : pieces1[row];
}

std::string PaletteNumberChars(int row)
{
    static const char* const chars[] = { "01", "23", "45", "67", "89", "ab", "cd" };
    if (row < 1 || row > 7) return {};
    return chars[row - 1];
}

int PaletteCellNumber(int row, int column)
{
    std::string chars = PaletteNumberChars(row);
    if (chars.empty() || column < 1 || column > 2) return 0;
    const char c = chars[size_t(column - 1)];
    return c > '9' ? c - 0x27 : c;
}

POINT PaletteNumberOrigin(const RECT& board, const RECT& palette, int sq, int column, int row)
{
    return { palette.left + column * sq + sq / 3, board.top + (row - 1) * sq + sq / 4 };
}

POINT RankLabelOrigin(const RECT& board, int sq, int index)
{
    return { board.left + sq / 2, board.top + index * sq + sq / 3 };
}

POINT FileLetterOrigin(const RECT& board, int sq, int index)
{
    return { board.left + (index + 1) * sq + sq / 2 - sq / 11, board.bottom - sq + sq / 4 };
}

std::string LabelText(int number, const DiagramRecord& record, bool hideText)
{
    std::string head = "Diag." + std::to_string(number) + " : ";
    if (hideText) {
        std::string state = record.blackToMove ? "b " : "w ";
        if (record.castleWhiteShort) state += 'K';
        if (record.castleWhiteLong) state += 'Q';
        if (record.castleBlackShort) state += 'k';
        if (record.castleBlackLong) state += 'q';
        return head + state;
    }
    std::string label = head + record.displayComment;
    if (auto at = label.find("c0 \""); at != std::string::npos) label.erase(at, 3);
    return label;
}

void RecordCell(bool flipped, int row, int cell, int& recordRow, int& recordCell)
{
    if (flipped && cell >= 1 && cell <= 8) {
        recordRow = 7 - row;
        recordCell = 9 - cell;
    } else {
        recordRow = row;
        recordCell = cell;
    }
}

} // namespace BoardGeometry
