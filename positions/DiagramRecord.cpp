#include "DiagramRecord.h"

#include <algorithm>
#include <ostream>

void RecordText::assign(std::string_view text)
{
    Word made {};
    if (text.size() <= inWord) {
        if (!text.empty()) {
            made[0] = static_cast<unsigned char>(text.size() << 1 | 1);
            std::memcpy(made.data() + 1, text.data(), text.size());
        }
    } else {
        // The length, the bytes and a NUL, in whole words of four bytes (which keeps the address even).
        auto* block = new uint32_t[1 + (text.size() + 1 + 3) / 4];
        block[0] = static_cast<uint32_t>(text.size());
        char* bytes = reinterpret_cast<char*>(block + 1);
        std::memcpy(bytes, text.data(), text.size());
        bytes[text.size()] = '\0';
        std::memcpy(made.data(), &block, sizeof block);
    }
    // The text may be a part of this one: the old block goes only once the new one is made.
    release();
    word = made;
}

RecordText& RecordText::operator+=(std::string_view text)
{
    if (text.empty()) return *this;
    std::string joined(view());
    joined += text;
    assign(joined);
    return *this;
}

std::string operator+(std::string a, const RecordText& b)
{
    a += b.view();
    return a;
}

std::string operator+(const RecordText& a, const RecordText& b)
{
    return a + b.view();
}

std::string operator+(const RecordText& a, std::string_view b)
{
    std::string joined(a.view());
    joined += b;
    return joined;
}

std::string operator+(const RecordText& a, const std::string& b)
{
    return a + std::string_view(b);
}

std::string operator+(const RecordText& a, const char* b)
{
    return a + std::string_view(b);
}

std::string operator+(char a, const RecordText& b)
{
    return std::string(1, a) + b;
}

std::string operator+(const RecordText& a, char b)
{
    return a + std::string_view(&b, 1);
}

std::ostream& operator<<(std::ostream& out, const RecordText& text)
{
    return out << text.view();
}

const CellBytes CellValues::zeros {};

bool CellValues::Any() const noexcept
{
    if (!cells) return false;
    for (const CellRow& row : *cells)
        for (int8_t v : row)
            if (v) return true;
    return false;
}

void CellValues::SetRow(size_t row, const CellRow& values)
{
    if (!cells) {
        if (values == CellRow {}) return;
        cells = std::make_unique<CellBytes>();
    }
    (*cells)[row] = values;
}

namespace {

bool isFree(const uint8_t* slot)
{
    return slot[0] == 0 && slot[1] == 0 && slot[2] == 0;
}

// A block for `stored` slots, the first `kept` taken from `from`, the others free.
uint8_t* makeBlock(size_t stored, const uint8_t* from, size_t kept)
{
    auto* block = new uint8_t[1 + 3 * stored]();
    block[0] = static_cast<uint8_t>(stored);
    if (kept) std::memcpy(block + 1, from, 3 * kept);
    return block;
}

} // namespace

void MarkSlots::Set(size_t i, MarkSlot slot)
{
    if (i >= MaxMarks) return;
    const size_t stored = Stored();
    if (i >= stored) {
        if (slot == MarkSlot {}) return;
        uint8_t* grown = makeBlock(i + 1, block ? block + 1 : nullptr, stored);
        delete[] block;
        block = grown;
    }
    uint8_t* s = block + 1 + 3 * i;
    s[0] = slot.from;
    s[1] = slot.to;
    s[2] = slot.type;
    if (i + 1 != Stored() || slot != MarkSlot {}) return;
    // The last slot was freed whole: the free slots before it need no room either.
    size_t kept = i;
    while (kept > 0 && isFree(block + 1 + 3 * (kept - 1))) --kept;
    uint8_t* shrunk = kept ? makeBlock(kept, block + 1, kept) : nullptr;
    delete[] block;
    block = shrunk;
}

void MarkSlots::Assign(const MarkSlot* table, size_t count)
{
    count = std::min<size_t>(count, MaxMarks);
    while (count > 0 && table[count - 1] == MarkSlot {}) --count;
    uint8_t* made = nullptr;
    if (count) {
        made = makeBlock(count, nullptr, 0);
        for (size_t i = 0; i < count; ++i) {
            made[1 + 3 * i] = table[i].from;
            made[2 + 3 * i] = table[i].to;
            made[3 + 3 * i] = table[i].type;
        }
    }
    delete[] block;
    block = made;
}

void MarkSlots::copyFrom(const MarkSlots& other)
{
    uint8_t* made = other.block ? makeBlock(other.Stored(), other.block + 1, other.Stored()) : nullptr;
    delete[] block;
    block = made;
}

bool operator==(const MarkSlots& a, const MarkSlots& b) noexcept
{
    const size_t stored = a.Stored();
    return stored == b.Stored() && (stored == 0 || std::memcmp(a.block + 1, b.block + 1, 3 * stored) == 0);
}
