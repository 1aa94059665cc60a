// Eight-float vectors (AVX) for variant 5's body on 256-bit registers: the
// same names as vec4.h, each vector two 128-bit lanes of four floats, and
// each lane what one vec4.h vector holds. Additions, subtractions,
// multiplications and exclusive-ors act float by float and the
// rearrangements (VSHUFFLE, VTRANSPOSE4) lane by lane, so a kernel written
// for one lane computes, in each lane, exactly what it computes with vec4.h.
// Included only by the source built with AVX; no FMA instruction is used,
// and that source is compiled without contraction, so every product and sum
// is rounded on its own, as in the 128-bit body.
//
// Every helper is `static inline`, as in vec4.h.
#pragma once
#include <immintrin.h>

#include <cstdint>

typedef __m256 vfloat;
// Floats per vector.
constexpr int vectorFloats = 8;

// Arithmetic, float by float, each result rounded once to single precision.
static inline vfloat VADD(vfloat a, vfloat b) { return _mm256_add_ps(a, b); }
static inline vfloat VSUB(vfloat a, vfloat b) { return _mm256_sub_ps(a, b); }
static inline vfloat VMUL(vfloat a, vfloat b) { return _mm256_mul_ps(a, b); }
// Bitwise exclusive-or: with a sign mask it flips signs exactly.
static inline vfloat VXOR(vfloat a, vfloat b) { return _mm256_xor_ps(a, b); }

// Constants.
static inline vfloat VSET1(float x) { return _mm256_set1_ps(x); }
// (a, b, c, d) in every 128-bit lane.
static inline vfloat VSET4(float a, float b, float c, float d) { return _mm256_setr_ps(a, b, c, d, a, b, c, d); }
// -0.0 in every float: VXOR with it negates.
static inline vfloat VSIGNMASK() { return _mm256_set1_ps(-0.0f); }
static inline vfloat VZERO() { return _mm256_setzero_ps(); }

// Loads and stores of eight consecutive floats. The kernels' data and buffers
// are 16-byte aligned, not always 32: VLOAD/VSTORE need only the lanes' own
// 16-byte alignment and use the unaligned instructions, which cost nothing
// extra on aligned data; the U forms need 4 bytes, as in vec4.h.
static inline vfloat VLOAD(const float* p) { return _mm256_loadu_ps(p); }
static inline vfloat VLOADU(const float* p) { return _mm256_loadu_ps(p); }
static inline void VSTORE(float* p, vfloat a) { _mm256_storeu_ps(p, a); }
static inline void VSTOREU(float* p, vfloat a) { _mm256_storeu_ps(p, a); }

// Lane by lane (see vec4.h): lane 0 at p, lane 1 at p + step (step2, for a
// third and fourth lane, is ignored). 16-byte aligned lanes, lanes with
// 4-byte alignment (VLOADLANES2X2 is the same: what vec4.h reads as two
// 64-bit halves), their stores, the four floats at p in both lanes, and pairs
// of two floats at lo and hi (lane 1 at lo + step and hi + step).
static inline vfloat VLOADLANESU(const float* p, int64_t step, int64_t /*step2*/) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(p)), _mm_loadu_ps(p + step), 1);
}
static inline vfloat VLOADLANES(const float* p, int64_t step, int64_t step2) { return VLOADLANESU(p, step, step2); }
static inline vfloat VLOADLANES2X2(const float* p, int64_t step, int64_t step2) { return VLOADLANESU(p, step, step2); }
static inline void VSTORELANESU(float* p, int64_t step, int64_t /*step2*/, vfloat a) {
    _mm_storeu_ps(p, _mm256_castps256_ps128(a));
    _mm_storeu_ps(p + step, _mm256_extractf128_ps(a, 1));
}
static inline void VSTORELANES(float* p, int64_t step, int64_t step2, vfloat a) { VSTORELANESU(p, step, step2, a); }
static inline vfloat VBROADCASTLANE(const float* p) { return _mm256_broadcast_ps(reinterpret_cast<const __m128*>(p)); }
static inline vfloat VLOADPAIRLANES(const float* lo, const float* hi, int64_t step) {
    const __m128 low = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(lo)));
    const __m128 high = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(lo + step)));
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadh_pi(low, reinterpret_cast<const __m64*>(hi))),
                                _mm_loadh_pi(high, reinterpret_cast<const __m64*>(hi + step)), 1);
}
// a·b with b's lanes read from p and p + step (16-byte aligned).
static inline vfloat VMULLANES(vfloat a, const float* p, int64_t step, int64_t step2) {
    return VMUL(a, VLOADLANES(p, step, step2));
}
// See vec4.h: hides where a vector came from, at no cost in instructions.
static inline void VKEEP(vfloat& a) {
#if defined(__GNUC__)
    __asm__("" : "+x"(a));
#else
    (void)a;
#endif
}
// Non-temporal store (32-byte aligned destination) and the fence that orders
// such stores before anything that follows.
static inline void VSTREAM(float* p, vfloat a) { _mm256_stream_ps(p, a); }
static inline void VSFENCE() { _mm_sfence(); }
// Non-temporal prefetch of the cache line holding p.
static inline void VPREFETCH(const float* p) { _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_NTA); }

// Rearrangements, lane by lane. VSHUFFLE(a, b, i0, i1, i2, i3) = (a[i0],
// a[i1], b[i2], b[i3]) in each lane.
#define VSHUFFLE(a, b, i0, i1, i2, i3) _mm256_shuffle_ps((a), (b), _MM_SHUFFLE((i3), (i2), (i1), (i0)))
// Lane by lane: (a[0], b[0], a[1], b[1]) and (a[2], b[2], a[3], b[3]).
static inline vfloat VUNPACKLO(vfloat a, vfloat b) { return _mm256_unpacklo_ps(a, b); }
static inline vfloat VUNPACKHI(vfloat a, vfloat b) { return _mm256_unpackhi_ps(a, b); }
// The six vectors of the 24 floats at p (in wider vectors, of the next 24
// floats in each further lane): lane g of out[v] holds p + 24g + 4v.
static inline void VLOADSIX(const float* p, vfloat* out) {
    for (int v = 0; v < 6; ++v) out[v] = VLOADLANES(p + 4 * v, 24, 48);
}
// The (re, im) pairs at p, p + d, p + 2d, ... (d floats apart), one per
// float of a vector, parted into re and im: by 64-bit loads, four pairs per
// 128-bit lane, then shuffles.
static inline void VLOADTWIDDLES(const float* p, int64_t d, vfloat& re, vfloat& im) {
    const vfloat a = VLOADPAIRLANES(p, p + d, 4 * d), b = VLOADPAIRLANES(p + 2 * d, p + 3 * d, 4 * d);
    re = VSHUFFLE(a, b, 0, 2, 0, 2);
    im = VSHUFFLE(a, b, 1, 3, 1, 3);
}
// Four vectors of 32 consecutive floats, two 16-float groups (v0 v1 and v2
// v3): VQUARTERS leaves in vk the k-th four floats of both groups, group 0 in
// lane 0; VUNQUARTERS puts them back. Both move whole lanes, bits unchanged.
static inline void VQUARTERS(vfloat& v0, vfloat& v1, vfloat& v2, vfloat& v3) {
    const vfloat q0 = _mm256_permute2f128_ps(v0, v2, 0x20), q1 = _mm256_permute2f128_ps(v0, v2, 0x31);
    const vfloat q2 = _mm256_permute2f128_ps(v1, v3, 0x20), q3 = _mm256_permute2f128_ps(v1, v3, 0x31);
    v0 = q0;
    v1 = q1;
    v2 = q2;
    v3 = q3;
}
static inline void VUNQUARTERS(vfloat& v0, vfloat& v1, vfloat& v2, vfloat& v3) {
    const vfloat g0 = _mm256_permute2f128_ps(v0, v1, 0x20), g1 = _mm256_permute2f128_ps(v2, v3, 0x20);
    const vfloat g2 = _mm256_permute2f128_ps(v0, v1, 0x31), g3 = _mm256_permute2f128_ps(v2, v3, 0x31);
    v0 = g0;
    v1 = g1;
    v2 = g2;
    v3 = g3;
}
// In each lane, rows r0..r3 become columns: afterwards rk holds float k of
// the old rows' lane.
static inline void VTRANSPOSE4(vfloat& r0, vfloat& r1, vfloat& r2, vfloat& r3) {
    const vfloat t0 = _mm256_unpacklo_ps(r0, r1), t1 = _mm256_unpacklo_ps(r2, r3);
    const vfloat t2 = _mm256_unpackhi_ps(r0, r1), t3 = _mm256_unpackhi_ps(r2, r3);
    r0 = VSHUFFLE(t0, t1, 0, 1, 0, 1);
    r1 = VSHUFFLE(t0, t1, 2, 3, 2, 3);
    r2 = VSHUFFLE(t2, t3, 0, 1, 0, 1);
    r3 = VSHUFFLE(t2, t3, 2, 3, 2, 3);
}
