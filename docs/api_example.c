/* Loading halvex at run time, as a plug-in does, on Windows and on Linux.
 *
 *   Linux:    cc -std=c99 -I PREFIX/include api_example.c -o api_example -ldl
 *             ./api_example PREFIX/lib/libhalvex.so
 *   Windows:  x86_64-w64-mingw32-gcc -std=c99 -I PREFIX/include api_example.c -o api_example.exe
 *             (i686-w64-mingw32-gcc for 32-bit hosts)
 *             api_example.exe PREFIX\bin\halvex.dll
 *
 * PREFIX is where `cmake --install` put the library. The program loads the
 * library, looks up kfxcrFftNip, builds the tables of one order, transforms a
 * signal forward and back through a call that checks its arguments first,
 * releases the tables and unloads the library. Exit code 0 when the spectrum
 * and the round trip are right. (docs/api.md explains each step; the test
 * command builds and runs this file on Linux and under Wine.)
 */
#include <halvex.h>
#include <stdio.h>
#include <string.h>

#if defined(_WIN32)
#include <windows.h>

#define DEFAULT_PATH "halvex.dll"
typedef HMODULE Library;

static Library openLibrary(const char* path) { return LoadLibraryA(path); }

static HalvexFftFunction findExport(Library library) {
    /* (Through void (*)(void), the function pointer type that converts to
     * any other without a warning.) */
    return (HalvexFftFunction)(void (*)(void))GetProcAddress(library, "kfxcrFftNip");
}

static void closeLibrary(Library library) { FreeLibrary(library); }

#else
#include <dlfcn.h>

#define DEFAULT_PATH "libhalvex.so"
typedef void* Library;

static Library openLibrary(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }

static HalvexFftFunction findExport(Library library) {
    void* symbol = dlsym(library, "kfxcrFftNip");
    HalvexFftFunction fft;
    /* (ISO C has no cast from an object pointer to a function pointer.) */
    memcpy(&fft, &symbol, sizeof fft);
    return fft;
}

static void closeLibrary(Library library) { dlclose(library); }
#endif

/* Makes the transform call only with arguments that halvex accepts: it has
 * no result to report an error with, and its error handler ends the whole
 * process with exit code 1. Returns 0 after the call, -1 (and no call) for
 * arguments it would refuse. */
static int checkedFft(HalvexFftFunction fft, const float* reIn, const float* imIn, float* reOut,
                      float* imOut, int32_t order, int32_t flags) {
    const int32_t direction = flags & (HALVEX_FORWARD | HALVEX_INVERSE);
    const int32_t ordering = flags & (HALVEX_NATURAL_ORDER | HALVEX_INPUT_BITREV | HALVEX_OUTPUT_BITREV);
    if (order < 0 || order > HALVEX_MAX_ORDER) return -1;
    if (!reIn || !imIn || !reOut || !imOut) return -1;
    if (direction != HALVEX_FORWARD && direction != HALVEX_INVERSE) return -1;
    if ((ordering & (ordering - 1)) != 0) return -1; /* more than one of the three */
    if (flags & (HALVEX_INIT_ONLY | HALVEX_RELEASE)) return -1; /* those two are calls of their own */
    fft(reIn, imIn, reOut, imOut, order, flags);
    return 0;
}

static float magnitude(float x) { return x < 0 ? -x : x; }

int main(int argc, char** argv) {
    enum { order = 4, n = 1 << order };
    const char* path = argc > 1 ? argv[1] : DEFAULT_PATH;
    float re[n], im[n], spectrumRe[n], spectrumIm[n], backRe[n], backIm[n];
    float spectrumError = 0, roundTripError = 0;
    int refused, j;

    Library library = openLibrary(path);
    if (!library) {
        fprintf(stderr, "cannot load %s\n", path);
        return 1;
    }
    HalvexFftFunction fft = findExport(library);
    if (!fft) {
        fprintf(stderr, "%s has no kfxcrFftNip\n", path);
        closeLibrary(library);
        return 1;
    }

    /* Optional: the tables of this order for this thread, built now rather
     * than inside the first transform. */
    fft(NULL, NULL, NULL, NULL, order, HALVEX_INIT_ONLY);

    /* 1, 0, -1, 0, ...: a cosine of frequency n/4, so X[n/4] = X[3n/4] = n/2
     * and every other point of the spectrum is 0. */
    for (j = 0; j < n; ++j) {
        re[j] = (float)((j + 1) % 2 * (1 - j % 4));
        im[j] = 0;
    }
    checkedFft(fft, re, im, spectrumRe, spectrumIm, order, HALVEX_FORWARD);
    for (j = 0; j < n; ++j) {
        const float expected = j == n / 4 || j == 3 * n / 4 ? n / 2 : 0;
        const float error = magnitude(spectrumRe[j] - expected) + magnitude(spectrumIm[j]);
        if (error > spectrumError) spectrumError = error;
    }
    printf("forward: X[%d] = %g%+gi, X[%d] = %g%+gi (expected %d each), largest error %g\n", n / 4,
           spectrumRe[n / 4], spectrumIm[n / 4], 3 * n / 4, spectrumRe[3 * n / 4], spectrumIm[3 * n / 4],
           n / 2, spectrumError);

    /* The inverse scales by 1/n unless HALVEX_NO_SCALE is given. */
    checkedFft(fft, spectrumRe, spectrumIm, backRe, backIm, order, HALVEX_INVERSE);
    for (j = 0; j < n; ++j) {
        const float error = magnitude(backRe[j] - re[j]) + magnitude(backIm[j] - im[j]);
        if (error > roundTripError) roundTripError = error;
    }
    printf("inverse: largest round-trip error %g\n", roundTripError);

    /* Conflicting flags: refused here, where halvex would end the process. */
    refused = checkedFft(fft, re, im, backRe, backIm, order, HALVEX_FORWARD | HALVEX_INVERSE);
    printf("forward and inverse at once: %s\n", refused ? "refused before the call" : "CALLED");

    /* Frees this thread's tables of the order (a thread's tables are also
     * freed when the thread ends). */
    fft(NULL, NULL, NULL, NULL, order, HALVEX_RELEASE);
    closeLibrary(library);
    return spectrumError < 1e-4f && roundTripError < 1e-5f && refused ? 0 : 1;
}
