#pragma once
// Stopping a decode nobody wants any more. Whoever starts a decode on a
// thread may give it a flag; the decoders look at the flag between lines
// and stages (the JPEG decoder every few lines, LibRaw through its progress
// call-back) and give up, reporting failure, once it is raised. A thread
// without a flag is never cancelled.
#include <atomic>

class DecodeCancelScope
{
public:
    // The flag must outlive the scope.
    explicit DecodeCancelScope(const std::atomic<bool> *flag);
    ~DecodeCancelScope();
    DecodeCancelScope(const DecodeCancelScope &) = delete;
    DecodeCancelScope &operator=(const DecodeCancelScope &) = delete;

private:
    const std::atomic<bool> *previous_;
};

// True when the decode running on this thread has been cancelled.
bool DecodeCancelled();
