// halvex-tool bench: halvex's forward transform timed beside FFTW and KissFFT.
//
//   halvex-tool bench [--variant V] [--width W] [--orders A-B] [--csv FILE] [--quick]
//
// For every order A..B (default 4..22) the same random complex data, in
// natural order, is transformed forward and out of place by
//   halvex   kfxcrFftNip(…, order, 1|32), the bound variant (or V) and, for
//            the vector variants 4 and 5, the widest body the processor runs
//            (or the one of W bits), tables built beforehand;
//   FFTW     fftwf_plan_guru_split_dft (FFTW_MEASURE) on the very same split
//            arrays, executed with fftwf_execute;
//   FFTW-i   fftwf_plan_dft_1d (FFTW_MEASURE), FFTW's own interleaved format,
//            on interleaved copies of the data: what most users of FFTW run;
//   KissFFT  kiss_fft on interleaved copies of the data.
// FFTW and KissFFT are optional at build time (HAVE_FFTW, HAVE_KISSFFT); a
// build without one says so and leaves its columns empty ("-").
//
// Timing: each library's batch is sized (by doubling) to last at least 20 ms,
// which is also its warm-up; then the libraries take turns, batch by batch,
// for 7 rounds and each keeps its best batch. ns = best batch time / batch
// size; mflops = 5 n log2(n) / t(µs); the ratios are halvex's throughput over
// the other library's (its time over halvex's). Before timing, the outputs of
// the other libraries are compared with halvex's (relative rms difference, warned
// about above 1e-5). The first call of an order is timed separately: its tables
// are released with flag 8, then one transform call ("first call") and, after
// another release, one table-only call with flag 4 ("tables"); best of 5.
// --quick (for tests) shortens everything: 1 ms batches, 2 rounds, 1 first
// call. The output format is documented in the usage text (--help).
//
// Exit codes: 0 done; 1 memory, the CSV file, an FFTW plan or a library error;
// 2 bad arguments (usage, an unknown option, orders that do not parse or lie
// outside 1..24, a variant that is not 0..5 or not built in this build, a
// width for a scalar variant or one that this build or processor cannot run).
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <thread>
#include <vector>

#if defined(HAVE_FFTW)
#include <fftw3.h>
#endif
#if defined(HAVE_KISSFFT)
#include <kiss_fft.h>
#endif

#include "commands.h"
#include "halvex_internal.h"

#if !defined(HALVEX_BENCH_BUILD_TYPE)
#define HALVEX_BENCH_BUILD_TYPE "unknown"
#endif
#if !defined(HALVEX_BENCH_CXX_FLAGS)
#define HALVEX_BENCH_CXX_FLAGS ""
#endif

namespace {

const char usage[] = "usage: halvex-tool bench [--variant V] [--width W] [--orders A-B] [--csv FILE] [--quick]\n";
const char help[] =
    "\n"
    "Times forward transforms of random complex data in natural order, out of place:\n"
    "halvex through kfxcrFftNip (tables built beforehand), FFTW single precision in the\n"
    "same split format (fftwf_plan_guru_split_dft, FFTW_MEASURE, the same arrays) and in\n"
    "its own interleaved format (FFTW-i: fftwf_plan_dft_1d, FFTW_MEASURE, interleaved\n"
    "copies), and KissFFT float on interleaved copies, order by order, side by side.\n"
    "\n"
    "  --variant V   time variant V (0..5) instead of the one the processor binds\n"
    "  --width W     time the vector variant's body (4 or 5) for W-bit registers (128,\n"
    "                256, 512) instead of the widest this processor runs\n"
    "  --orders A-B  the orders A to B (1 <= A <= B <= 24; a single N is N-N); default 4-22\n"
    "  --csv FILE    also write the figures as CSV to FILE\n"
    "  --quick       short batches and few rounds (for tests; the figures are rough)\n"
    "\n"
    "Output: header lines (machine, load, date, build, halvex, FFTW, KissFFT, timing),\n"
    "one table row per order: order, n, then ns per transform and mflops for halvex,\n"
    "FFTW, FFTW-i and KissFFT, then halvex's throughput over each of the three (\"-\" for\n"
    "a library this build lacks); the first-call table: order, n, tables ns (building\n"
    "the tables alone, flag 4), first call ns (a transform right after releasing the\n"
    "order's tables with flag 8), steady ns, first call / steady; then one check line per\n"
    "compared library and the load at the end. mflops = 5 n log2(n) / t(us); each time\n"
    "is the best of 7 batches of at least 20 ms after a warm-up.\n"
    "\n"
    "CSV columns: order,n,halvex_ns,halvex_mflops,fftw_ns,fftw_mflops,kissfft_ns,\n"
    "kissfft_mflops,halvex_per_fftw,halvex_per_kissfft,halvex_first_call_ns,\n"
    "halvex_tables_ns,fftwi_ns,fftwi_mflops,halvex_per_fftwi (empty fields for a library\n"
    "this build lacks).\n"
    "\n"
    "Exit codes: 0 done; 1 memory, the CSV file, an FFTW plan or a library error;\n"
    "2 bad arguments.\n";

enum { minOrder = 1, maxOrder = 24, forwardNatural = 1 | 32 };
// Above this relative rms difference two libraries' outputs do not agree.
const double agreementLimit = 1e-5;

enum Library { halvexLib, fftwLib, fftwiLib, kissLib, libraryCount };
const char* const libraryNames[libraryCount] = {"halvex", "FFTW", "FFTW-i", "KissFFT"};

struct Settings {
    double batchSeconds = 0.020;
    int rounds = 7;
    int firstCallRepeats = 5;
};

// The message and the usage on standard error; the exit code of bad arguments.
int badArguments(const std::string& message) {
    std::fprintf(stderr, "halvex-tool bench: %s\n%s", message.c_str(), usage);
    return 2;
}

// A whole decimal integer within [low, high]; end receives where it stopped.
bool parseNumber(const char* text, long low, long high, long& value, const char** end) {
    if (*text < '0' || *text > '9') return false;
    char* stop = nullptr;
    errno = 0;
    value = std::strtol(text, &stop, 10);
    *end = stop;
    return errno == 0 && value >= low && value <= high;
}

// "A-B" or "N" with minOrder <= A <= B <= maxOrder.
bool parseOrders(const char* text, int& first, int& last) {
    long a = 0, b = 0;
    const char* end = nullptr;
    if (!parseNumber(text, minOrder, maxOrder, a, &end)) return false;
    if (*end == '\0') {
        b = a;
    } else if (*end != '-' || !parseNumber(end + 1, minOrder, maxOrder, b, &end) || *end != '\0') {
        return false;
    }
    if (a > b) return false;
    first = int(a);
    last = int(b);
    return true;
}

// The library reports errors through the handler instead of ending the process.
struct Report {
    bool seen = false;
    int32_t status = 0;
    std::string context;
};
Report report;

int32_t keepReport(int32_t status, const char* /*funcName*/, const char* context, const char* /*file*/,
                   int32_t /*line*/) {
    if (!report.seen) report = {true, status, context ? context : ""};
    return status;
}

// Says what the library reported, if anything; true when it did.
bool reportFailure() {
    if (!report.seen) return false;
    std::fprintf(stderr, "halvex-tool bench: kfxcrFftNip reported %d (%s): %s\n", int(report.status),
                 statusText(report.status), report.context.c_str());
    return true;
}

// 64-byte aligned floats, so that every library sees the alignment it prefers.
struct Floats {
    void* raw = nullptr;
    float* p = nullptr;
    Floats() = default;
    Floats(const Floats&) = delete;
    Floats& operator=(const Floats&) = delete;
    bool allocate(size_t count) {
        if (count > (SIZE_MAX - 64) / sizeof(float)) return false;
        raw = std::malloc(count * sizeof(float) + 64);
        if (!raw) return false;
        p = reinterpret_cast<float*>((reinterpret_cast<uintptr_t>(raw) + 63) & ~uintptr_t(63));
        return true;
    }
    ~Floats() { std::free(raw); }
};

// --- The machine and the build, for the header ---

// text without leading and trailing white space.
std::string trim(const std::string& text) {
    const size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return "";
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

// The first line of a small text file, or "".
std::string firstLine(const char* path) {
    std::FILE* file = std::fopen(path, "r");
    if (!file) return "";
    char line[512] = "";
    const bool ok = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    return ok ? trim(line) : "";
}

// The processor's model name as the system tells it.
std::string processorModel() {
    std::FILE* file = std::fopen("/proc/cpuinfo", "r");
    if (file) {
        char line[512];
        std::string model;
        while (model.empty() && std::fgets(line, sizeof line, file)) {
            const std::string text = line;
            if (text.compare(0, 10, "model name") == 0 && text.find(':') != std::string::npos)
                model = trim(text.substr(text.find(':') + 1));
        }
        std::fclose(file);
        if (!model.empty()) return model;
    }
    const char* identifier = std::getenv("PROCESSOR_IDENTIFIER");  // Windows
    return identifier && *identifier ? identifier : "unknown processor";
}

// The 1-, 5- and 15-minute load averages, or "" where the system has none.
std::string loadAverage() {
    const std::string line = firstLine("/proc/loadavg");
    size_t end = 0;
    for (int field = 0; field < 3 && end != std::string::npos; ++field) end = line.find(' ', end + 1);
    return end == std::string::npos ? "" : line.substr(0, end);
}

// The compiler that built this tool (the library is built by the same one).
std::string compilerName() {
#if defined(__clang__)
    return std::string("clang ") + trim(__clang_version__);
#elif defined(__GNUC__)
    return std::string("g++ ") + __VERSION__;
#else
    return "unknown compiler";
#endif
}

// Now, in UTC, to the second.
std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    char text[64] = "unknown";
    const std::tm* utc = std::gmtime(&now);
    if (utc) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", utc);
    return text;
}

// --- The libraries, one order at a time ---

struct Case {
    int order = 0;
    int64_t n = 0;
    Floats inRe, inIm, outRe, outIm;  // halvex and FFTW
    Floats kissIn, kissOut;           // KissFFT: interleaved
    Floats fftwiIn, fftwiOut;         // FFTW-i: interleaved
#if defined(HAVE_FFTW)
    fftwf_plan plan = nullptr, planInterleaved = nullptr;
#endif
#if defined(HAVE_KISSFFT)
    kiss_fft_cfg kiss = nullptr;
#endif
    Case() = default;
    Case(const Case&) = delete;
    Case& operator=(const Case&) = delete;
    ~Case() {
#if defined(HAVE_FFTW)
        if (plan) fftwf_destroy_plan(plan);
        if (planInterleaved) fftwf_destroy_plan(planInterleaved);
#endif
#if defined(HAVE_KISSFFT)
        if (kiss) kiss_fft_free(kiss);
#endif
    }
};

// Whether this build can run the library.
bool available(Library library) {
    switch (library) {
        case halvexLib:
            return true;
        case fftwLib:
        case fftwiLib:
#if defined(HAVE_FFTW)
            return true;
#else
            return false;
#endif
        case kissLib:
#if defined(HAVE_KISSFFT)
            return true;
#else
            return false;
#endif
        default:
            return false;
    }
}

// reps forward transforms of the case's input by one library.
void runLibrary(Library library, Case& c, int64_t reps) {
    switch (library) {
        case halvexLib:
            for (int64_t r = 0; r < reps; ++r)
                kfxcrFftNip(c.inRe.p, c.inIm.p, c.outRe.p, c.outIm.p, int32_t(c.order), forwardNatural);
            break;
        case fftwLib:
#if defined(HAVE_FFTW)
            for (int64_t r = 0; r < reps; ++r) fftwf_execute(c.plan);
#endif
            break;
        case fftwiLib:
#if defined(HAVE_FFTW)
            for (int64_t r = 0; r < reps; ++r) fftwf_execute(c.planInterleaved);
#endif
            break;
        case kissLib:
#if defined(HAVE_KISSFFT)
            for (int64_t r = 0; r < reps; ++r)
                kiss_fft(c.kiss, reinterpret_cast<const kiss_fft_cpx*>(c.kissIn.p),
                         reinterpret_cast<kiss_fft_cpx*>(c.kissOut.p));
#endif
            break;
        default:
            break;
    }
}

typedef std::chrono::steady_clock Clock;

// The steady clock's seconds from start until now.
double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Seconds for reps transforms by one library, back to back.
double timeBatch(Library library, Case& c, int64_t reps) {
    const Clock::time_point start = Clock::now();
    runLibrary(library, c, reps);
    return secondsSince(start);
}

// Builds what each library needs for the order (FFTW plans before the data is
// written, since measuring overwrites its arrays), then fills the input.
// Returns 0, or the exit code of the failure after saying why.
int prepareCase(Case& c, int order) {
    c.order = order;
    c.n = int64_t(1) << order;
    const size_t n = size_t(c.n);
    if (!c.inRe.allocate(n) || !c.inIm.allocate(n) || !c.outRe.allocate(n) || !c.outIm.allocate(n) ||
        !c.kissIn.allocate(2 * n) || !c.kissOut.allocate(2 * n) || !c.fftwiIn.allocate(2 * n) ||
        !c.fftwiOut.allocate(2 * n)) {
        std::fprintf(stderr, "halvex-tool bench: not enough memory for order %d\n", order);
        return 1;
    }
#if defined(HAVE_FFTW)
    // The split format's forward transform (e^-i) reads ri, ii and writes ro, io
    // in this order; swapping real and imaginary parts would give the inverse.
    fftwf_iodim dim;
    dim.n = int(c.n);
    dim.is = 1;
    dim.os = 1;
    c.plan = fftwf_plan_guru_split_dft(1, &dim, 0, nullptr, c.inRe.p, c.inIm.p, c.outRe.p, c.outIm.p,
                                       FFTW_MEASURE);
    c.planInterleaved = fftwf_plan_dft_1d(int(c.n), reinterpret_cast<fftwf_complex*>(c.fftwiIn.p),
                                          reinterpret_cast<fftwf_complex*>(c.fftwiOut.p), FFTW_FORWARD,
                                          FFTW_MEASURE);
    if (!c.plan || !c.planInterleaved) {
        std::fprintf(stderr, "halvex-tool bench: FFTW made no plan for order %d\n", order);
        return 1;
    }
#endif
#if defined(HAVE_KISSFFT)
    c.kiss = kiss_fft_alloc(int(c.n), 0, nullptr, nullptr);
    if (!c.kiss) {
        std::fprintf(stderr, "halvex-tool bench: KissFFT could not allocate order %d\n", order);
        return 1;
    }
#endif
    std::mt19937 random(uint32_t(20261206u + unsigned(order)));
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    for (size_t k = 0; k < n; ++k) {
        c.inRe.p[k] = uniform(random);
        c.inIm.p[k] = uniform(random);
        c.kissIn.p[2 * k] = c.inRe.p[k];
        c.kissIn.p[2 * k + 1] = c.inIm.p[k];
    }
    std::copy(c.kissIn.p, c.kissIn.p + 2 * n, c.fftwiIn.p);
    // Tables built beforehand: this call is not timed.
    runLibrary(halvexLib, c, 1);
    return reportFailure() ? 1 : 0;
}

// sqrt(Σ|a - b|² / Σ|b|²) over the n outputs, a and b each split or interleaved.
double relativeRms(const float* aRe, const float* aIm, int64_t aStride, const float* bRe, const float* bIm,
                   int64_t bStride, int64_t n) {
    double difference = 0, norm = 0;
    for (int64_t k = 0; k < n; ++k) {
        const double dr = double(aRe[k * aStride]) - double(bRe[k * bStride]);
        const double di = double(aIm[k * aStride]) - double(bIm[k * bStride]);
        difference += dr * dr + di * di;
        norm += double(bRe[k * bStride]) * double(bRe[k * bStride]) +
                double(bIm[k * bStride]) * double(bIm[k * bStride]);
    }
    return norm > 0 ? std::sqrt(difference / norm) : std::sqrt(difference);
}

// The relative rms difference of each library's output from halvex's (-1 for
// halvex itself and for absent libraries).
void compareOutputs(Case& c, double difference[libraryCount]) {
    const int64_t n = c.n;
    std::vector<float> reference(size_t(2 * n));
    runLibrary(halvexLib, c, 1);
    std::copy(c.outRe.p, c.outRe.p + n, reference.begin());
    std::copy(c.outIm.p, c.outIm.p + n, reference.begin() + n);
    const float* refRe = reference.data();
    const float* refIm = reference.data() + n;
    for (int l = 0; l < libraryCount; ++l) difference[l] = -1;
    if (available(fftwLib)) {
        runLibrary(fftwLib, c, 1);
        difference[fftwLib] = relativeRms(c.outRe.p, c.outIm.p, 1, refRe, refIm, 1, n);
    }
    if (available(fftwiLib)) {
        runLibrary(fftwiLib, c, 1);
        difference[fftwiLib] = relativeRms(c.fftwiOut.p, c.fftwiOut.p + 1, 2, refRe, refIm, 1, n);
    }
    if (available(kissLib)) {
        runLibrary(kissLib, c, 1);
        difference[kissLib] = relativeRms(c.kissOut.p, c.kissOut.p + 1, 2, refRe, refIm, 1, n);
    }
}

struct Row {
    int order = 0;
    int64_t n = 0;
    double ns[libraryCount] = {};         // 0 where not measured
    double difference[libraryCount] = {};  // from halvex's output; -1 where not compared
    double firstCallNs = 0, tablesNs = 0;
};

// The conventional figure 5 n log2(n) / t(µs); 0 for a figure not measured.
double mflops(int order, int64_t n, double ns) {
    return ns > 0 ? 5.0 * double(n) * double(order) / (ns / 1000.0) : 0;
}

// One order: batches sized and warmed up, then the libraries by turns.
void timeOrder(Case& c, const Settings& settings, Row& row) {
    int64_t reps[libraryCount] = {};
    double best[libraryCount] = {};
    for (int l = 0; l < libraryCount; ++l) {
        if (!available(Library(l))) continue;
        reps[l] = 1;
        double t = timeBatch(Library(l), c, 1);
        while (t < settings.batchSeconds && reps[l] < (int64_t(1) << 40)) {
            reps[l] *= 2;
            t = timeBatch(Library(l), c, reps[l]);
        }
        best[l] = t;
    }
    for (int round = 0; round < settings.rounds; ++round) {
        for (int l = 0; l < libraryCount; ++l) {
            if (reps[l] == 0) continue;
            best[l] = std::min(best[l], timeBatch(Library(l), c, reps[l]));
        }
    }
    for (int l = 0; l < libraryCount; ++l) row.ns[l] = reps[l] ? best[l] * 1e9 / double(reps[l]) : 0;
}

// The first call of an order: its tables released with flag 8 each time.
void timeFirstCall(Case& c, const Settings& settings, Row& row) {
    const int32_t order = int32_t(c.order);
    double first = 0, tables = 0;
    for (int r = 0; r < settings.firstCallRepeats; ++r) {
        kfxcrFftNip(nullptr, nullptr, nullptr, nullptr, order, 8);
        Clock::time_point start = Clock::now();
        runLibrary(halvexLib, c, 1);
        const double call = secondsSince(start);
        kfxcrFftNip(nullptr, nullptr, nullptr, nullptr, order, 8);
        start = Clock::now();
        kfxcrFftNip(nullptr, nullptr, nullptr, nullptr, order, 4);
        const double build = secondsSince(start);
        first = r == 0 ? call : std::min(first, call);
        tables = r == 0 ? build : std::min(tables, build);
    }
    row.firstCallNs = first * 1e9;
    row.tablesNs = tables * 1e9;
}

// A right-aligned figure, or "-" where it was not measured.
void printValue(bool present, double value, int width, int decimals) {
    if (present)
        std::printf("%*.*f", width, decimals, value);
    else
        std::printf("%*s", width, "-");
}

// The columns of the ratios "vs X", by library.
const int ratioWidths[libraryCount] = {0, 10, 11, 12};

// One row of the main table, flushed so that a long run shows its progress.
void printRow(const Row& row) {
    std::printf("%5d %9lld", row.order, static_cast<long long>(row.n));
    for (int l = 0; l < libraryCount; ++l) {
        const bool present = row.ns[l] > 0;
        printValue(present, row.ns[l], 14, 1);
        printValue(present, mflops(row.order, row.n, row.ns[l]), 8, 0);
    }
    for (int l = fftwLib; l < libraryCount; ++l)
        printValue(row.ns[l] > 0, row.ns[l] / row.ns[halvexLib], ratioWidths[l], 2);
    std::printf("\n");
    std::fflush(stdout);
}

// A comma and the figure; an empty field where it was not measured.
void printCsvValue(std::FILE* out, bool present, double value, int decimals) {
    std::fputc(',', out);
    if (present) std::fprintf(out, "%.*f", decimals, value);
}

// One CSV row in the order of the CSV header: FFTW-i's fields come last, so
// that the columns that were there before it keep their places.
void writeCsvRow(std::FILE* out, const Row& row) {
    std::fprintf(out, "%d,%lld", row.order, static_cast<long long>(row.n));
    for (int l : {halvexLib, fftwLib, kissLib}) {
        const bool present = row.ns[l] > 0;
        printCsvValue(out, present, row.ns[l], 3);
        printCsvValue(out, present, mflops(row.order, row.n, row.ns[l]), 1);
    }
    printCsvValue(out, row.ns[fftwLib] > 0, row.ns[fftwLib] / row.ns[halvexLib], 4);
    printCsvValue(out, row.ns[kissLib] > 0, row.ns[kissLib] / row.ns[halvexLib], 4);
    printCsvValue(out, true, row.firstCallNs, 1);
    printCsvValue(out, true, row.tablesNs, 1);
    const bool interleaved = row.ns[fftwiLib] > 0;
    printCsvValue(out, interleaved, row.ns[fftwiLib], 3);
    printCsvValue(out, interleaved, mflops(row.order, row.n, row.ns[fftwiLib]), 1);
    printCsvValue(out, interleaved, row.ns[fftwiLib] / row.ns[halvexLib], 4);
    std::fputc('\n', out);
}

// What was measured, where and how, then the main table's column titles.
void printHeader(int32_t variant, bool named, bool widthNamed, const Settings& settings, bool quick) {
    std::printf("halvex-tool bench: forward single-precision complex transforms of random data,\n"
                "natural order, out of place\n");
    const unsigned processors = std::thread::hardware_concurrency();
    std::printf("machine: %s, %u logical processors\n", processorModel().c_str(), processors);
    const std::string load = loadAverage();
    if (!load.empty()) std::printf("load:    %s (1-, 5-, 15-minute averages at the start)\n", load.c_str());
    std::printf("date:    %s\n", utcNow().c_str());
    const std::string flags = trim(HALVEX_BENCH_CXX_FLAGS);
    std::printf("build:   %s, %s%s%s, %d-bit\n", HALVEX_BENCH_BUILD_TYPE, compilerName().c_str(),
                flags.empty() ? "" : " ", flags.c_str(), int(sizeof(void*) * 8));
    // A vector variant's body: which width, and who chose it.
    std::string body;
    if (boundVectorWidth() > 0)
        body = ", its " + std::to_string(boundVectorWidth()) + "-bit " + widthName(variant, boundVectorWidth()) +
               " body" + (widthNamed ? " (named by --width)" : "");
    if (named) {
        std::printf("halvex:  variant %d (named by --variant)%s, kfxcrFftNip, flags 1|32\n", int(variant),
                    body.c_str());
    } else {
        const int32_t processorClass = classifyProcessor();
        if (processorClass != variant && processorClass >= 0 && processorClass < variantSlots)
            std::printf("halvex:  variant %d bound by the processor (class %d; its first choice %d is not"
                        " built)%s, kfxcrFftNip, flags 1|32\n",
                        int(variant), int(processorClass), int(processorClass), body.c_str());
        else
            std::printf("halvex:  variant %d bound by the processor (class %d)%s, kfxcrFftNip, flags 1|32\n",
                        int(variant), int(processorClass), body.c_str());
    }
#if defined(HAVE_FFTW)
    std::printf("FFTW:    %s, fftwf_plan_guru_split_dft, FFTW_MEASURE, the same arrays;\n"
                "         FFTW-i: fftwf_plan_dft_1d, FFTW_MEASURE, interleaved copies of the data\n",
                fftwf_version);
#else
    std::printf("FFTW:    not compared (this build has no FFTW single precision)\n");
#endif
#if defined(HAVE_KISSFFT)
    std::printf("KissFFT: float, kiss_fft, interleaved copies of the data\n");
#else
    std::printf("KissFFT: not compared (this build has no KissFFT float)\n");
#endif
    std::printf("timing:  best of %d batches of at least %g ms after a warm-up%s;\n"
                "         mflops = 5 n log2(n) / t(us); vs X = halvex's throughput / X's\n",
                settings.rounds, settings.batchSeconds * 1000, quick ? " (--quick: rough)" : "");
    std::printf("\n");
    std::printf("%-5s %9s", "order", "n");
    for (int l = 0; l < libraryCount; ++l) {
        const std::string name = std::string(libraryNames[l]) + " ns";
        std::printf("%14s%8s", name.c_str(), "mflops");
    }
    for (int l = fftwLib; l < libraryCount; ++l)
        std::printf("%*s", ratioWidths[l], (std::string("vs ") + libraryNames[l]).c_str());
    std::printf("\n");
    std::fflush(stdout);
}

// The first-call table, after the main one: the steady figure beside it.
void printFirstCalls(const std::vector<Row>& rows, const Settings& settings) {
    std::printf("\nfirst call of an order (halvex; its tables released with flag 8 before each; best of %d):\n",
                settings.firstCallRepeats);
    std::printf("%-5s %9s %13s %14s %13s %13s\n", "order", "n", "tables ns", "first call ns", "steady ns",
                "first/steady");
    for (const Row& row : rows) {
        std::printf("%5d %9lld %13.0f %14.0f %13.1f %13.1f\n", row.order, static_cast<long long>(row.n),
                    row.tablesNs, row.firstCallNs, row.ns[halvexLib], row.firstCallNs / row.ns[halvexLib]);
    }
}

// One line per compared library: agreement over every order, or the orders
// where it does not agree (those were warned about as they were measured).
void printChecks(const std::vector<Row>& rows) {
    std::printf("\n");
    if (!available(fftwLib) && !available(kissLib))
        std::printf("check:   none (this build has nothing to compare halvex's output with)\n");
    for (int l = fftwLib; l < libraryCount; ++l) {
        if (!available(Library(l))) continue;
        double largest = -1;
        int largestOrder = 0;
        std::string failing;
        for (const Row& row : rows) {
            if (row.difference[l] > largest) {
                largest = row.difference[l];
                largestOrder = row.order;
            }
            if (!(row.difference[l] <= agreementLimit)) failing += " " + std::to_string(row.order);
        }
        if (failing.empty())
            std::printf("check:   %s's output agrees with halvex's at every order (largest relative rms"
                        " difference %.1e, order %d)\n",
                        libraryNames[l], largest, largestOrder);
        else
            std::printf("warning: %s's output differs from halvex's beyond rounding at orders%s\n",
                        libraryNames[l], failing.c_str());
    }
}

}  // namespace

// Arguments, binding, then order by order: prepare, compare, time, print.
int commandBench(int argc, char** argv) {
    int first = 4, last = 22;
    long variant = -1, width = 0;
    const char* csvPath = nullptr;
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            std::fputs(help, stdout);
            return 0;
        }
        if (arg == "--quick") {
            quick = true;
        } else if (arg == "--variant" || arg == "--width" || arg == "--orders" || arg == "--csv") {
            if (i + 1 >= argc) return badArguments(arg + " needs a value");
            const char* value = argv[++i];
            const char* end = nullptr;
            if (arg == "--variant" && (!parseNumber(value, 0, 5, variant, &end) || *end != '\0'))
                return badArguments("--variant must be 0 to 5, not '" + std::string(value) + "'");
            if (arg == "--width" && (!parseNumber(value, 128, 512, width, &end) || *end != '\0' ||
                                     (width != 128 && width != 256 && width != 512)))
                return badArguments("--width must be 128, 256 or 512, not '" + std::string(value) + "'");
            if (arg == "--orders" && !parseOrders(value, first, last))
                return badArguments("--orders must be A-B or N with 1 <= A <= B <= 24, not '" +
                                    std::string(value) + "'");
            if (arg == "--csv") {
                if (*value == '\0') return badArguments("--csv needs a file name");
                csvPath = value;
            }
        } else {
            return badArguments("unknown argument " + arg);
        }
    }

    int32_t bound = -1;
    if (variant >= 0) {
        const std::string variantProblem = bindNamedVariant(int32_t(variant));
        if (!variantProblem.empty()) return badArguments(variantProblem);
        bound = int32_t(variant);
    } else {
        if (!runWaterfall()) return 1;  // the Waterfall printed why
        bound = boundVariant();
    }
    const std::string widthProblem = bindWidth(int32_t(width));
    if (!widthProblem.empty()) return badArguments(widthProblem);
    setErrorMode(1);
    setErrorHandler(keepReport);

    std::FILE* csv = nullptr;
    if (csvPath) {
        csv = std::fopen(csvPath, "w");
        if (!csv) {
            std::fprintf(stderr, "halvex-tool bench: cannot write %s: %s\n", csvPath, std::strerror(errno));
            return 1;
        }
        std::fprintf(csv, "order,n,halvex_ns,halvex_mflops,fftw_ns,fftw_mflops,kissfft_ns,kissfft_mflops,"
                          "halvex_per_fftw,halvex_per_kissfft,halvex_first_call_ns,halvex_tables_ns,"
                          "fftwi_ns,fftwi_mflops,halvex_per_fftwi\n");
    }

    Settings settings;
    if (quick) {
        settings.batchSeconds = 0.001;
        settings.rounds = 2;
        settings.firstCallRepeats = 1;
    }
    printHeader(bound, variant >= 0, width != 0, settings, quick);

    int status = 0;
    std::vector<Row> rows;
    for (int order = first; order <= last && status == 0; ++order) {
        Row row;
        row.order = order;
        row.n = int64_t(1) << order;
        {
            Case c;
            status = prepareCase(c, order);
            if (status != 0) break;
            compareOutputs(c, row.difference);
            for (int l = fftwLib; l < libraryCount; ++l) {
                if (row.difference[l] > agreementLimit || std::isnan(row.difference[l]))
                    std::fprintf(stderr,
                                 "halvex-tool bench: warning: order %d: %s's output differs from halvex's"
                                 " (relative rms difference %.2e)\n",
                                 order, libraryNames[l], row.difference[l]);
            }
            timeOrder(c, settings, row);
            timeFirstCall(c, settings, row);
        }
        // This order's tables are not needed again; the next orders get the memory.
        kfxcrFftNip(nullptr, nullptr, nullptr, nullptr, int32_t(order), 8);
        if (reportFailure()) {
            status = 1;
            break;
        }
        printRow(row);
        if (csv) writeCsvRow(csv, row);
        rows.push_back(row);
    }
    if (status == 0) {
        printFirstCalls(rows, settings);
        printChecks(rows);
        const std::string load = loadAverage();
        if (!load.empty()) std::printf("load:    %s (at the end)\n", load.c_str());
    }
    if (csv && (std::fclose(csv) != 0) && status == 0) {
        std::fprintf(stderr, "halvex-tool bench: cannot write %s\n", csvPath);
        status = 1;
    }
#if defined(HAVE_FFTW)
    fftwf_cleanup();
#endif
    return status;
}
