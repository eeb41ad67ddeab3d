#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "dialogs/CEditeurDlg.h"
#include "platform/Commands.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"
#include "positions/FenLine.h"
#include "positions/Legality.h"
#include "positions/Marks.h"
#include "res/CommandIds.h"
#include "res/StringIds.h"
#include "settings/AppSettings.h"

#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <vector>

namespace {

// What the data dialog can change of a diagram and its page, as a file keeps it: a counter left empty
// is written as its default, and the automatic arrow follows the en-passant file.
struct DatasState {
    std::array<uint32_t, 5> sideAndCastling {};
    std::string comment, opcode, enPassant, fullmove, halfmove;
    std::vector<std::tuple<int, int, int>> marks;
    std::array<std::string, 3> page;
    bool operator==(const DatasState&) const = default;
};

DatasState StateOf(const DiagramRecord& r, const PrintHeaderNode* page)
{
    DatasState s;
    s.sideAndCastling
        = { r.blackToMove, r.castleWhiteLong, r.castleWhiteShort, r.castleBlackLong, r.castleBlackShort };
    s.comment = r.comment;
    s.opcode = r.comment.empty() ? std::string() : r.commentOpcode;
    s.enPassant = r.enPassantFile;
    s.fullmove = r.fullmoveNumber.empty() ? "1" : r.fullmoveNumber.str();
    s.halfmove = r.halfmoveClock.empty() ? "0" : r.halfmoveClock.str();
    for (const MarkSlot& m : r.marks)
        if (m.from != 0 && m.type != MarkDoubleStep) s.marks.emplace_back(m.from, m.to, m.type);
    std::sort(s.marks.begin(), s.marks.end());
    if (page) s.page = { page->title, page->topText, page->infoText };
    return s;
}

} // namespace

bool CPlaviaView::ValidateCurrent()
{
    if (!GlobalModes::editorMode || !SettingsState::legalCheckActive || !m_pCurrentDiagram) return true;
    LegalityCode code = FenLine::CheckRecord(*this, *m_pCurrentDiagram, GlobalModes::fairyMode);
    if (code > 0) {
        ReportError(code);
        return false;
    }
    if (code < 0) {
        if (GlobalModes::correctionMode || m_pCurrentDiagram->warningsAccepted) return true;
        return AskIgnoreWarning(code);
    }
    return true;
}

void CPlaviaView::ReportError(int code)
{
    Legality::Message message = Legality::MessageFor(code);
    if (message.kind != Legality::MessageKind::Error) return;
    AfxMessageBox(static_cast<unsigned>(message.stringId), MB_ICONERROR);
    if (code == Legality::OutOfMemory) std::exit(1);
    if (message.opensDataDialog) OnEditDiagramDatas();
}

bool CPlaviaView::AskIgnoreWarning(int code)
{
    Legality::Message message = Legality::MessageFor(code);
    if (message.kind != Legality::MessageKind::Question) return true;
    std::string text = message.argumentId ? FormatString1(static_cast<unsigned>(message.stringId),
                           LoadString(static_cast<unsigned>(message.argumentId)))
                                          : LoadString(static_cast<unsigned>(message.stringId));
    // Only Yes accepts: Escape or the box's close button leave the position refused.
    if (AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return false;
    if (m_pCurrentDiagram) m_pCurrentDiagram->warningsAccepted = 1;
    return true;
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

std::string CPlaviaView::StatusText()
{
    if (!m_bDisplayFen || !m_pCurrentDiagram) return {};
    int count = 0;
    for (int row = 0; row < 8; ++row)
        for (int cell = 1; cell <= 8; ++cell) {
            char c = m_pCurrentDiagram->board[row][cell];
            if (c != ' ' && c != '+') ++count;
        }
    if (m_bDeriveCastling) DeriveCastlingRights();
    return LoadString(StringId::PiecesCount) + std::to_string(count) + "       FEN: " + BuildFenText(true);
}

void CPlaviaView::UpdateStatusText()
{
    // Also called while the frame is still being built: the text waits for the frame.
    emit statusTextChanged(StatusText());
}

void CPlaviaView::OnBlackToMove()
{
    if (GlobalModes::editorMode && m_pCurrentDiagram) {
        m_pCurrentDiagram->blackToMove = m_pCurrentDiagram->blackToMove == 0 ? 1 : 0;
        // The side to move is part of the list: the change must not be lost at exit.
        m_bModified = true;
    }
    UpdateStatusText();
}

void CPlaviaView::OnEditDiagramDatas()
{
    DiagramRecord* r = m_pCurrentDiagram;
    if (!r) return;
    CEditeurDlg dialog(this);
    const bool pageTexts = !GlobalModes::correctionMode && m_pCurrentPage;
    if (pageTexts) {
        dialog.m_strPageTitle = m_pCurrentPage->title;
        dialog.m_strPageTopText = m_pCurrentPage->topText;
        dialog.m_strPageInfo = m_pCurrentPage->infoText;
    }
    if (m_bDeriveCastling) DeriveCastlingRights();
    const DatasState before = StateOf(*r, pageTexts ? m_pCurrentPage : nullptr);
    dialog.m_szHelpPath = HelpPath;
    dialog.m_bWhiteQueenSide = r->castleWhiteLong != 0;
    dialog.m_bWhiteKingSide = r->castleWhiteShort != 0;
    dialog.m_bBlackKingSide = r->castleBlackShort != 0;
    dialog.m_bBlackQueenSide = r->castleBlackLong != 0;
    dialog.m_strEnPassant = r->enPassantFile.substr(0, 1);
    dialog.m_strComment = r->comment;
    if (GlobalModes::pastedBlackToMove) {
        r->blackToMove = 1;
        GlobalModes::pastedBlackToMove = false;
    }
    dialog.m_nActiveColour = static_cast<int>(r->blackToMove);
    dialog.m_strFullMove = r->fullmoveNumber;
    dialog.m_strHalfmove = r->halfmoveClock;

    if (dialog.DoModal() == IDOK) {
        if (pageTexts) {
            m_pCurrentPage->title = dialog.m_strPageTitle;
            m_pCurrentPage->topText = dialog.m_strPageTopText;
            m_pCurrentPage->infoText = dialog.m_strPageInfo;
        }
        r->castleWhiteLong = dialog.m_bWhiteQueenSide;
        r->castleBlackLong = dialog.m_bBlackQueenSide;
        r->castleWhiteShort = dialog.m_bWhiteKingSide;
        r->castleBlackShort = dialog.m_bBlackKingSide;
        r->blackToMove = dialog.m_nActiveColour != 0 ? 1 : 0;
        if (dialog.m_bCastlingChanged && m_bDeriveCastling) m_bDeriveCastling = false;

        const std::string& ep = dialog.m_strEnPassant;
        if (ep.empty()) {
            if (!r->enPassantFile.empty()) Marks::RemoveDoubleStepArrows(*r);
            r->enPassantFile.clear();
        } else if (ep[0] >= 'a' && ep[0] <= 'h') {
            r->enPassantFile = ep.substr(0, 1);
            AddDoubleStepArrow(r->enPassantFile, r->blackToMove != 0);
        }

        if (!dialog.m_strComment.empty() && r->commentOpcode.empty()) r->commentOpcode = "c0";
        r->comment = dialog.m_strComment;

        std::string display = r->blackToMove ? "b " : "w ";
        if (r->castleWhiteShort) display += 'K';
        if (r->castleWhiteLong) display += 'Q';
        if (r->castleBlackShort) display += 'k';
        if (r->castleBlackLong) display += 'q';
        display += ' ';
        r->displayComment = display;

        // Counters are digits only; anything else typed elsewhere counts as not given. A counter the
        // diagram brought and the user left alone is kept as it was.
        auto counter = [](const std::string& typed, const std::string& before) {
            return typed == before || typed.find_first_not_of("0123456789") == std::string::npos
                ? typed
                : std::string();
        };
        r->fullmoveNumber = counter(dialog.m_strFullMove, r->fullmoveNumber);
        if (r->fullmoveNumber.empty()) r->fullmoveNumber = m_bEpdMode ? "" : "1";
        r->halfmoveClock = counter(dialog.m_strHalfmove, r->halfmoveClock);
        if (r->halfmoveClock.empty()) r->halfmoveClock = m_bEpdMode ? "" : "0";

        if (m_bEpdMode)
            r->displayComment += AppendEpdOperations(m_strExtension == "epd");
        else
            r->displayComment += dialog.m_strComment;
        // OK with nothing changed leaves the list as it is in its file.
        if (!(StateOf(*r, pageTexts ? m_pCurrentPage : nullptr) == before)) m_bModified = true;
    }
    InvalidateAll(true);
    UpdateStatusText();
}

void CPlaviaView::RegisterCheckCommands()
{
    CommandRouter& r = CommandRouter::Instance();
    r.Register(
        this, CommandId::DiagramDatas, [this] { OnEditDiagramDatas(); },
        [](CCmdUI& ui) { ui.Enable(GlobalModes::editorMode); });
    auto blackUpdate
        = [this](CCmdUI& ui) { ui.SetCheck(m_pCurrentDiagram && m_pCurrentDiagram->blackToMove != 0); };
    r.Register(
        this, CommandId::BlackToMoveButton, [this] { OnBlackToMove(); }, blackUpdate);
    // The menu entry and Alt+R run the same toggle as the tool-bar button.
    r.Register(
        this, CommandId::BlackToMove, [this] { OnBlackToMove(); }, blackUpdate);
}
