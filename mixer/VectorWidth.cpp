#include "mixer/VectorWidth.h"

namespace tolva {

VectorWidth widestVectors() {
#if TOLVA_WIDE_MIXING
    static const VectorWidth widest =
        __builtin_cpu_supports("avx2") ? VectorWidth::Avx2 : VectorWidth::Sse2;
    return widest;
#else
    return VectorWidth::Sse2;
#endif
}

} // namespace tolva
