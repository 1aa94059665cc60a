// Variant 5's body on 256-bit AVX registers: the 128-bit body's source
// compiled with vec8.h, each 128-bit lane of a register doing what a whole
// SSE2 register does there, for another group of points. The same stages,
// tables and operations, so the same bits on finite data (see vector_body.inc
// for NaNs). Built with AVX alone (and no contraction into fused
// multiply-adds); the dispatch binds it only where CPUID reports AVX and the
// system saves its registers.
#include <algorithm>
#include <cfloat>
#include <cstring>

#include "engine.h"
#include "variants.h"
#include "vector_params.h"

#define HALVEX_VECTOR_KERNELS 1
#define HALVEX_WIDE_BODY 1
#include "simd/vec8.h"

namespace v5 {
namespace w256 {
constexpr VariantParams P = vectorVariantParams(5, 256);
#include "variant_body.inc"
}  // namespace w256
}  // namespace v5
