// Variant 5's constants, shared by its bodies for each register width
// (variant5.cpp, variant5_avx.cpp, variant5_avx512.cpp): they differ in
// vectorBits alone.
#pragma once
#include "variant_params.h"

constexpr VariantParams variant5Params(int32_t vectorBits) {
    return {
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
        /*vectorBits*/ vectorBits,
    };
}
