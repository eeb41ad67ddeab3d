#include "Dc.h"

#include "ChessFont.h"
#include "Codec.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <utility>

using namespace Win32;

namespace {

QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The height a font without a size is drawn with.
constexpr int DefaultFontHeight = 16;

} // namespace

// --- fonts, pens and brushes

bool CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, bool italic,
    bool underline, bool strikeOut, int charset, int outPrecision, int clipPrecision, int quality,
    int pitchAndFamily, const std::string& face)
{
    LogFont f;
    f.height = height;
    f.width = width;
    f.escapement = escapement;
    f.orientation = orientation;
    f.weight = weight;
    f.italic = italic;
    f.underline = underline;
    f.strikeOut = strikeOut;
    f.charset = charset;
    f.outPrecision = outPrecision;
    f.clipPrecision = clipPrecision;
    f.quality = quality;
    f.pitchAndFamily = pitchAndFamily;
    f.face = face;
    return CreateFontIndirect(f);
}

bool CFont::CreateFontIndirect(const LogFont& f)
{
    log = f;
    chessFace = ChessFontFace::IsChessFace(f.face);
    chess = chessFace ? ChessFontFace::Find(f.face) : nullptr;
    return true;
}

bool CPen::CreatePen(int penStyle, int penWidth, COLORREF penColour)
{
    style = penStyle;
    width = penWidth;
    colour = penColour;
    return true;
}

bool CBrush::CreateSolidBrush(COLORREF brushColour)
{
    *this = CBrush();
    colour = brushColour;
    return true;
}

bool CBrush::CreatePatternBrush(const QImage& image)
{
    *this = CBrush();
    pattern = true;
    picture = image;
    null = image.isNull();
    return !image.isNull();
}

CBrush* CBrush::Stock(int which)
{
    static CBrush white(RGB(255, 255, 255));
    static CBrush black(RGB(0, 0, 0));
    static CBrush none = [] {
        CBrush b;
        b.null = true;
        return b;
    }();
    switch (which) {
    case BLACK_BRUSH:
        return &black;
    case NULL_BRUSH:
        return &none;
    default:
        return &white;
    }
}

// --- the context

// A font as the device draws it: either chess-font bytes in square cells or a text font.
struct Dc::TextFace {
    bool byteCells = false; // each byte one square cell of the cell height
    const ChessFontFace* chess = nullptr;
    QRawFont raw;
    QFont qfont; // text fonts, and chess faces that are not installed
    double cell = 0; // cell height, device pixels
    double ascent = 0; // baseline below the cell top, device pixels
    int escapement = 0;
};

Dc::Dc(QPaintDevice* device)
    : ownPainter(std::make_unique<QPainter>(device))
    , painter(ownPainter.get())
{
    Init();
}

Dc::Dc(QPainter& active)
    : painter(&active)
{
    Init();
}

Dc::~Dc() = default;

void Dc::Init()
{
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    base = painter->transform();
    defaultFont.CreateFont(
        DefaultFontHeight, 0, 0, 0, FW_NORMAL, false, false, false, ANSI_CHARSET, 0, 0, 0, 0, std::string());
    font = &defaultFont;
    pen = &defaultPen;
    brush = &defaultBrush;
}

COLORREF Dc::SetTextColor(COLORREF colour)
{
    return std::exchange(textColour, colour);
}

COLORREF Dc::SetBkColor(COLORREF colour)
{
    return std::exchange(bkColour, colour);
}

int Dc::SetBkMode(int mode)
{
    return std::exchange(bkMode, mode);
}

CFont* Dc::SelectObject(CFont* f)
{
    return std::exchange(font, f ? f : &defaultFont);
}

CPen* Dc::SelectObject(CPen* p)
{
    return std::exchange(pen, p ? p : &defaultPen);
}

CBrush* Dc::SelectObject(CBrush* b)
{
    return std::exchange(brush, b ? b : &defaultBrush);
}

// --- coordinates

QTransform Dc::Mapping() const
{
    const double wx = windowOrg.x, wy = windowOrg.y, vx = viewportOrg.x, vy = viewportOrg.y;
    double sx = zoom, sy = zoom;
    if (mapMode == MM_TWIPS) {
        QPaintDevice* device = painter->device();
        sx *= (device ? device->logicalDpiX() : 96) / 1440.0;
        sy *= -(device ? device->logicalDpiY() : 96) / 1440.0;
    }
    return QTransform(sx, 0, 0, sy, vx - wx * sx, vy - wy * sy);
}

QTransform Dc::ShapeTransform() const
{
    QTransform mapping = Mapping();
    if (graphicsMode != GM_ADVANCED) return mapping;
    QTransform w(world.eM11, world.eM12, world.eM21, world.eM22, world.eDx, world.eDy);
    return w * mapping;
}

double Dc::DeviceScaleY() const
{
    return std::abs(Mapping().m22());
}

int Dc::SetGraphicsMode(int mode)
{
    return std::exchange(graphicsMode, mode);
}

bool Dc::SetWorldTransform(const XFORM& transform)
{
    if (graphicsMode != GM_ADVANCED) return false;
    world = transform;
    return true;
}

int Dc::SetMapMode(int mode)
{
    return std::exchange(mapMode, mode);
}

double Dc::SetZoom(double factor)
{
    return std::exchange(zoom, factor > 0 ? factor : 1.0);
}

POINT Dc::SetViewportOrg(int x, int y)
{
    return std::exchange(viewportOrg, POINT { x, y });
}

POINT Dc::SetWindowOrg(int x, int y)
{
    return std::exchange(windowOrg, POINT { x, y });
}

void Dc::LPtoDP(RECT& rect) const
{
    QTransform m = Mapping();
    QPointF a = m.map(QPointF(rect.left, rect.top)), b = m.map(QPointF(rect.right, rect.bottom));
    rect = { int(std::lround(a.x())), int(std::lround(a.y())), int(std::lround(b.x())),
        int(std::lround(b.y())) };
}

void Dc::DPtoLP(RECT& rect) const
{
    QTransform m = Mapping().inverted();
    QPointF a = m.map(QPointF(rect.left, rect.top)), b = m.map(QPointF(rect.right, rect.bottom));
    rect = { int(std::lround(a.x())), int(std::lround(a.y())), int(std::lround(b.x())),
        int(std::lround(b.y())) };
}

RECT Dc::GetClipBox() const
{
    QRectF box;
    if (painter->hasClipping()) {
        box = painter->clipBoundingRect();
        box = painter->transform().mapRect(box); // clip rectangles are kept in painter coordinates
    } else if (QPaintDevice* device = painter->device()) {
        box = QRectF(0, 0, device->width(), device->height());
    }
    box = base.inverted().mapRect(box);
    RECT r { int(std::floor(box.left())), int(std::floor(box.top())), int(std::ceil(box.right())),
        int(std::ceil(box.bottom())) };
    DPtoLP(r);
    return r;
}

// --- journal

void Dc::Record(const char* op, std::vector<POINT> points, const std::string& text) const
{
    if (!journal) return;
    DcCall call;
    call.op = op;
    call.points = std::move(points);
    call.text = text;
    call.face = font->Log().face;
    call.fontHeight = font->Log().height;
    call.escapement = font->Log().escapement;
    call.weight = font->Log().weight;
    call.textColour = textColour;
    call.bkColour = bkColour;
    call.bkMode = bkMode;
    call.brushColour = brush->colour;
    call.brushPattern = brush->pattern;
    call.brushNull = brush->null;
    call.penColour = pen->colour;
    call.penWidth = pen->width;
    call.penStyle = pen->style;
    if (graphicsMode == GM_ADVANCED) call.world = world;
    journal->push_back(std::move(call));
}

// --- text

Dc::TextFace Dc::Resolve(const CFont& f) const
{
    const LogFont& log = f.Log();
    TextFace face;
    face.escapement = log.escapement;
    const double scale = DeviceScaleY();
    const double height = (log.height == 0 ? DefaultFontHeight : std::abs(log.height)) * scale;
    if (const ChessFontFace* chess = f.Chess()) {
        face.byteCells = true;
        face.chess = chess;
        const double em = chess->UnitsPerEm(), cellUnits = chess->CellAscent() + chess->CellDescent();
        // A positive height is the whole cell, as the board drawing asks: glyph cells of one square.
        double pixelSize = log.height > 0 ? height * em / cellUnits : height;
        face.cell = log.height > 0 ? height : pixelSize * cellUnits / em;
        face.ascent = chess->CellAscent() * pixelSize / em;
        face.raw = chess->RawFont(pixelSize);
        return face;
    }
    QFont q(QString::fromStdString(log.face));
    if ((log.pitchAndFamily & 0xF0) == FF_SWISS || log.face.empty()) q.setStyleHint(QFont::SansSerif);
    q.setWeight(QFont::Weight(std::clamp(log.weight == 0 ? FW_NORMAL : log.weight, 100, 900)));
    q.setItalic(log.italic);
    q.setUnderline(log.underline);
    q.setStrikeOut(log.strikeOut);
    q.setHintingPreference(QFont::PreferNoHinting);
    int pixels = std::max(1, int(std::lround(height)));
    q.setPixelSize(pixels);
    if (log.height > 0) {
        // The cell (ascent + descent) is the height asked for, not the em.
        double cell = QFontMetricsF(q, painter->device()).height();
        if (cell > 0) q.setPixelSize(std::max(1, int(std::lround(pixels * height / cell))));
    }
    QFontMetricsF metrics(q, painter->device());
    face.qfont = q;
    face.byteCells = f.IsChessFace(); // a chess face that is not installed keeps its square cells
    // Whole pixels, as text metrics always are: lines of text then sit at whole-pixel steps.
    face.cell = face.byteCells ? height : std::round(metrics.height());
    face.ascent = face.byteCells ? std::round(height * 0.8) : std::round(metrics.ascent());
    return face;
}

void Dc::DrawTextLine(const TextFace& face, QPointF origin, const std::string& text, bool opaque)
{
    if (text.empty()) return;
    QTransform t = QTransform::fromTranslate(origin.x(), origin.y());
    t.rotate(-face.escapement / 10.0);
    painter->save();
    painter->setTransform(t * base);
    const QColor ink = ToQColor(textColour);
    if (face.byteCells) {
        const double advance = face.cell;
        const double width = advance * double(text.size());
        if (opaque) painter->fillRect(QRectF(0, 0, width, face.cell), ToQColor(bkColour));
        if (face.chess) {
            QList<quint32> indexes;
            QList<QPointF> positions;
            indexes.reserve(qsizetype(text.size()));
            positions.reserve(qsizetype(text.size()));
            for (size_t i = 0; i < text.size(); ++i) {
                indexes.append(face.chess->Glyph(static_cast<unsigned char>(text[i])));
                positions.append(QPointF(double(i) * advance, face.ascent));
            }
            QGlyphRun run;
            run.setRawFont(face.raw);
            run.setGlyphIndexes(indexes);
            run.setPositions(positions);
            painter->setPen(ink);
            painter->drawGlyphRun(QPointF(0, 0), run);
        } else {
            painter->setFont(face.qfont);
            painter->setPen(ink);
            for (size_t i = 0; i < text.size(); ++i)
                painter->drawText(QPointF(double(i) * advance, face.ascent), Codec::ToQt(text.substr(i, 1)));
        }
    } else {
        QString s = Codec::ToQt(text);
        QFontMetricsF metrics(face.qfont, painter->device());
        if (opaque)
            painter->fillRect(QRectF(0, 0, metrics.horizontalAdvance(s), face.cell), ToQColor(bkColour));
        painter->setFont(face.qfont);
        painter->setPen(ink);
        painter->drawText(QPointF(0, face.ascent), s);
    }
    painter->restore();
}

void Dc::TextOut(int x, int y, const std::string& text)
{
    Record("TextOut", { { x, y } }, text);
    TextFace face = Resolve(*font);
    QPointF origin = ShapeTransform().map(QPointF(x, y));
    DrawTextLine(face, origin, text, bkMode == OPAQUE);
}

TEXTMETRIC Dc::GetTextMetrics() const
{
    TextFace face = Resolve(*font);
    const double scale = DeviceScaleY();
    TEXTMETRIC tm;
    tm.tmHeight = int(std::lround(face.cell / scale));
    tm.tmAscent = int(std::lround(face.ascent / scale));
    tm.tmDescent = tm.tmHeight - tm.tmAscent;
    if (face.byteCells) {
        tm.tmAveCharWidth = tm.tmHeight;
    } else {
        QFontMetricsF metrics(face.qfont, painter->device());
        tm.tmExternalLeading = int(std::lround(metrics.leading() / scale));
        tm.tmAveCharWidth = int(std::lround(metrics.averageCharWidth() / scale));
    }
    return tm;
}

SIZE Dc::GetTextExtent(const std::string& text) const
{
    TextFace face = Resolve(*font);
    const double scale = DeviceScaleY();
    double width = face.byteCells
        ? face.cell * double(text.size())
        : QFontMetricsF(face.qfont, painter->device()).horizontalAdvance(Codec::ToQt(text));
    return { int(std::lround(width / scale)), int(std::lround(face.cell / scale)) };
}

int Dc::DrawText(const std::string& text, RECT& rect, unsigned format)
{
    Record("DrawText", { { rect.left, rect.top }, { rect.right, rect.bottom } }, text);
    TextFace face = Resolve(*font);
    const double scale = DeviceScaleY();
    auto widthOf = [&](const std::string& s) {
        if (face.byteCells) return face.cell * double(s.size()) / scale;
        return QFontMetricsF(face.qfont, painter->device()).horizontalAdvance(Codec::ToQt(s)) / scale;
    };
    const double boxWidth = std::abs(rect.right - rect.left);

    // Lines: the text's own line breaks, then breaks between words where a line would be too wide.
    std::vector<std::string> paragraphs;
    if (format & DT_SINGLELINE) {
        paragraphs.push_back(text);
    } else {
        std::string line;
        for (size_t i = 0; i < text.size(); ++i) {
            char c = text[i];
            if (c == '\r' || c == '\n') {
                paragraphs.push_back(line);
                line.clear();
                if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            } else {
                line.push_back(c);
            }
        }
        paragraphs.push_back(line);
    }
    std::vector<std::string> lines;
    for (const std::string& paragraph : paragraphs) {
        if (!(format & DT_WORDBREAK) || widthOf(paragraph) <= boxWidth) {
            lines.push_back(paragraph);
            continue;
        }
        std::string line;
        size_t i = 0;
        while (i < paragraph.size()) {
            size_t end = paragraph.find(' ', i);
            if (end == std::string::npos) end = paragraph.size();
            std::string word = paragraph.substr(i, end - i);
            std::string candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && widthOf(candidate) > boxWidth) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            i = end + 1;
        }
        lines.push_back(line);
    }

    if ((format & DT_END_ELLIPSIS) && !face.byteCells)
        for (std::string& line : lines) {
            if (widthOf(line) <= boxWidth) continue;
            while (!line.empty() && widthOf(line + "...") > boxWidth) line.pop_back();
            line += "...";
        }

    const double lineHeight = face.cell / scale;
    const double down = Mapping().m22() < 0 ? -1.0 : 1.0; // the direction of the next line
    if ((format & DT_EDITCONTROL) && !(format & DT_CALCRECT)) {
        // A tiny tolerance: a rectangle made for n lines of this font holds n lines.
        const double room = std::abs(rect.bottom - rect.top) + 0.01 * lineHeight;
        const size_t whole = lineHeight > 0 ? size_t(std::max(0.0, std::floor(room / lineHeight))) : 0;
        if (lines.size() > whole) lines.resize(whole);
    }
    const int height = int(std::lround(lineHeight * double(lines.size())));
    if (format & DT_CALCRECT) {
        double widest = 0;
        for (const std::string& line : lines) widest = std::max(widest, widthOf(line));
        if (!(format & DT_WORDBREAK)) rect.right = rect.left + int(std::lround(widest));
        rect.bottom = rect.top + int(std::lround(down * height));
        return height;
    }
    painter->save();
    if (!(format & DT_NOCLIP)) {
        QRectF clip
            = Mapping().mapRect(QRectF(QPointF(rect.left, rect.top), QPointF(rect.right, rect.bottom)));
        painter->setTransform(base);
        painter->setClipRect(clip.normalized(), Qt::IntersectClip);
    }
    const QTransform mapping = Mapping();
    for (size_t i = 0; i < lines.size(); ++i) {
        double x = rect.left;
        double w = widthOf(lines[i]);
        if (format & DT_CENTER)
            x = (rect.left + rect.right - w) / 2.0;
        else if (format & DT_RIGHT)
            x = rect.right - w;
        double y = rect.top + down * lineHeight * double(i);
        DrawTextLine(face, mapping.map(QPointF(x, y)), lines[i], bkMode == OPAQUE);
    }
    painter->restore();
    return height;
}

// --- shapes

void Dc::ApplyPenAndBrush()
{
    painter->setTransform(ShapeTransform() * base);
    painter->setRenderHint(QPainter::Antialiasing, false);
    if ((pen->style & 0xF) == PS_NULL) {
        painter->setPen(Qt::NoPen);
    } else {
        QPen p(ToQColor(pen->colour));
        if ((pen->style & PS_GEOMETRIC) || pen->width > 1) {
            p.setWidthF(pen->width);
            switch (pen->style & 0xF00) {
            case PS_ENDCAP_SQUARE:
                p.setCapStyle(Qt::SquareCap);
                break;
            case PS_ENDCAP_FLAT:
                p.setCapStyle(Qt::FlatCap);
                break;
            default:
                p.setCapStyle(Qt::RoundCap);
                break;
            }
            p.setJoinStyle(Qt::RoundJoin);
        } else {
            p.setWidth(0); // one device pixel, whatever the mapping
        }
        painter->setPen(p);
    }
    if (brush->null)
        painter->setBrush(Qt::NoBrush);
    else if (brush->pattern)
        painter->setBrush(QBrush(brush->picture));
    else
        painter->setBrush(ToQColor(brush->colour));
}

void Dc::MoveTo(int x, int y)
{
    current = { x, y };
}

void Dc::LineTo(int x, int y)
{
    Record("LineTo", { current, { x, y } });
    painter->save();
    ApplyPenAndBrush();
    painter->drawLine(QPointF(current.x, current.y), QPointF(x, y));
    painter->restore();
    current = { x, y };
}

void Dc::Rectangle(int left, int top, int right, int bottom)
{
    Record("Rectangle", { { left, top }, { right, bottom } });
    painter->save();
    ApplyPenAndBrush();
    // The interior and the frame cover left..right-1 and top..bottom-1, as on the original devices.
    QPen frame = painter->pen();
    if (!brush->null) painter->fillRect(QRectF(left, top, right - left, bottom - top), painter->brush());
    painter->setBrush(Qt::NoBrush);
    painter->setPen(frame);
    if (frame.style() != Qt::NoPen) painter->drawRect(QRectF(left, top, right - left - 1, bottom - top - 1));
    painter->restore();
}

void Dc::Ellipse(int left, int top, int right, int bottom)
{
    Record("Ellipse", { { left, top }, { right, bottom } });
    painter->save();
    ApplyPenAndBrush();
    painter->drawEllipse(QRectF(left, top, right - left - 1, bottom - top - 1));
    painter->restore();
}

void Dc::Polygon(const POINT* points, int count)
{
    std::vector<POINT> list(points, points + std::max(0, count));
    Record("Polygon", list);
    if (count < 2) return;
    QPolygonF polygon;
    for (const POINT& p : list) polygon << QPointF(p.x, p.y);
    painter->save();
    ApplyPenAndBrush();
    painter->drawPolygon(polygon, Qt::OddEvenFill);
    painter->restore();
}

void Dc::PatBlt(int x, int y, int width, int height, unsigned long rop)
{
    Record("PatBlt", { { x, y }, { x + width, y + height } });
    if (rop != PATCOPY || brush->null) return;
    painter->save();
    ApplyPenAndBrush();
    painter->fillRect(QRectF(x, y, width, height), painter->brush());
    painter->restore();
}

void Dc::FillSolidRect(const RECT& rect, COLORREF colour)
{
    painter->save();
    painter->setTransform(Mapping() * base);
    painter->fillRect(QRectF(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(colour));
    painter->restore();
}
