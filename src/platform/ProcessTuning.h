#pragma once
// Small process and thread settings the decoders rely on.

// Returns large heap blocks to the system when they are freed. Decode
// buffers are many megabytes, allocated and freed on several threads; glibc
// would otherwise raise its mmap threshold after the first free and keep
// later buffers in per-thread heaps that never shrink. No-op elsewhere.
void ReturnLargeBuffersWhenFreed();

// Lowers the calling thread's scheduling priority a little, so background
// work yields to the interface thread when all cores are busy. Once per
// thread; later calls do nothing.
void LowerCurrentThreadPriority();
