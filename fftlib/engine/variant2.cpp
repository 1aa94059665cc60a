// Variant 2 (family 5 with MMX): the radix-2-first DIT leaf and the DIF leaf
// of variants 1 and 3, with the narrow columns of variant 0. Its code is the
// same design as theirs, compiled here with its own constants.
#include <algorithm>
#include <cfloat>
#include <cstring>

#include "engine.h"

namespace v2 {
constexpr VariantParams P = {
    /*variant*/ 2,
    /*leafOrder*/ 10,
    /*blockOrder*/ 14,
    /*ditColumnWidth*/ 256,
    /*difColumnWidth*/ 256,
    /*wholeColumnWidth*/ 256,
    /*difSqrtHalfBits*/ 0x3F3504F3u,  // 0.70710677, correctly rounded
    /*vectorLeaf*/ false,
    /*radix2First*/ true,
    /*prefetch*/ false,
    /*hasDif*/ true,
    /*copyLine*/ 1235,
    /*mpyLine*/ 2059,
    /*vectorBits*/ 0,
};
#include "variant_body.inc"
}  // namespace v2
