// Chess-font text from the clipboard, as Paste reads it after a top border, then the pasted board as the
// next Copy (RTF mode) writes it, read back by the program's own RTF reader.
//
// Options byte: bits 0-1 what goes in front of the text (nothing, the family-1 top border, the family-2
// top border, either border and LF), bit 2 letter family 2, bit 3 fairy mode, bit 4 board coordinates,
// bit 5 flipped, bit 6 without border, bit 7 the fairy face.

#include "FuzzSupport.h"

#include "platform/RtfReader.h"
#include "positions/BoardLetters.h"
#include "positions/BoardText.h"
#include "positions/FenLine.h"

#include <cstring>
#include <string>

namespace {

bool isRtfSyntax(char c)
{
    return c == '{' || c == '}' || c == '\\';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const bool family2 = input.flag(2);
    const bool fairy = input.flag(3);
    std::string text;
    switch (input.pick(0)) {
    case 1:
        text = "!\"\"\"\"\"\"\"\"#\r\n";
        break;
    case 2:
        text = "1222222223\r\n";
        break;
    case 3:
        text = family2 ? "1222222223\n" : "!\"\"\"\"\"\"\"\"#\n";
        break;
    default:
        break;
    }
    text += input.text;

    DiagramList list;
    list.m_bLetterFamily2 = family2;
    list.EmptyBoardTemplate = BoardLetters::EmptyBoard(family2);
    DiagramRecord* current = list.CreateFirstDiagram();
    DiagramRecord scratch;
    list.ResetDiagram(&scratch, 0);
    if (BoardText::ParseBoardText(text, scratch)) return 0; // refused: nothing changes
    for (int r = 0; r < 8; ++r) std::memcpy(current->board[r].data(), scratch.board[r].data(), 10);
    current->flipped = input.flag(5) ? 1 : 0;

    // What every edit runs: the check, the status-bar FEN, the plain copy.
    FenLine::CheckRecord(list, *current, fairy);
    FenLine::BuildFenText(list, *current, true, fairy);
    BoardText::PlainText(*current, family2, false);

    BoardText::RtfOptions o;
    o.fontFace = input.flag(7) ? "Varnok Fairy" : family2 ? "Chess Alpha" : "Chess Merida";
    o.fontIndex = family2 ? 17 : 3;
    o.family2 = family2;
    o.withoutBorder = input.flag(6);
    o.pictureCoordinates = input.flag(4);
    o.flipped = current->flipped != 0;
    o.halfPoints = BoardText::CopyHalfPoints(51, 0.0f);
    const FontBoard rows = BoardText::DisplayRows(*current);
    const std::string rtf = BoardText::Rtf(rows, o);
    BoardText::Rtf(BoardText::OverlaySquareMarkers(rows, *current), o);
    const std::vector<std::string> lines = Rtf::PlainLines(rtf);

    // Bytes that RTF reads as its own syntax are the paste's to refuse; for every other board the copy
    // must read back as the squares it was made of.
    bool plain = true;
    for (const FontRow& row : rows)
        for (int c = 0; c < 10; ++c) plain = plain && !isRtfSyntax(row[static_cast<size_t>(c)]);
    if (!plain) return 0;
    if (o.withoutBorder) {
        FUZZ_CHECK(lines.size() == 8);
        for (int r = 0; r < 8; ++r)
            FUZZ_CHECK(
                lines[static_cast<size_t>(r)] == std::string(rows[static_cast<size_t>(r)].data() + 1, 8));
    } else {
        FUZZ_CHECK(lines.size() == 10);
        for (int r = 0; r < 8; ++r) {
            const FontRow& row = rows[static_cast<size_t>(r)];
            std::string squares(row.data(), strnlen(row.data(), 11));
            if (squares.empty()) squares.assign(1, '\0');
            const std::string& line = lines[static_cast<size_t>(r) + 1];
            FUZZ_CHECK(line.size() == squares.size());
            FUZZ_CHECK(line.compare(1, std::string::npos, squares, 1) == 0);
        }
    }
    return 0;
}
