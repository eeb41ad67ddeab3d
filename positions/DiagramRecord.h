#pragma once

#include "Square.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

// One square is a chess-font character: row 0 is rank 8, cell 0 the left border, cells 1..8
// files a..h, cell 9 the right border, cell 10 the terminating NUL (cell 11 is spare).
using FontRow = std::array<char, 12>;
using FontBoard = std::array<FontRow, 8>;

// Per-cell values that share the board's indexing (colour marks, fairy rotations).
using CellRow = std::array<int8_t, 12>;
using CellBytes = std::array<CellRow, 8>;

enum MarkType : uint8_t {
    MarkGreen = 1,
    MarkYellow = 2,
    MarkRed = 3,
    MarkBlue = 4,
    MarkRed2 = 5,
    MarkDoubleStep = 6, // the arrow drawn automatically for an en-passant square
    MarkSquare1 = 7,
    MarkSquare2 = 8,
    MarkNumberZero = 0x30, // the first cell of the numbers palette
    MarkNumberFirst = 0x31, // number marks 1..13 are 0x31..0x3D
    MarkNumberLast = 0x3D,
};

// Squares by their mark numbers (Square::MarkNumber): a8 = 1, h8 = 8, a1 = 57, h1 = 64. A slot with from 0
// is free.
struct MarkSlot {
    uint8_t from = 0;
    uint8_t to = 0;
    uint8_t type = 0;
    bool operator==(const MarkSlot&) const = default;
};

constexpr int MaxMarks = 70;

// A text of a diagram in one word: up to seven bytes are held in the word itself, a longer text in a
// block of its own. Most of a list's texts (counters, opcodes, short operations) are that short, and a
// list of a hundred thousand diagrams holds nine texts per diagram. Reads go through a string_view.
class RecordText {
public:
    RecordText() = default;
    explicit RecordText(std::string_view text) { assign(text); }
    explicit RecordText(const std::string& text) { assign(text); }
    explicit RecordText(const char* text) { assign(text); }
    RecordText(const RecordText& other) { assign(other.view()); }
    RecordText(RecordText&& other) noexcept
        : word(other.word)
    {
        other.word = {};
    }
    ~RecordText() { release(); }
    RecordText& operator=(const RecordText& other)
    {
        if (this != &other) assign(other.view());
        return *this;
    }
    RecordText& operator=(RecordText&& other) noexcept
    {
        std::swap(word, other.word);
        return *this;
    }
    RecordText& operator=(std::string_view text)
    {
        assign(text);
        return *this;
    }
    RecordText& operator=(const std::string& text)
    {
        assign(text);
        return *this;
    }
    RecordText& operator=(const char* text)
    {
        assign(text);
        return *this;
    }
    RecordText& operator+=(std::string_view text);
    RecordText& operator+=(char c) { return *this += std::string_view(&c, 1); }

    std::string_view view() const noexcept
    {
        if (word[0] & 1) return { reinterpret_cast<const char*>(word.data()) + 1, size_t(word[0] >> 1) };
        const uint32_t* block = heapBlock();
        if (!block) return {};
        return { reinterpret_cast<const char*>(block + 1), block[0] };
    }
    operator std::string_view() const noexcept { return view(); }
    operator std::string() const { return std::string(view()); }
    std::string str() const { return std::string(view()); }

    bool empty() const noexcept { return word == Word {}; }
    size_t size() const noexcept { return view().size(); }
    size_t length() const noexcept { return view().size(); }
    const char* data() const noexcept { return view().data(); }
    const char* begin() const noexcept { return view().data(); }
    const char* end() const noexcept { return view().data() + view().size(); }
    char operator[](size_t i) const noexcept { return view()[i]; }
    char front() const noexcept { return view().front(); }
    char back() const noexcept { return view().back(); }
    void clear() noexcept
    {
        release();
        word = {};
    }

    // What std::string offers for reading.
    static constexpr size_t npos = std::string::npos;
    std::string substr(size_t pos = 0, size_t n = npos) const { return std::string(view()).substr(pos, n); }
    size_t find(std::string_view s, size_t pos = 0) const noexcept { return view().find(s, pos); }
    size_t find(char c, size_t pos = 0) const noexcept { return view().find(c, pos); }
    size_t find_first_of(std::string_view s, size_t pos = 0) const noexcept
    {
        return view().find_first_of(s, pos);
    }
    size_t find_first_not_of(std::string_view s, size_t pos = 0) const noexcept
    {
        return view().find_first_not_of(s, pos);
    }
    bool starts_with(std::string_view s) const noexcept { return view().starts_with(s); }
    bool starts_with(char c) const noexcept { return view().starts_with(c); }
    bool ends_with(std::string_view s) const noexcept { return view().ends_with(s); }

    friend bool operator==(const RecordText& a, const RecordText& b) noexcept { return a.view() == b.view(); }
    friend bool operator==(const RecordText& a, std::string_view b) noexcept { return a.view() == b; }
    friend bool operator==(const RecordText& a, const char* b) noexcept { return a.view() == b; }
    friend bool operator==(const RecordText& a, const std::string& b) noexcept { return a.view() == b; }

private:
    // Byte 0 is odd for a text held in the word (its length times two, plus one, then the bytes); else
    // the word is the address of a block (its length, then the bytes), or all zero for the empty text.
    using Word = std::array<unsigned char, 8>;
    static constexpr size_t inWord = 7;
    static_assert(std::endian::native == std::endian::little && sizeof(void*) <= sizeof(Word));

    const uint32_t* heapBlock() const noexcept
    {
        const uint32_t* block;
        std::memcpy(&block, word.data(), sizeof block);
        return block;
    }
    void assign(std::string_view text);
    void release() noexcept
    {
        if (!(word[0] & 1)) delete[] heapBlock();
    }

    alignas(8) Word word {};
};

std::string operator+(std::string a, const RecordText& b);
std::string operator+(const RecordText& a, const RecordText& b);
std::string operator+(const RecordText& a, std::string_view b);
std::string operator+(const RecordText& a, const std::string& b);
std::string operator+(const RecordText& a, const char* b);
std::string operator+(char a, const RecordText& b);
std::string operator+(const RecordText& a, char b);
std::ostream& operator<<(std::ostream& out, const RecordText& text);

// The colour or rotation of each board cell. A diagram seldom has any, so the cells take room only once
// one of them is set; reading an unset table gives zeros.
class CellValues {
public:
    CellValues() = default;
    CellValues(const CellValues& other)
        : cells(other.cells ? std::make_unique<CellBytes>(*other.cells) : nullptr)
    {
    }
    CellValues(CellValues&&) noexcept = default;
    CellValues& operator=(const CellValues& other)
    {
        if (this != &other) cells = other.cells ? std::make_unique<CellBytes>(*other.cells) : nullptr;
        return *this;
    }
    CellValues& operator=(CellValues&&) noexcept = default;

    const CellBytes& Cells() const noexcept { return cells ? *cells : zeros; }
    const CellRow& operator[](size_t row) const noexcept { return Cells()[row]; }
    const CellRow* begin() const noexcept { return Cells().data(); }
    const CellRow* end() const noexcept { return Cells().data() + Cells().size(); }
    bool Any() const noexcept;

    void Set(size_t row, size_t cell, int8_t value)
    {
        if (!cells) {
            if (value == 0) return;
            cells = std::make_unique<CellBytes>();
        }
        (*cells)[row][cell] = value;
    }
    void SetRow(size_t row, const CellRow& values);
    void Clear() noexcept { cells.reset(); }

    friend bool operator==(const CellValues& a, const CellValues& b) noexcept
    {
        return a.Cells() == b.Cells();
    }
    friend bool operator==(const CellValues& a, const CellBytes& b) noexcept { return a.Cells() == b; }

private:
    static const CellBytes zeros;
    std::unique_ptr<CellBytes> cells;
};

// The 70 mark slots of a diagram. Only the slots up to the last one that holds anything take room; the
// slots after it read as {0, 0, 0}. Slots are read by value and written with Set.
class MarkSlots {
public:
    MarkSlots() = default;
    MarkSlots(const MarkSlots& other) { copyFrom(other); }
    MarkSlots(MarkSlots&& other) noexcept
        : block(std::exchange(other.block, nullptr))
    {
    }
    ~MarkSlots() { delete[] block; }
    MarkSlots& operator=(const MarkSlots& other)
    {
        if (this != &other) copyFrom(other);
        return *this;
    }
    MarkSlots& operator=(MarkSlots&& other) noexcept
    {
        std::swap(block, other.block);
        return *this;
    }

    static constexpr size_t size() noexcept { return MaxMarks; }
    // Slots from here on are all {0, 0, 0}.
    size_t Stored() const noexcept { return block ? block[0] : 0; }
    // Const, so that an assignment to a slot does not compile as a silent copy.
    const MarkSlot operator[](size_t i) const noexcept
    {
        if (i >= Stored()) return {};
        const uint8_t* s = block + 1 + 3 * i;
        return { s[0], s[1], s[2] };
    }
    void Set(size_t i, MarkSlot slot);
    // Every slot from a table of them (the first `count`; the others are free).
    void Assign(const MarkSlot* table, size_t count);
    void Clear() noexcept
    {
        delete[] block;
        block = nullptr;
    }
    // Every slot the same, as std::array::fill.
    void fill(MarkSlot slot)
    {
        std::array<MarkSlot, MaxMarks> all;
        all.fill(slot);
        Assign(all.data(), all.size());
    }

    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = MarkSlot;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = const MarkSlot;
        Iterator() = default;
        Iterator(const MarkSlots* table, size_t i)
            : table(table)
            , i(i)
        {
        }
        const MarkSlot operator*() const noexcept { return (*table)[i]; }
        Iterator& operator++() noexcept
        {
            ++i;
            return *this;
        }
        Iterator operator++(int) noexcept
        {
            Iterator before = *this;
            ++i;
            return before;
        }
        bool operator==(const Iterator& other) const noexcept { return i == other.i; }

    private:
        const MarkSlots* table = nullptr;
        size_t i = 0;
    };
    Iterator begin() const noexcept { return { this, 0 }; }
    Iterator end() const noexcept { return { this, MaxMarks }; }

    friend bool operator==(const MarkSlots& a, const MarkSlots& b) noexcept;

private:
    void copyFrom(const MarkSlots& other);
    // The number of slots kept, then three bytes (from, to, type) per slot.
    uint8_t* block = nullptr;
};

// One diagram of the list. The small fields come first, so that they share one word; texts, marks and
// the colour and rotation cells take room beyond the record only when they hold something.
struct DiagramRecord {
    uint8_t castleWhiteLong = 0;
    uint8_t castleBlackLong = 0;
    uint8_t castleWhiteShort = 0;
    uint8_t castleBlackShort = 0;
    uint8_t flipped = 0;
    uint8_t warningsAccepted = 0;
    uint8_t blackToMove = 0;
    uint8_t markCount = 0;
    uint8_t colouredCount = 0;
    // The move counters follow the en-passant field as fields 5 and 6 (FEN form), not as operations: so the
    // line was read, or so the list's lines are made; a line of an EPD or text file is written back so.
    uint8_t fenForm = 0;
    RecordText commentOpcode; // "c0".."c9", or empty when the diagram has no comment operation
    RecordText comment;
    RecordText epdOpsBefore;
    RecordText epdOpsMiddle;
    RecordText epdOpsAfter;
    FontBoard board {};
    CellValues colours;
    CellValues rotations;
    MarkSlots marks;
    RecordText displayComment;
    RecordText enPassantFile;
    RecordText fullmoveNumber;
    RecordText halfmoveClock;
    DiagramRecord* next = nullptr;
    DiagramRecord* previous = nullptr;
};

// One printed page of nine diagrams.
struct PrintHeaderNode {
    std::string title;
    std::string topText;
    std::string infoText;
    PrintHeaderNode* next = nullptr;
    PrintHeaderNode* previous = nullptr;
};
