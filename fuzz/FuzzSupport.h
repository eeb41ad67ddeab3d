#pragma once

// What every fuzz target shares: the options byte at the front of an input, and the checks of what the
// readers promise beyond not crashing.

#include "positions/DiagramList.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// A broken promise is a finding like a crash: libFuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);         \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

// The first byte chooses the modes the reader runs in (so that the fuzzer can mutate them like the
// text), the rest is what the reader is given.
struct FuzzInput {
    uint8_t flags = 0;
    std::string_view text;

    FuzzInput(const uint8_t* data, size_t size)
    {
        if (size > 0) {
            flags = data[0];
            text = std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1);
        }
    }
    bool flag(int bit) const { return (flags >> bit & 1) != 0; }
    // Two bits from `bit` on, as 0..3.
    int pick(int bit) const { return flags >> bit & 3; }
};

// The extensions a position list can be read or written as.
inline const char* const PositionExtensions[4] = { "bnx", "epd", "fen", "txt" };

// The links of the diagram list agree with its count, and the head is the first record.
inline void CheckListLinks(const DiagramList& list, int expected)
{
    int count = 0;
    const DiagramRecord* previous = nullptr;
    for (const DiagramRecord* r = list.m_pFirstDiagram; r; r = r->next) {
        FUZZ_CHECK(r->previous == previous);
        previous = r;
        ++count;
        FUZZ_CHECK(count <= expected);
    }
    FUZZ_CHECK(count == expected);
    FUZZ_CHECK(list.m_pLastDiagram == previous);
}
