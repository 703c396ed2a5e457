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

#endif

PageWarmer::PageWarmer(void *block, size_t bytes)
{
    if (!block || bytes == 0)
        return;
    try {
        thread_ = std::thread([this, first = static_cast<char *>(block), bytes] {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
            // The system maps the whole block in at once; an old kernel
            // refuses and the writes below do it page by page.
            const auto page = uintptr_t(sysconf(_SC_PAGESIZE));
            const auto from = reinterpret_cast<uintptr_t>(first);
            const uintptr_t start = (from + page - 1) & ~(page - 1), end = (from + bytes) & ~(page - 1);
            if (page > 0 && end > start)
                madvise(reinterpret_cast<void *>(start), end - start, MADV_POPULATE_WRITE);
#endif
            // Adding nothing writes the byte as it is, whoever else reads it.
            constexpr size_t kStep = 4096;
            const auto ready = [](char &byte) {
                std::atomic_ref<char>(byte).fetch_add(0, std::memory_order_relaxed);
            };
            for (size_t at = 0; at < bytes && !stop_.load(std::memory_order_relaxed); at += kStep)
                ready(first[at]);
            if (!stop_.load(std::memory_order_relaxed))
                ready(first[bytes - 1]); // the last page, when the block starts inside a page
        });
    } catch (const std::system_error &) {
        // no thread to spare: the pages are readied as they are written
    }
}

PageWarmer::~PageWarmer()
{
    stop();
}

void PageWarmer::finish()
{
    if (thread_.joinable())
        thread_.join();
}

void PageWarmer::stop()
{
    stop_.store(true, std::memory_order_relaxed);
    finish();
}
