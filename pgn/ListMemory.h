#pragma once

#include <cstddef>
#include <new>
#include <string_view>
#include <vector>

// Memory for the list of a large PGN file. Touching a new page of memory costs far more than listing
// the game written on it, so the list asks for few, large blocks that the system may back with huge
// pages: a list of 70,000 games then costs a handful of page faults instead of thousands.
namespace ListMemory {

// Blocks of this size are mapped, aligned to it, and offered for huge pages; smaller needs go to the
// heap.
constexpr size_t HugeBlock = size_t(2) << 20;

// `bytes` rounded up to whole huge blocks, aligned to a block boundary, not yet touched; nullptr when
// the system refuses. Freed with Release(pointer, bytes).
void* Map(size_t bytes);
void Release(void* block, size_t bytes);

// An allocator for the game list's array: large arrays are mapped.
template <typename T> struct Allocator {
    using value_type = T;
    Allocator() = default;
    template <typename U> Allocator(const Allocator<U>&) { }
    T* allocate(size_t n)
    {
        const size_t bytes = n * sizeof(T);
        if (bytes < HugeBlock) return static_cast<T*>(::operator new(bytes));
        if (void* block = Map(bytes)) return static_cast<T*>(block);
        throw std::bad_alloc();
    }
    void deallocate(T* p, size_t n)
    {
        const size_t bytes = n * sizeof(T);
        if (bytes < HugeBlock)
            ::operator delete(p);
        else
            Release(p, bytes);
    }
    friend bool operator==(const Allocator&, const Allocator&) { return true; }
};

// Texts kept for the life of the list, written one after the other into blocks that never move.
class TextStore {
public:
    TextStore() = default;
    ~TextStore();
    TextStore(const TextStore&) = delete;
    TextStore& operator=(const TextStore&) = delete;

    // Large lists take their blocks from mapped memory, small ones from the heap.
    void SetLarge(bool large) { this->large = large; }
    // A copy of `text` that lives as long as the store (or until Clear).
    std::string_view Keep(std::string_view text);
    void Clear();

private:
    struct Block {
        char* base;
        size_t size;
        bool mapped;
    };
    std::vector<Block> blocks;
    char* cursor = nullptr;
    char* end = nullptr;
    bool large = false;
};

} // namespace ListMemory
