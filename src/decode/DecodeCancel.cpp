#include "decode/DecodeCancel.h"

namespace
{
thread_local const std::atomic<bool> *currentFlag = nullptr;
}

DecodeCancelScope::DecodeCancelScope(const std::atomic<bool> *flag) : previous_(currentFlag)
{
    currentFlag = flag;
}

DecodeCancelScope::~DecodeCancelScope()
{
    currentFlag = previous_;
}

bool DecodeCancelled()
{
    const std::atomic<bool> *flag = currentFlag;
    return flag && flag->load(std::memory_order_relaxed);
}
