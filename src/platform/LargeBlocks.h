#pragma once
// Large blocks of memory (decoded pictures), asked of the system in huge
// pages where it gives them: the system then fills a block on first use in
// a few steps instead of one step per small page, which on some machines
// costs more than the decoding that writes the block.
#include <atomic>
#include <cstddef>
#include <thread>

// At least `bytes` of writable memory, aligned to 64 bytes; null when the
// system has none. `capacity` receives the usable size (at least `bytes`).
void *AllocateLargeBlock(size_t bytes, size_t &capacity);
// Gives back a block of the capacity AllocateLargeBlock reported.
void FreeLargeBlock(void *block, size_t capacity);

// Readies, on a thread of its own, the pages of a block nobody has written
// to yet (a window's new backing store), so that whoever writes it first
// does not stop at every page. On some virtual machines a page is only
// ready once this very process has written to it, so each page is written
// once, its contents left as they are. Until finish() or stop() has
// returned, the owner neither writes to the block nor frees it.
class PageWarmer
{
public:
    PageWarmer(void *block, size_t bytes);
    ~PageWarmer(); // stops
    PageWarmer(const PageWarmer &) = delete;
    PageWarmer &operator=(const PageWarmer &) = delete;

    // Waits until every page is ready.
    void finish();
    // Leaves the rest (the block is about to go) and waits for the thread.
    void stop();

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
