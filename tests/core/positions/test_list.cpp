#include "positions/BoardLetters.h"
#include "positions/DiagramList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Row(const FontBoard& board, int row) { return std::string(board[row].data()); }

int PageIndex(const DiagramList& list, const PrintHeaderNode* page)
{
    int k = 1;
    for (PrintHeaderNode* p = list.m_pFirstPage; p; p = p->next, ++k)
        if (p == page) return k;
    return 0;
}

int CountPages(const DiagramList& list)
{
    int n = 0;
    for (PrintHeaderNode* p = list.m_pFirstPage; p; p = p->next) ++n;
    return n;
}

// A list as File > New leaves it: one page node, one empty diagram.
struct FreshList : DiagramList {
    FreshList()
    {
        AddHeaderNode(false, false);
        m_pCurrentPage = m_pFirstPage;
        CreateFirstDiagram();
        UpdatePageCount();
    }
};

void CheckLinks(const DiagramList& list)
{
    int n = 0;
    const DiagramRecord* previous = nullptr;
    for (const DiagramRecord* r = list.m_pFirstDiagram; r; r = r->next, ++n) {
        EXPECT_EQ(r->previous, previous);
        previous = r;
    }
    EXPECT_EQ(previous, list.m_pLastDiagram);
    EXPECT_EQ(n, list.DiagramCount());
    EXPECT_EQ(CountPages(list), list.m_nPageCount);
    EXPECT_EQ(PageIndex(list, list.m_pCurrentPage), list.m_nCurrentIndex / 9 + 1);
}

struct ListCase {
    const char* name;
    const char* steps; // a = add, i = insert after current, d = delete current, g<n> go to n (1-based)
    int count;
    int currentIndex;
    int pages;
};
void PrintTo(const ListCase& c, std::ostream* out)
{
    *out << c.name;
}

class ListSequences : public ::testing::TestWithParam<ListCase> { };

TEST_P(ListSequences, KeepPagesAndIndices)
{
    const ListCase& c = GetParam();
    FreshList list;
    for (const char* p = c.steps; *p; ++p) {
        switch (*p) {
        case 'a': list.AppendDiagram(); break;
        case 'i': list.InsertDiagramAfterCurrent(); break;
        case 'd': list.DeleteCurrentDiagram(); break;
        case 'g': {
            int n = 0;
            while (p[1] >= '0' && p[1] <= '9') n = n * 10 + (*++p - '0');
            list.GoToDiagram(n);
            break;
        }
        }
        CheckLinks(list);
    }
    EXPECT_EQ(list.DiagramCount(), c.count);
    EXPECT_EQ(list.m_nCurrentIndex, c.currentIndex);
    EXPECT_EQ(list.m_nPageCount, c.pages);
}

INSTANTIATE_TEST_SUITE_P(Table, ListSequences,
    ::testing::Values(ListCase { "NineFitOnePage", "aaaaaaaa", 9, 8, 1 },
        ListCase { "TenthOpensPageTwo", "aaaaaaaaa", 10, 9, 2 },
        ListCase { "EighteenFitTwoPages", "aaaaaaaaaaaaaaaaa", 18, 17, 2 },
        ListCase { "NineteenthOpensPageThree", "aaaaaaaaaaaaaaaaaa", 19, 18, 3 },
        // Page 1 becomes current and page 2 is freed.
        ListCase { "DeleteTenthOfTen", "aaaaaaaaad", 9, 8, 1 },
        ListCase { "DeleteFirstOfTen", "aaaaaaaaag1d", 9, 0, 1 },
        ListCase { "DeleteOnlyDiagramKeepsIt", "d", 1, 0, 1 },
        ListCase { "InsertAsNinthOfTen", "aaaaaaaag8i", 10, 8, 2 },
        ListCase { "InsertAsTenthOpensPageTwo", "aaaaaaaag9i", 10, 9, 2 },
        ListCase { "DeleteWholeSecondPage", "aaaaaaaaaaaaaaaaag10ddddddddd", 9, 0, 1 },
        ListCase { "DeleteFiveOfNineteen", "aaaaaaaaaaaaaaaaaag5ddddd", 14, 0, 2 }),
    [](const ::testing::TestParamInfo<ListCase>& info) { return std::string(info.param.name); });

TEST(DiagramList, DeleteOnlyDiagramClearsIt)
{
    FreshList list;
    DiagramRecord* r = list.m_pCurrentDiagram;
    list.m_pCurrentDiagram->board = BoardLetters::EmptyBoard(false);
    list.SetBoardPosition(1);
    r->comment = "x";
    r->marks.Set(3, { 1, 2, 3 });
    r->markCount = 1;
    r->blackToMove = 1;
    list.DeleteCurrentDiagram();
    EXPECT_EQ(list.m_pCurrentDiagram, r);
    EXPECT_FALSE(list.BoardHasPieces());
    EXPECT_EQ(r->castleWhiteShort + r->castleWhiteLong + r->castleBlackShort + r->castleBlackLong, 0u);
    EXPECT_EQ(r->blackToMove, 0u);
    EXPECT_TRUE(r->comment.empty());
    EXPECT_EQ(r->marks[3], MarkSlot {});
}

TEST(DiagramList, ResetFreesEverySlotAndSetsCounters)
{
    DiagramList list;
    DiagramRecord r;
    r.marks.fill({ 9, 9, 9 });
    r.colours.Set(2, 3, 4);
    r.rotations.Set(5, 5, 2);
    list.m_bEpdMode = false;
    list.ResetDiagram(&r, 1);
    for (const MarkSlot& m : r.marks) EXPECT_EQ(m, MarkSlot {});
    EXPECT_EQ(r.colours[2][3], 0);
    EXPECT_EQ(r.rotations[5][5], 0);
    EXPECT_EQ(r.castleBlackLong, 1u);
    EXPECT_EQ(r.fullmoveNumber, "1");
    EXPECT_EQ(r.halfmoveClock, "0");
    list.m_bEpdMode = true;
    list.ResetDiagram(&r, 0);
    EXPECT_EQ(r.fullmoveNumber, "");
    EXPECT_EQ(r.halfmoveClock, "");
}

TEST(DiagramList, FreeAllClearsPointers)
{
    FreshList list;
    list.AppendDiagram();
    list.FreeAllDiagrams();
    EXPECT_EQ(list.m_pFirstDiagram, nullptr);
    EXPECT_EQ(list.m_pCurrentDiagram, nullptr);
    EXPECT_EQ(list.m_pLastPage, nullptr);
    EXPECT_FALSE(list.m_bHasPages);
    EXPECT_FALSE(list.m_bListAllocated);
    EXPECT_FALSE(list.BoardHasPieces());
}

TEST(BoardLetters, EmptyAndStartRowsInBothFamilies)
{
    FreshList list;
    EXPECT_EQ(Row(list.m_pCurrentDiagram->board, 0), "$ + + + +%");
    EXPECT_EQ(Row(list.m_pCurrentDiagram->board, 1), "$+ + + + %");
    list.SetBoardPosition(1);
    const FontBoard& b = list.m_pCurrentDiagram->board;
    EXPECT_EQ(Row(b, 0), "$tMvWlVmT%");
    EXPECT_EQ(Row(b, 1), "$OoOoOoOo%");
    EXPECT_EQ(Row(b, 2), "$ + + + +%");
    EXPECT_EQ(Row(b, 6), "$pPpPpPpP%");
    EXPECT_EQ(Row(b, 7), "$RnBqKbNr%");
    EXPECT_EQ(list.m_pCurrentDiagram->castleWhiteShort, 1u);
    EXPECT_EQ(list.m_pCurrentDiagram->castleBlackLong, 1u);
    EXPECT_TRUE(list.BoardHasPieces());

    list.m_bLetterFamily2 = true;
    list.SetBorderLetters();
    list.SetBoardPosition(1);
    EXPECT_EQ(Row(b, 0), "4tJnWlNjT5");
    EXPECT_EQ(Row(b, 3), "4+ + + + 5");
    EXPECT_EQ(Row(b, 7), "4RhBqKbHr5");
}

TEST(BoardLetters, FamilySwitchRoundTrip)
{
    FreshList list;
    list.SetBoardPosition(1);
    list.AppendDiagram();
    // Every piece letter on both square colours, so each mapping is met.
    const char* rows[8] = { "$nNvVmMbB%", "$+ + + + %", "$pPoOtTrR%", "$qQwWkKlL%", "$ + + + +%", "$+ + + + %",
        "$ + + + +%", "$+ + + + %" };
    for (int r = 0; r < 8; ++r) std::copy(rows[r], rows[r] + 11, list.m_pCurrentDiagram->board[r].begin());
    FontBoard before1 = list.m_pFirstDiagram->board;
    FontBoard before2 = list.m_pLastDiagram->board;

    list.m_bLetterFamily2 = true;
    EXPECT_EQ(list.ConvertLetterFamily('v'), 'n');
    EXPECT_EQ(Row(list.m_pFirstDiagram->board, 0), "4tJnWlNjT5");
    EXPECT_EQ(Row(list.m_pFirstDiagram->board, 7), "4RhBqKbHr5");
    EXPECT_EQ(list.EmptyBoardTemplate[0][0], '4');

    list.m_bLetterFamily2 = false;
    EXPECT_EQ(list.ConvertLetterFamily('n'), 'v');
    EXPECT_EQ(list.m_pFirstDiagram->board, before1);
    EXPECT_EQ(list.m_pLastDiagram->board, before2);
    EXPECT_EQ(list.ConvertLetterFamily('3'), '3');
}

TEST(BoardLetters, FenTranslationByFamily)
{
    EXPECT_EQ(BoardLetters::FontLetterForFen('N', false), 'n');
    EXPECT_EQ(BoardLetters::FontLetterForFen('N', true), 'h');
    EXPECT_EQ(BoardLetters::FontLetterForFen('b', true), 'n');
    EXPECT_EQ(BoardLetters::FontLetterForFen('b', false), 'v');
    EXPECT_EQ(BoardLetters::FenLetterForFont('N', false), 'N');
    EXPECT_EQ(BoardLetters::FenLetterForFont('N', true), 'b');
    EXPECT_EQ(BoardLetters::FenLetterForFont('J', true), 'n');
    EXPECT_EQ(BoardLetters::FenLetterForFont('+', true), 0);
    EXPECT_EQ(BoardLetters::FenLetterForFont('x', false), 0);
}

} // namespace
