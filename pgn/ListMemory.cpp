#include "ListMemory.h"

#include <cstdint>
#include <cstring>

#include <sys/mman.h>

namespace ListMemory {

namespace {

size_t roundedUp(size_t bytes)
{
    return (bytes + HugeBlock - 1) / HugeBlock * HugeBlock;
}

constexpr size_t SmallBlock = size_t(64) << 10;

} // namespace

void* Map(size_t bytes)
{
    const size_t size = roundedUp(bytes);
    // One block more than asked, so that an aligned range can be cut out of it.
    void* mapped
        = mmap(nullptr, size + HugeBlock, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = (start + HugeBlock - 1) / HugeBlock * HugeBlock;
    if (aligned > start) munmap(mapped, aligned - start);
    if (const uintptr_t tail = start + size + HugeBlock - (aligned + size); tail > 0)
        munmap(reinterpret_cast<void*>(aligned + size), tail);
    // Only advice: where huge pages are not offered, the block is paged as usual.
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void Release(void* block, size_t bytes)
{
    munmap(block, roundedUp(bytes));
}

TextStore::~TextStore()
{
    Clear();
}

void TextStore::Clear()
{
    for (const Block& block : blocks) {
        if (block.mapped)
            Release(block.base, block.size);
        else
            delete[] block.base;
    }
    blocks.clear();
    cursor = end = nullptr;
}

std::string_view TextStore::Keep(std::string_view text)
{
    if (text.empty()) return {};
    if (static_cast<size_t>(end - cursor) < text.size()) {
        const size_t want = large ? HugeBlock : SmallBlock;
        Block block { nullptr, text.size() > want ? text.size() : want, false };
        if (large || block.size >= HugeBlock) {
            block.base = static_cast<char*>(Map(block.size));
            block.mapped = block.base != nullptr;
        }
        if (!block.base) block.base = new char[block.size];
        blocks.push_back(block);
        cursor = block.base;
        end = block.base + block.size;
    }
    std::memcpy(cursor, text.data(), text.size());
    std::string_view kept(cursor, text.size());
    cursor += text.size();
    return kept;
}

} // namespace ListMemory
