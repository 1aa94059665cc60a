// Variant 5's body on 512-bit AVX-512F registers: the 128-bit body's source
// compiled with vec16.h, each 128-bit lane of a register doing what a whole
// SSE2 register does there, for another group of points. The same stages,
// tables and operations, so the same bits on finite data (see vector_body.inc
// for NaNs). Built with AVX-512F, under which the compiler may also pick AVX2
// instructions (and no contraction into fused multiply-adds); the dispatch
// binds it only where CPUID reports AVX-512F and AVX2 and the system saves
// their registers.
#include <algorithm>
#include <cfloat>
#include <cstring>

#include "engine.h"
#include "variants.h"
#include "vector_params.h"

#define HALVEX_VECTOR_KERNELS 1
#define HALVEX_WIDE_BODY 1
#include "simd/vec16.h"

namespace v5 {
namespace w512 {
constexpr VariantParams P = vectorVariantParams(5, 512);
#include "variant_body.inc"
}  // namespace w512
}  // namespace v5
