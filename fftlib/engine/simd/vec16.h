// Sixteen-float vectors (AVX-512F) for variant 5's body on 512-bit registers:
// the same names as vec4.h, each vector four 128-bit lanes of four floats,
// and each lane what one vec4.h vector holds. Additions, subtractions,
// multiplications and exclusive-ors act float by float and the
// rearrangements (VSHUFFLE, VTRANSPOSE4) lane by lane, so a kernel written
// for one lane computes, in each lane, exactly what it computes with vec4.h.
// Included only by the source built with AVX-512F; no fused multiply-add is
// used, and that source is compiled without contraction, so every product
// and sum is rounded on its own, as in the 128-bit body. Only AVX-512F
// instructions: the exclusive-or goes through the integer form.
//
// Every helper is `static inline`, as in vec4.h.
#pragma once
// GCC 12's AVX-512 header fills the unused source of its masked builtins with
// an uninitialised value (_mm512_undefined_ps), which -Wuninitialized reports
// wherever those intrinsics are inlined (GCC bug 105593, mended in later
// releases): the warning is silenced for the header's lines only.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#else
#include <immintrin.h>
#endif

#include <cstdint>

typedef __m512 vfloat;
// Floats per vector.
constexpr int vectorFloats = 16;

// Arithmetic, float by float, each result rounded once to single precision.
static inline vfloat VADD(vfloat a, vfloat b) { return _mm512_add_ps(a, b); }
static inline vfloat VSUB(vfloat a, vfloat b) { return _mm512_sub_ps(a, b); }
static inline vfloat VMUL(vfloat a, vfloat b) { return _mm512_mul_ps(a, b); }
// Bitwise exclusive-or: with a sign mask it flips signs exactly.
static inline vfloat VXOR(vfloat a, vfloat b) {
    return _mm512_castsi512_ps(_mm512_xor_si512(_mm512_castps_si512(a), _mm512_castps_si512(b)));
}

// Constants.
static inline vfloat VSET1(float x) { return _mm512_set1_ps(x); }
// (a, b, c, d) in every 128-bit lane.
static inline vfloat VSET4(float a, float b, float c, float d) { return _mm512_setr4_ps(a, b, c, d); }
// -0.0 in every float: VXOR with it negates.
static inline vfloat VSIGNMASK() { return _mm512_set1_ps(-0.0f); }
static inline vfloat VZERO() { return _mm512_setzero_ps(); }

// Loads and stores of sixteen consecutive floats: as in vec8.h, VLOAD/VSTORE
// need only the lanes' own 16-byte alignment and use the unaligned
// instructions; the U forms need 4 bytes.
static inline vfloat VLOAD(const float* p) { return _mm512_loadu_ps(p); }
static inline vfloat VLOADU(const float* p) { return _mm512_loadu_ps(p); }
static inline void VSTORE(float* p, vfloat a) { _mm512_storeu_ps(p, a); }
static inline void VSTOREU(float* p, vfloat a) { _mm512_storeu_ps(p, a); }

// Lane by lane (see vec4.h): lane k at p + (k & 1)·step + (k >> 1)·step2.
// 16-byte aligned lanes, lanes with 4-byte alignment (VLOADLANES2X2 is the
// same: what vec4.h reads as two 64-bit halves), their stores, the four
// floats at p in every lane, and pairs of two floats at lo and hi (lane k's
// at k·step further).
// Where lanes 0 and 1 are neighbours (step 4, known where the helpers are
// inlined), each pair of lanes moves as one 256-bit half.
static inline vfloat VLOADLANESU(const float* p, int64_t step, int64_t step2) {
    if (step == 4) {
        const __m512d low = _mm512_castpd256_pd512(_mm256_castps_pd(_mm256_loadu_ps(p)));
        return _mm512_castpd_ps(_mm512_insertf64x4(low, _mm256_castps_pd(_mm256_loadu_ps(p + step2)), 1));
    }
    const __m256 low = _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(p)), _mm_loadu_ps(p + step), 1);
    vfloat a = _mm512_castps256_ps512(low);
    a = _mm512_insertf32x4(a, _mm_loadu_ps(p + step2), 2);
    return _mm512_insertf32x4(a, _mm_loadu_ps(p + step + step2), 3);
}
static inline vfloat VLOADLANES(const float* p, int64_t step, int64_t step2) { return VLOADLANESU(p, step, step2); }
static inline vfloat VLOADLANES2X2(const float* p, int64_t step, int64_t step2) {
    return VLOADLANESU(p, step, step2);
}
static inline void VSTORELANESU(float* p, int64_t step, int64_t step2, vfloat a) {
    if (step == 4) {
        _mm256_storeu_ps(p, _mm512_castps512_ps256(a));
        _mm256_storeu_ps(p + step2, _mm256_castpd_ps(_mm512_extractf64x4_pd(_mm512_castps_pd(a), 1)));
        return;
    }
    _mm_storeu_ps(p, _mm512_castps512_ps128(a));
    _mm_storeu_ps(p + step, _mm512_extractf32x4_ps(a, 1));
    _mm_storeu_ps(p + step2, _mm512_extractf32x4_ps(a, 2));
    _mm_storeu_ps(p + step + step2, _mm512_extractf32x4_ps(a, 3));
}
static inline void VSTORELANES(float* p, int64_t step, int64_t step2, vfloat a) { VSTORELANESU(p, step, step2, a); }
static inline vfloat VBROADCASTLANE(const float* p) { return _mm512_broadcast_f32x4(_mm_loadu_ps(p)); }
static inline vfloat VLOADPAIRLANES(const float* lo, const float* hi, int64_t step) {
    const auto pair = [](const float* l, const float* h) {
        const __m128 low = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(l)));
        return _mm_loadh_pi(low, reinterpret_cast<const __m64*>(h));
    };
    vfloat a = _mm512_castps128_ps512(pair(lo, hi));
    a = _mm512_insertf32x4(a, pair(lo + step, hi + step), 1);
    a = _mm512_insertf32x4(a, pair(lo + 2 * step, hi + 2 * step), 2);
    return _mm512_insertf32x4(a, pair(lo + 3 * step, hi + 3 * step), 3);
}
// The six vectors of four runs of 24 floats at p: lane g of out[v] holds
// the four floats at p + 24g + 4v. Six whole loads and twelve exchanges of
// lanes (not four loads and three insertions per vector): the lanes of runs
// 0 and 1 (and of runs 2 and 3) paired first, then the pairs joined.
static inline void VLOADSIX(const float* p, vfloat* out) {
    vfloat l[6], t[6];
    for (int i = 0; i < 6; ++i) l[i] = VLOAD(p + 16 * i);
    for (int h = 0; h < 2; ++h) {  // runs 2h and 2h + 1: lanes 0..5 and 6..11 of l[3h..3h+2]
        t[3 * h] = _mm512_shuffle_f32x4(l[3 * h], l[3 * h + 1], 0xE4);      // lanes 0, 1, 6, 7
        t[3 * h + 1] = _mm512_shuffle_f32x4(l[3 * h], l[3 * h + 2], 0x4E);  // lanes 2, 3, 8, 9
        t[3 * h + 2] = _mm512_shuffle_f32x4(l[3 * h + 1], l[3 * h + 2], 0xE4);  // lanes 4, 5, 10, 11
    }
    for (int v = 0; v < 6; v += 2) {
        out[v] = _mm512_shuffle_f32x4(t[v / 2], t[3 + v / 2], 0x88);
        out[v + 1] = _mm512_shuffle_f32x4(t[v / 2], t[3 + v / 2], 0xDD);
    }
}
// a·b with b's lanes read as VLOADLANES reads them.
static inline vfloat VMULLANES(vfloat a, const float* p, int64_t step, int64_t step2) {
    return VMUL(a, VLOADLANES(p, step, step2));
}
// See vec4.h: hides where a vector came from, at no cost in instructions.
static inline void VKEEP(vfloat& a) {
#if defined(__GNUC__)
    __asm__("" : "+v"(a));
#else
    (void)a;
#endif
}
// Non-temporal store (64-byte aligned destination) and the fence that orders
// such stores before anything that follows.
static inline void VSTREAM(float* p, vfloat a) { _mm512_stream_ps(p, a); }
static inline void VSFENCE() { _mm_sfence(); }
// Non-temporal prefetch of the cache line holding p.
static inline void VPREFETCH(const float* p) { _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_NTA); }

// Rearrangements, lane by lane. VSHUFFLE(a, b, i0, i1, i2, i3) = (a[i0],
// a[i1], b[i2], b[i3]) in each lane.
#define VSHUFFLE(a, b, i0, i1, i2, i3) _mm512_shuffle_ps((a), (b), _MM_SHUFFLE((i3), (i2), (i1), (i0)))
// Lane by lane: (a[0], b[0], a[1], b[1]) and (a[2], b[2], a[3], b[3]).
static inline vfloat VUNPACKLO(vfloat a, vfloat b) { return _mm512_unpacklo_ps(a, b); }
static inline vfloat VUNPACKHI(vfloat a, vfloat b) { return _mm512_unpackhi_ps(a, b); }
// The (re, im) pairs at p, p + d, p + 2d, ... (d floats apart), one per
// float, parted into re and im. Pairs next to each other (d = 2) or every
// other one (d = 4) come from whole loads, parted by two-source permutations;
// others by 64-bit loads, four pairs per 128-bit lane, and shuffles. (At 2^11
// to 2^19 points the loads of 64 bits took about a fifth of the combine
// stages' time.)
static inline void VLOADTWIDDLES(const float* p, int64_t d, vfloat& re, vfloat& im) {
    if (d == 2 || d == 4) {
        const __m512i evens = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
        const __m512i odds = _mm512_setr_epi32(1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31);
        if (d == 2) {
            const vfloat a = VLOADU(p), b = VLOADU(p + 16);
            re = _mm512_permutex2var_ps(a, evens, b);
            im = _mm512_permutex2var_ps(a, odds, b);
            return;
        }
        // d = 4: the pairs of each 32 floats first, re then im, then joined.
        const __m512i pairs = _mm512_setr_epi32(0, 4, 8, 12, 16, 20, 24, 28, 1, 5, 9, 13, 17, 21, 25, 29);
        const vfloat lo = _mm512_permutex2var_ps(VLOADU(p), pairs, VLOADU(p + 16));
        const vfloat hi = _mm512_permutex2var_ps(VLOADU(p + 32), pairs, VLOADU(p + 48));
        re = _mm512_shuffle_f32x4(lo, hi, 0x44);
        im = _mm512_shuffle_f32x4(lo, hi, 0xEE);
        return;
    }
    const vfloat a = VLOADPAIRLANES(p, p + d, 4 * d), b = VLOADPAIRLANES(p + 2 * d, p + 3 * d, 4 * d);
    re = VSHUFFLE(a, b, 0, 2, 0, 2);
    im = VSHUFFLE(a, b, 1, 3, 1, 3);
}
// Four vectors of 64 consecutive floats, four 16-float groups (one per
// vector): VQUARTERS leaves in vk the k-th four floats of every group, group
// g in lane g (the lanes transposed as a 4x4 matrix); VUNQUARTERS, the same
// transposition, puts them back. Both move whole lanes, bits unchanged.
static inline void VQUARTERS(vfloat& v0, vfloat& v1, vfloat& v2, vfloat& v3) {
    const vfloat t0 = _mm512_shuffle_f32x4(v0, v1, 0x44), t1 = _mm512_shuffle_f32x4(v0, v1, 0xEE);
    const vfloat t2 = _mm512_shuffle_f32x4(v2, v3, 0x44), t3 = _mm512_shuffle_f32x4(v2, v3, 0xEE);
    v0 = _mm512_shuffle_f32x4(t0, t2, 0x88);
    v1 = _mm512_shuffle_f32x4(t0, t2, 0xDD);
    v2 = _mm512_shuffle_f32x4(t1, t3, 0x88);
    v3 = _mm512_shuffle_f32x4(t1, t3, 0xDD);
}
static inline void VUNQUARTERS(vfloat& v0, vfloat& v1, vfloat& v2, vfloat& v3) { VQUARTERS(v0, v1, v2, v3); }
// In each lane, rows r0..r3 become columns: afterwards rk holds float k of
// the old rows' lane.
static inline void VTRANSPOSE4(vfloat& r0, vfloat& r1, vfloat& r2, vfloat& r3) {
    const vfloat t0 = _mm512_unpacklo_ps(r0, r1), t1 = _mm512_unpacklo_ps(r2, r3);
    const vfloat t2 = _mm512_unpackhi_ps(r0, r1), t3 = _mm512_unpackhi_ps(r2, r3);
    r0 = VSHUFFLE(t0, t1, 0, 1, 0, 1);
    r1 = VSHUFFLE(t0, t1, 2, 3, 2, 3);
    r2 = VSHUFFLE(t2, t3, 0, 1, 0, 1);
    r3 = VSHUFFLE(t2, t3, 2, 3, 2, 3);
}
