#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "platform/Commands.h"
#include "platform/MessageBox.h"
#include "positions/MarkEditing.h"
#include "res/CommandIds.h"
#include "res/StringIds.h"

#include <QPixmap>

using M = GlobalModes;

void CPlaviaView::AddMark(int kind, uint8_t userEdit, int from, int to)
{
    DiagramRecord* record = m_pCurrentDiagram;
    if (!record) return;
    if (userEdit) m_bModified = true;
    Marks::MarkEdit edit = MarkEditing::AddMarkWithinLimit(
        *record, kind, userEdit != 0, from, to, static_cast<uint8_t>(m_nMarkColour), M::currentNumber);
    m_nBnxOnlyCount += edit.bnxOnlyDelta;
    if (edit.repaint) InvalidateBoard(false);
    // Only the user's own marks are refused; the automatic arrow asks nothing of the user.
    if (edit.tableFull && userEdit) AfxMessageBox(StringId::MarkTableFull, MB_ICONERROR);
}

void CPlaviaView::AddDoubleStepArrow(std::string fileText, uint8_t blackToMove)
{
    if (fileText.empty()) return;
    const char file = fileText[0];
    if (file < 'a' || file > 'h') return;
    const int f = file - 'a';
    // The pawn that just moved two squares: Black's from rank 7 with White to move, else White's from rank 2.
    auto mark = [&](int fromRank, int toRank) {
        AddMark(Marks::KindDoubleStep, 0, Square::FromFileRank(f, fromRank).MarkNumber(),
            Square::FromFileRank(f, toRank).MarkNumber());
    };
    if (blackToMove)
        mark(1, 3);
    else
        mark(6, 4);
}

// --- the modes and their commands

void CPlaviaView::OnMarksMode()
{
    M::colourMarksMode = !M::colourMarksMode;
}

void CPlaviaView::OnNumbersInSquares()
{
    // The numbers take the palette's cells and the current piece over for a while; leaving them brings
    // back the piece chosen before, selected where the palette shows it, so a click puts what is lit.
    if (!M::numbersMode) m_pieceCellBeforeNumbers = { m_nPaletteRow, m_nPaletteColumn };
    M::numbersMode = !M::numbersMode;
    if (!M::numbersMode) {
        m_nPaletteRow = MarkEditing::ClampPaletteRow(m_pieceCellBeforeNumbers.first);
        m_nPaletteColumn = MarkEditing::ClampPaletteColumn(m_pieceCellBeforeNumbers.second);
        M::currentPiece = MarkEditing::PaletteLetter(m_nPaletteRow, m_nPaletteColumn, m_bLetterFamily2);
    }
    InvalidateAll(true);
}

namespace {

QCursor PlacementCursor()
{
    QPixmap picture(":/images/cursor_placement.png");
    if (picture.isNull()) return QCursor(Qt::SizeHorCursor);
    return QCursor(picture, picture.width() / 2, picture.height() / 2);
}

} // namespace

void CPlaviaView::OnBoardPlacement()
{
    m_bPlacementMode = true;
    // The board goes: the client area shows the window background colour until the drag's line. The
    // press that starts the drag sets the point again; an older one would draw a line of its own.
    m_ptDown.x = 0;
    m_ptMove = m_ptDown;
    InvalidateAll(true);
    m_hPlacementCursor = PlacementCursor();
    OnSetCursor();
    UpdateStatusText();
}

void CPlaviaView::OnColourBlue()
{
    m_nMarkColour = MarkBlue;
}

void CPlaviaView::OnColourGreen()
{
    m_nMarkColour = MarkGreen;
}

void CPlaviaView::OnColourRed()
{
    m_nMarkColour = MarkRed;
}

void CPlaviaView::OnColourYellow()
{
    m_nMarkColour = MarkYellow;
}

void CPlaviaView::RegisterMouseCommands()
{
    CommandRouter& r = CommandRouter::Instance();
    r.Register(
        this, CommandId::MarksMode, [this] { OnMarksMode(); },
        [](CCmdUI& ui) {
            ui.Enable(M::editorMode && !M::numbersMode);
            ui.SetCheck(M::colourMarksMode);
        });
    r.Register(
        this, CommandId::NumbersInSquares, [this] { OnNumbersInSquares(); },
        [this](CCmdUI& ui) {
            ui.Enable(M::editorMode);
            ui.SetCheck(M::numbersMode);
            // The update runs whenever the program is idle: the palette is drawn again only when the
            // mode or the piece it shows has changed.
            bool changed = m_bNumbersPaletteShown != M::numbersMode;
            if (M::numbersMode && M::currentPiece != 'r') {
                M::currentPiece = 'r';
                changed = true;
            }
            m_bNumbersPaletteShown = M::numbersMode;
            if (changed) InvalidateAll(true);
        });
    r.Register(
        this, CommandId::BoardPlacement, [this] { OnBoardPlacement(); },
        [](CCmdUI& ui) { ui.Enable(M::editorMode); });
    struct Colour {
        unsigned id;
        int code;
        void (CPlaviaView::*handler)();
    };
    static constexpr Colour colours[] = { { CommandId::ColourBlue, MarkBlue, &CPlaviaView::OnColourBlue },
        { CommandId::ColourGreen, MarkGreen, &CPlaviaView::OnColourGreen },
        { CommandId::ColourRed, MarkRed, &CPlaviaView::OnColourRed },
        { CommandId::ColourYellow, MarkYellow, &CPlaviaView::OnColourYellow } };
    for (const Colour& c : colours)
        r.Register(
            this, c.id, [this, c] { (this->*c.handler)(); },
            [this, c](CCmdUI& ui) { ui.SetCheck(m_nMarkColour == c.code); });
}
