#include "BoardText.h"

#include "BoardLetters.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace BoardText {

namespace {
const char* BottomFrame(bool family2, bool berlin)
{
    if (!family2) return "/(((((((()";
    return berlin ? "7888888889" : "6777777778";
}
}

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
        if (slot.type < MarkSquare1 || slot.from < 1 || slot.from > 64) continue;
        int row = slot.from / 8, column = slot.from % 8;
        if (column == 0) {
            column = 8;
            row -= 1;
        }
        char& cell = rows[row][column];
        if (cell != ' ' && cell != '+') continue;
        bool odd = (row + column) % 2 == 1;
        cell = odd ? (slot.type == MarkSquare1 ? '&' : '\'') : (slot.type == MarkSquare1 ? ',' : '-');
    }
    return rows;
}

std::string PlainText(const DiagramRecord& record, bool family2, bool berlin)
{
    std::string text = family2 ? "1222222223" : "!\"\"\"\"\"\"\"\"#";
    text += "\r\n";
    for (const FontRow& row : record.board) {
        text.append(row.data(), strnlen(row.data(), 10));
        text += '\n';
    }
    text += BottomFrame(family2, berlin);
    return text;
}

int CopyHalfPoints(int squareSize, float copyFontSize)
{
    if (copyFontSize == 0.0f) return squareSize + squareSize / 2 - squareSize / 10;
    return 2 * static_cast<int>(copyFontSize);
}

std::string Rtf(const FontBoard& rows, const RtfOptions& o)
{
    const bool fairyText = !o.pictureCoordinates && o.fontFace == "Varnok Fairy";
    const bool coordinates = o.pictureCoordinates && o.fontFace != "Chess Berlin";
    const bool berlin = o.fontFace == "Chess Berlin";
    auto byte = [](std::string& out, unsigned char c) {
        if (c >= 0x80) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    };

    std::string rtf
        = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset";
    rtf += o.fontIndex >= 3 ? "2 " : "0 ";
    rtf += o.fontFace;
    rtf += ";}{\\f1\\fswiss\\fcharset0 Arial;}}\\viewkind4\\uc1\\pard\\f0\\fs";
    rtf += std::to_string(o.halfPoints) + " ";
    if (!o.withoutBorder) {
        if (o.family2)
            rtf += "1222222223\r\n";
        else if (fairyText)
            rtf += "1\"\"\"\"\"\"\"\"2";
        else
            rtf += "!\"\"\"\"\"\"\"\"#\r\n";
        rtf += "\\line ";
    }
    const unsigned char rankBase = o.family2 ? 0xC0 : 0xE0;
    for (int r = 0; r < 8; ++r) {
        const FontRow& row = rows[r];
        size_t length = strnlen(row.data(), 11);
        std::string line;
        unsigned char first = length ? static_cast<unsigned char>(row[0]) : 0;
        if (coordinates) first = static_cast<unsigned char>(o.flipped ? rankBase + r : rankBase + 7 - r);
        if (fairyText) first = 'z';
        byte(line, first);
        for (size_t i = 1; i < length; ++i) {
            unsigned char c = static_cast<unsigned char>(row[i]);
            if (fairyText && c == '%') c = 'z';
            byte(line, c);
        }
        if (!o.withoutBorder) {
            rtf += line + "\\line ";
            continue;
        }
        // Without the border only the eight squares are written.
        std::string squares;
        for (int i = 1; i <= 8; ++i) byte(squares, static_cast<unsigned char>(row[i]));
        rtf += squares;
        if (r < 7) rtf += "\\line ";
    }
    if (o.withoutBorder) {
        rtf += "\\f1}";
        return rtf;
    }
    if (o.family2) {
        if (berlin)
            rtf += "7888888889";
        else if (!o.pictureCoordinates)
            rtf += "6777777778";
        else {
            rtf += '6';
            for (int i = 0; i < 8; ++i) rtf += static_cast<char>(o.flipped ? 0xCF - i : 0xC8 + i);
            rtf += '8';
        }
    } else if (fairyText) {
        rtf += "3((((((((4";
    } else if (o.pictureCoordinates) {
        rtf += '/';
        for (int i = 0; i < 8; ++i) rtf += static_cast<char>(o.flipped ? 0xEF - i : 0xE8 + i);
        rtf += ')';
    } else {
        rtf += "/(((((((()";
    }
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
    const std::string_view top = family2 ? "1222222223" : "!\"\"\"\"\"\"\"\"#";
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
