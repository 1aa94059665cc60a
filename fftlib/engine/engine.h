// The transform engine: twiddle and bit-reversal tables, permutations and the
// complex FFT core, once per processor variant, plus the pieces every variant
// shares. The frame reaches a variant only through its transform entry
// (variantEntries); the project's tests and tools reach everything through
// variantEngines.
#pragma once
#include <cstdint>

#include "../frame/halvex_internal.h"
#include "variant_params.h"

// Complex twiddles are float pairs (cos θ, -sin θ); bit-reversal tables hold
// int32 indices multiplied by 4.
typedef float* TwiddleTable;
typedef int32_t* BitRevTable;

// --- Shared by every variant (tables.cpp) ---

// n = 2^m/4 + 1 floats S[i] = sin(2πi/2^m), or null. Each value is evaluated in
// double precision (extended on x87 builds) and rounded once to float.
float* buildSineTable(int32_t m);
// Twiddle k (0..3Q) of an N-point table, N = 4Q, read from the sine table of
// order m through the quarter-wave identities; s = 2^m / N. Writes (re, im).
void sineTwiddle(const float* sine, int64_t s, int64_t quarter, int64_t k, float* out);
// The VectorTable of order m (m >= 4; nothing is written below) into a block
// of q·32 + 32 bytes: one section per radix-4 stage length N = 2^L, L = 4 +
// (m mod 2), L + 2, ... m, each N/4 rows of w_N^j, w_N^2j, w_N^3j stored by
// groups of four j as six 4-float vectors (re w^j, im w^j, re w^2j, ...).
void fillVectorTable(float* t, const float* sine, int32_t m);
BitRevTable getBitRevTable(int32_t m);
void releaseBitRevTable(int32_t m);
void releaseLargeTable(int32_t m);
// Every slot of the four table caches of the calling thread; work buffers stay.
void releaseAllTables();
// In-place permutation of n floats into bit-reversed order.
void bitRevPermute(float* x, int64_t n, const int32_t* table);
// dst[rev(k)] = src[k]; src and dst must not overlap.
void bitRevCopy(const float* src, float* dst, int64_t n, const int32_t* table);
// The table caches of a thread are shared slots whose layouts depend on the
// variant that filled them. Every variant's getters claim the caches first:
// when another variant filled them on this thread, all tables are released.
// In a process only one variant is bound, so this never releases anything
// there; it makes forcing variants one after another (tests, tools) safe.
void claimTableCaches(int32_t variant);
// The variant whose tables the calling thread's caches hold, -1 before any.
extern __thread int32_t tableCacheOwner HALVEX_TLS_MODEL;
// True when the caches hold the tables of that variant (or nothing else).
inline bool tableCachesOwnedBy(int32_t variant) { return tableCacheOwner == variant; }
// The calling thread's record when its caches hold that variant's tables,
// else null (also where the record would first have to be found or made): the
// steady state's lookup, without a call where the platform allows.
inline const ThreadContext* steadyContext(int32_t variant) {
#if defined(_WIN32)
    return tableCachesOwnedBy(variant) ? getThreadContext() : nullptr;
#else
    return tableCachesOwnedBy(variant) ? halvexOwnContext : nullptr;
#endif
}
// alignedAlloc of count elements of size bytes plus extra bytes; null when that
// does not fit in the address space or the heap refuses.
void* allocTable(uint64_t count, uint64_t size, uint64_t extra);

// --- One variant, as the tests and tools see it ---

struct VariantEngine {
    const VariantParams* params;
    TransformEntry transform;  // the variant's body of kfxcrFftNip
    TwiddleTable (*getLeafTable)(int32_t m);
    TwiddleTable (*getSplitRadixTable)(int32_t m);  // null without a DIF core
    TwiddleTable (*getLargeTable)(int32_t m);
    BitRevTable (*getBitRevTable)(int32_t m);
    void (*releaseLeafTable)(int32_t m);
    void (*releaseSplitRadixTable)(int32_t m);      // null without a DIF core
    void (*releaseLargeTable)(int32_t m);
    void (*releaseBitRevTable)(int32_t m);
    void (*releaseAllTables)();
    void (*bitRevPermute)(float* x, int64_t n, const int32_t* table);
    void (*bitRevCopy)(const float* src, float* dst, int64_t n, const int32_t* table);
    void (*ditTransform)(float* re, float* im, int64_t n, int32_t sign, const float* table);
    void (*difTransform)(float* re, float* im, int64_t n, int32_t sign,
                         const float* table);      // null without a DIF core
    void (*kfxsbCopy)(const float* src, float* dst, int64_t n);
    void (*kfxsbMpy1)(float value, float* dst, int64_t n);
};

// Each variant's engine and entry, in namespaces v0 .. v5 (the vector
// variants' wider bodies in vN::w256 and vN::w512).
#define HALVEX_DECLARE_VARIANT(ns)                                                                  \
    namespace ns {                                                                                  \
    extern const VariantEngine engine;                                                              \
    void HALVEX_STDCALL kfxcrFftNip(const float* reInSamps, const float* imInSamps, float* reOutSamps, \
                                    float* imOutSamps, int32_t order, int32_t flags);               \
    }
HALVEX_DECLARE_VARIANT(v0)
HALVEX_DECLARE_VARIANT(v1)
HALVEX_DECLARE_VARIANT(v2)
HALVEX_DECLARE_VARIANT(v3)
HALVEX_DECLARE_VARIANT(v4)
HALVEX_DECLARE_VARIANT(v5)
HALVEX_DECLARE_VARIANT(v4::w256)
HALVEX_DECLARE_VARIANT(v4::w512)
HALVEX_DECLARE_VARIANT(v5::w256)
HALVEX_DECLARE_VARIANT(v5::w512)
#undef HALVEX_DECLARE_VARIANT
// The vector variants' 128-bit bodies: a steady call of 2 to 32 points from
// natural order into other arrays (its checks passed, the order's table
// given), which their wider bodies hand over too.
namespace v4 {
void steadySmall(const float* reInSamps, const float* imInSamps, float* reOutSamps, float* imOutSamps, int32_t order,
                 int32_t flags, const float* table);
}
namespace v5 {
void steadySmall(const float* reInSamps, const float* imInSamps, float* reOutSamps, float* imOutSamps, int32_t order,
                 int32_t flags, const float* table);
}
