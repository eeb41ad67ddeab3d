#pragma once

#include "platform/ChessFont.h"
#include "platform/Dc.h"
#include "tests/support/TestEnvironment.h"

#include <QImage>
#include <functional>

// Paints the view the way the screen does, into an image, and counts what landed where.
namespace DrawSupport {

// The default geometry: squares of 51 pixels, the rank-number column at x 115, rank 8 at y 54.
constexpr int Sq = 51;
constexpr int BoardLeft = 115;
constexpr int BoardTop = 54;

inline Win32::RECT Cell(int column, int row)
{
    return { BoardLeft + column * Sq, BoardTop + row * Sq, BoardLeft + (column + 1) * Sq,
        BoardTop + (row + 1) * Sq };
}

inline QImage Render(CPlaviaView& view, std::vector<DcCall>* journal = nullptr)
{
    view.resize(1100, 700);
    QImage image(view.width(), view.height(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    Dc dc(&image);
    dc.SetJournal(journal);
    view.PaintView(dc);
    return image;
}

inline int Count(const QImage& image, const Win32::RECT& r, const std::function<bool(QRgb)>& match)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (match(image.pixel(x, y))) ++n;
    return n;
}

inline bool Dark(QRgb c)
{
    return qGray(c) < 100;
}

inline int DarkPixels(const QImage& image, const Win32::RECT& r)
{
    return Count(image, r, Dark);
}

inline std::function<bool(QRgb)> Near(Win32::COLORREF colour, int tolerance = 6)
{
    return [=](QRgb c) {
        return std::abs(qRed(c) - Win32::GetRValue(colour)) <= tolerance
            && std::abs(qGreen(c) - Win32::GetGValue(colour)) <= tolerance
            && std::abs(qBlue(c) - Win32::GetBValue(colour)) <= tolerance;
    };
}

inline Win32::RECT Inset(Win32::RECT r, int by)
{
    return { r.left + by, r.top + by, r.right - by, r.bottom - by };
}

inline std::vector<const DcCall*> Calls(const std::vector<DcCall>& journal, const std::string& op)
{
    std::vector<const DcCall*> found;
    for (const DcCall& call : journal)
        if (call.op == op) found.push_back(&call);
    return found;
}

inline const DcCall* TextAt(const std::vector<DcCall>& journal, int x, int y)
{
    for (const DcCall& call : journal)
        if (call.op == "TextOut" && call.points[0].x == x && call.points[0].y == y) return &call;
    return nullptr;
}

// Tests that draw glyphs need the chess fonts that scripts/setup.sh installs.
inline bool HaveFont(const std::string& family)
{
    return ChessFontFace::Find(family) != nullptr;
}

} // namespace DrawSupport

#define REQUIRE_FONT(family)                                                                                 \
    do {                                                                                                     \
        if (!DrawSupport::HaveFont(family))                                                                  \
            GTEST_SKIP() << family << " is not installed (run scripts/setup.sh)";                            \
    } while (0)
