// Variant 5 (family 15 with SSE2): the vector leaf over 16384 points with
// 64-bit loads in its first pass, 32768-point blocks and an 8192-entry
// blockSubtable; no prefetches. Built with SSE2 on 32-bit x86.
#include <algorithm>
#include <cfloat>
#include <cstring>

#include "engine.h"

// The vector kernels join the variant's body (see core_body.inc).
#define HALVEX_VECTOR_KERNELS 1
#include "simd/vec4.h"

namespace v5 {
constexpr VariantParams P = {
    /*variant*/ 5,
    /*leafOrder*/ 14,
    /*blockOrder*/ 15,
    /*ditColumnWidth*/ 256,
    /*difColumnWidth*/ 0,
    /*wholeColumnWidth*/ 256,
    /*difSqrtHalfBits*/ 0x3F3504F3u,  // no DIF leaf
    /*vectorLeaf*/ true,
    /*radix2First*/ false,
    /*prefetch*/ false,
    /*hasDif*/ false,
    /*copyLine*/ 1221,
    /*mpyLine*/ 1825,
};
#include "variant_body.inc"
}  // namespace v5
