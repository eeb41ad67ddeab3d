#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "dialogs/CDAllerNum.h"
#include "platform/Commands.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"
#include "res/CommandIds.h"
#include "res/StringIds.h"
#include "settings/AppSettings.h"

using namespace Win32;

namespace {

using M = GlobalModes;

bool HasColoursOrMarks(const DiagramRecord& record)
{
    return record.markCount != 0 || record.colouredCount != 0;
}

} // namespace

void CPlaviaView::InvalidateRect(const RECT& rect, bool erase)
{
    (void)erase; // the paint always draws its background first
    if (rect.IsEmpty())
        update();
    else
        update(QRect(rect.left, rect.top, rect.Width(), rect.Height()));
}

bool CPlaviaView::LeaveCurrent()
{
    if (!ValidateCurrent()) return false;
    if (m_bDeriveCastling) DeriveCastlingRights();
    m_bDeriveCastling = false;
    return true;
}

// The diagram just reached may imply the arrow of a double pawn step; only then can the repaint be
// limited to the two squares that changed.
void CPlaviaView::ArriveAfterStep(const DiagramRecord* left)
{
    DiagramRecord* here = m_pCurrentDiagram;
    if (!here->enPassantFile.empty()) AddDoubleStepArrow(here->enPassantFile, here->blackToMove != 0);
    m_bTwoSquareRefresh = left && !HasColoursOrMarks(*left) && !HasColoursOrMarks(*here)
        && FindMoveSquares(left == here->next);
    if (m_bTwoSquareRefresh) {
        InvalidateRect(m_rectMoveFrom, false);
        InvalidateRect(m_rectMoveTo, false);
    } else {
        InvalidateRect(m_rectBoardDevice, false);
    }
    InvalidateRect(m_rectTextDevice, true);
    UpdateStatusText();
}

void CPlaviaView::OnGoFirstDiagram()
{
    if (m_nCurrentIndex == 0 || !m_pFirstDiagram || !LeaveCurrent()) return;
    m_nCurrentIndex = 0;
    m_pCurrentDiagram = m_pFirstDiagram;
    m_pCurrentPage = m_pFirstPage;
    ArriveAfterStep(nullptr);
}

void CPlaviaView::OnGoLastDiagram()
{
    if (m_nCurrentIndex == m_nLastIndex || !m_pLastDiagram || !LeaveCurrent()) return;
    m_nCurrentIndex = m_nLastIndex;
    m_pCurrentDiagram = m_pLastDiagram;
    // A header may give more page nodes than the list has pages: the last diagram's page is not always the
    // last node.
    m_pCurrentPage = PageNode(m_nLastIndex / 9 + 1);
    ArriveAfterStep(nullptr);
}

void CPlaviaView::OnGoPreviousDiagram()
{
    if (m_nCurrentIndex <= 0 || !m_pCurrentDiagram || !m_pCurrentDiagram->previous || !LeaveCurrent()) return;
    const DiagramRecord* left = m_pCurrentDiagram;
    if (m_nCurrentIndex % 9 == 0 && m_pCurrentPage && m_pCurrentPage->previous)
        m_pCurrentPage = m_pCurrentPage->previous;
    m_pCurrentDiagram = m_pCurrentDiagram->previous;
    --m_nCurrentIndex;
    ArriveAfterStep(left);
}

void CPlaviaView::OnGoNextDiagram()
{
    if (M::correctionMode) {
        CorrectionNext();
        return;
    }
    if (m_nCurrentIndex == m_nLastIndex || !m_pCurrentDiagram || !m_pCurrentDiagram->next
        || !LeaveCurrent()) {
        UpdateStatusText();
        return;
    }
    const DiagramRecord* left = m_pCurrentDiagram;
    m_pCurrentDiagram = m_pCurrentDiagram->next;
    ++m_nCurrentIndex;
    if (m_nCurrentIndex % 9 == 0 && m_pCurrentPage && m_pCurrentPage->next)
        m_pCurrentPage = m_pCurrentPage->next;
    ArriveAfterStep(left);
}

void CPlaviaView::MoveToDiagramIndex(int index)
{
    // The walk only goes forward, from one faulty diagram to the next.
    while (m_nCurrentIndex < index && m_pCurrentDiagram && m_pCurrentDiagram->next) {
        m_pCurrentDiagram = m_pCurrentDiagram->next;
        ++m_nCurrentIndex;
    }
    m_pCurrentPage = PageNode(m_nCurrentIndex / 9 + 1);
}

void CPlaviaView::CorrectionNext()
{
    if (ValidateCurrent()) {
        LoadErrorMessage();
        const auto& entries = m_errorList.Entries();
        const int cursor = m_errorList.errorListCursor;
        if (cursor < static_cast<int>(entries.size())) {
            MoveToDiagramIndex(m_nCorrectionOffset + entries[static_cast<size_t>(cursor)].diagramIndex);
            ++m_errorList.errorListCursor;
        } else {
            M::correctionMode = false;
            SettingsState::correctionStatusText.clear();
            if (AfxMessageBox(StringId::CorrectionEndSave, MB_YESNO | MB_ICONQUESTION) == IDYES) OnFileSave();
            m_pCurrentPage = PageNode(m_nCurrentIndex / 9 + 1);
        }
    }
    UpdateStatusText();
    InvalidateAll(true);
}

void CPlaviaView::OnGoToNumber()
{
    if (m_nLastIndex < 1) {
        AfxMessageBox(StringId::OnlyOneDiagram, MB_ICONERROR);
        return;
    }
    if (!ValidateCurrent()) return;
    CDAllerNum dialog(this);
    dialog.m_nCount = m_nLastIndex + 1;
    dialog.m_szHelpPath = HelpPath;
    if (dialog.DoModal() != IDOK) return;
    if (m_bDeriveCastling) DeriveCastlingRights();
    m_bDeriveCastling = false;
    if (dialog.m_nNumber < 1 || dialog.m_nNumber > DiagramCount()) return;
    GoToDiagram(dialog.m_nNumber);
    UpdateStatusText();
    InvalidateAll(true);
}

void CPlaviaView::OnViewCoordinates()
{
    m_bShowCoordinates = !m_bShowCoordinates;
    InvalidateAll(false);
}

void CPlaviaView::OnViewHideTextAndArrows()
{
    m_bHideTextAndArrows = !m_bHideTextAndArrows;
    InvalidateRect(m_rectTextDevice, true);
    InvalidateRect(m_rectBoardDevice, false);
}

void CPlaviaView::OnDisplayFen()
{
    m_bDisplayFen = !m_bDisplayFen;
    UpdateStatusText();
}

void CPlaviaView::ChooseTexture(int texture)
{
    SettingsState::currentTexture = texture;
    // The semi-transparent mode puts its own none in place of the texture: a choice made meanwhile is
    // the one the frame comes back to.
    emit textureChosen(texture);
    InvalidateAll(true);
}

void CPlaviaView::OnTextureNone()
{
    ChooseTexture(0);
}

void CPlaviaView::OnTextureRagPaper()
{
    ChooseTexture(1);
}

void CPlaviaView::OnTextureWatercolor()
{
    ChooseTexture(2);
}

void CPlaviaView::OnTextureChalk()
{
    ChooseTexture(3);
}

void CPlaviaView::RegisterNavigationCommands()
{
    CommandRouter& r = CommandRouter::Instance();
    auto stepUpdate = [this](CCmdUI& ui) { ui.Enable(m_nLastIndex != -1 && !M::correctionMode); };
    r.Register(
        this, CommandId::GoFirstDiagram, [this] { OnGoFirstDiagram(); }, stepUpdate);
    r.Register(
        this, CommandId::GoPreviousDiagram, [this] { OnGoPreviousDiagram(); }, stepUpdate);
    r.Register(
        this, CommandId::GoNextDiagram, [this] { OnGoNextDiagram(); },
        [this](CCmdUI& ui) { ui.Enable(m_nLastIndex != -1); });
    r.Register(
        this, CommandId::GoLastDiagram, [this] { OnGoLastDiagram(); }, stepUpdate);
    r.Register(this, CommandId::GoToNumber, [this] { OnGoToNumber(); });
    r.Register(
        this, CommandId::Coordinates, [this] { OnViewCoordinates(); },
        [this](CCmdUI& ui) { ui.SetCheck(m_bShowCoordinates); });
    r.Register(
        this, CommandId::HideTextAndArrows, [this] { OnViewHideTextAndArrows(); },
        [this](CCmdUI& ui) { ui.SetCheck(m_bHideTextAndArrows); });
    r.Register(
        this, CommandId::DisplayFen, [this] { OnDisplayFen(); },
        [this](CCmdUI& ui) { ui.SetCheck(m_bDisplayFen); });
    const std::array<std::pair<unsigned, void (CPlaviaView::*)()>, 4> textures = { {
        { CommandId::TextureNone, &CPlaviaView::OnTextureNone },
        { CommandId::TextureRagPaper, &CPlaviaView::OnTextureRagPaper },
        { CommandId::TextureWatercolor, &CPlaviaView::OnTextureWatercolor },
        { CommandId::TextureChalk, &CPlaviaView::OnTextureChalk },
    } };
    for (int texture = 0; texture < 4; ++texture) {
        auto [id, handler] = textures[static_cast<size_t>(texture)];
        // Captured by name: clang 14 cannot capture a structured binding.
        r.Register(
            this, id, [this, handler = handler] { (this->*handler)(); },
            [texture](CCmdUI& ui) { ui.SetCheck(SettingsState::currentTexture == texture); });
    }
}
