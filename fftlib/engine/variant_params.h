// The constants that tell the processor variants of the engine apart. Every
// variant compiles the same kernel sources (variant_body.inc) inside its own
// namespace with one constexpr record of this type named P, so blocking sizes,
// column widths and leaf constants are parameters rather than literals.
#pragma once
#include <cstdint>

struct VariantParams {
    int32_t variant;           // 0..5
    int32_t leafOrder;         // log2 of LeafSize: the largest order a leaf transforms
    int32_t blockOrder;        // log2 of BlockSize: the points finished before the next block
    int32_t ditColumnWidth;    // ColumnWidth of the DIT combine stages inside a block
    int32_t difColumnWidth;    // ColumnWidth of the DIF combine stages inside a block (0: no DIF core)
    int32_t wholeColumnWidth;  // ColumnWidth of the stages above BlockSize
    uint32_t difSqrtHalfBits;  // bit pattern of the DIF leaf's eighth-root constant
    bool vectorLeaf;           // leaf table: VectorTable (vector leaf) instead of RadixFourTable
    bool radix2First;          // scalar DIT leaf of odd orders: the radix-2 stage right after the 4-point pass
    bool prefetch;             // vector variants: non-temporal prefetches in the combine stages
    bool hasDif;               // bit-reversed output from natural input by difTransform
    int32_t copyLine;          // report line of kfxsbCopy
    int32_t mpyLine;           // report line of kfxsbMpy1
    int32_t vectorBits;        // vector variants: the register width this body is built for (0: scalar)
};

constexpr int64_t leafSizeOf(const VariantParams& p) { return int64_t(1) << p.leafOrder; }
constexpr int64_t blockSizeOf(const VariantParams& p) { return int64_t(1) << p.blockOrder; }
// Entries of the blockSubtable: the BlockSize/4 twiddles of a BlockSize-point transform.
constexpr int64_t blockSubtableSizeOf(const VariantParams& p) { return blockSizeOf(p) / 4; }
