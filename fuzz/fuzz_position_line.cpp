// Position lines one by one, as File Open hands them to the line reader, and the same text as a FEN
// paste; every record made is written back as the File commands, the status bar and Copy do.
//
// Options byte: bit 0 fairy mode, bit 1 legality check, bit 2 letter family 2, bits 3-4 the list's
// extension (bnx, epd, fen, txt), bit 5 a start number of 5.

#include "FuzzSupport.h"

#include "positions/BoardLetters.h"
#include "positions/EpdOperations.h"
#include "positions/FenLine.h"
#include "positions/PositionChecker.h"

#include <string>

namespace {

void writeBack(DiagramList& list, const DiagramRecord& record, bool fairy)
{
    std::string line = FenLine::BuildFenText(list, record, false, fairy);
    FenLine::AppendEpdOperations(line, list, record, true);
    std::string display = FenLine::BuildFenText(list, record, true, fairy);
    FenLine::AppendEpdOperations(display, list, record, false);
    FenLine::CheckRecord(list, record, fairy);
    // What the writer makes of a line, the reader reads as a line again.
    FUZZ_CHECK(line.find('\n') == std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const bool fairy = input.flag(0);
    const bool legal = input.flag(1);
    const bool family2 = input.flag(2);

    DiagramList list;
    list.m_strExtension = PositionExtensions[input.pick(3)];
    list.m_bLetterFamily2 = family2;
    list.EmptyBoardTemplate = BoardLetters::EmptyBoard(family2);

    std::string_view text = input.text;
    int made = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
        text.remove_prefix(line.size());
        LegalityCode code = FenLine::ParsePositionLine(list, line, fairy, legal);
        if (code == Legality::Ok) {
            ++made;
            list.ResetTemplateRows();
        }
        CheckListLinks(list, made);
    }
    list.m_nLastIndex = made - 1;
    if (input.flag(5) && made > 0) list.m_nStartNumber = 5;
    for (const DiagramRecord* r = list.m_pFirstDiagram; r; r = r->next) writeBack(list, *r, fairy);

    // The whole text as a paste: checked first when the check is on, then read into a scratch board.
    PositionChecker checker;
    bool rejected = legal && checker.CheckFenPosition(input.text) >= 1;
    if (!rejected && list.m_pFirstDiagram) {
        DiagramRecord scratch;
        list.ResetDiagram(&scratch, 0);
        if (FenLine::ParseFen(list, scratch, *list.m_pFirstDiagram, input.text)) {
            for (int r = 0; r < 8; ++r) list.m_pFirstDiagram->board[r] = scratch.board[r];
            writeBack(list, *list.m_pFirstDiagram, fairy);
        }
    }

    // The operations on their own, as the data dialog sorts them.
    EpdOperations ops = ParseEpdOperations(input.text, input.flag(6));
    std::string escaped = EscapeCommentForFile(ops.comment, input.flag(6));
    FUZZ_CHECK(escaped.find('"') == std::string::npos);
    UnescapeComment(escaped);
    FenLine::CounterDigits(input.text);
    return 0;
}
