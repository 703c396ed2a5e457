#include "platform/ProcessTuning.h"

#include <cstdlib> // defines __GLIBC__ on glibc
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

void ReturnLargeBuffersWhenFreed()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 2 * 1024 * 1024);
#endif
}

void LowerCurrentThreadPriority()
{
    thread_local bool lowered = false;
    if (lowered)
        return;
    lowered = true;
    // On Linux the "process" of setpriority may be a thread id.
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 5);
}
