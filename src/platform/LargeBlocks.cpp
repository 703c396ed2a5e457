#include "platform/LargeBlocks.h"

#include <cstdint>
#include <cstdlib>
#include <system_error>
#include <thread>
#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

#ifdef __linux__

namespace
{
constexpr size_t kHugePage = size_t(2) << 20;
} // namespace

void *AllocateLargeBlock(size_t bytes, size_t &capacity)
{
    // Whole huge pages, aligned to one: map one more and trim both ends.
    const size_t size = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    if (bytes == 0 || size < bytes)
        return nullptr;
    const size_t mapped = size + kHugePage;
    void *p = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(p);
    const uintptr_t aligned = (start + kHugePage - 1) & ~uintptr_t(kHugePage - 1);
    if (aligned > start)
        munmap(p, aligned - start);
    const uintptr_t end = start + mapped, used = aligned + size;
    if (end > used)
        munmap(reinterpret_cast<void *>(used), end - used);
    void *block = reinterpret_cast<void *>(aligned);
#ifdef MADV_HUGEPAGE
    madvise(block, size, MADV_HUGEPAGE); // a hint: small pages work as well
#endif
    capacity = size;
    return block;
}

void FreeLargeBlock(void *block, size_t capacity)
{
    if (block)
        munmap(block, capacity);
}

void PrefaultInBackground(const void *block, size_t bytes)
{
#ifdef MADV_POPULATE_WRITE
    // Only the pages wholly inside the block.
    const auto page = uintptr_t(sysconf(_SC_PAGESIZE));
    const auto from = reinterpret_cast<uintptr_t>(block);
    const uintptr_t start = (from + page - 1) & ~(page - 1), end = (from + bytes) & ~(page - 1);
    if (!block || page == 0 || end <= start)
        return;
    try {
        // One call maps every page in, without changing what they hold; an
        // old kernel refuses it and nothing happens.
        std::thread([start, end] {
            madvise(reinterpret_cast<void *>(start), end - start, MADV_POPULATE_WRITE);
        }).detach();
    } catch (const std::system_error &) {
        // no thread to spare: the pages fault in as they are written
    }
#else
    (void)block;
    (void)bytes;
#endif
}

#else

void *AllocateLargeBlock(size_t bytes, size_t &capacity)
{
    capacity = (bytes + 63) / 64 * 64;
    return bytes ? std::aligned_alloc(64, capacity) : nullptr;
}

void FreeLargeBlock(void *block, size_t)
{
    std::free(block);
}

void PrefaultInBackground(const void *, size_t) {}

#endif
