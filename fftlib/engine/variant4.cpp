// Variant 4 (family 6 with SSE): the vector leaf on the VectorTable, vector
// combine stages with non-temporal prefetches, vector copy and scale. Built
// with SSE (not SSE2) on 32-bit x86: only this file and variant 5 may hold
// SSE instructions there.
#include <algorithm>
#include <cfloat>
#include <cstring>

#include "engine.h"
#include "variants.h"

// The vector kernels join the variant's body (see core_body.inc).
#define HALVEX_VECTOR_KERNELS 1
#include "simd/vec4.h"

namespace v4 {
constexpr VariantParams P = {
    /*variant*/ 4,
    /*leafOrder*/ 10,
    /*blockOrder*/ 14,
    /*ditColumnWidth*/ 256,
    /*difColumnWidth*/ 0,
    /*wholeColumnWidth*/ 256,
    /*difSqrtHalfBits*/ 0x3F3504F3u,  // no DIF leaf
    /*vectorLeaf*/ true,
    /*radix2First*/ false,
    /*prefetch*/ true,
    /*hasDif*/ false,
    /*copyLine*/ 1221,
    /*mpyLine*/ 1825,
    /*vectorBits*/ 128,
};
#include "variant_body.inc"
}  // namespace v4
