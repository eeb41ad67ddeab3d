#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "app/AppSettings.h"
#include "app/CMainFrame.h"
#include "dialogs/CDFontSize.h"
#include "platform/Clipboard.h"
#include "platform/Commands.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/Strings.h"
#include "positions/BoardText.h"
#include "positions/FenLine.h"
#include "positions/PositionChecker.h"

#include <cstring>

std::string CPlaviaView::BuildRtfText()
{
    if (!m_pCurrentDiagram) return {};
    m_displayRows = BoardText::DisplayRows(*m_pCurrentDiagram);
    BoardText::RtfOptions options;
    options.fontFace = m_strFontFace;
    options.fontIndex = m_nFontIndex;
    options.family2 = m_bLetterFamily2;
    options.withoutBorder = AppSettings::Border != 0;
    options.pictureCoordinates = AppSettings::PNGSaveCoords != 0;
    options.flipped = m_pCurrentDiagram->flipped != 0;
    options.halfPoints = BoardText::CopyHalfPoints(m_nSquareSize, m_fCopyFontSize);
    const bool markers = m_strFontFace == "Varnok Fairy" && m_pCurrentDiagram->markCount != 0;
    if (markers) m_markerRows = BoardText::OverlaySquareMarkers(m_displayRows, *m_pCurrentDiagram);
    return BoardText::Rtf(markers ? m_markerRows : m_displayRows, options);
}

bool CPlaviaView::PutOnClipboard(const std::string& text, bool withRtf)
{
    if (!Clipboard::SetData(text, withRtf ? BuildRtfText() : std::string())) {
        AfxMessageBox(LoadString(40011), MB_ICONERROR);
        return false;
    }
    return true;
}

void CPlaviaView::OnCopyRtf()
{
    if (!m_pCurrentDiagram) return;
    if (!bnxCopyRunning) GlobalModes::bnxCopyPending = false;
    PutOnClipboard(
        BoardText::PlainText(*m_pCurrentDiagram, m_bLetterFamily2, m_strFontFace == "Chess Berlin"), true);
}

void CPlaviaView::OnCopyBnx()
{
    if (!m_pCurrentDiagram) return;
    bnxCopyRunning = true;
    GlobalModes::bnxCopyPending = true;
    OnCopyRtf();
    m_pBnxCopySource = m_pCurrentDiagram;
    // The copied diagram may be deleted before the paste: its data is kept here.
    m_bnxCopy = *m_pCurrentDiagram;
    bnxCopyRunning = false;
}

void CPlaviaView::OnCopyFen()
{
    if (m_nLastIndex < 0) return;
    PutOnClipboard(BuildFenText(true), false);
}

void CPlaviaView::OnEditPaste()
{
    std::optional<std::string> data = Clipboard::GetText();
    if (!data || !m_pCurrentDiagram) return;
    const std::string& text = *data;
    const std::string head = text.substr(0, 10);
    bool rejected = false;
    ResetDiagram(m_pScratchDiagram, 0);
    if (head == "!\"\"\"\"\"\"\"\"#" || head == "1222222223") {
        rejected = BoardText::ParseBoardText(text, *m_pScratchDiagram);
    } else {
        if (SettingsState::legalCheckActive) {
            PositionChecker checker;
            rejected = checker.CheckFenPosition(text) >= 1;
        }
        if (!rejected) {
            rejected = !FenLine::ParseFen(*this, *m_pScratchDiagram, *m_pCurrentDiagram, text);
        }
    }
    if (rejected) {
        AfxMessageBox(40015, MB_ICONERROR);
        return;
    }
    for (int r = 0; r < 8; ++r)
        std::memcpy(m_pCurrentDiagram->board[r].data(), m_pScratchDiagram->board[r].data(), 10);
    UpdateStatusText();
    if (GlobalModes::bnxCopyPending) {
        DiagramRecord& to = *m_pCurrentDiagram;
        const DiagramRecord& from = m_bnxCopy;
        to.castleWhiteLong = from.castleWhiteLong;
        to.castleBlackLong = from.castleBlackLong;
        to.castleWhiteShort = from.castleWhiteShort;
        to.castleBlackShort = from.castleBlackShort;
        to.flipped = from.flipped;
        to.warningsAccepted = from.warningsAccepted;
        to.blackToMove = from.blackToMove;
        to.markCount = from.markCount;
        to.colouredCount = from.colouredCount;
        to.displayComment = from.displayComment;
        to.enPassantFile = from.enPassantFile;
        to.fullmoveNumber = from.fullmoveNumber;
        to.halfmoveClock = from.halfmoveClock;
        to.marks = from.marks;
        to.colours = from.colours;
        to.rotations = from.rotations;
        to.commentOpcode = from.commentOpcode;
        to.epdOpsMiddle = from.epdOpsMiddle;
        to.comment = from.comment;
    }
    InvalidateBoard(false);
}

void CPlaviaView::OnCopyWithoutBorder()
{
    AppSettings::Border = AppSettings::Border ? 0 : 1;
}

void CPlaviaView::OnFontSizeForCopy()
{
    CDFontSize dialog(this);
    dialog.m_fSize = m_fCopyFontSize == 0.0f ? 1.0f : m_fCopyFontSize;
    if (dialog.DoModal() == IDOK) m_fCopyFontSize = dialog.m_fSize;
}

void CPlaviaView::OnSendFenMail()
{
    if (m_nLastIndex < 0) return;
    ShellOpen(LoadString(40044) + BuildFenText(true));
}

void CPlaviaView::RegisterClipboardCommands()
{
    CommandRouter& r = CommandRouter::Instance();
    r.Register(
        this, 57634, [this] { OnCopyRtf(); }, [](CCmdUI& ui) { ui.Enable(!GlobalModes::fairyMode); });
    r.Register(this, 144, [this] { OnCopyFen(); });
    r.Register(this, 32856, [this] { OnCopyBnx(); });
    r.Register(
        this, 57637, [this] { OnEditPaste(); }, [](CCmdUI& ui) { ui.Enable(Clipboard::HasText()); });
    r.Register(
        this, 198, [this] { OnCopyWithoutBorder(); },
        [](CCmdUI& ui) { ui.SetCheck(AppSettings::Border != 0); });
    r.Register(this, 148, [this] { OnFontSizeForCopy(); });
    r.Register(this, 164, [this] { OnSendFenMail(); });
}
