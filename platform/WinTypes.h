#pragma once

#include <cstdint>

// The small value types the program's geometry and colours are expressed in, with the names of the
// Windows services they stand in for. They live in a namespace of their own: such names (RGB, RECT,
// POINT) are taken by other libraries too. A source file that uses them says so with a using-directive.
namespace Win32 {

using COLORREF = uint32_t; // 0x00BBGGRR

inline constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<uint32_t>(r & 0xFF) | (static_cast<uint32_t>(g & 0xFF) << 8)
        | (static_cast<uint32_t>(b & 0xFF) << 16);
}
inline constexpr int GetRValue(COLORREF c)
{
    return c & 0xFF;
}
inline constexpr int GetGValue(COLORREF c)
{
    return (c >> 8) & 0xFF;
}
inline constexpr int GetBValue(COLORREF c)
{
    return (c >> 16) & 0xFF;
}

struct POINT {
    int x = 0;
    int y = 0;
};

struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    bool operator==(const RECT&) const = default;
};

} // namespace Win32
