#pragma once

#include "DiagramRecord.h"

#include <string>

// The ordered list of diagrams and the list of print pages (one node per nine diagrams), with the
// bookkeeping every list command shares. The view derives from it, so these members are the
// view's own; the core file and FEN code works on it without any window.
class DiagramList {
public:
    DiagramList();
    virtual ~DiagramList();
    DiagramList(const DiagramList&) = delete;
    DiagramList& operator=(const DiagramList&) = delete;

    DiagramRecord* m_pFirstDiagram = nullptr;
    DiagramRecord* m_pLastDiagram = nullptr;
    DiagramRecord* m_pCurrentDiagram = nullptr;
    int m_nLastIndex = -1;
    int m_nCurrentIndex = 0;
    int m_nPageCount = 0;
    PrintHeaderNode* m_pFirstPage = nullptr;
    PrintHeaderNode* m_pLastPage = nullptr;
    PrintHeaderNode* m_pCurrentPage = nullptr;
    bool m_bHasPages = false;
    bool m_bListAllocated = false;
    bool m_bHasDiagrams = false;
    int m_nStartNumber = 1;
    // The largest start number: nine digits, so that the label of any diagram a list can hold, the
    // start number plus its index, is still a number the file's reader takes back.
    static constexpr int MaxStartNumber = 999999999;
    bool m_bModified = false;
    bool m_bDeriveCastling = true;
    int m_nBnxOnlyCount = 0;
    bool m_bEpdMode = true;
    bool m_bFairyMarks = false;
    bool m_bLetterFamily2 = false;
    std::string m_strFilePath;
    std::string m_strExtension = "bnx";

    // The empty board in the letters of the current family; readers build positions in copies.
    FontBoard EmptyBoardTemplate;

    void ResetDiagram(DiagramRecord* record, uint32_t castleValue) const;
    void AddHeaderNode(bool append, bool makeCurrent);
    void FreeAllDiagrams();
    void GoToDiagram(int n);
    bool BoardHasPieces() const;
    int DiagramCount() const { return m_nLastIndex + 1; }
    void UpdatePageCount() { m_nPageCount = (m_nLastIndex + 1 + 8) / 9; }

    // Board letters of the current family.
    void SetBorderLetters();
    void ResetTemplateRows();
    void SetBoardPosition(int which);
    // Converts every record to the family now in m_bLetterFamily2; returns the converted letter
    // of the given current piece so the caller can keep its palette choice.
    char ConvertLetterFamily(char currentPiece);

    // The list steps of Add, Insert and Delete (without validation, palette or repaint).
    DiagramRecord* AppendDiagram();
    DiagramRecord* InsertDiagramAfterCurrent();
    void DeleteCurrentDiagram();
    // Makes the list hold exactly one empty diagram on one page (used by the Editor start).
    DiagramRecord* CreateFirstDiagram();

    PrintHeaderNode* PageNode(int pageNumber) const;
};
