/* halvex.h: the interface of the halvex library for its callers, in C and C++.
 *
 * halvex exports one function, kfxcrFftNip: a forward or inverse FFT of
 * 2^order single-precision complex points held as two arrays, real parts and
 * imaginary parts, written into two other arrays. docs/api.md is the
 * reference: flags and their conflicts, tables and threads, and what an
 * invalid call does (with the default error handler it ends the process with
 * exit code 1, so check the arguments before calling).
 *
 * Linked through the import library (Windows) or -lhalvex, call kfxcrFftNip;
 * loaded at run time (LoadLibrary/GetProcAddress, dlopen/dlsym), look up
 * "kfxcrFftNip" and call it through a HalvexFftFunction.
 */
#ifndef HALVEX_H
#define HALVEX_H

#include <stdint.h>

/* The export's calling convention: standard call on 32-bit Windows (the
 * callee removes its 24 bytes of arguments), the platform's default elsewhere. */
#if defined(_WIN32) && !defined(_WIN64)
#define HALVEX_STDCALL __stdcall
#else
#define HALVEX_STDCALL
#endif

/* Flags: exactly one of HALVEX_FORWARD and HALVEX_INVERSE, at most one of
 * HALVEX_NATURAL_ORDER, HALVEX_INPUT_BITREV and HALVEX_OUTPUT_BITREV. rev(k)
 * reverses the order low bits of k. Other bits are ignored. */
#define HALVEX_FORWARD 1          /* X[k] = sum of x[j] e^(-2 pi i jk/n) */
#define HALVEX_INVERSE 2          /* X[k] = 1/n sum of x[j] e^(+2 pi i jk/n) */
#define HALVEX_INIT_ONLY 4        /* build the order's tables now; the arrays are not looked at */
#define HALVEX_RELEASE 8          /* free the order's tables; overrides every other flag and check */
#define HALVEX_NO_SCALE 16        /* with HALVEX_INVERSE: omit the factor 1/n */
#define HALVEX_NATURAL_ORDER 32   /* natural order in and out, as without it */
#define HALVEX_INPUT_BITREV 64    /* the input is bit-reversed: position k holds x[rev(k)] */
#define HALVEX_OUTPUT_BITREV 128  /* leave the output bit-reversed: position k gets X[rev(k)] */

/* The largest order (n = 2^31 points); orders start at 0. */
#define HALVEX_MAX_ORDER 31

/* The statuses that halvex reports (0 is success). The export returns
 * nothing: a status reaches only the error handler, whose default ends the
 * process with exit code 1. */
#define HALVEX_STATUS_OUT_OF_MEMORY (-4) /* the order's tables or work buffer could not be allocated */
#define HALVEX_STATUS_BAD_ARGUMENT (-5)  /* order out of range, a null array, conflicting flags */

#ifdef __cplusplus
extern "C" {
#endif

/* The export. reInSamps, imInSamps: n = 2^order floats each, only read;
 * reOutSamps, imOutSamps: n floats each, receive the result. */
void HALVEX_STDCALL kfxcrFftNip(const float* reInSamps, const float* imInSamps, float* reOutSamps,
                                float* imOutSamps, int32_t order, int32_t flags);

/* The export's type, for a pointer from GetProcAddress or dlsym. */
typedef void(HALVEX_STDCALL* HalvexFftFunction)(const float* reInSamps, const float* imInSamps,
                                                float* reOutSamps, float* imOutSamps, int32_t order,
                                                int32_t flags);

#ifdef __cplusplus
}
#endif

#endif /* HALVEX_H */
