#include "RichTextView.h"

#include "ChessFont.h"
#include "Clipboard.h"
#include "Codec.h"
#include "Dc.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

using namespace Win32;

namespace {

// Point sizes as the rich-text control takes them (half points in the text), at 96 pixels an inch.
int PixelSize(int halfPoints)
{
    return std::max(1, halfPoints * 96 / 144);
}

QFont FontOf(const std::string& family, int halfPoints)
{
    QFont font(QString::fromStdString(family));
    font.setPixelSize(PixelSize(halfPoints));
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

} // namespace

RichTextView::RichTextView(QWidget* parent)
    : QFrame(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::StyledPanel);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void RichTextView::SetRtf(const std::string& text)
{
    rtf = text;
    lines = Rtf::Read(rtf);
    updateGeometry();
    update();
}

std::vector<std::string> RichTextView::PlainLines() const
{
    std::vector<std::string> out;
    for (const Rtf::Line& line : lines) {
        std::string bytes;
        for (const Rtf::Run& run : line) bytes += run.bytes;
        out.push_back(bytes);
    }
    return out;
}

void RichTextView::SetChessFace(const std::string& face)
{
    chessFace = face;
    update();
}

bool RichTextView::Copy()
{
    std::string text;
    std::vector<std::string> plain = PlainLines();
    for (size_t i = 0; i < plain.size(); ++i) {
        if (i) text += "\r\n";
        text += plain[i];
    }
    return Clipboard::SetData(text, rtf);
}

bool RichTextView::IsChessRun(const Rtf::Run& run) const
{
    return run.fontName.empty() || run.fontName == chessFace || ChessFontFace::IsChessFace(run.fontName);
}

QSize RichTextView::TextSize() const
{
    int width = 0;
    int height = 0;
    for (const Rtf::Line& line : lines) {
        int w = 0;
        int h = 0;
        for (const Rtf::Run& run : line) {
            int px = PixelSize(run.halfPoints);
            if (IsChessRun(run))
                w += px * static_cast<int>(run.bytes.size());
            else
                w += QFontMetrics(FontOf(run.fontName, run.halfPoints))
                         .horizontalAdvance(Codec::ToQt(run.bytes));
            h = std::max(h, px);
        }
        width = std::max(width, w);
        height += h;
    }
    return { width, height };
}

QSize RichTextView::sizeHint() const
{
    QSize text = TextSize();
    int margin = 2 * frameWidth() + 8;
    return { std::max(text.width() + margin, 100), std::max(text.height() + margin, 100) };
}

void RichTextView::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    Dc dc(painter);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    int y = frameWidth() + 4;
    for (const Rtf::Line& line : lines) {
        int x = frameWidth() + 4;
        int height = 0;
        for (const Rtf::Run& run : line) height = std::max(height, PixelSize(run.halfPoints));
        for (const Rtf::Run& run : line) {
            int px = PixelSize(run.halfPoints);
            // A positive height asks for the whole cell: chess bytes then stand in square cells of it.
            CFont font;
            font.CreateFont(px, 0, 0, 0, FW_NORMAL, false, false, false, 0, 0, 0, 0, 0,
                IsChessRun(run) ? chessFace : run.fontName);
            CFont* previous = dc.SelectObject(&font);
            dc.TextOut(x, y + height - px, run.bytes);
            x += dc.GetTextExtent(run.bytes).cx;
            dc.SelectObject(previous);
        }
        y += height;
    }
}
