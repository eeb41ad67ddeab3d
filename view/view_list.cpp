#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "dialogs/CDWarningSupp.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"
#include "res/StringIds.h"
#include "settings/AppSettings.h"

void CPlaviaView::OnFileNew()
{
    if (m_bListAllocated) FreeAllDiagrams();
    m_bDeriveCastling = true;
    GlobalModes::editorMode = false;
    m_strFilePath.clear();
    SettingsState::currentFileName = LoadString(StringId::NoName);
    m_nBnxOnlyCount = 0;
    m_bFairyMarks = false;
    GlobalModes::fairyMode = false;
    m_strExtension = "bnx";
    m_bEpdMode = true;
    emit documentTitleChanged(SettingsState::currentFileName);
    AddHeaderNode(false, false);
    m_pCurrentPage = m_pFirstPage;
    OnEditEditor();
    m_bModified = false;
    GlobalModes::correctionMode = false;
    m_nStartNumber = 1;
    if (m_bAutoComments) SetAutoComment(m_pFirstDiagram);
    InvalidateAll(true);
}

void CPlaviaView::OnAddDiagram()
{
    if (!ValidateCurrent()) return;
    if (m_bDeriveCastling) DeriveCastlingRights();
    AppendDiagram();
    if (GlobalModes::numbersMode) {
        GlobalModes::currentPiece = '1';
        m_nPaletteRow = 0;
        m_nPaletteColumn = 1;
    } else {
        SelectWhiteKing();
    }
    if (m_bAutoComments) SetAutoComment(m_pCurrentDiagram);
    m_bDeriveCastling = true;
    UpdateStatusText();
    InvalidateAll(true);
}

void CPlaviaView::OnInsertDiagram()
{
    if (!m_pCurrentDiagram) return;
    if (m_pCurrentDiagram == m_pLastDiagram) {
        OnAddDiagram();
        return;
    }
    if (!ValidateCurrent()) return;
    if (m_bDeriveCastling) DeriveCastlingRights();
    InsertDiagramAfterCurrent();
    SelectWhiteKing();
    m_bDeriveCastling = true;
    UpdateStatusText();
    if (m_bAutoComments) SetAutoComment(m_pCurrentDiagram);
    InvalidateAll(true);
}

void CPlaviaView::OnDeleteDiagram()
{
    if (!ConfirmDelete()) return;
    DeleteCurrentDiagram();
    InvalidateAll(true);
    m_bModified = true;
    UpdateStatusText();
}

bool CPlaviaView::ConfirmDelete()
{
    if (!AppSettings::DeleteWarning || !BoardHasPieces()) return true;
    CDWarningSupp dialog(this);
    int answer = dialog.DoModal();
    AppSettings::DeleteWarning = dialog.DontShowAgainChecked() ? 0 : 1;
    return answer == IDOK;
}

void CPlaviaView::SetAutoComment(DiagramRecord* record)
{
    if (!record) return;
    record->comment
        = LoadString(StringId::AutoCommentPrefix) + std::to_string(m_nStartNumber + m_nCurrentIndex);
    record->commentOpcode = "c0";
}

void CPlaviaView::OnAutoComments()
{
    if (m_bAutoComments) {
        AfxMessageBox(StringId::AutoCommentsEnd, MB_ICONINFORMATION);
        m_bAutoComments = false;
        return;
    }
    AfxMessageBox(40039, MB_ICONINFORMATION);
    m_bAutoComments = true;
    if (DiagramCount() == 1) SetAutoComment(m_pCurrentDiagram);
}

void CPlaviaView::OnEditStandardStartPosition()
{
    if (!ConfirmDelete()) return;
    SetBoardPosition(1);
    m_bModified = true;
    UpdateStatusText();
    InvalidateBoard(false);
}

void CPlaviaView::OnEditClearBoard()
{
    if (!ConfirmDelete()) return;
    SetBoardPosition(0);
    // Clearing the board changes the list as much as setting up the start position does.
    m_bModified = true;
    UpdateStatusText();
    InvalidateBoard(false);
}
