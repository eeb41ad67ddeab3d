#pragma once
// Field by field, what a list read back from a file lost of the list that was written: the tests'
// own account of each KindLosses part, and a failure for anything no part names.
#include "positions/DiagramList.h"
#include "positions/KindLosses.h"
#include "positions/MarkEditing.h"
#include "tests/support/LineTexts.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ListDifferences {

// A list as the user left it: the records (their links aside), the page texts, the start number.
struct ListState {
    std::vector<DiagramRecord> records;
    std::vector<std::array<std::string, 3>> pages;
    int startNumber = 1;
};

inline ListState StateOf(const DiagramList& list)
{
    ListState s;
    for (const DiagramRecord* r = list.m_pFirstDiagram; r; r = r->next) s.records.push_back(*r);
    for (const PrintHeaderNode* p = list.m_pFirstPage; p; p = p->next)
        s.pages.push_back({ p->title, p->topText, p->infoText });
    s.startNumber = list.m_nStartNumber;
    return s;
}

inline std::vector<MarkSlot> UserMarks(const DiagramRecord& r)
{
    std::vector<MarkSlot> used;
    for (const MarkSlot& m : r.marks)
        if (m.from != 0 && m.type != MarkDoubleStep) used.push_back(m);
    return used;
}

// Page texts up to the last page that has any.
inline std::vector<std::array<std::string, 3>> TextsOfPages(const ListState& list)
{
    std::vector<std::array<std::string, 3>> pages = list.pages;
    while (!pages.empty() && pages.back() == std::array<std::string, 3> {}) pages.pop_back();
    return pages;
}

using LineTexts::BreaksAsBlanks;
using LineTexts::Counter;

// The parts in which `back` differs from `written`. What every kind keeps (the number of diagrams, the
// pieces of squares without a turned piece, side to move, castling, en passant) is expected equal.
inline unsigned Lost(const ListState& written, const ListState& back)
{
    using namespace KindLosses;
    unsigned lost = 0;
    if (written.startNumber != back.startNumber) lost |= StartNumber;
    if (TextsOfPages(written) != TextsOfPages(back)) lost |= PageTexts;
    if (written.records.size() != back.records.size()) {
        ADD_FAILURE() << "the file gives " << back.records.size() << " diagrams of " << written.records.size();
        return lost;
    }
    for (size_t i = 0; i < written.records.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "diagram " << i + 1);
        const DiagramRecord* w = &written.records[i];
        const DiagramRecord* b = &back.records[i];
        // A turned piece may lose its turn, never the piece: it comes back standing upright.
        const FontBoard upright = MarkEditing::UprightBoard(*w);
        for (int row = 0; row < 8; ++row)
            for (int cell = 1; cell <= 8; ++cell) {
                const char got = b->board[row][cell];
                if (got == w->board[row][cell]) continue;
                EXPECT_EQ(got, upright[row][cell]) << "row " << row << " cell " << cell;
                lost |= TurnedPieces;
            }
        EXPECT_EQ(b->blackToMove != 0, w->blackToMove != 0);
        EXPECT_EQ(b->castleWhiteShort, w->castleWhiteShort);
        EXPECT_EQ(b->castleWhiteLong, w->castleWhiteLong);
        EXPECT_EQ(b->castleBlackShort, w->castleBlackShort);
        EXPECT_EQ(b->castleBlackLong, w->castleBlackLong);
        EXPECT_EQ(b->enPassantFile, w->enPassantFile);
        if (UserMarks(*w) != UserMarks(*b)) lost |= BoardMarks;
        if (w->colours != b->colours) lost |= ColouredSquares;
        if (w->flipped != b->flipped) lost |= Flip;
        if (w->rotations != b->rotations) lost |= TurnedPieces;
        if (w->comment != b->comment || (!w->comment.empty() && w->commentOpcode != b->commentOpcode))
            lost |= !b->comment.empty() && BreaksAsBlanks(w->comment) == b->comment ? CommentLineBreaks
                                                                                    : Comments;
        if (w->epdOpsBefore != b->epdOpsBefore || w->epdOpsMiddle != b->epdOpsMiddle
            || w->epdOpsAfter != b->epdOpsAfter)
            lost |= Operations;
        if (Counter(w->halfmoveClock, "0") != Counter(b->halfmoveClock, "0")
            || Counter(w->fullmoveNumber, "1") != Counter(b->fullmoveNumber, "1"))
            lost |= MoveNumbers;
    }
    return lost;
}

} // namespace ListDifferences
