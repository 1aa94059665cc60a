// halvex-caller: loads halvex.dll the way a plug-in does (LoadLibraryA,
// GetProcAddress("kfxcrFftNip")), checks transforms against a reference DFT
// computed in double precision, and runs threads started before and after the
// load. Tables live per thread, so threads that build and release the tables
// of the same order concurrently must all stay correct: with shared tables a
// release in one thread would pull them from under another's transform.
// usage: halvex-caller PATH\halvex.dll   (exit code 0 when every check holds)
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

typedef void(WINAPI* FftEntry)(const float*, const float*, float*, float*, int, int);

enum { forwardFlag = 1, inverseFlag = 2, initOnlyFlag = 4, releaseFlag = 8, outputBitRevFlag = 128 };

FftEntry theEntry = nullptr;
const double tolerance = 2e-5;  // single precision, relative to the largest output
volatile LONG failures = 0;

// Records one failed check; safe from any thread.
void check(bool ok, const char* what, int order, int thread) {
    if (ok) return;
    InterlockedIncrement(&failures);
    std::printf("FAIL: %s (order %d, thread %d)\n", what, order, thread);
    std::fflush(stdout);
}

// A deterministic test signal that differs per seed.
void makeSignal(int n, unsigned seed, std::vector<float>& re, std::vector<float>& im) {
    re.resize(n);
    im.resize(n);
    unsigned state = seed * 2654435761u + 12345u;
    for (int i = 0; i < n; ++i) {
        state = state * 1103515245u + 12345u;
        re[i] = static_cast<float>((state >> 8) % 2001) / 1000.0f - 1.0f;
        state = state * 1103515245u + 12345u;
        im[i] = static_cast<float>((state >> 8) % 2001) / 1000.0f - 1.0f;
    }
}

// The largest distance between the library's output and the reference DFT
// (sign -1 forward, +1 inverse; scaled by 1/n when scale is set), relative to
// the largest reference magnitude.
double dftError(const std::vector<float>& re, const std::vector<float>& im, const float* outRe,
                const float* outIm, int sign, bool scale, bool bitReversed, int order) {
    const int n = static_cast<int>(re.size());
    const double pi = 3.14159265358979323846;
    std::vector<double> cosines(n), sines(n);
    for (int p = 0; p < n; ++p) {
        cosines[p] = std::cos(2 * pi * p / n);
        sines[p] = sign * std::sin(2 * pi * p / n);
    }
    double worst = 0, largest = 1e-30;
    for (int k = 0; k < n; ++k) {
        double sumRe = 0, sumIm = 0;
        for (int j = 0; j < n; ++j) {
            const int phase = static_cast<int>((static_cast<long long>(j) * k) % n);
            const double c = cosines[phase], s = sines[phase];
            sumRe += re[j] * c - im[j] * s;
            sumIm += re[j] * s + im[j] * c;
        }
        if (scale) {
            sumRe /= n;
            sumIm /= n;
        }
        int at = k;
        if (bitReversed) {
            at = 0;
            for (int b = 0; b < order; ++b)
                if (k & (1 << b)) at |= 1 << (order - 1 - b);
        }
        worst = std::fmax(worst, std::hypot(outRe[at] - sumRe, outIm[at] - sumIm));
        largest = std::fmax(largest, std::hypot(sumRe, sumIm));
    }
    return worst / largest;
}

// One forward transform of order through the export, checked against the
// reference; the tables of that order are released afterwards when asked.
bool transformChecked(int order, unsigned seed, int thread, bool release) {
    const int n = 1 << order;
    std::vector<float> re, im;
    makeSignal(n, seed, re, im);
    std::vector<float> outRe(n, 99.0f), outIm(n, 99.0f);
    theEntry(re.data(), im.data(), outRe.data(), outIm.data(), order, forwardFlag);
    const double error = dftError(re, im, outRe.data(), outIm.data(), -1, false, false, order);
    check(error < tolerance, "forward transform matches the reference", order, thread);
    if (release) theEntry(nullptr, nullptr, nullptr, nullptr, order, releaseFlag);
    return error < tolerance;
}

struct ThreadJob {
    int index;
    HANDLE go;  // set once the library is loaded
};

// Work of one thread: waits for the library, then builds, uses and releases
// the tables of orders shared with the other threads, in an order of its own.
DWORD WINAPI threadWork(void* argument) {
    const ThreadJob* job = static_cast<const ThreadJob*>(argument);
    WaitForSingleObject(job->go, INFINITE);
    for (int round = 0; round < 6; ++round) {
        for (int step = 0; step < 4; ++step) {
            const int order = 6 + (job->index + step + round) % 5;  // 6..10, staggered
            transformChecked(order, static_cast<unsigned>(job->index * 100 + round * 10 + step), job->index,
                             (round + step + job->index) % 2 == 0);
        }
    }
    return 0;
}

// Flag checks in the calling thread: inverse with and without scaling, the
// bit-reversed output, table preparation alone, and order 0.
void flagChecks() {
    const int order = 9, n = 1 << order;
    std::vector<float> re, im;
    makeSignal(n, 7, re, im);
    std::vector<float> outRe(n), outIm(n);
    theEntry(re.data(), im.data(), outRe.data(), outIm.data(), order, inverseFlag);
    check(dftError(re, im, outRe.data(), outIm.data(), +1, true, false, order) < tolerance, "inverse, scaled", order, 0);
    theEntry(re.data(), im.data(), outRe.data(), outIm.data(), order, inverseFlag | 16);
    check(dftError(re, im, outRe.data(), outIm.data(), +1, false, false, order) < tolerance, "inverse, unscaled", order,
          0);
    theEntry(re.data(), im.data(), outRe.data(), outIm.data(), order, forwardFlag | outputBitRevFlag);
    check(dftError(re, im, outRe.data(), outIm.data(), -1, false, true, order) < tolerance, "bit-reversed output", order,
          0);
    std::vector<float> untouched(n, 5.0f);
    std::vector<float> untouchedIm(n, 5.0f);
    theEntry(re.data(), im.data(), untouched.data(), untouchedIm.data(), 11, forwardFlag | initOnlyFlag);
    check(untouched[0] == 5.0f && untouched[n - 1] == 5.0f, "table preparation leaves the arrays alone", 11, 0);
    float one = 1.25f, two = -0.5f, three = 0, four = 0;
    theEntry(&one, &two, &three, &four, 0, forwardFlag);
    check(three == 1.25f && four == -0.5f, "order 0 copies the point", 0, 0);
}

}  // namespace

// Loads the DLL with threads running, checks transforms, unloads and reloads it.
int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: halvex-caller PATH\\halvex.dll\n");
        return 2;
    }
    // Threads that exist before the load: the library sees no attach for them
    // and must create their records on their first call.
    enum { before = 3, after = 3 };
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ThreadJob jobs[before + after];
    HANDLE threads[before + after];
    for (int i = 0; i < before; ++i) {
        jobs[i] = ThreadJob{i + 1, go};
        threads[i] = CreateThread(nullptr, 0, threadWork, &jobs[i], 0, nullptr);
    }

    HMODULE library = LoadLibraryA(argv[1]);
    check(library != nullptr, "LoadLibraryA loads halvex.dll", -1, 0);
    if (!library) return 1;
    theEntry = reinterpret_cast<FftEntry>(reinterpret_cast<void*>(GetProcAddress(library, "kfxcrFftNip")));
    check(theEntry != nullptr, "GetProcAddress finds kfxcrFftNip", -1, 0);
    check(GetProcAddress(library, "_kfxcrFftNip@24") == nullptr, "no decorated export name", -1, 0);
    if (!theEntry) return 1;

    // The loading thread: orders 0 to 12 against the reference.
    bool all = true;
    for (int order = 0; order <= 12; ++order) all = transformChecked(order, static_cast<unsigned>(order), 0, false) && all;
    std::printf("loading thread: orders 0-12 %s\n", all ? "match the reference DFT" : "DIFFER");
    flagChecks();

    // Threads started after the load get their records at thread attach.
    for (int i = before; i < before + after; ++i) {
        jobs[i] = ThreadJob{i + 1, go};
        threads[i] = CreateThread(nullptr, 0, threadWork, &jobs[i], 0, nullptr);
    }
    SetEvent(go);
    // Meanwhile the loading thread keeps releasing the tables that the others use.
    for (int round = 0; round < 20; ++round) transformChecked(6 + round % 5, 900u + round, 0, true);
    const DWORD waited = WaitForMultipleObjects(before + after, threads, TRUE, 120000);
    check(waited == WAIT_OBJECT_0, "the threads end", -1, 0);
    for (HANDLE thread : threads) {
        DWORD code = 1;
        GetExitCodeThread(thread, &code);
        check(code == 0, "thread ended normally", -1, 0);
        CloseHandle(thread);
    }
    CloseHandle(go);
    std::printf("%d threads (%d started before the load) with per-thread tables\n", before + after, before);

    check(FreeLibrary(library) != FALSE, "FreeLibrary", -1, 0);
    check(GetModuleHandleA("halvex.dll") == nullptr, "halvex.dll unloaded", -1, 0);
    // A second load binds the export again.
    library = LoadLibraryA(argv[1]);
    check(library != nullptr, "second LoadLibraryA", -1, 0);
    if (library) {
        theEntry = reinterpret_cast<FftEntry>(reinterpret_cast<void*>(GetProcAddress(library, "kfxcrFftNip")));
        if (theEntry) transformChecked(10, 4242u, 0, true);
        FreeLibrary(library);
    }
    std::printf("%s: %ld failure(s)\n", failures ? "FAILED" : "ok", static_cast<long>(failures));
    return failures ? 1 : 0;
}
