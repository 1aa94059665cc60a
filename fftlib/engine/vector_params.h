// The constants of the two vector variants, shared by each one's bodies for
// every register width (variantN.cpp, variantN_avx.cpp, variantN_avx512.cpp):
// a variant's bodies differ in vectorBits alone.
#pragma once
#include "variant_params.h"

constexpr VariantParams vectorVariantParams(int32_t variant, int32_t vectorBits) {
    const bool v4 = variant == 4;
    return {
        /*variant*/ variant,
        /*leafOrder*/ v4 ? 10 : 14,
        /*blockOrder*/ v4 ? 14 : 15,
        /*ditColumnWidth*/ 256,
        /*difColumnWidth*/ 0,
        /*wholeColumnWidth*/ 256,
        /*difSqrtHalfBits*/ 0x3F3504F3u,  // no DIF leaf
        /*vectorLeaf*/ true,
        /*radix2First*/ false,
        /*prefetch*/ v4,
        /*hasDif*/ false,
        /*copyLine*/ 1221,
        /*mpyLine*/ 1825,
        /*vectorBits*/ vectorBits,
    };
}
