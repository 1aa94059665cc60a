// Variant 4 (family 6 with SSE): the vector leaf on the VectorTable, vector
// combine stages with non-temporal prefetches, vector copy and scale. Built
// with SSE (not SSE2) on 32-bit x86: only this file and variant 5 may hold
// SSE instructions there. This is its 128-bit body, the one every processor
// of its class can run; the wider ones (variant4_avx.cpp,
// variant4_avx512.cpp) give the same bits on finite data.
#include <algorithm>
#include <cfloat>
#include <cstring>

#include "engine.h"
#include "variants.h"
#include "vector_params.h"

// The vector kernels join the variant's body (see core_body.inc).
#define HALVEX_VECTOR_KERNELS 1
#include "simd/vec4.h"

namespace v4 {
constexpr VariantParams P = vectorVariantParams(4, 128);
#include "variant_body.inc"
}  // namespace v4
