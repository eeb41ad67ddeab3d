#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "dialogs/CDFontSize.h"
#include "dialogs/CHyperLink.h"
#include "platform/ChessFont.h"
#include "platform/Clipboard.h"
#include "platform/Codec.h"
#include "platform/Commands.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/Strings.h"
#include "positions/BoardLetters.h"
#include "positions/BoardText.h"
#include "positions/FenLine.h"
#include "positions/Legality.h"
#include "positions/Marks.h"
#include "positions/PositionChecker.h"
#include "res/CommandIds.h"
#include "res/StringIds.h"
#include "settings/AppSettings.h"

#include <QUrl>
#include <QUuid>
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
    // Word processors here draw the font through its Unicode map, not through the byte map the screen
    // uses: the copy names each glyph by the character that map gives it.
    if (auto face = ChessFontFace::Find(m_strFontFace)) {
        if (face->HasUnicodeMap()) {
            options.fontMap = BoardText::RtfFontMap::Unicode;
            for (int b = 0; b < 256; ++b)
                options.codePoints[size_t(b)] = face->CodePoint(static_cast<unsigned char>(b));
        } else if (face->Map() == ChessFontFace::ByteMap::Symbol) {
            options.fontMap = BoardText::RtfFontMap::Symbol;
        }
    }
    const bool markers = m_strFontFace == "Varnok Fairy" && m_pCurrentDiagram->markCount != 0;
    if (markers) m_markerRows = BoardText::OverlaySquareMarkers(m_displayRows, *m_pCurrentDiagram);
    return BoardText::Rtf(markers ? m_markerRows : m_displayRows, options);
}

bool CPlaviaView::PutOnClipboard(const std::string& text, bool withRtf)
{
    const std::string tag = bnxCopyRunning ? m_strBnxCopyTag : std::string();
    if (!Clipboard::SetData(text, withRtf ? BuildRtfText() : std::string(), {}, tag)) {
        AfxMessageBox(LoadString(StringId::CannotOpenClipboard), MB_ICONERROR);
        return false;
    }
    return true;
}

void CPlaviaView::OnCopyRtf()
{
    if (!m_pCurrentDiagram) return;
    if (!bnxCopyRunning) GlobalModes::bnxCopyPending = false;
    PutOnClipboard(
        BoardText::PlainText(*m_pCurrentDiagram, m_bLetterFamily2, BoardLetters::IsBerlinFace(m_strFontFace)),
        true);
}

void CPlaviaView::OnCopyBnx()
{
    if (!m_pCurrentDiagram) return;
    bnxCopyRunning = true;
    GlobalModes::bnxCopyPending = true;
    // The copy stays pending only while the clipboard holds this very copy.
    m_strBnxCopyTag = QUuid::createUuid().toString().toStdString();
    OnCopyRtf();
    m_pBnxCopySource = m_pCurrentDiagram;
    // The copied diagram may be deleted before the paste: its data is kept here.
    m_bnxCopy = *m_pCurrentDiagram;
    bnxCopyRunning = false;
}

void CPlaviaView::OnCopyFen()
{
    if (m_nLastIndex < 0) return;
    // The FEN replaces the BNX copy on the clipboard: a paste must not add that copy's data to it.
    GlobalModes::bnxCopyPending = false;
    PutOnClipboard(BuildFenText(true), false);
}

bool CPlaviaView::PastedBoardRejected(const DiagramRecord& pasted)
{
    // The text gives the board only: side, castling and e.p. are the diagram's business, and a fault in
    // them is reported when the user leaves the diagram, as after any edit.
    DiagramRecord probe = *m_pCurrentDiagram;
    probe.board = pasted.board;
    probe.castleWhiteLong = probe.castleWhiteShort = probe.castleBlackLong = probe.castleBlackShort = 0;
    probe.enPassantFile.clear();
    const LegalityCode code = FenLine::CheckRecord(*this, probe, false);
    return Legality::IsError(code) && code != Legality::WhiteInCheckNotToMove
        && code != Legality::BlackInCheckNotToMove;
}

void CPlaviaView::OnEditPaste()
{
    std::optional<std::string> data = Clipboard::GetText();
    if (!data || !m_pCurrentDiagram) return;
    // Once another program, or another copy of ours, has taken the clipboard, the BNX copy is over.
    if (GlobalModes::bnxCopyPending && (m_strBnxCopyTag.empty() || Clipboard::Tag() != m_strBnxCopyTag))
        GlobalModes::bnxCopyPending = false;
    const std::string& text = *data;
    const std::string head = text.substr(0, 10);
    const bool fontText = head == BoardLetters::TopFrameRow(false) || head == BoardLetters::TopFrameRow(true);
    bool rejected = false;
    ResetDiagram(m_pScratchDiagram, 0);
    if (fontText) {
        rejected = BoardText::ParseBoardText(text, *m_pScratchDiagram, m_bLetterFamily2);
        if (!rejected && SettingsState::legalCheckActive) rejected = PastedBoardRejected(*m_pScratchDiagram);
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
        AfxMessageBox(StringId::NoPositionOnClipboard, MB_ICONERROR);
        return;
    }
    DiagramRecord& to = *m_pCurrentDiagram;
    for (int r = 0; r < 8; ++r) std::memcpy(to.board[r].data(), m_pScratchDiagram->board[r].data(), 10);
    m_bModified = true;
    if (GlobalModes::bnxCopyPending) {
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
    } else if (!fontText) {
        // The arrow of the double step belongs to the e.p. square the FEN gave, not to the one before.
        Marks::RemoveDoubleStepArrows(to);
        AddDoubleStepArrow(to.enPassantFile, to.blackToMove != 0);
    }
    UpdateStatusText();
    InvalidateBoard(false);
    InvalidateRect(m_rectTextDevice, true);
}

void CPlaviaView::OnCopyWithoutBorder()
{
    AppSettings::Border = AppSettings::Border ? 0 : 1;
}

void CPlaviaView::OnFontSizeForCopy()
{
    // The dialog shows the size the next copy will have; left as shown, a size that follows the squares
    // keeps following them.
    const float shown = BoardText::CopyHalfPoints(m_nSquareSize, m_fCopyFontSize) / 2.0f;
    CDFontSize dialog(this);
    dialog.m_fSize = shown;
    if (dialog.DoModal() != IDOK) return;
    if (m_fCopyFontSize == 0.0f && dialog.m_fSize == shown) return;
    m_fCopyFontSize = dialog.m_fSize;
}

void CPlaviaView::OnSendFenMail()
{
    if (m_nLastIndex < 0) return;
    // The mail program reads the link as a URL: a '#', '&', '%' or blank of the position would end or
    // change the body.
    const QByteArray body = QUrl::toPercentEncoding(Codec::ToQt(BuildFenText(true)), "/");
    // Without a mail program the user is told so, as a link that cannot be opened tells it.
    ShellOpen(LoadString(StringId::FenMailAddress) + body.toStdString(), [](int result) {
        if (result <= 32) CHyperLink::ReportOpenFailure(result);
    });
}

void CPlaviaView::RegisterClipboardCommands()
{
    CommandRouter& r = CommandRouter::Instance();
    // A fairy board's pieces are turned by turning the font, which no text copy can carry: both copies
    // that put the board on the clipboard as chess-font text are off in fairy mode.
    const auto offInFairyMode = [](CCmdUI& ui) { ui.Enable(!GlobalModes::fairyMode); };
    r.Register(
        this, CommandId::CopyRtf, [this] { OnCopyRtf(); }, offInFairyMode);
    r.Register(this, CommandId::CopyFen, [this] { OnCopyFen(); });
    r.Register(
        this, CommandId::CopyBnx, [this] { OnCopyBnx(); }, offInFairyMode);
    r.Register(
        this, CommandId::EditPaste, [this] { OnEditPaste(); },
        [](CCmdUI& ui) { ui.Enable(Clipboard::HasText()); });
    r.Register(
        this, CommandId::CopyWithoutBorder, [this] { OnCopyWithoutBorder(); },
        [](CCmdUI& ui) { ui.SetCheck(AppSettings::Border != 0); });
    r.Register(this, CommandId::FontSizeForCopy, [this] { OnFontSizeForCopy(); });
    r.Register(this, CommandId::SendFenMail, [this] { OnSendFenMail(); });
}
