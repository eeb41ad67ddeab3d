#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "app/AppSettings.h"
#include "app/CMainFrame.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"

#include <QApplication>

// The legality checks of the current diagram are wired in here once the checker is in place; until
// then every diagram may be left.
bool CPlaviaView::ValidateCurrent()
{
    return true;
}

void CPlaviaView::ReportError(int code)
{
    if (code == 20) {
        AfxMessageBox(40030, MB_ICONERROR);
        QApplication::exit(1);
    }
}

void CPlaviaView::DeriveCastlingRights()
{
    DiagramRecord* r = m_pCurrentDiagram;
    if (!r) return;
    const FontBoard& b = r->board;
    if (b[0][5] == 'l') {
        r->castleBlackLong = b[0][1] == 't';
        r->castleBlackShort = b[0][8] == 'T';
    } else {
        r->castleBlackLong = r->castleBlackShort = 0;
    }
    if (b[7][5] == 'K') {
        r->castleWhiteLong = b[7][1] == 'R';
        r->castleWhiteShort = b[7][8] == 'r';
    } else {
        r->castleWhiteLong = r->castleWhiteShort = 0;
    }
}

void CPlaviaView::UpdateStatusText()
{
    if (!m_pMainFrame) return;
    if (!m_bDisplayFen) {
        m_pMainFrame->SetStatusText(std::string());
        return;
    }
    if (m_bDeriveCastling) DeriveCastlingRights();
}
