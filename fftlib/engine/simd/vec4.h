// Four-float vectors (SSE, SSE2) for the vector kernels of variants 4 and 5.
// The kernels see vectors only through one such header per instruction set
// (vec8.h and vec16.h hold the wider ones, with the same names); nothing else
// in the project names processor intrinsics. Included only by the sources
// that are built with SSE (variant 4) or SSE2 (variant 5) on 32-bit x86, so
// no other code can pick up a vector instruction by accident.
//
// A 128-bit lane is four floats. The wider headers hold two or four lanes per
// vector, each lane what one register of this header holds, and their
// rearrangements act lane by lane. The lane helpers below (VLOADLANES and the
// like) place lane k at p + (k & 1)·step + (k >> 1)·step2, step2 being 2·step
// unless given: lanes in a row, or in the bit-reversed order of a row
// (step2 = step/2). This header, with one lane, ignores both.
//
// Every helper is `static inline`: a copy compiled with SSE must never be
// merged with a copy from a source built for processors without it.
#pragma once
#include <xmmintrin.h>

#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

typedef __m128 vfloat;
// Floats per vector.
constexpr int vectorFloats = 4;

// Arithmetic, lane by lane, each result rounded once to single precision.
static inline vfloat VADD(vfloat a, vfloat b) { return _mm_add_ps(a, b); }
static inline vfloat VSUB(vfloat a, vfloat b) { return _mm_sub_ps(a, b); }
static inline vfloat VMUL(vfloat a, vfloat b) { return _mm_mul_ps(a, b); }
// Bitwise exclusive-or: with a sign mask it flips signs exactly.
static inline vfloat VXOR(vfloat a, vfloat b) { return _mm_xor_ps(a, b); }

// Constants.
static inline vfloat VSET1(float x) { return _mm_set1_ps(x); }
static inline vfloat VSET4(float a, float b, float c, float d) { return _mm_setr_ps(a, b, c, d); }
// -0.0 in every lane: VXOR with it negates.
static inline vfloat VSIGNMASK() { return _mm_set1_ps(-0.0f); }
static inline vfloat VZERO() { return _mm_setzero_ps(); }

// Loads and stores: VLOAD/VSTORE need 16-byte alignment, the U forms only the
// natural 4-byte alignment of floats.
static inline vfloat VLOAD(const float* p) { return _mm_load_ps(p); }
static inline vfloat VLOADU(const float* p) { return _mm_loadu_ps(p); }
static inline void VSTORE(float* p, vfloat a) { _mm_store_ps(p, a); }
static inline void VSTOREU(float* p, vfloat a) { _mm_storeu_ps(p, a); }
// Four floats read as two 64-bit halves, lanes 0-1 from lo and 2-3 from hi
// (4-byte alignment suffices): with SSE2 the low half comes from a 64-bit
// integer move, without it from movlps.
static inline vfloat VLOADPAIRS(const float* lo, const float* hi) {
#if defined(__SSE2__)
    const vfloat low = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(lo)));
#else
    const vfloat low = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(lo));
#endif
    return _mm_loadh_pi(low, reinterpret_cast<const __m64*>(hi));
}
static inline vfloat VLOAD2X2(const float* p) { return VLOADPAIRS(p, p + 2); }
// Lane by lane (one lane here): 16-byte aligned lanes, lanes with 4-byte
// alignment, the same read as two 64-bit halves per lane, the same stores,
// the four floats at p in every lane, and pairs of two floats at lo and hi
// (lane k's at k·step further).
static inline vfloat VLOADLANES(const float* p, int64_t /*step*/, int64_t /*step2*/) { return VLOAD(p); }
static inline vfloat VLOADLANESU(const float* p, int64_t /*step*/, int64_t /*step2*/) { return VLOADU(p); }
static inline vfloat VLOADLANES2X2(const float* p, int64_t /*step*/, int64_t /*step2*/) { return VLOAD2X2(p); }
static inline void VSTORELANES(float* p, int64_t /*step*/, int64_t /*step2*/, vfloat a) { VSTORE(p, a); }
static inline void VSTORELANESU(float* p, int64_t /*step*/, int64_t /*step2*/, vfloat a) { VSTOREU(p, a); }
static inline vfloat VBROADCASTLANE(const float* p) { return VLOAD(p); }
static inline vfloat VLOADPAIRLANES(const float* lo, const float* hi, int64_t /*step*/) { return VLOADPAIRS(lo, hi); }
// a·b with b the four floats at p (16-byte aligned), read by the
// multiplication itself. The compiler loads a vector that is used twice into
// a register first, an instruction more per use; in the radix-4 stages, whose
// twiddle vectors each multiply two parts, that cost a tenth of their time
// (measured here).
static inline vfloat VMULMEM(vfloat a, const float* p) {
#if defined(__GNUC__)
    __asm__("mulps %1, %0" : "+x"(a) : "m"(*reinterpret_cast<const __m128*>(p)));
    return a;
#else
    return _mm_mul_ps(a, _mm_load_ps(p));
#endif
}
// a·b with b's lanes read from p, p + step, ... (16-byte aligned): here
// VMULMEM.
static inline vfloat VMULLANES(vfloat a, const float* p, int64_t /*step*/, int64_t /*step2*/) { return VMULMEM(a, p); }
// Hides where a vector came from, at no cost in instructions. Short of
// registers, GCC loads a value that it knows to be in memory (an input just
// read, a constant) again at each use rather than copy it, but here vector
// loads (two a cycle) are scarcer than register copies (eliminated at
// renaming): in the first passes of the natural-order leaf up to half the
// vector loads were such repeats, and those passes became 3 to 5% faster
// without them (measured here).
static inline void VKEEP(vfloat& a) {
#if defined(__GNUC__)
    __asm__("" : "+x"(a));
#else
    (void)a;
#endif
}
// Non-temporal store (16-byte aligned destination) and the fence that orders
// such stores before anything that follows.
static inline void VSTREAM(float* p, vfloat a) { _mm_stream_ps(p, a); }
static inline void VSFENCE() { _mm_sfence(); }
// Non-temporal prefetch of the cache line holding p.
static inline void VPREFETCH(const float* p) { _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_NTA); }

// Rearrangements. VSHUFFLE(a, b, i0, i1, i2, i3) = (a[i0], a[i1], b[i2], b[i3]).
#define VSHUFFLE(a, b, i0, i1, i2, i3) _mm_shuffle_ps((a), (b), _MM_SHUFFLE((i3), (i2), (i1), (i0)))
// (a[0], b[0], a[1], b[1]) and (a[2], b[2], a[3], b[3]).
static inline vfloat VUNPACKLO(vfloat a, vfloat b) { return _mm_unpacklo_ps(a, b); }
static inline vfloat VUNPACKHI(vfloat a, vfloat b) { return _mm_unpackhi_ps(a, b); }
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
// Four vectors of 4·vectorFloats consecutive floats, read as 16-float groups:
// VQUARTERS leaves in vk the k-th four floats of every group (in the wider
// headers a group per 128-bit lane), VUNQUARTERS puts them back. Here a
// vector is a quarter already.
static inline void VQUARTERS(vfloat&, vfloat&, vfloat&, vfloat&) {}
static inline void VUNQUARTERS(vfloat&, vfloat&, vfloat&, vfloat&) {}
// Rows r0..r3 become columns: afterwards rk holds lane k of the old rows.
static inline void VTRANSPOSE4(vfloat& r0, vfloat& r1, vfloat& r2, vfloat& r3) {
    const vfloat t0 = _mm_unpacklo_ps(r0, r1), t1 = _mm_unpacklo_ps(r2, r3);
    const vfloat t2 = _mm_unpackhi_ps(r0, r1), t3 = _mm_unpackhi_ps(r2, r3);
    r0 = _mm_movelh_ps(t0, t1);
    r1 = _mm_movehl_ps(t1, t0);
    r2 = _mm_movelh_ps(t2, t3);
    r3 = _mm_movehl_ps(t3, t2);
}
