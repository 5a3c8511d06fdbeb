#pragma once
// Bounds shared by the module kernels: a sample count or a write range that would
// leave the trace buffer stops the run with a message instead of overrunning it.
#include "core/error.h"
#include "core/trace.h"

#include <string>

namespace tarnix::modules {

// n clamped below at 0; throws when n samples do not fit the buffer.
inline int checkedCount(const char* module, long long n) {
    if (n > kTraceSlots)
        throw Error(std::string(module) + ": " + std::to_string(n) +
                    " samples do not fit the trace buffer of " + std::to_string(kTraceSlots) +
                    " samples");
    return n < 0 ? 0 : static_cast<int>(n);
}

} // namespace tarnix::modules
