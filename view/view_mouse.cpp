#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "platform/Commands.h"
#include "positions/BoardLetters.h"
#include "positions/MarkEditing.h"
#include "res/CommandIds.h"
#include "settings/AppSettings.h"

#include <QMouseEvent>
#include <algorithm>
#include <cstdlib>

using namespace Win32;
using namespace MarkEditing;
using M = GlobalModes;

namespace {

int FlagsOf(const QMouseEvent* event)
{
    int flags = 0;
    Qt::MouseButtons buttons = event->buttons();
    if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
    Qt::KeyboardModifiers keys = event->modifiers();
    if (keys & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (keys & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

POINT PointOf(const QMouseEvent* event)
{
    QPoint p = event->position().toPoint();
    return { p.x(), p.y() };
}

} // namespace

// --- geometry of the squares under the mouse

bool CPlaviaView::SquareAtPoint(POINT point, int& column, int& row) const
{
    const int sq = m_nSquareSize;
    if (sq <= 0) return false;
    // The rank numbers (column 0) and the file letters (row 8) are no squares.
    RECT squares { m_rectBoard.left + sq, m_rectBoard.top, m_rectBoard.right, m_rectBoard.bottom - sq };
    if (!squares.Contains(point)) return false;
    column = (point.x - m_rectBoard.left) / sq;
    row = (point.y - m_rectBoard.top) / sq;
    return column >= 1 && column <= 8 && row >= 0 && row <= 7;
}

int CPlaviaView::DiagramSquare(int column, int row) const
{
    const Square shown = Square::FromCell(row, column);
    return (m_pCurrentDiagram && m_pCurrentDiagram->flipped ? shown.Mirrored() : shown).MarkNumber();
}

void CPlaviaView::InvalidateSquare(int column, int row)
{
    const int sq = m_nSquareSize;
    update(QRect(m_rectBoard.left + column * sq, m_rectBoard.top + row * sq, sq, sq));
}

void CPlaviaView::InvalidatePalette()
{
    update(QRect(m_rectPalette.left, m_rectPalette.top, m_rectPalette.Width(), m_rectPalette.Height()));
}

namespace {

// The palette is hit one square to the right of its rectangle: its first column is the frame.
RECT PaletteHitRect(const RECT& palette, int sq)
{
    return { palette.left + sq, palette.top, palette.right + sq, palette.bottom };
}

} // namespace

// --- Qt events to the handlers

void CPlaviaView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(FlagsOf(event), PointOf(event));
    else if (event->button() == Qt::RightButton)
        OnRButtonDown(FlagsOf(event), PointOf(event));
}

void CPlaviaView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(FlagsOf(event), PointOf(event));
    else if (event->button() == Qt::RightButton)
        OnRButtonUp(FlagsOf(event), PointOf(event));
}

void CPlaviaView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A quick second right press is a double click the board has no use for.
    if (event->button() == Qt::LeftButton) OnLButtonDblClk(FlagsOf(event), PointOf(event));
}

void CPlaviaView::mouseMoveEvent(QMouseEvent* event)
{
    OnMouseMove(FlagsOf(event), PointOf(event));
}

// --- the handlers

bool CPlaviaView::OnSetCursor()
{
    if (m_bPlacementMode) {
        setCursor(m_hPlacementCursor);
        return true;
    }
    unsetCursor();
    return false;
}

void CPlaviaView::ReleaseCursorClip()
{
    if (!m_bCursorConfined) return;
    m_bCursorConfined = false;
    m_rectCursorClip = m_rectSavedClip;
    if (mouseGrabber() == this) releaseMouse();
}

void CPlaviaView::OnMouseMove(int flags, POINT point)
{
    if (!m_bPlacementMode || !(flags & MK_LBUTTON)) return;
    if (m_bCursorConfined) {
        // The drag runs along one line at the height of its press, inside the window.
        QPoint global = mapToGlobal(QPoint(point.x, point.y));
        int x = std::clamp(
            global.x(), m_rectCursorClip.left, std::max(m_rectCursorClip.left, m_rectCursorClip.right - 1));
        QPoint local = mapFromGlobal(QPoint(x, m_rectCursorClip.top));
        point = { local.x(), local.y() };
    }
    m_ptMove = point;
    InvalidateAll(true);
    if (isVisible()) repaint();
}

void CPlaviaView::OnLButtonDown(int flags, POINT point)
{
    if (M::numbersMode) flags = MK_LBUTTON;
    if (!M::editorMode) return;
    m_ptDown = point;

    if (m_bPlacementMode && !m_bIgnoreNextRelease) {
        m_rectSavedClip = {};
        QPoint origin = mapToGlobal(QPoint(0, 0));
        const int top = origin.y() + point.y;
        m_rectCursorClip = { origin.x(), top, origin.x() + width() - 5, top };
        m_ptMove = point;
        m_bCursorConfined = true;
        grabMouse();
        return;
    }

    m_bPressOnSquare = false;
    m_nSavedLetterSquare = 0;
    if (m_rectBoard.Contains(point)) {
        M::mouseEdit = true;
        int column = 0, row = 0;
        m_bPressOnSquare = SquareAtPoint(point, column, row);
        PutPieceOnSquare(flags, point.x, point.y);
        return;
    }

    M::mouseEdit = false;
    const int sq = m_nSquareSize;
    if (sq > 0 && PaletteHitRect(m_rectPalette, sq).Contains(point)) {
        M::colourMarksMode = false;
        m_nPaletteRow = ClampPaletteRow((point.y - m_rectPalette.top) / sq);
        m_nPaletteColumn = ClampPaletteColumn((point.x - sq - m_rectPalette.left) / sq);
        if (M::numbersMode)
            M::currentNumber = PaletteNumber(m_nPaletteRow, m_nPaletteColumn);
        else
            M::currentPiece = PaletteLetter(m_nPaletteRow, m_nPaletteColumn, m_bLetterFamily2);
        InvalidatePalette();
        return;
    }
    m_bIgnoreNextRelease = true;
}

void CPlaviaView::PutPieceOnSquare(int flags, int x, int y)
{
    DiagramRecord* record = m_pCurrentDiagram;
    int column = 0, row = 0;
    if (!record || !SquareAtPoint({ x, y }, column, row)) {
        UpdateStatusText();
        return;
    }
    m_nSquareColumn = column;
    m_nSquareRow = row;
    const int square = DiagramSquare(column, row);
    const Square shown = Square::FromMarkNumber(square);
    const int boardRow = shown.Row(), cell = shown.Cell();
    char& letter = record->board[boardRow][cell];

    if (!M::colourMarksMode && PutsPiece(flags)) {
        M::savedSquareLetter = letter;
        m_nSavedLetterSquare = square;
        letter = LetterForPut(M::currentPiece, BoardLetters::IsLightSquare(row, column));
        m_bModified = true;
    }
    // Numbers and square markers leave the board as it was: the letter the press put is taken back, but
    // only on the square whose letter that press saved.
    if ((M::numbersMode || flags == MarkerPut) && m_nSavedLetterSquare == square)
        letter = M::savedSquareLetter;
    letter = RotatedFairyLetter(letter, record->rotations[boardRow][cell]);

    InvalidateSquare(column, row);
    if (M::currentPiece != M::paletteShownPiece) {
        InvalidatePalette();
        M::paletteShownPiece = M::currentPiece;
    }
    UpdateStatusText();
}

void CPlaviaView::OnLButtonDblClk(int flags, POINT point)
{
    if (!M::editorMode) return;
    const char piece = M::currentPiece;
    M::currentPiece = ' ';
    PutPieceOnSquare(flags, point.x, point.y);
    M::currentPiece = piece;
}

void CPlaviaView::OnRButtonDown(int flags, POINT point)
{
    if (M::numbersMode) flags = MK_LBUTTON;
    const int sq = m_nSquareSize;
    RECT area { m_rectBoard.left + sq, m_rectBoard.top, m_rectBoard.right, m_rectBoard.bottom };
    if (!M::editorMode || !area.Contains(point)) return;
    M::homeKeyX = point.x;
    M::currentPiece = OtherColourLetter(M::currentPiece, m_bLetterFamily2);
    m_nPaletteColumn = !m_nPaletteColumn;
    m_nSavedLetterSquare = 0;
    PutPieceOnSquare(flags, point.x, point.y);
}

void CPlaviaView::OnRButtonUp(int, POINT point)
{
    if (m_rectBoard.Contains(point) || PaletteHitRect(m_rectPalette, m_nSquareSize).Contains(point))
        M::homeKeyY = point.y;
    else if (M::editorMode)
        CommandRouter::Instance().Execute(CommandId::DiagramDatas);
}

void CPlaviaView::OnLButtonUp(int flags, POINT point)
{
    // The confinement of a placement drag ends with its release, whatever becomes of the release.
    const bool placementDrag = m_bCursorConfined;
    if (placementDrag) {
        OnMouseMove(MK_LBUTTON, point);
        ReleaseCursorClip();
    }
    if (m_bIgnoreNextRelease) {
        m_bIgnoreNextRelease = false;
        return;
    }
    if (!hasFocus()) return;
    const int dx = point.x - m_ptDown.x;
    const int dy = m_ptDown.y - point.y;

    if (m_bPlacementMode) {
        int w = std::max(m_ptMove.x - m_ptDown.x, 50);
        M::homeKeyX = w;
        // The square size the settings accept at the next start, so the placement survives it.
        const int sq = std::clamp(w / 8, AppSettings::MinimumSquareSize, AppSettings::MaximumSquareSize);
        const POINT d = m_ptDown, mv = m_ptMove;
        m_rectBoard = { d.x - sq, d.y, d.x + 8 * sq, d.y + 9 * sq };
        m_nSquareSize = sq;
        m_rectBoardDevice = m_rectBoard;
        m_rectPalette = { mv.x + 2 * sq, d.y, mv.x + 5 * sq, d.y + 7 * sq };
        m_rectText = { d.x - 2 * sq, d.y + 9 * sq, mv.x + 9 * sq, d.y + 10 * sq };
        m_ptDown.x = 0;
        m_bPlacementMode = false;
        OnSetCursor();
        InvalidateAll(true);
        return;
    }
    if (!M::editorMode) return;

    DiagramRecord* record = m_pCurrentDiagram;
    // Squares, colours and marks change only after a press on a square of the board.
    const bool onSquare = record && M::mouseEdit && m_bPressOnSquare;
    const int pressed = onSquare ? DiagramSquare(m_nSquareColumn, m_nSquareRow) : 0;
    const Square pressedSquare = Square::FromMarkNumber(pressed);

    if (IsClick(dx, dy) && !M::numbersMode) {
        if (!M::colourMarksMode && !HoldsKeyOrMiddle(flags)) return;
        if (onSquare) {
            m_bModified = true;
            m_nBnxOnlyCount += ToggleSquareColour(
                *record, pressedSquare.Row(), pressedSquare.Cell(), flags, m_nMarkColour);
        }
        PutPieceOnSquare(flags, m_ptDown.x, m_ptDown.y);
        return;
    }

    if (M::colourMarksMode || HoldsKeyOrMiddle(flags)) {
        int column = 0, row = 0;
        if (onSquare && !M::numbersMode && SquareAtPoint(point, column, row)) {
            const int target = DiagramSquare(column, row);
            if (target != pressed) AddMark(ArrowKindForFlags(flags), 1, pressed, target);
        }
    } else if (AppSettings::IntelligentMouse && !M::numbersMode && onSquare) {
        if (M::fairyMode) {
            m_bFairyMarks = true;
            int rotation
                = RotationForDrag(dx, dy, BoardLetters::IsLightSquare(m_nSquareRow, m_nSquareColumn));
            if (rotation >= 0)
                record->rotations.Set(
                    pressedSquare.Row(), pressedSquare.Cell(), static_cast<int8_t>(rotation));
        }
        GestureChoice choice = ChoiceForDrag(ClassifyDrag(dx, dy), m_nPaletteColumn != 0, m_bLetterFamily2);
        if (choice.piece) {
            M::currentPiece = choice.piece;
            m_nPaletteRow = choice.paletteRow;
            PutPieceOnSquare(flags, m_ptDown.x, m_ptDown.y);
        } else {
            AddMark(choice.markerKind, 1, pressed, pressed);
            PutPieceOnSquare(MarkerPut, m_ptDown.x, m_ptDown.y);
        }
    }

    if (M::numbersMode && onSquare) AddMark(Marks::KindNumber, 1, pressed, pressed);
}
