#pragma once

#include "picture/Dib.h"

#include <cstdint>
#include <vector>

// The nearest palette entry of a colour, the same one CxImage::GetNearestIndex picks (least squared
// distance, the lowest index among equals), found without a walk over the whole palette: colours met
// before are remembered, and a new one is searched outward from its green value through the entries
// ordered by green, stopping where green alone is already farther than the best entry found.
class PaletteMatcher {
public:
    // entries is the number of entries searched (from the start of the palette), at most 256.
    PaletteMatcher(const RGBQUAD* palette, uint32_t entries);

    uint8_t Nearest(uint8_t red, uint8_t green, uint8_t blue)
    {
        const uint32_t key = uint32_t(red) << 16 | uint32_t(green) << 8 | blue;
        Slot& slot = slots[Hash(key)];
        if (slot.key == key + 1) return slot.index;
        slot.key = key + 1;
        slot.index = Search(red, green, blue);
        return slot.index;
    }

private:
    struct Entry {
        int32_t red, green, blue;
        uint32_t index;
    };
    struct Slot {
        uint32_t key = 0; // colour + 1; 0 is an empty slot
        uint8_t index = 0;
    };
    static constexpr int HashBits = 16;
    static uint32_t Hash(uint32_t key) { return (key * 2654435761u) >> (32 - HashBits); }
    uint8_t Search(int32_t red, int32_t green, int32_t blue) const;

    std::vector<Entry> byGreen;
    std::vector<Slot> slots;
};
