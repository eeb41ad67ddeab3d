#pragma once

#include "WinTypes.h"

#include <QImage>
#include <QPainter>
#include <QTransform>
#include <memory>
#include <string>
#include <vector>

class ChessFontFace;
class QPaintDevice;

// The drawing calls of the program, with the meanings its board drawing was written for: text placed by
// the top-left of its cell, opaque or transparent cell backgrounds, fonts turned by an escapement, pens,
// brushes, polygons without anti-aliasing, a world transform and mapping modes. Drawn through QPainter on
// a widget, an image or a printer.

namespace Win32 {

enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int { GM_COMPATIBLE = 1, GM_ADVANCED = 2 };
enum : int { MM_TEXT = 1, MM_TWIPS = 6 };
enum : int {
    PS_SOLID = 0,
    PS_NULL = 5,
    PS_ENDCAP_ROUND = 0x0000,
    PS_ENDCAP_SQUARE = 0x0100,
    PS_ENDCAP_FLAT = 0x0200,
    PS_GEOMETRIC = 0x00010000,
};
enum : unsigned {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_EDITCONTROL = 0x2000, // whole lines only: a line the rectangle cannot hold in full is left out
    DT_END_ELLIPSIS = 0x8000, // a line too wide for the rectangle is cut and ends in "..."
};
enum : unsigned long { PATCOPY = 0x00F00021ul };
enum : int { FW_NORMAL = 400, FW_BOLD = 700 };
enum : int { ANSI_CHARSET = 0, SYMBOL_CHARSET = 2 };
enum : int { OUT_DEFAULT_PRECIS = 0, OUT_STROKE_PRECIS = 3 };
enum : int { ANTIALIASED_QUALITY = 4 };
enum : int { FF_SWISS = 0x20 };

struct XFORM {
    float eM11 = 1, eM12 = 0, eM21 = 0, eM22 = 1, eDx = 0, eDy = 0;
};

struct SIZE {
    int cx = 0;
    int cy = 0;
};

struct TEXTMETRIC {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
};

// The brushes every context has at hand.
enum : int { WHITE_BRUSH = 0, BLACK_BRUSH = 4, NULL_BRUSH = 5 };

} // namespace Win32

struct LogFont {
    int height = 0; // > 0: cell height; < 0: character (em) height; logical units
    int width = 0;
    int escapement = 0; // tenths of a degree, counter-clockwise
    int orientation = 0;
    int weight = Win32::FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = Win32::ANSI_CHARSET;
    int outPrecision = 0;
    int clipPrecision = 0;
    int quality = 0;
    int pitchAndFamily = 0;
    std::string face;
};

class CFont {
public:
    bool CreateFont(int height, int width, int escapement, int orientation, int weight, bool italic,
        bool underline, bool strikeOut, int charset, int outPrecision, int clipPrecision, int quality,
        int pitchAndFamily, const std::string& face);
    bool CreateFontIndirect(const LogFont& font);
    const LogFont& Log() const { return log; }
    // The chess font file behind the face, null for text fonts and faces that are not installed.
    const ChessFontFace* Chess() const { return chess.get(); }
    bool IsChessFace() const { return chessFace; }
    void DeleteObject() { *this = CFont(); }

private:
    LogFont log;
    bool chessFace = false;
    std::shared_ptr<const ChessFontFace> chess;
};

class CPen {
public:
    CPen() = default;
    CPen(int style, int width, Win32::COLORREF colour) { CreatePen(style, width, colour); }
    // style: PS_SOLID or PS_NULL, with PS_GEOMETRIC and an end cap for wide geometric pens.
    bool CreatePen(int style, int width, Win32::COLORREF colour);
    int style = Win32::PS_SOLID;
    int width = 1;
    Win32::COLORREF colour = Win32::RGB(0, 0, 0);
    void DeleteObject() { *this = CPen(); }
};

class CBrush {
public:
    CBrush() = default;
    explicit CBrush(Win32::COLORREF colour) { CreateSolidBrush(colour); }
    bool CreateSolidBrush(Win32::COLORREF colour);
    // A brush that repeats the picture from the device origin; an empty picture paints nothing.
    bool CreatePatternBrush(const QImage& picture);
    bool null = false;
    bool pattern = false;
    Win32::COLORREF colour = Win32::RGB(255, 255, 255);
    QImage picture;
    void DeleteObject() { *this = CBrush(); }
    // The brushes every context has at hand (WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH).
    static CBrush* Stock(int which);
};

// What a context was asked to draw, in logical units, for tests that check geometry without pixels.
struct DcCall {
    std::string op; // "TextOut", "Polygon", "Rectangle", "Ellipse", "LineTo", "PatBlt", "DrawText"
    std::vector<Win32::POINT> points; // TextOut/DrawText: the origin; shapes: their points or corners
    std::string text;
    std::string face;
    int fontHeight = 0;
    int escapement = 0;
    int weight = 0;
    Win32::COLORREF textColour = 0;
    Win32::COLORREF bkColour = 0;
    int bkMode = 0;
    Win32::COLORREF brushColour = 0;
    bool brushPattern = false;
    bool brushNull = false;
    Win32::COLORREF penColour = 0;
    int penWidth = 0;
    int penStyle = 0;
    Win32::XFORM world; // the world transform in force (identity unless GM_ADVANCED set one)
};

class Dc {
public:
    // Draws on a widget, an image or a printer with a painter of its own.
    explicit Dc(QPaintDevice* device);
    // Draws with a painter that is already active (a paint event's or a print job's).
    explicit Dc(QPainter& painter);
    ~Dc();
    Dc(const Dc&) = delete;
    Dc& operator=(const Dc&) = delete;

    QPainter& Painter() { return *painter; }
    bool IsPrinting() const { return printing; }
    void SetPrinting(bool on) { printing = on; }
    // Records every drawing call into `calls` (null stops recording).
    void SetJournal(std::vector<DcCall>* calls) { journal = calls; }

    Win32::COLORREF SetTextColor(Win32::COLORREF colour);
    Win32::COLORREF SetBkColor(Win32::COLORREF colour);
    int SetBkMode(int mode);

    // Each returns the object it replaces; a null argument selects the context's default.
    CFont* SelectObject(CFont* font);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* CurrentFont() const { return font; }

    // Text of Windows-1252 bytes (or chess-font bytes) with its cell's top-left at (x, y).
    void TextOut(int x, int y, const std::string& text);
    // Text in a rectangle, broken between words with DT_WORDBREAK; returns the height of the text.
    int DrawText(const std::string& text, Win32::RECT& rect, unsigned format);
    Win32::TEXTMETRIC GetTextMetrics() const;
    Win32::SIZE GetTextExtent(const std::string& text) const;

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    void Polygon(const Win32::POINT* points, int count);
    // Fills with the current brush; only PATCOPY is known.
    void PatBlt(int x, int y, int width, int height, unsigned long rop);
    void FillSolidRect(const Win32::RECT& rect, Win32::COLORREF colour);

    int SetGraphicsMode(int mode);
    // Only in GM_ADVANCED; shapes are drawn through it, text keeps its own escapement.
    bool SetWorldTransform(const Win32::XFORM& transform);

    int SetMapMode(int mode);
    // Draws everything `factor` times its logical size: a page laid out larger than the paper, shrunk
    // to fit it.
    double SetZoom(double factor);
    Win32::POINT SetViewportOrg(int x, int y);
    Win32::POINT SetWindowOrg(int x, int y);
    void LPtoDP(Win32::RECT& rect) const;
    void DPtoLP(Win32::RECT& rect) const;
    // The area that painting may change, in logical units.
    Win32::RECT GetClipBox() const;

private:
    struct TextFace;
    void Init();
    QTransform Mapping() const; // logical -> device
    QTransform ShapeTransform() const; // world (when advanced) then mapping
    double DeviceScaleY() const;
    TextFace Resolve(const CFont& f) const;
    void ApplyPenAndBrush();
    void Record(const char* op, std::vector<Win32::POINT> points, const std::string& text = {}) const;
    void DrawTextLine(const TextFace& face, QPointF devicePoint, const std::string& text, bool opaque);

    std::unique_ptr<QPainter> ownPainter;
    QPainter* painter = nullptr;
    QTransform base; // the painter's own transform when the context was made (print preview scaling)
    bool printing = false;
    std::vector<DcCall>* journal = nullptr;
    Win32::COLORREF textColour = Win32::RGB(0, 0, 0);
    Win32::COLORREF bkColour = Win32::RGB(255, 255, 255);
    int bkMode = Win32::OPAQUE;
    CFont defaultFont;
    CPen defaultPen;
    CBrush defaultBrush;
    CFont* font = nullptr;
    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    Win32::POINT current;
    int graphicsMode = Win32::GM_COMPATIBLE;
    Win32::XFORM world;
    int mapMode = Win32::MM_TEXT;
    double zoom = 1.0;
    Win32::POINT viewportOrg;
    Win32::POINT windowOrg;
};
