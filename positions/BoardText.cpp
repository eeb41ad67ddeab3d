#include "BoardText.h"

#include "BoardLetters.h"
#include "Square.h"
#include "Windows1252.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace BoardText {

FontBoard DisplayRows(const DiagramRecord& record)
{
    if (!record.flipped) return record.board;
    FontBoard rows = record.board;
    for (int r = 0; r < 8; ++r)
        for (int c = 1; c <= 8; ++c) rows[r][c] = record.board[7 - r][9 - c];
    return rows;
}

FontBoard OverlaySquareMarkers(const FontBoard& displayRows, const DiagramRecord& record)
{
    FontBoard rows {};
    for (int r = 0; r < 8; ++r) {
        std::memcpy(rows[r].data(), displayRows[r].data(), 10);
        rows[r][10] = 0;
    }
    for (const MarkSlot& slot : record.marks) {
        if ((slot.type != MarkSquare1 && slot.type != MarkSquare2) || slot.from < 1 || slot.from > 64)
            continue;
        // The rows are those on screen: a flipped diagram shows each square in its mirrored place.
        const Square square = record.flipped ? Square::FromMarkNumber(slot.from).Mirrored()
                                             : Square::FromMarkNumber(slot.from);
        const int row = square.Row(), column = square.Cell();
        char& cell = rows[row][column];
        if (cell != ' ' && cell != '+') continue;
        bool odd = (row + column) % 2 == 1;
        cell = odd ? (slot.type == MarkSquare1 ? '&' : '\'') : (slot.type == MarkSquare1 ? ',' : '-');
    }
    return rows;
}

std::string PlainText(const DiagramRecord& record, bool family2, bool berlin)
{
    std::string text = BoardLetters::TopFrameRow(family2) + "\r\n";
    for (const FontRow& row : record.board) {
        text.append(row.data(), strnlen(row.data(), 10));
        text += '\n';
    }
    text += BoardLetters::BottomFrameRow(family2, berlin);
    return text;
}

int CopyHalfPoints(int squareSize, float copyFontSize)
{
    const int size = copyFontSize == 0.0f ? squareSize + squareSize / 2 - squareSize / 10
                                          : 2 * static_cast<int>(copyFontSize);
    return std::min(size, 2 * MaxCopyPoints);
}

std::string Rtf(const FontBoard& rows, const RtfOptions& o)
{
    // The fairy face draws its frame with the usual letters, as the screen does; its frame letters of
    // its own (corners at 1 to 4, the right border at 'z') are not written: 'z' in front of a row would
    // put the right border on the left.
    const bool berlin = BoardLetters::IsBerlinFace(o.fontFace);
    const bool coordinates = o.pictureCoordinates && !berlin;
    // A byte as the text of the copy: escaped when it is above 0x7F (raw in the frame rows, which are
    // written as they stand), and given as the character of its glyph when the font's Unicode map holds
    // that glyph at another character than the byte's own, with the byte after it for readers without
    // Unicode. RTF's own characters are escaped, as a pasted text may bring them in.
    auto put = [&o](std::string& out, unsigned char c, bool raw = false) {
        const uint32_t code = o.fontMap == RtfFontMap::Unicode ? o.codePoints[c] : 0;
        const bool escape = code != 0 && code != Windows1252::CodePoint(c);
        if (escape) out += "\\u" + std::to_string(code > 0x7FFF ? int(code) - 0x10000 : int(code));
        if (c >= 0x80 && (escape || !raw)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", c);
            out += hex;
            return;
        }
        if (escape) out += ' ';
        if (c == '\\' || c == '{' || c == '}') out += '\\';
        out += static_cast<char>(c);
    };
    auto putAll = [&put](std::string& out, std::string_view text) {
        for (char c : text) put(out, static_cast<unsigned char>(c), true);
    };

    std::string rtf
        = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset";
    bool symbol = o.fontIndex >= 3;
    if (o.fontMap != RtfFontMap::Unknown) symbol = o.fontMap == RtfFontMap::Symbol;
    rtf += symbol ? "2 " : "0 ";
    rtf += o.fontFace;
    rtf += ";}{\\f1\\fswiss\\fcharset0 Arial;}}\\viewkind4\\uc1\\pard\\f0\\fs";
    rtf += std::to_string(o.halfPoints) + " ";
    if (!o.withoutBorder) {
        putAll(rtf, BoardLetters::TopFrameRow(o.family2));
        rtf += "\r\n\\line ";
    }
    const unsigned char rankBase = o.family2 ? 0xC0 : 0xE0;
    for (int r = 0; r < 8; ++r) {
        const FontRow& row = rows[r];
        size_t length = strnlen(row.data(), 11);
        if (!o.withoutBorder) {
            unsigned char first = length ? static_cast<unsigned char>(row[0]) : 0;
            if (coordinates) first = static_cast<unsigned char>(o.flipped ? rankBase + r : rankBase + 7 - r);
            if (first) put(rtf, first);
            for (size_t i = 1; i < length; ++i) put(rtf, static_cast<unsigned char>(row[i]));
            rtf += "\\line ";
            continue;
        }
        // Without the border only the eight squares are written.
        for (size_t i = 1; i <= 8 && i < length; ++i) put(rtf, static_cast<unsigned char>(row[i]));
        if (r < 7) rtf += "\\line ";
    }
    if (o.withoutBorder) {
        rtf += "\\f1}";
        return rtf;
    }
    putAll(rtf, BoardLetters::BottomFrameRow(o.family2, berlin, o.pictureCoordinates, o.flipped));
    rtf += "\\f1\\line }";
    return rtf;
}

bool ParseBoardText(std::string_view text, DiagramRecord& record, bool family2)
{
    // Text from elsewhere ends its lines in CR LF or in LF alone; a row is the ten letters a copy writes.
    size_t pos = 0;
    auto lineEnd = [&]() {
        if (text.substr(pos).starts_with("\r\n")) {
            pos += 2;
            return true;
        }
        if (text.substr(pos).starts_with("\n")) {
            pos += 1;
            return true;
        }
        return false;
    };
    const std::string top = BoardLetters::TopFrameRow(family2);
    if (!text.starts_with(top)) return true;
    pos = top.size();
    if (!lineEnd()) return true;

    FontBoard board {};
    for (int r = 0; r < 8; ++r) {
        if (text.size() - pos < 10) return true;
        const std::string_view row = text.substr(pos, 10);
        pos += 10;
        if (!lineEnd() && !(r == 7 && pos == text.size())) return true;
        if (row[0] != BoardLetters::LeftBorder(family2) || row[9] != BoardLetters::RightBorder(family2))
            return true;
        board[r][0] = row[0];
        board[r][9] = row[9];
        for (int c = 1; c <= 8; ++c) {
            const char letter = row[static_cast<size_t>(c)];
            const bool light = BoardLetters::IsLightSquare(r, c);
            if (BoardLetters::IsEmptySquareLetter(letter)) {
                board[r][c] = BoardLetters::EmptySquare(r, c);
                continue;
            }
            if (!BoardLetters::FenLetterForFont(letter, family2)) return true;
            // The case of a letter is the colour of its square: a hand-typed board gets it right here.
            const char lightLetter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
            board[r][c] = BoardLetters::OnSquare(lightLetter, light);
        }
    }
    record.board = board;
    return false;
}

} // namespace BoardText
