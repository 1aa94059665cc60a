// Variant 1: scalar kernels with the radix-2 stage first in the DIT leaf and
// wide columns (1024) in both combine directions inside blocks. No processor
// class selects it first; it stays in the family for the fallback rows.
#include <algorithm>
#include <cfloat>
#include <cstring>

#include "engine.h"

namespace v1 {
constexpr VariantParams P = {
    /*variant*/ 1,
    /*leafOrder*/ 10,
    /*blockOrder*/ 14,
    /*ditColumnWidth*/ 1024,
    /*difColumnWidth*/ 1024,
    /*wholeColumnWidth*/ 256,
    /*difSqrtHalfBits*/ 0x3F3504F3u,  // 0.70710677, correctly rounded
    /*vectorLeaf*/ false,
    /*radix2First*/ true,
    /*prefetch*/ false,
    /*hasDif*/ true,
    /*copyLine*/ 1221,
    /*mpyLine*/ 2059,
    /*vectorBits*/ 0,
};
#include "variant_body.inc"
}  // namespace v1
