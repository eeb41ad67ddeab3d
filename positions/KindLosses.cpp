#include "KindLosses.h"

namespace KindLosses {

namespace {

// Everything the list holds beyond the positions themselves.
unsigned held(const DiagramList& list)
{
    unsigned parts = 0;
    if (list.m_nStartNumber != 1) parts |= StartNumber;
    for (const PrintHeaderNode* page = list.m_pFirstPage; page; page = page->next)
        if (!page->title.empty() || !page->topText.empty() || !page->infoText.empty()) parts |= PageTexts;
    for (const DiagramRecord* r = list.m_pFirstDiagram; r; r = r->next) {
        for (const MarkSlot& slot : r->marks)
            if (slot.from != 0 && slot.type != MarkDoubleStep) parts |= BoardMarks;
        if (r->colours.Any()) parts |= ColouredSquares;
        if (r->flipped) parts |= Flip;
        if (r->rotations.Any()) parts |= TurnedPieces;
        if (!r->comment.empty()) parts |= Comments;
        if (r->comment.find_first_of("\r\n") != std::string::npos) parts |= CommentLineBreaks;
        if (!r->epdOpsBefore.empty() || !r->epdOpsMiddle.empty() || !r->epdOpsAfter.empty())
            parts |= Operations;
        // An empty counter is written as its default, so only other values are the user's own.
        if ((!r->halfmoveClock.empty() && r->halfmoveClock != "0")
            || (!r->fullmoveNumber.empty() && r->fullmoveNumber != "1"))
            parts |= MoveNumbers;
    }
    return parts;
}

unsigned kept(const DiagramList& list, PositionFile::Kind kind)
{
    using PositionFile::Kind;
    constexpr unsigned everything = (MoveNumbers << 1) - 1;
    switch (kind) {
    case Kind::Bnx:
        return everything;
    case Kind::Fen:
        return MoveNumbers;
    case Kind::Pgn:
        return 0;
    case Kind::Epd:
    case Kind::Text:
    case Kind::Other:
        // An .epd comment stays on its line by turning line breaks into blanks; the others escape them.
        return Comments | Operations | MoveNumbers | (kind == Kind::Epd ? 0u : unsigned(CommentLineBreaks));
    }
    return 0;
}

} // namespace

std::vector<Part> PartsInOrder(unsigned parts)
{
    std::vector<Part> out;
    for (unsigned bit = 1; bit <= MoveNumbers; bit <<= 1)
        if (parts & bit) out.push_back(static_cast<Part>(bit));
    return out;
}

unsigned Lost(const DiagramList& list, PositionFile::Kind kind)
{
    unsigned lost = held(list) & ~kept(list, kind);
    // Comments that go altogether are named once.
    if (lost & Comments) lost &= ~unsigned(CommentLineBreaks);
    return lost;
}

} // namespace KindLosses
