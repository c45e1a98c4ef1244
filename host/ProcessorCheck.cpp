#include "host/ProcessorCheck.h"

#include <cpuid.h>

namespace tolva::host {

bool processorHasSse2() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return false;
    constexpr unsigned Sse = 1u << 25, Sse2 = 1u << 26;
    return (d & (Sse | Sse2)) == (Sse | Sse2);
}

} // namespace tolva::host
