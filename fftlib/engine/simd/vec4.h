// Four-float vectors for the vector kernels of variants 4 and 5: the only
// place in the project that names processor intrinsics. Included only by the
// sources that are built with SSE (variant 4) or SSE2 (variant 5) on 32-bit
// x86, so no other code can pick up a vector instruction by accident.
//
// Every helper is `static inline`: a copy compiled with SSE must never be
// merged with a copy from a source built for processors without it.
#pragma once
#include <xmmintrin.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

typedef __m128 v4sf;

// Arithmetic, lane by lane, each result rounded once to single precision.
static inline v4sf VADD(v4sf a, v4sf b) { return _mm_add_ps(a, b); }
static inline v4sf VSUB(v4sf a, v4sf b) { return _mm_sub_ps(a, b); }
static inline v4sf VMUL(v4sf a, v4sf b) { return _mm_mul_ps(a, b); }
// Bitwise exclusive-or: with a sign mask it flips signs exactly.
static inline v4sf VXOR(v4sf a, v4sf b) { return _mm_xor_ps(a, b); }

// Constants.
static inline v4sf VSET1(float x) { return _mm_set1_ps(x); }
// -0.0 in every lane: VXOR with it negates.
static inline v4sf VSIGNMASK() { return _mm_set1_ps(-0.0f); }
static inline v4sf VZERO() { return _mm_setzero_ps(); }

// Loads and stores: VLOAD/VSTORE need 16-byte alignment, the U forms only the
// natural 4-byte alignment of floats.
static inline v4sf VLOAD(const float* p) { return _mm_load_ps(p); }
static inline v4sf VLOADU(const float* p) { return _mm_loadu_ps(p); }
static inline void VSTORE(float* p, v4sf a) { _mm_store_ps(p, a); }
static inline void VSTOREU(float* p, v4sf a) { _mm_storeu_ps(p, a); }
// Four floats read as two 64-bit halves, lanes 0-1 from lo and 2-3 from hi
// (4-byte alignment suffices): with SSE2 the low half comes from a 64-bit
// integer move, without it from movlps.
static inline v4sf VLOADPAIRS(const float* lo, const float* hi) {
#if defined(__SSE2__)
    const v4sf low = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(lo)));
#else
    const v4sf low = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(lo));
#endif
    return _mm_loadh_pi(low, reinterpret_cast<const __m64*>(hi));
}
static inline v4sf VLOAD2X2(const float* p) { return VLOADPAIRS(p, p + 2); }
// a·b with b the four floats at p (16-byte aligned), read by the
// multiplication itself. The compiler loads a vector that is used twice into
// a register first, an instruction more per use; in the radix-4 stages, whose
// twiddle vectors each multiply two parts, that cost a tenth of their time
// (measured here).
static inline v4sf VMULMEM(v4sf a, const float* p) {
#if defined(__GNUC__)
    __asm__("mulps %1, %0" : "+x"(a) : "m"(*reinterpret_cast<const __m128*>(p)));
    return a;
#else
    return _mm_mul_ps(a, _mm_load_ps(p));
#endif
}
// Hides where a vector came from, at no cost in instructions. Short of
// registers, GCC loads a value that it knows to be in memory (an input just
// read, a constant) again at each use rather than copy it, but here vector
// loads (two a cycle) are scarcer than register copies (eliminated at
// renaming): in the first passes of the natural-order leaf up to half the
// vector loads were such repeats, and those passes became 3 to 5% faster
// without them (measured here).
static inline void VKEEP(v4sf& a) {
#if defined(__GNUC__)
    __asm__("" : "+x"(a));
#else
    (void)a;
#endif
}
// Non-temporal store (16-byte aligned destination) and the fence that orders
// such stores before anything that follows.
static inline void VSTREAM(float* p, v4sf a) { _mm_stream_ps(p, a); }
static inline void VSFENCE() { _mm_sfence(); }
// Non-temporal prefetch of the cache line holding p.
static inline void VPREFETCH(const float* p) { _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_NTA); }

// Rearrangements. VSHUFFLE(a, b, i0, i1, i2, i3) = (a[i0], a[i1], b[i2], b[i3]).
#define VSHUFFLE(a, b, i0, i1, i2, i3) _mm_shuffle_ps((a), (b), _MM_SHUFFLE((i3), (i2), (i1), (i0)))
// Rows r0..r3 become columns: afterwards rk holds lane k of the old rows.
static inline void VTRANSPOSE4(v4sf& r0, v4sf& r1, v4sf& r2, v4sf& r3) {
    const v4sf t0 = _mm_unpacklo_ps(r0, r1), t1 = _mm_unpacklo_ps(r2, r3);
    const v4sf t2 = _mm_unpackhi_ps(r0, r1), t3 = _mm_unpackhi_ps(r2, r3);
    r0 = _mm_movelh_ps(t0, t1);
    r1 = _mm_movehl_ps(t1, t0);
    r2 = _mm_movelh_ps(t2, t3);
    r3 = _mm_movehl_ps(t3, t2);
}
