#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "platform/Commands.h"
#include "platform/Dc.h"
#include "platform/Strings.h"
#include "positions/BoardLetters.h"
#include "positions/BoardText.h"
#include "res/CommandIds.h"
#include "res/StringIds.h"
#include "settings/AppSettings.h"

#include <QImage>
#include <QPaintEvent>
#include <algorithm>
#include <cctype>
#include <cstring>

using namespace Win32;
using namespace BoardGeometry;
using M = GlobalModes;

namespace {

// Background textures: rag paper, watercolor and chalk, pictures of our own.
const QImage& TexturePicture(int texture)
{
    static const QImage pictures[3] = { QImage(":/images/texture_211.png"),
        QImage(":/images/texture_199.png"), QImage(":/images/texture_212.png") };
    static const QImage none;
    return texture >= 1 && texture <= 3 ? pictures[texture - 1] : none;
}

COLORREF PieceColour()
{
    return M::transparentNow ? SettingsState::piecesColour : RGB(0, 0, 0);
}

} // namespace

void CPlaviaView::paintEvent(QPaintEvent*)
{
    Dc dc(this);
    PaintView(dc);
}

void CPlaviaView::PaintView(Dc& dc)
{
    OnEraseBkgnd(dc);
    OnPrepareDC(dc);
    OnDraw(dc);
}

bool CPlaviaView::OnEraseBkgnd(Dc& dc)
{
    CBrush background(SettingsState::backgroundColour);
    CBrush* old = dc.SelectObject(&background);
    RECT box = dc.GetClipBox();
    dc.PatBlt(box.left, box.top, box.Width(), box.Height(), PATCOPY);
    dc.SelectObject(old);
    return true;
}

void CPlaviaView::OnPrepareDC(Dc& dc)
{
    if (!dc.IsPrinting()) {
        dc.SetMapMode(MM_TEXT);
        dc.SetViewportOrg(0, 0);
        m_rectClient = { 0, 0, width(), height() };
        m_rectBoardDevice = m_rectBoard;
        dc.LPtoDP(m_rectBoardDevice);
    }
}

void CPlaviaView::BuildDisplayCopy()
{
    const DiagramRecord& record = *m_pCurrentDiagram;
    m_displayRows = BoardText::DisplayRows(record);
    m_displayColours = {};
    for (int r = 0; r < 8; ++r)
        for (int c = 1; c <= 8; ++c) {
            int rr = r, rc = c;
            RecordCell(record.flipped != 0, r, c, rr, rc);
            m_displayColours[r][c] = record.colours[rr][rc];
        }
    if (record.flipped) {
        std::memcpy(m_szFileLetters, "HGFEDCBA", 9);
        std::memcpy(m_szRankLabels, "12345678", 9);
        for (int i = 0; i < MaxMarks; ++i) {
            const MarkSlot& slot = record.marks[size_t(i)];
            // Numbers that name no square stay as they are.
            auto mirrored = [](uint8_t square) {
                const Square s = Square::FromMarkNumber(square);
                return s.Valid() ? uint8_t(s.Mirrored().MarkNumber()) : square;
            };
            m_displayMarks[size_t(i)] = { mirrored(slot.from), mirrored(slot.to), slot.type };
        }
    } else {
        std::memcpy(m_szFileLetters, "ABCDEFGH", 9);
        std::memcpy(m_szRankLabels, "87654321", 9);
        std::copy(record.marks.begin(), record.marks.end(), m_displayMarks.begin());
    }
}

void CPlaviaView::OnDraw(Dc& dc)
{
    if (dc.IsPrinting()) {
        DrawPrintPage(dc);
        return;
    }
    m_rectClient = { 0, 0, width(), height() };
    m_rectTextDevice = m_rectClient;
    if (m_bPlacementMode) {
        DrawPlacementLine(dc);
        return;
    }

    // Set-up: the background texture, the chess font turned four ways, the coordinates' font, colours.
    const bool textured = DrawTexture(dc);
    const int sq = m_nSquareSize;
    CFont upright, turned90, turned180, turned270, textFont;
    CFont* chessFonts[4] = { &upright, &turned90, &turned180, &turned270 };
    for (int i = 0; i < 4; ++i)
        chessFonts[i]->CreateFont(sq, 0, 900 * i, 900 * i, FW_NORMAL, false, false, false, m_nFontCharset,
            OUT_STROKE_PRECIS, 0, ANTIALIASED_QUALITY, 0x16, m_strFontFace);
    textFont.CreateFont(sq / 2 - 1, 0, 0, 0, FW_BOLD, false, false, false, ANSI_CHARSET, 0, 0,
        ANTIALIASED_QUALITY, FF_SWISS, "Arial");
    CFont* savedFont = dc.SelectObject(&upright);
    const COLORREF pieceColour = PieceColour();
    dc.SetBkColor(SettingsState::backgroundColour);
    dc.SetTextColor(pieceColour);

    const bool listEmpty = m_nLastIndex < 0 || !m_pCurrentDiagram;
    DrawBoardRows(dc, chessFonts, textured, listEmpty);
    if (M::editorMode) DrawPalette(dc, upright, textFont, pieceColour);
    if (M::correctionMode) DrawCorrectionTexts(dc, upright, textFont, pieceColour);
    if (!listEmpty && m_pCurrentDiagram->markCount != 0 && !m_bHideTextAndArrows) DrawMarks(dc, textFont);
    DrawLabels(dc, textFont, listEmpty);
    dc.SelectObject(savedFont);
}

void CPlaviaView::DrawPlacementLine(Dc& dc)
{
    // Nothing of the board: the erased background, and the drag's line once the press is made.
    if (m_ptDown.x <= 0) return;
    CPen red(PS_SOLID, 2, RGB(255, 0, 0));
    CPen* oldPen = dc.SelectObject(&red);
    dc.MoveTo(m_ptDown.x, m_ptDown.y);
    dc.LineTo(m_ptMove.x, m_ptDown.y);
    dc.SetBkColor(SettingsState::backgroundColour);
    dc.TextOut(m_ptMove.x + 20, m_ptDown.y, std::to_string(m_ptMove.x - m_ptDown.x));
    dc.SelectObject(oldPen);
}

bool CPlaviaView::DrawTexture(Dc& dc)
{
    const bool textured = SettingsState::currentTexture >= 1 && SettingsState::currentTexture <= 3;
    if (!textured) return false;
    dc.SetBkMode(TRANSPARENT);
    CBrush texture;
    texture.CreatePatternBrush(TexturePicture(SettingsState::currentTexture));
    CBrush* oldBrush = dc.SelectObject(&texture);
    // The whole area being painted, which for a picture of the board may reach past the window; the
    // rectangle's outline stays outside what is painted.
    const RECT box = dc.GetClipBox();
    if (box.left >= 0 && box.top >= 0 && box.right <= m_rectClient.Width()
        && box.bottom <= m_rectClient.Height())
        dc.Rectangle(0, 0, m_rectClient.Width(), m_rectClient.Height());
    else
        dc.Rectangle(std::min(0, box.left - 1), std::min(0, box.top - 1),
            std::max(m_rectClient.Width(), box.right + 1), std::max(m_rectClient.Height(), box.bottom + 1));
    dc.SelectObject(oldBrush);
    return true;
}

void CPlaviaView::DrawBoardRows(Dc& dc, CFont* chessFonts[4], bool textured, bool listEmpty)
{
    const int sq = m_nSquareSize;
    const int left = m_rectBoard.left, top = m_rectBoard.top;
    const bool family2 = m_bLetterFamily2;
    dc.TextOut(left, top - sq, BoardLetters::TopFrameRow(family2));
    if (listEmpty) {
        for (int r = 0; r < 8; ++r)
            dc.TextOut(left, top + r * sq, std::string(EmptyBoardTemplate[r].data(), 10));
    } else {
        BuildDisplayCopy();
        const DiagramRecord& record = *m_pCurrentDiagram;
        const bool bySquare = M::fairyMode || (record.colouredCount != 0 && !m_bHideTextAndArrows);
        if (!bySquare) {
            for (int r = 0; r < 8; ++r)
                dc.TextOut(left, top + r * sq, std::string(m_displayRows[r].data(), 10));
        } else {
            for (int r = 0; r < 8; ++r)
                for (int c = 0; c <= 9; ++c) DrawBoardCell(dc, chessFonts, textured, r, c);
        }
    }
    dc.TextOut(
        left, top + 8 * sq, BoardLetters::BottomFrameRow(family2, BoardLetters::IsBerlinFace(m_strFontFace)));
}

void CPlaviaView::DrawBoardCell(Dc& dc, CFont* chessFonts[4], bool textured, int r, int c)
{
    // A cell at a time: a turned fairy piece in its turned font, a coloured square on its colour.
    const int sq = m_nSquareSize;
    int x = m_rectBoard.left + c * sq, y = m_rectBoard.top + r * sq;
    int rr = r, rc = c;
    RecordCell(m_pCurrentDiagram->flipped != 0, r, c, rr, rc);
    const int rotation = c >= 1 && c <= 8 ? m_pCurrentDiagram->rotations[rr][rc] : 0;
    switch (rotation) {
    case 1:
        dc.SelectObject(chessFonts[1]);
        y += sq;
        break;
    case 2:
        dc.SelectObject(chessFonts[2]);
        x += sq;
        y += sq;
        break;
    case 3:
        dc.SelectObject(chessFonts[3]);
        x += sq;
        break;
    default: // 4 and 5 are letters of their own, already turned
        break;
    }
    const std::string cell(1, m_displayRows[r][c]);
    const int code
        = c >= 1 && c <= 8 && IsDrawableSquareColour(m_displayColours[r][c]) ? m_displayColours[r][c] : 0;
    if (code != 0) {
        dc.SetBkMode(OPAQUE);
        dc.SetBkColor(m_colorTable[size_t(code)]);
        dc.TextOut(x, y, cell);
        dc.SetBkColor(SettingsState::backgroundColour);
        if (textured) dc.SetBkMode(TRANSPARENT);
    } else {
        dc.TextOut(x, y, cell);
    }
    if (rotation >= 1 && rotation <= 3) dc.SelectObject(chessFonts[0]);
}

void CPlaviaView::DrawCorrectionTexts(Dc& dc, CFont& chessFont, CFont& textFont, COLORREF pieceColour)
{
    // Over the top frame, and under the board: what the walk through the faulty lines says.
    dc.SelectObject(&textFont);
    dc.SetTextColor(RGB(255, 0, 128));
    dc.TextOut(m_rectBoard.left, m_rectBoard.top - m_nSquareSize, LoadString(StringId::CorrectionModeLabel));
    dc.TextOut(m_rectBoard.left, m_rectBoard.bottom + m_nSquareSize / 2, SettingsState::correctionStatusText);
    dc.SetTextColor(pieceColour);
    dc.SelectObject(&chessFont);
}

void CPlaviaView::DrawLabels(Dc& dc, CFont& textFont, bool listEmpty)
{
    const int sq = m_nSquareSize;
    dc.SelectObject(&textFont);
    if (m_bShowCoordinates) {
        for (int i = 0; i < 8; ++i) {
            POINT rank = RankLabelOrigin(m_rectBoard, sq, i);
            dc.TextOut(rank.x, rank.y, std::string(1, m_szRankLabels[i]));
            char file = m_szFileLetters[i];
            if (AppSettings::PrintCoords == 1) file = char(std::tolower(static_cast<unsigned char>(file)));
            POINT at = FileLetterOrigin(m_rectBoard, sq, i);
            dc.TextOut(at.x, at.y, std::string(1, file));
        }
    }
    if (listEmpty) return;
    const int number = m_nStartNumber + m_nCurrentIndex;
    if (M::correctionMode) {
        dc.TextOut(m_rectBoard.left, m_rectBoard.bottom, LabelText(number, *m_pCurrentDiagram, false));
    } else {
        m_rectTextDevice.left = m_rectBoard.left;
        m_rectTextDevice.top = m_rectBoard.bottom;
        dc.DrawText(
            LabelText(number, *m_pCurrentDiagram, m_bHideTextAndArrows), m_rectTextDevice, DT_WORDBREAK);
    }
}

void CPlaviaView::DrawPalette(Dc& dc, CFont& chessFont, CFont& textFont, COLORREF pieceColour)
{
    const int sq = m_nSquareSize;
    const bool family2 = m_bLetterFamily2;
    const bool numbers = M::numbersMode;
    if (numbers) dc.SetBkMode(TRANSPARENT);
    for (int row = 0; row < PaletteDrawRows; ++row) {
        const std::string letters = PaletteRowText(row, family2, numbers);
        if (row == 8 && BoardLetters::IsBerlinFace(m_strFontFace)) {
            POINT at = PaletteCellOrigin(m_rectBoard, m_rectPalette, sq, 0, row);
            dc.TextOut(at.x, at.y, "7889");
            continue;
        }
        for (int column = 0; column < PaletteDrawColumns; ++column) {
            POINT at = PaletteCellOrigin(m_rectBoard, m_rectPalette, sq, column, row);
            const bool selected = row == m_nPaletteRow + 1 && column == m_nPaletteColumn + 1 && column < 3;
            const std::string cell(1, letters[size_t(column)]);
            if (selected) {
                dc.SetTextColor(RGB(255, 0, 128));
                dc.TextOut(at.x, at.y, cell);
                dc.SetTextColor(pieceColour);
                if (numbers && PaletteCellNumber(row, column) != 0)
                    M::currentNumber = static_cast<unsigned char>(PaletteCellNumber(row, column));
            } else if (numbers) {
                dc.SetTextColor(RGB(0, 128, 128));
                dc.TextOut(at.x, at.y, cell);
                dc.SetTextColor(RGB(0, 0, 0));
            } else {
                dc.SetTextColor(pieceColour);
                dc.TextOut(at.x, at.y, cell);
            }
            if (numbers && row >= 1 && row <= 7 && (column == 1 || column == 2)) {
                POINT n = PaletteNumberOrigin(m_rectBoard, m_rectPalette, sq, column, row);
                dc.SelectObject(&textFont);
                dc.TextOut(n.x, n.y, std::string(1, PaletteNumberChars(row)[size_t(column - 1)]));
                dc.SelectObject(&chessFont);
            }
        }
    }
}

void CPlaviaView::DrawMarks(Dc& dc, CFont& textFont)
{
    const int sq = m_nSquareSize;
    const bool family2 = m_bLetterFamily2;
    const int oldMode = dc.SetGraphicsMode(GM_ADVANCED);
    auto letterAt = [this](int square) {
        const Square shown = Square::FromMarkNumber(square);
        return m_displayRows[size_t(shown.Row())][size_t(shown.Cell())];
    };
    for (const MarkSlot& slot : m_displayMarks) {
        if (slot.from == 0) continue;
        if (IsDrawableArrow(slot)) {
            ArrowShape arrow = ArrowPolygon(m_rectBoard, sq, slot.from, slot.to,
                !IsEmptyLetter(letterAt(slot.from)), !IsEmptyLetter(letterAt(slot.to)));
            m_dArrowAngle = arrow.angle;
            m_dArrowLength = arrow.length;
            if (arrow.angle != 0) dc.SetWorldTransform(arrow.Transform());
            CBrush fill(m_colorTable[slot.type]);
            CBrush* oldBrush = dc.SelectObject(&fill);
            dc.Polygon(arrow.points.data(), int(arrow.points.size()));
            dc.SelectObject(oldBrush);
            if (arrow.angle != 0) dc.SetWorldTransform(XFORM {});
            continue;
        }
        if (!IsDrawableSquareMark(slot)) continue;
        const RECT r = MarkerRect(m_rectBoard, sq, slot.from);
        const bool onBlack = IsBlackPieceLetter(letterAt(slot.from), family2);
        const COLORREF colour = m_colorTable[onBlack ? 8 : 7];
        if (slot.type == MarkSquare1) {
            CBrush fill(colour);
            CBrush* oldBrush = dc.SelectObject(&fill);
            dc.Ellipse(r.left, r.top, r.right, r.bottom);
            dc.SelectObject(oldBrush);
        } else if (slot.type == MarkSquare2) {
            CPen cross(PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_SOLID, sq / 8, colour);
            CPen* oldPen = dc.SelectObject(&cross);
            dc.MoveTo(r.left, r.top);
            dc.LineTo(r.right, r.bottom);
            dc.MoveTo(r.right, r.top);
            dc.LineTo(r.left, r.bottom);
            dc.SelectObject(oldPen);
        } else {
            CFont* oldFont = dc.SelectObject(&textFont);
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(m_colorTable[onBlack ? 2 : 7]);
            POINT at = NumberMarkOrigin(m_rectBoard, sq, slot.from);
            dc.TextOut(at.x, at.y, std::string(1, NumberMarkChar(slot.type)));
            dc.SetTextColor(RGB(0, 0, 0));
            dc.SelectObject(oldFont);
        }
    }
    dc.SetGraphicsMode(oldMode);
}

void CPlaviaView::OnFlipBoard()
{
    if (m_nLastIndex >= 0) {
        for (DiagramRecord* r = m_pFirstDiagram; r; r = r->next) r->flipped = r->flipped ? 0 : 1;
        // A BNX file keeps which side each board is seen from.
        m_bModified = true;
    }
    InvalidateAll(true);
}

bool CPlaviaView::FindMoveSquares(bool toNext)
{
    const DiagramRecord* current = m_pCurrentDiagram;
    const DiagramRecord* other = current ? (toNext ? current->next : current->previous) : nullptr;
    if (!other) return false;
    int found = 0;
    int rows[2] = {}, columns[2] = {};
    for (int r = 0; r < 8; ++r)
        for (int c = 1; c <= 8; ++c) {
            if (current->board[r][c] == other->board[r][c]) continue;
            if (found == 2) return false;
            rows[found] = current->flipped ? 7 - r : r;
            columns[found] = current->flipped ? 9 - c : c;
            ++found;
        }
    if (found < 2) return false;
    m_rectMoveFrom = CellRect(m_rectBoard, m_nSquareSize, columns[0], rows[0]);
    m_rectMoveTo = CellRect(m_rectBoard, m_nSquareSize, columns[1], rows[1]);
    return true;
}

void CPlaviaView::RegisterDrawCommands()
{
    CommandRouter::Instance().Register(this, CommandId::FlipBoard, [this] { OnFlipBoard(); });
    RegisterFontCommands();
}
