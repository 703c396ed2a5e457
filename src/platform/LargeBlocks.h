#pragma once
// Large blocks of memory (decoded pictures), asked of the system in huge
// pages where it gives them: the system then fills a block on first use in
// a few steps instead of one step per small page, which on some machines
// costs more than the decoding that writes the block.
#include <cstddef>

// At least `bytes` of writable memory, aligned to 64 bytes; null when the
// system has none. `capacity` receives the usable size (at least `bytes`).
void *AllocateLargeBlock(size_t bytes, size_t &capacity);
// Gives back a block of the capacity AllocateLargeBlock reported.
void FreeLargeBlock(void *block, size_t capacity);

// Maps in, on a thread of its own, the pages of a block nobody has written
// to yet (a window's new backing store), so that whoever writes it first
// does not stop at every page. The contents are left as they are; a block
// freed meanwhile is harmless.
void PrefaultInBackground(const void *block, size_t bytes);
