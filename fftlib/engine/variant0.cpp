// Variant 0, the generic variant: scalar kernels, a radix-4 DIT leaf ending
// with the radix-2 stage, the split-radix DIF leaf for bit-reversed output.
#include <algorithm>
#include <cfloat>
#include <cstring>

#include "engine.h"

namespace v0 {
constexpr VariantParams P = {
    /*variant*/ 0,
    /*leafOrder*/ 10,
    /*blockOrder*/ 14,
    /*ditColumnWidth*/ 256,
    /*difColumnWidth*/ 256,
    /*wholeColumnWidth*/ 256,
    /*difSqrtHalfBits*/ 0x3F3504F7u,  // 0.707107, as the variant has always used
    /*vectorLeaf*/ false,
    /*radix2First*/ false,
    /*prefetch*/ false,
    /*hasDif*/ true,
    /*copyLine*/ 241,
    /*mpyLine*/ 419,
    /*vectorBits*/ 0,
};
#include "variant_body.inc"
}  // namespace v0
