#include "DiagramList.h"

#include "BoardLetters.h"

#include <cstring>

DiagramList::DiagramList()
    : EmptyBoardTemplate(BoardLetters::EmptyBoard(false))
{
}

DiagramList::~DiagramList() { FreeAllDiagrams(); }

void DiagramList::ResetDiagram(DiagramRecord* record, uint32_t castleValue) const
{
    record->castleWhiteLong = record->castleBlackLong = castleValue;
    record->castleWhiteShort = record->castleBlackShort = castleValue;
    record->blackToMove = 0;
    record->commentOpcode.clear();
    record->enPassantFile.clear();
    record->fullmoveNumber = m_bEpdMode ? "" : "1";
    record->halfmoveClock = m_bEpdMode ? "" : "0";
    record->fenForm = m_bEpdMode ? 0 : 1;
    record->displayComment.clear();
    record->comment.clear();
    record->epdOpsBefore.clear();
    record->epdOpsMiddle.clear();
    record->epdOpsAfter.clear();
    record->colouredCount = 0;
    record->markCount = 0;
    record->flipped = 0;
    record->warningsAccepted = 0;
    record->colours.Clear();
    record->rotations.Clear();
    record->marks.Clear();
}

void DiagramList::AddHeaderNode(bool append, bool makeCurrent)
{
    auto* node = new PrintHeaderNode;
    if (append && m_pLastPage) {
        node->previous = m_pLastPage;
        m_pLastPage->next = node;
        m_pLastPage = node;
    } else {
        m_pFirstPage = m_pLastPage = node;
        m_bHasPages = true;
    }
    if (makeCurrent) m_pCurrentPage = node;
}

void DiagramList::FreeAllDiagrams()
{
    for (DiagramRecord* r = m_pFirstDiagram; r;) {
        DiagramRecord* next = r->next;
        delete r;
        r = next;
    }
    if (m_bHasPages) {
        for (PrintHeaderNode* p = m_pFirstPage; p;) {
            PrintHeaderNode* next = p->next;
            delete p;
            p = next;
        }
        m_bHasPages = false;
    }
    // Nothing may keep pointing into freed memory; callers rebuild the list from here.
    m_pFirstDiagram = m_pLastDiagram = m_pCurrentDiagram = nullptr;
    m_pFirstPage = m_pLastPage = m_pCurrentPage = nullptr;
    m_bListAllocated = false;
    m_bHasDiagrams = false;
}

PrintHeaderNode* DiagramList::PageNode(int pageNumber) const
{
    PrintHeaderNode* page = m_pFirstPage;
    for (int k = 1; k < pageNumber && page && page->next; ++k) page = page->next;
    return page;
}

void DiagramList::GoToDiagram(int n)
{
    if (n < 1 || n > DiagramCount() || !m_pCurrentDiagram) return;
    m_pCurrentPage = PageNode((n + 8) / 9);
    // Walk from whichever end or the current record is nearest, so long lists stay fast.
    int target = n - 1;
    int fromCurrent = target > m_nCurrentIndex ? target - m_nCurrentIndex : m_nCurrentIndex - target;
    if (target < fromCurrent) {
        m_pCurrentDiagram = m_pFirstDiagram;
        m_nCurrentIndex = 0;
    } else if (m_nLastIndex - target < fromCurrent) {
        m_pCurrentDiagram = m_pLastDiagram;
        m_nCurrentIndex = m_nLastIndex;
    }
    while (m_nCurrentIndex < target && m_pCurrentDiagram->next) {
        m_pCurrentDiagram = m_pCurrentDiagram->next;
        ++m_nCurrentIndex;
    }
    while (m_nCurrentIndex > target && m_pCurrentDiagram->previous) {
        m_pCurrentDiagram = m_pCurrentDiagram->previous;
        --m_nCurrentIndex;
    }
}

bool DiagramList::BoardHasPieces() const
{
    if (!m_pCurrentDiagram) return false;
    for (int row = 0; row < 8; ++row)
        for (int cell = 1; cell <= 8; ++cell)
            if (!BoardLetters::IsEmptySquareLetter(m_pCurrentDiagram->board[row][cell])) return true;
    return false;
}

void DiagramList::SetBorderLetters()
{
    for (auto& row : EmptyBoardTemplate) {
        row[0] = BoardLetters::LeftBorder(m_bLetterFamily2);
        row[9] = BoardLetters::RightBorder(m_bLetterFamily2);
    }
}

void DiagramList::ResetTemplateRows()
{
    for (int row = 0; row < 8; ++row)
        for (int cell = 1; cell <= 8; ++cell) EmptyBoardTemplate[row][cell] = BoardLetters::EmptySquare(row, cell);
}

void DiagramList::SetBoardPosition(int which)
{
    if (!m_pCurrentDiagram) return;
    m_pCurrentDiagram->board = EmptyBoardTemplate;
    if (which == 1) {
        for (int row : { 0, 1, 6, 7 })
            std::memcpy(m_pCurrentDiagram->board[row].data(), BoardLetters::StartRow(row, m_bLetterFamily2), 11);
    }
    ResetDiagram(m_pCurrentDiagram, which != 0);
}

char DiagramList::ConvertLetterFamily(char currentPiece)
{
    SetBorderLetters();
    for (DiagramRecord* r = m_pFirstDiagram; r; r = r->next) {
        // Rotated fairy pieces share their letters with other glyphs; they stay as placed.
        for (int row = 0; row < 8; ++row)
            for (int cell = 0; cell <= 9; ++cell) {
                int8_t rotation = r->rotations[row][cell];
                if (rotation == 4 || rotation == 5) continue;
                r->board[row][cell] = BoardLetters::ConvertLetter(r->board[row][cell], m_bLetterFamily2);
            }
    }
    if (currentPiece >= '0' && currentPiece <= '9') return currentPiece;
    return BoardLetters::ConvertLetter(currentPiece, m_bLetterFamily2);
}

DiagramRecord* DiagramList::AppendDiagram()
{
    m_nLastIndex += 1;
    m_nCurrentIndex = m_nLastIndex;
    if (m_nLastIndex % 9 == 0) AddHeaderNode(true, false);
    m_pCurrentPage = m_pLastPage;
    auto* record = new DiagramRecord;
    ResetDiagram(record, 0);
    record->previous = m_pLastDiagram;
    if (m_pLastDiagram) m_pLastDiagram->next = record;
    else m_pFirstDiagram = record;
    m_pLastDiagram = m_pCurrentDiagram = record;
    m_bListAllocated = m_bHasDiagrams = true;
    SetBoardPosition(0);
    UpdatePageCount();
    return record;
}

DiagramRecord* DiagramList::InsertDiagramAfterCurrent()
{
    auto* record = new DiagramRecord;
    ResetDiagram(record, 0);
    DiagramRecord* current = m_pCurrentDiagram;
    record->previous = current;
    record->next = current->next;
    if (current->next) current->next->previous = record;
    current->next = record;
    if (m_pLastDiagram == current) m_pLastDiagram = record;
    m_pCurrentDiagram = record;
    SetBoardPosition(0);
    m_nLastIndex += 1;
    m_nCurrentIndex += 1;
    if (m_nLastIndex % 9 == 0) AddHeaderNode(true, false);
    UpdatePageCount();
    if (m_nCurrentIndex % 9 == 0 && m_pCurrentPage && m_pCurrentPage->next) m_pCurrentPage = m_pCurrentPage->next;
    return record;
}

void DiagramList::DeleteCurrentDiagram()
{
    DiagramRecord* current = m_pCurrentDiagram;
    if (!current) return;
    m_nBnxOnlyCount -= static_cast<int>(current->markCount) + current->colouredCount;
    if (m_nBnxOnlyCount < 0) m_nBnxOnlyCount = 0;
    if (current->previous) {
        DiagramRecord* previous = current->previous;
        previous->next = current->next;
        if (current->next) current->next->previous = previous;
        else m_pLastDiagram = previous;
        delete current;
        m_pCurrentDiagram = previous;
        m_nCurrentIndex -= 1;
        m_nLastIndex -= 1;
    } else if (current->next) {
        m_pFirstDiagram = current->next;
        m_pFirstDiagram->previous = nullptr;
        m_pCurrentDiagram = m_pFirstDiagram;
        delete current;
        m_nLastIndex -= 1;
    } else {
        SetBoardPosition(0);
        ResetDiagram(current, 0);
    }
    // Move the current page off the last node before that node may be freed.
    if ((m_nCurrentIndex + 1) % 9 == 0 && m_pCurrentPage && m_pCurrentPage->previous)
        m_pCurrentPage = m_pCurrentPage->previous;
    if (DiagramCount() % 9 == 0 && m_pLastPage && m_pLastPage->previous) {
        PrintHeaderNode* last = m_pLastPage;
        if (m_pCurrentPage == last) m_pCurrentPage = last->previous;
        m_pLastPage = last->previous;
        m_pLastPage->next = nullptr;
        delete last;
    }
    UpdatePageCount();
}

DiagramRecord* DiagramList::CreateFirstDiagram()
{
    auto* record = new DiagramRecord;
    m_pFirstDiagram = m_pLastDiagram = m_pCurrentDiagram = record;
    m_bListAllocated = m_bHasDiagrams = true;
    ResetDiagram(record, 0);
    m_nLastIndex = 0;
    m_nCurrentIndex = 0;
    SetBoardPosition(0);
    return record;
}
