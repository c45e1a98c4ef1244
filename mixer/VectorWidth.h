#pragma once

namespace tolva {

// The registers the mixing and output loops work in: SSE2's 128 bits (the reference, and all
// the plug-in has), or AVX2's 256 bits, which only the native tool carries. Every width gives
// the same results.
enum class VectorWidth { Sse2, Avx2 };

// The widest loops this build has and the processor runs.
VectorWidth widestVectors();

} // namespace tolva
