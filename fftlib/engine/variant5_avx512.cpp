// Variant 5's body on 512-bit AVX-512F registers: the 128-bit body's source
// compiled with vec16.h, each 128-bit lane of a register doing what a whole
// SSE2 register does there, for another group of points. The same stages,
// tables and operations, so the same bits. Built with AVX-512F (and no
// contraction into fused multiply-adds); the dispatch binds it only where
// CPUID reports AVX-512F and the system saves its registers.
#include <algorithm>
#include <cfloat>
#include <cstring>

#include "engine.h"
#include "variant5_params.h"
#include "variants.h"

#define HALVEX_VECTOR_KERNELS 1
#define HALVEX_WIDE_BODY 1
#include "simd/vec16.h"

namespace v5 {
namespace w512 {
constexpr VariantParams P = variant5Params(512);
#include "variant_body.inc"
}  // namespace w512
}  // namespace v5
