#pragma once

#include <ctime>

namespace tardigo::bench {

/// CPU time of the calling thread in milliseconds: other work on a shared machine does not inflate
/// it, so a figure measured this way holds on a busy machine too.
inline double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

} // namespace tardigo::bench
