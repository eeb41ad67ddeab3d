#include "tests/support/SyntheticBoard.h"

#include <algorithm>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

void put(uint8_t* row, int32_t x, Rgb c)
{
    row[3 * x] = c.b;
    row[3 * x + 1] = c.g;
    row[3 * x + 2] = c.r;
}

} // namespace

bool makeBoardLikeImage(CxImage& image, int32_t width, int32_t height)
{
    if (!image.Create(width, height, 24, ImageTypeNone)) return false;
    const Rgb light { 240, 217, 181 }, dark { 181, 136, 99 }, green { 80, 200, 80 }, red { 220, 60, 60 };
    const Rgb white { 255, 255, 255 }, black { 0, 0, 0 };
    const int32_t side = std::min(width, height);
    const int32_t margin = side / 16;
    const int32_t square = std::max<int32_t>(1, (side - 2 * margin) / 8);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = image.GetBits() + size_t(y) * image.GetEffWidth();
        const int32_t top = height - 1 - y; // picture rows counted from the top
        for (int32_t x = 0; x < width; ++x) {
            int32_t bx = x - margin, by = top - margin;
            if (bx < 0 || by < 0 || bx >= 8 * square || by >= 8 * square) {
                // The frame: a soft shade of grey-blue from top to bottom, with a faint grain.
                uint8_t shade = uint8_t(120 + 100 * top / std::max(1, height - 1) + ((x * 7 + top * 13) & 3));
                put(row, x, Rgb { uint8_t(shade - 20), uint8_t(shade - 10), shade });
                continue;
            }
            int32_t column = bx / square, rank = by / square;
            Rgb c = (column + rank) % 2 ? dark : light;
            if ((column == 4 && rank == 4) || (column == 3 && rank == 6)) c = green;
            if (column == 6 && rank == 1) c = red;
            // Pieces on the first two and last two ranks: a disc with an outline.
            if (rank <= 1 || rank >= 6) {
                int64_t cx = bx % square - square / 2, cy = by % square - square / 2;
                int64_t d2 = cx * cx + cy * cy, r = square * 3 / 8;
                if (d2 <= r * r) c = d2 >= (r - 2) * (r - 2) ? black : (rank <= 1 ? black : white);
            }
            put(row, x, c);
        }
    }
    return true;
}
