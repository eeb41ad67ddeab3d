#include "CPlaviaView.h"

#include "BoardGeometry.h"
#include "GlobalModes.h"
#include "dialogs/CNumDiag.h"
#include "platform/Commands.h"
#include "platform/Dc.h"
#include "platform/Print.h"
#include "positions/BoardLetters.h"
#include "res/CommandIds.h"
#include "settings/AppSettings.h"

#include <QPainter>
#include <cmath>
#include <cstring>

using namespace Win32;
using namespace BoardGeometry;

namespace {

// Fonts of one printed page: the chess font upright and turned, and the three Arial fonts.
struct PrintFonts {
    CFont chess[4];
    CFont title, comment, text;
    PrintFonts(int sq, int textHeight, int charset, const std::string& face)
    {
        for (int i = 0; i < 4; ++i)
            chess[i].CreateFont(sq, 0, 900 * i, 900 * i, FW_NORMAL, false, false, false, charset,
                OUT_STROKE_PRECIS, 0, ANTIALIASED_QUALITY, 0x16, face);
        auto arial = [](CFont& f, int height, int weight) {
            f.CreateFont(height, 0, 0, 0, weight, false, false, false, ANSI_CHARSET, 0, 0,
                ANTIALIASED_QUALITY, FF_SWISS, "Arial");
        };
        arial(title, textHeight, FW_BOLD);
        arial(comment, 190, FW_NORMAL);
        arial(text, textHeight, FW_NORMAL);
    }
};

bool HoldsPiece(const DiagramRecord& r, int square)
{
    const Square s = Square::FromMarkNumber(square);
    return !IsEmptyLetter(r.board[size_t(s.Row())][size_t(s.Cell())]);
}

} // namespace

int CPlaviaView::PrintPageCount() const
{
    return AppSettings::MonoMultiDiagPrint ? DiagramCount() : m_nPageCount;
}

void CPlaviaView::OnPreparePrinting(CPrintInfo& info)
{
    printCoordsOn = AppSettings::PrintCoords != 0;
    printCommentOn = AppSettings::PrintComment != 0;
    printOnePerPage = AppSettings::MonoMultiDiagPrint != 0;
    info.minPage = 1;
    info.maxPage = std::max(1, PrintPageCount());
    m_nPreviewStartPage = printOnePerPage ? m_nCurrentIndex + 1 : m_nCurrentIndex / 9 + 1;
    info.currentPage = m_nPreviewStartPage;
}

void CPlaviaView::OnPrint(Dc& dc, CPrintInfo& info)
{
    const int page = info.currentPage;
    m_nPrintPage = page;
    m_nPrintPageIndex = page - 1;
    m_pPrintDiagram = m_pFirstDiagram;
    // The printer's printable area: its last line holds the page number, which below it would fall
    // off the paper. The page is drawn in it whatever its size: see FitPrintLayout and DrawOneAPage.
    m_rectPrintDraw = { 0, 0, info.drawRight, info.drawBottom };
    if (!printOnePerPage) {
        m_pPrintPage = PageNode(page);
        for (int i = 0; i < 9 * (page - 1) && m_pPrintDiagram; ++i) m_pPrintDiagram = m_pPrintDiagram->next;
        printDiagramsOnPage = 9;
        if (page == m_nPageCount) {
            printDiagramsOnPage = DiagramCount() % 9;
            if (printDiagramsOnPage == 0) printDiagramsOnPage = 9;
        }
        printSquareSize = 390;
        printTextHeight = 220;
    } else {
        printSquareSize
            = std::min(info.drawRight, std::abs(info.drawBottom)) / (11 + 3 * AppSettings::SizeDiag);
        printTextHeight = printSquareSize / 3;
        for (int i = 0; i < page - 1 && m_pPrintDiagram; ++i) m_pPrintDiagram = m_pPrintDiagram->next;
        m_pPrintPage = PageNode((page + 8) / 9);
        printDiagramsOnPage = 1;
    }
    DrawPrintPage(dc);
}

void CPlaviaView::PrintBoard(Dc& dc, const DiagramRecord& record, int x0, int y0, CFont* chess, CFont& text)
{
    const int sq = printSquareSize;
    const int T = dc.GetTextMetrics().tmHeight;
    const bool family2 = m_bLetterFamily2;
    const std::string bottom
        = BoardLetters::BottomFrameRow(family2, BoardLetters::IsBerlinFace(m_strFontFace), printCoordsOn);
    auto rankLabel = [&](int i, int rowY) {
        if (!printCoordsOn) return;
        CFont* old = dc.SelectObject(&text);
        dc.TextOut(x0 + sq / 3, rowY - sq / 3, std::string(1, char('8' - i)));
        dc.SelectObject(old);
    };

    const bool plain = record.colouredCount == 0 && !GlobalModes::fairyMode;
    if (plain) {
        dc.TextOut(x0, y0, BoardLetters::TopFrameRow(family2));
        for (int i = 0; i < 8; ++i) {
            const int y = y0 - (i + 1) * T;
            dc.TextOut(x0, y, std::string(record.board[size_t(i)].data(), 10));
            rankLabel(i, y);
        }
        dc.TextOut(x0, y0 - 9 * T, bottom);
    } else {
        dc.TextOut(x0, y0, BoardLetters::TopFrameRow(family2));
        for (int r = 0; r < 8; ++r) {
            const int rowY = y0 - (r + 1) * sq;
            for (int c = 0; c <= 9; ++c) {
                int x = x0 + c * sq, y = rowY;
                const int rotation = c >= 1 && c <= 8 ? record.rotations[size_t(r)][size_t(c)] : 0;
                CFont* font = &chess[0];
                if (rotation == 1) {
                    font = &chess[3];
                    y -= sq;
                } else if (rotation == 2) {
                    font = &chess[2];
                    x += sq;
                    y -= sq;
                } else if (rotation == 3) {
                    font = &chess[1];
                    x += sq;
                }
                dc.SelectObject(font);
                const char letter = record.board[size_t(r)][size_t(c)];
                const int code = c >= 1 && c <= 8 ? record.colours[size_t(r)][size_t(c)] : 0;
                if (IsDrawableSquareColour(code)) {
                    dc.SetBkColor(m_colorTable[size_t(code)]);
                    if (letter == ' ') {
                        // An empty light square takes its colour from a pawn glyph drawn in that colour.
                        COLORREF pieces = dc.SetTextColor(m_colorTable[size_t(code)]);
                        dc.TextOut(x, y, "p");
                        dc.SetTextColor(pieces);
                    } else {
                        dc.TextOut(x, y, std::string(1, letter));
                    }
                    dc.SetBkColor(m_colorTable[0]);
                } else {
                    dc.TextOut(x, y, std::string(1, letter));
                }
                dc.SelectObject(&chess[0]);
            }
            rankLabel(r, rowY);
        }
        for (int c = 0; c <= 9; ++c) dc.TextOut(x0 + c * sq, y0 - 9 * sq, std::string(1, bottom[size_t(c)]));
    }
    if (record.markCount != 0) PrintMarks(dc, record, x0, y0 - sq, text);
}

void CPlaviaView::PrintMarks(Dc& dc, const DiagramRecord& record, int x0, int Y, CFont& text)
{
    const int sq = printSquareSize;
    const int oldMode = dc.SetGraphicsMode(GM_ADVANCED);
    CFont* chessFont = dc.CurrentFont();
    for (const MarkSlot& slot : record.marks) {
        if (slot.from == 0) continue;
        if (IsDrawableArrow(slot)) {
            auto centre = [&](int square) {
                const Square shown = Square::FromMarkNumber(square);
                return POINT { x0 + shown.Cell() * sq + sq / 2, Y - shown.Row() * sq - sq / 2 };
            };
            const ArrowShape arrow = ArrowBetween(centre(slot.from), centre(slot.to), sq,
                HoldsPiece(record, slot.from), HoldsPiece(record, slot.to), PrintedArrow(sq));
            dc.SetWorldTransform(arrow.Transform());
            CBrush fill(m_colorTable[slot.type]);
            CBrush* oldBrush = dc.SelectObject(&fill);
            dc.Polygon(arrow.points.data(), int(arrow.points.size()));
            dc.SelectObject(oldBrush);
            dc.SetWorldTransform(XFORM {});
            continue;
        }
        if (!IsDrawableSquareMark(slot)) continue;
        const Square at = Square::FromMarkNumber(slot.from);
        const int column = at.Cell(), row = at.Row();
        const int left = x0 + column * sq + sq / 3, right = left + sq / 3;
        const int lower = Y - (row + 1) * sq + sq / 3, upper = lower + sq / 3;
        const bool onBlack = IsBlackPieceLetter(record.board[size_t(row)][size_t(column)], m_bLetterFamily2);
        const COLORREF colour = m_colorTable[onBlack ? 8 : 7];
        if (slot.type == MarkSquare1) {
            CBrush fill(colour);
            CBrush* oldBrush = dc.SelectObject(&fill);
            dc.Ellipse(left, upper, right, lower);
            dc.SelectObject(oldBrush);
        } else if (slot.type == MarkSquare2) {
            CPen cross(PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_SOLID, sq / 8, colour);
            CPen* oldPen = dc.SelectObject(&cross);
            dc.MoveTo(left, upper);
            dc.LineTo(right, lower);
            dc.MoveTo(right, upper);
            dc.LineTo(left, lower);
            dc.SelectObject(oldPen);
        } else {
            dc.SetGraphicsMode(GM_COMPATIBLE);
            dc.SelectObject(&text);
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(m_colorTable[onBlack ? 2 : 7]);
            dc.TextOut(left + sq / 11, upper + sq / 12, std::string(1, NumberMarkChar(slot.type)));
            dc.SetTextColor(RGB(0, 0, 0));
            dc.SetBkMode(OPAQUE);
            dc.SetGraphicsMode(GM_ADVANCED);
            dc.SelectObject(chessFont);
        }
    }
    dc.SetGraphicsMode(oldMode);
}

void CPlaviaView::DrawPrintPage(Dc& dc)
{
    if (m_nLastIndex < 0 || !m_pPrintDiagram) return;
    if (printOnePerPage)
        DrawOneAPage(dc);
    else
        DrawNineAPage(dc);
}

namespace {

// The last line of the page is kept for the page number whether it is printed or not: switching the
// number on moves nothing else.
int PageNumberRoom(int textHeight)
{
    return textHeight + textHeight / 2;
}

CFont TextFont(int height, int weight)
{
    CFont font;
    font.CreateFont(height, 0, 0, 0, weight, false, false, false, ANSI_CHARSET, 0, 0, ANTIALIASED_QUALITY,
        FF_SWISS, "Arial");
    return font;
}

// The height of a text broken into lines `width` wide, in the context's current font.
int TextHeight(Dc& dc, const std::string& text, int width, unsigned format)
{
    if (text.empty()) return 0;
    RECT r { 0, 0, width, 0 };
    return dc.DrawText(text, r, format | DT_CALCRECT);
}

} // namespace

void CPlaviaView::FitPrintLayout(Dc& dc, int layoutWidth, int layoutHeight)
{
    // A layout larger than the printable area is shrunk as a whole, never enlarged; what room is left
    // across the page is shared on both sides.
    const int pageWidth = m_rectPrintDraw.right, pageHeight = -m_rectPrintDraw.bottom;
    const double scale
        = std::min({ 1.0, double(pageWidth) / layoutWidth, double(pageHeight) / layoutHeight });
    dc.SetZoom(scale);
    const int width = int(pageWidth / scale), bottom = int(m_rectPrintDraw.bottom / scale);
    dc.SetWindowOrg(-std::max(0, (width - layoutWidth) / 2), 0);
    m_rectPrintDraw = { 0, 0, layoutWidth, bottom };
}

void CPlaviaView::DrawOneAPage(Dc& dc)
{
    const DiagramRecord& record = *m_pPrintDiagram;
    const int right = m_rectPrintDraw.right, bottom = m_rectPrintDraw.bottom;
    const bool pageTexts = printCommentOn && m_pPrintPage;
    const std::string& topText = pageTexts ? m_pPrintPage->topText : std::string();
    const std::string& comment = printCommentOn ? record.comment : std::string();

    // The square of the chosen size, made smaller while the page's texts, the board and its comment do
    // not fit one above the other; long texts are cut to the lines that fit once the board is half its
    // size.
    struct Layout {
        int sq, H, topRoom, commentTop, block, numberRoom;
        int Needed() const { return topRoom + block + numberRoom; }
    };
    CFont* oldFont = dc.CurrentFont();
    auto layOut = [&](int sq) {
        Layout l;
        l.sq = sq;
        l.H = sq / 3;
        CFont text = TextFont(l.H, FW_NORMAL);
        dc.SelectObject(&text);
        const int tt = TextHeight(dc, topText, right, DT_WORDBREAK);
        l.topRoom = pageTexts ? (tt > 0 ? 3 * l.H + tt : 2 * l.H) + l.H / 3 : 0;
        l.commentTop = 9 * sq + sq / 5 + (printCoordsOn ? sq : 0);
        const int ch = TextHeight(dc, comment, 10 * sq, DT_CENTER | DT_WORDBREAK);
        l.block = std::max(10 * sq, ch > 0 ? l.commentTop + ch : 0);
        l.numberRoom = PageNumberRoom(dc.GetTextMetrics().tmHeight);
        dc.SelectObject(oldFont);
        return l;
    };
    const int smallest = std::max(1, printSquareSize / 2);
    Layout l = layOut(printSquareSize);
    for (int tries = 0; tries < 12 && l.Needed() > -bottom && l.sq > smallest; ++tries)
        l = layOut(std::max(smallest, std::min(l.sq - 1, int(double(l.sq) * -bottom / l.Needed()))));
    const int sq = l.sq, H = l.H;
    printSquareSize = sq;
    printTextHeight = H;

    // The board where the page centres it, moved up or down as far as its texts need.
    const int floor = bottom + l.numberRoom;
    int y0 = std::min(-l.topRoom, std::max((bottom + 8 * sq) / 2 + 2 * sq, floor + l.block));
    y0 = std::max(y0, floor + 10 * sq);
    const int boardLeft = (right - 10 * sq) / 2, boardTop = y0 - sq;
    m_rectPrintDraw.left = boardLeft;
    m_rectPrintDraw.top = boardTop - sq;

    PrintFonts fonts(sq, H, m_nFontCharset, m_strFontFace);
    dc.SelectObject(&fonts.chess[0]);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkColor(m_colorTable[0]);
    dc.SetBkMode(OPAQUE);
    if (pageTexts) {
        dc.SelectObject(&fonts.title);
        RECT title { 0, -H, right, -2 * H };
        dc.DrawText(m_pPrintPage->title, title, DT_CENTER | DT_END_ELLIPSIS);
        dc.SelectObject(&fonts.text);
        RECT top { 0, -3 * H, right, y0 + H / 3 };
        dc.DrawText(topText, top, DT_WORDBREAK | DT_EDITCONTROL);
        dc.SelectObject(&fonts.chess[0]);
    }
    PrintBoard(dc, record, boardLeft, y0, fonts.chess, fonts.text);
    if (AppSettings::PrintActiveColor) {
        const int left = boardLeft + 9 * sq + sq / 3;
        CBrush* old = record.blackToMove ? dc.SelectObject(CBrush::Stock(BLACK_BRUSH)) : nullptr;
        dc.Ellipse(left, boardTop - sq, left + sq / 3, boardTop - sq - sq / 3);
        if (old) dc.SelectObject(old);
    }
    dc.SelectObject(&fonts.text);
    const int numberHeight = dc.GetTextMetrics().tmHeight;
    if (!comment.empty()) {
        RECT r { boardLeft, y0 - l.commentTop, boardLeft + 10 * sq, floor };
        dc.DrawText(comment, r, DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL);
    }
    if (AppSettings::PrintPageNumber) PrintPageNumberLine(dc, numberHeight);
    dc.SelectObject(oldFont);
}

namespace {

// A page of nine diagrams in three rows of three, laid out in the twips of large paper and shrunk to the
// page: T is the chess font's height, T2 and E the text font's height and external leading, H the text
// height of the settings.
struct NinePage {
    CPlaviaView& view;
    Dc& dc;
    PrintFonts& fonts;
    int sq, H, T, T2, E;
    bool bnx;
    int right = 0;
    std::vector<const DiagramRecord*> records;

    // The boards, then the side to move of each: a small disc beside the board, black for Black.
    void Boards()
    {
        struct Marker {
            RECT rect;
            bool black;
        };
        std::vector<Marker> markers;
        int x0 = sq / 2, y0 = -3 * T;
        const DiagramRecord* record = view.m_pPrintDiagram;
        for (int k = 0; k < view.printDiagramsOnPage && record; ++k, record = record->next) {
            records.push_back(record);
            view.PrintBoard(dc, *record, x0, y0, fonts.chess, fonts.text);
            dc.SelectObject(&fonts.chess[0]);
            const bool plain = record->colouredCount == 0 && !GlobalModes::fairyMode;
            RECT m;
            m.left = x0 + 9 * sq + sq / 3;
            m.right = m.left + T / 3;
            if (plain) {
                const int rank6 = y0 - 3 * T;
                m.top = rank6 + T / 2 + T / 3;
                m.bottom = rank6 + T / 2;
            } else {
                m.top = y0 - sq - T - T / 7;
                m.bottom = y0 - sq - T - T / 2;
            }
            markers.push_back({ m, record->blackToMove != 0 });
            if (k % 3 == 2) {
                x0 = sq / 2;
                y0 -= 12 * T;
            } else {
                x0 += 10 * T - T / 2;
            }
        }
        if (!AppSettings::PrintActiveColor) return;
        for (const Marker& m : markers) {
            CBrush* old = m.black ? dc.SelectObject(CBrush::Stock(BLACK_BRUSH)) : nullptr;
            dc.Ellipse(m.rect.left, m.rect.top, m.rect.right, m.rect.bottom);
            if (old) dc.SelectObject(old);
        }
    }

    // Comments under the boards, in whole lines: a line cut in half would reach the next row. A BNX list
    // prints each comment in a box under its board, other lists one line a diagram across the page.
    void Comments()
    {
        dc.SelectObject(&fonts.text);
        const bool coordinates = view.printCoordsOn;
        const unsigned commentFormat = DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL;
        int ybase = -3 * T - 9 * T;
        RECT r1 { sq, ybase - H / 2, 9 * sq + sq / 2, ybase - 5 * H - 3 * E };
        if (coordinates) r1.top += bnx ? H / 6 : H / 8;
        RECT r2 { sq, ybase - H / 2 - E - T2, 9 * sq + sq / 2, r1.bottom - T2 / 2 };
        int lineY = ybase;
        for (size_t k = 0; k < records.size(); ++k) {
            if (bnx) {
                if (coordinates) {
                    dc.SelectObject(&fonts.comment);
                    RECT r = r2;
                    dc.DrawText(records[k]->comment, r, commentFormat);
                    dc.SelectObject(&fonts.text);
                } else {
                    RECT r = r1;
                    dc.DrawText(records[k]->comment, r, commentFormat);
                }
                const int step = (35 * H) / 2;
                r1.left += step;
                r1.right += step;
                r2.left += step;
                r2.right += step;
            } else {
                lineY -= T2;
                const int y = lineY - (coordinates ? T2 / 2 : 0);
                // One line per diagram across the page; a longer one is cut where the page ends.
                RECT line { 0, y, right, y - T2 };
                dc.DrawText("Diag." + std::to_string(Number(k)) + " : " + records[k]->displayComment, line,
                    DT_SINGLELINE | DT_END_ELLIPSIS);
                lineY -= E;
            }
            if (k % 3 == 2) {
                r1.left = sq;
                r1.right = 9 * sq + sq / 2;
                r1.top -= 12 * T;
                r1.bottom -= 12 * T;
                // The comment box of every row has the shape of the first row's: built afresh from the
                // row's R1, it would reach into the next row's titles.
                r2 = { r1.left, r2.top - 12 * T, r1.right, r2.bottom - 12 * T };
                // The next row's lines start under that row's boards, wherever this row's lines ended.
                lineY = ybase - 12 * T * int((k + 1) / 3);
            }
        }
    }

    // The titles over the boards, then the page's own title and text; its info text is never printed.
    void Labels()
    {
        dc.SelectObject(&fonts.title);
        int xt = 4 * T + H / 2, yt = -3 * T;
        for (size_t k = 0; k < records.size(); ++k) {
            const std::string number = std::to_string(Number(k));
            const int digits = int(number.size());
            dc.TextOut(xt - ((digits / 2) * H) / 2, yt, "Diag." + number);
            if (k % 3 == 2) {
                xt = 4 * T + H / 2;
                yt -= 12 * T;
            } else {
                xt += 10 * T - T / 3;
            }
        }
        if (const PrintHeaderNode* page = view.m_pPrintPage) {
            RECT title { 0, 0, right, -T2 };
            dc.DrawText(page->title, title, DT_CENTER | DT_END_ELLIPSIS);
            dc.SelectObject(&fonts.text);
            RECT top { T2, -2 * T2, right - T2, -5 * T2 - T2 / 3 };
            dc.DrawText(page->topText, top, DT_WORDBREAK | DT_EDITCONTROL);
        }
    }

    // The number of the page's k-th diagram, as the list counts from its start number.
    int Number(size_t k) const { return 9 * (view.m_nPrintPage - 1) + view.m_nStartNumber + int(k); }
};

} // namespace

void CPlaviaView::DrawNineAPage(Dc& dc)
{
    const int sq = printSquareSize, H = printTextHeight;
    PrintFonts fonts(sq, H, m_nFontCharset, m_strFontFace);
    CFont* oldFont = dc.SelectObject(&fonts.text);
    const TEXTMETRIC tm = dc.GetTextMetrics();
    const int T2 = tm.tmHeight, E = tm.tmExternalLeading;
    dc.SelectObject(&fonts.chess[0]);
    const int T = dc.GetTextMetrics().tmHeight;
    NinePage page { *this, dc, fonts, sq, H, T, T2, E, m_strExtension == "bnx" };

    // The page as laid out for large paper: three boards across, three rows with their comments under
    // them, and the page number's line.
    const int layoutWidth = sq / 2 + 2 * (10 * T - T / 2) + 10 * sq;
    const int lastBase = -3 * T - 2 * 12 * T - 9 * T;
    // The lowest ink: the last row's comment box, or its three comment lines.
    const int lastComments
        = (page.bnx ? lastBase - 5 * H - 3 * E : lastBase - 4 * T2 - 3 * E) - (printCoordsOn ? T2 / 2 : 0);
    FitPrintLayout(dc, layoutWidth, -std::min(lastComments, lastBase - T) + PageNumberRoom(T2));
    page.right = m_rectPrintDraw.right;

    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkColor(m_colorTable[0]);
    dc.SetBkMode(OPAQUE);
    page.Boards();
    page.Comments();
    page.Labels();
    if (AppSettings::PrintPageNumber) {
        dc.SelectObject(&fonts.text);
        PrintPageNumberLine(dc, T2);
    }
    dc.SelectObject(oldFont);
}

void CPlaviaView::PrintPageNumberLine(Dc& dc, int textHeight)
{
    RECT r { textHeight, m_rectPrintDraw.bottom + textHeight, m_rectPrintDraw.right - textHeight,
        m_rectPrintDraw.bottom };
    dc.DrawText(std::to_string(m_nPrintPage), r, DT_CENTER);
}

void CPlaviaView::DrawPrintJobPage(QPainter& painter, CPrintInfo& info)
{
    Dc dc(painter);
    dc.SetPrinting(true);
    dc.SetMapMode(MM_TWIPS);
    OnPrint(dc, info);
}

void CPlaviaView::OnFilePrint()
{
    CPrintInfo info;
    OnPreparePrinting(info);
    Print::PrintDocument(this, info, [this](QPainter& p, CPrintInfo& i) { DrawPrintJobPage(p, i); });
}

void CPlaviaView::OnFilePrintPreview()
{
    CPrintInfo info;
    OnPreparePrinting(info);
    Print::PrintPreview(this, info, [this](QPainter& p, CPrintInfo& i) { DrawPrintJobPage(p, i); });
    OnEndPrintPreview(info);
}

void CPlaviaView::OnEndPrintPreview(CPrintInfo& info)
{
    int page = info.currentPage;
    if (page == 0 || page > PrintPageCount()) page = info.currentPage = m_nPreviewStartPage;
    if (page != m_nPreviewStartPage) {
        const int n = printOnePerPage ? page : 9 * page - 8;
        // Closing on another page leaves the current diagram, so it passes the check navigation makes:
        // an illegal board stays current, where the user can mend it.
        if (n < 1 || n > DiagramCount() || n == m_nCurrentIndex + 1 || !LeaveCurrent()) return;
        GoToDiagram(n);
        UpdateStatusText();
        InvalidateAll(true);
    }
}

void CPlaviaView::OnFileChangeIndexNumber()
{
    CNumDiag dialog(this);
    dialog.m_nNumber = m_nStartNumber;
    if (dialog.DoModal() != IDOK) return;
    // The start number is part of the list (it is saved with it); the same number changes nothing.
    if (dialog.m_nNumber != m_nStartNumber) m_bModified = true;
    m_nStartNumber = dialog.m_nNumber;
    if (m_pCurrentDiagram && !m_pCurrentDiagram->enPassantFile.empty())
        AddDoubleStepArrow(m_pCurrentDiagram->enPassantFile, m_pCurrentDiagram->blackToMove != 0);
    InvalidateAll(true);
}

void CPlaviaView::RegisterPrintCommands()
{
    CommandRouter& r = CommandRouter::Instance();
    r.Register(this, CommandId::ChangeIndexNumber, [this] { OnFileChangeIndexNumber(); });
    r.Register(this, CommandId::FilePrint, [this] { OnFilePrint(); });
    r.Register(this, CommandId::FilePrintPreview, [this] { OnFilePrintPreview(); });
}
