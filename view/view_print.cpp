#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "dialogs/CNumDiag.h"
#include "platform/Commands.h"

void CPlaviaView::OnFileChangeIndexNumber()
{
    CNumDiag dialog(this);
    dialog.m_nNumber = m_nStartNumber;
    if (dialog.DoModal() != IDOK) return;
    m_nStartNumber = dialog.m_nNumber;
    if (m_pCurrentDiagram && !m_pCurrentDiagram->enPassantFile.empty())
        AddDoubleStepArrow(m_pCurrentDiagram->enPassantFile, m_pCurrentDiagram->blackToMove != 0);
    // The start number is part of the list (it is saved with it).
    m_bModified = true;
    InvalidateAll(true);
}

void CPlaviaView::RegisterPrintCommands()
{
    CommandRouter::Instance().Register(this, 32775, [this] { OnFileChangeIndexNumber(); });
}
