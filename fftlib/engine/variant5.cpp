// Variant 5 (family 15 with SSE2): the vector leaf over 16384 points with
// 64-bit loads in its first pass, 32768-point blocks and an 8192-entry
// blockSubtable; no prefetches. Built with SSE2 on 32-bit x86. This is its
// 128-bit body, the one every processor of its class can run; the wider ones
// (variant5_avx.cpp, variant5_avx512.cpp) give the same bits on
// finite data.
#include <algorithm>
#include <cfloat>
#include <cstring>

#include "engine.h"
#include "variants.h"
#include "vector_params.h"

// The vector kernels join the variant's body (see core_body.inc).
#define HALVEX_VECTOR_KERNELS 1
#include "simd/vec4.h"

namespace v5 {
constexpr VariantParams P = vectorVariantParams(5, 128);
#include "variant_body.inc"
}  // namespace v5
