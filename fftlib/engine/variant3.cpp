// Variant 3 (family 6 with MMX, without SSE): as variant 1, but the DIT
// combine stages inside blocks keep the narrow columns (256).
#include <algorithm>
#include <cfloat>
#include <cstring>

#include "engine.h"

namespace v3 {
constexpr VariantParams P = {
    /*variant*/ 3,
    /*leafOrder*/ 10,
    /*blockOrder*/ 14,
    /*ditColumnWidth*/ 256,
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
}  // namespace v3
