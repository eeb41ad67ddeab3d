#include "picture/PaletteMatcher.h"

#include <algorithm>

PaletteMatcher::PaletteMatcher(const RGBQUAD* palette, uint32_t entries)
    : slots(size_t(1) << HashBits)
{
    entries = std::min<uint32_t>(entries, 256);
    byGreen.reserve(entries);
    for (uint32_t j = 0; j < entries; ++j)
        byGreen.push_back({ palette[j].rgbRed, palette[j].rgbGreen, palette[j].rgbBlue, j });
    std::stable_sort(
        byGreen.begin(), byGreen.end(), [](const Entry& a, const Entry& b) { return a.green < b.green; });
}

uint8_t PaletteMatcher::Search(int32_t red, int32_t green, int32_t blue) const
{
    if (byGreen.empty()) return 0;
    int32_t best = INT32_MAX;
    uint32_t bestIndex = 0;
    auto consider = [&](const Entry& e) {
        const int32_t dr = e.red - red, dg = e.green - green, db = e.blue - blue;
        const int32_t d = dr * dr + dg * dg + db * db;
        if (d < best || (d == best && e.index < bestIndex)) {
            best = d;
            bestIndex = e.index;
        }
    };
    const auto start = std::lower_bound(
        byGreen.begin(), byGreen.end(), green, [](const Entry& e, int32_t g) { return e.green < g; });
    // An entry whose green alone is as far as the best distance can still tie with it, and a tie goes to
    // the lower index, so the walk stops only where green is farther.
    for (auto up = start; up != byGreen.end(); ++up) {
        const int32_t dg = up->green - green;
        if (dg * dg > best) break;
        consider(*up);
    }
    for (auto down = start; down != byGreen.begin();) {
        --down;
        const int32_t dg = green - down->green;
        if (dg * dg > best) break;
        consider(*down);
    }
    return uint8_t(bestIndex);
}
