// halvex-tool fft: one transform through the library's export.
//
//   halvex-tool fft --order N --flags F [--variant V] [--width W] [IN [OUT]]
//
// Reads n = 2^N real parts and then n imaginary parts as little-endian float32
// from IN (standard input when IN is absent or "-"), calls kfxcrFftNip(…, N, F)
// on them and writes the n real parts and then the n imaginary parts of the
// result the same way to OUT (standard output when absent or "-"). F is decimal
// or 0x-hexadecimal; its bits are the export's flags (1 forward, 2 inverse,
// 4 init only, 8 release, 16 no scaling, 32 natural order, 64 bit-reversed
// input, 128 bit-reversed output). With flag 4 or 8 nothing is read or
// written. --variant binds variant V (0..5) instead of the one the processor
// selects; --width binds the vector variant's body (4 or 5) of W bits (128,
// 256, 512) instead of the widest the processor runs. The transform runs in place (the same arrays
// as input and output).
//
// Exit codes: 0 done; 1 the input or output could not be read or written, the
// memory for the arrays could not be had, or the library reported another
// error (out of memory); 2 bad arguments: usage, an unknown option, a number
// that does not parse, an order outside 0..31, a variant this build lacks, a
// width for a scalar variant or one that this build or processor cannot run,
// an input that is not exactly 8·n bytes long, or flags that the library
// rejects (its report is printed).
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "commands.h"
#include "halvex_internal.h"

namespace {

const char usage[] = "usage: halvex-tool fft --order N --flags F [--variant V] [--width W] [IN [OUT]]\n";
const char help[] =
    "\n"
    "Transforms 2^N complex points with kfxcrFftNip. IN holds the 2^N real parts and then\n"
    "the 2^N imaginary parts as little-endian float32 (standard input when IN is absent\n"
    "or -); the result goes to OUT in the same layout (standard output when absent or -).\n"
    "\n"
    "  --order N    0..31\n"
    "  --flags F    the export's flags, decimal or 0x-hex: 1 forward, 2 inverse, 4 build\n"
    "               the tables only, 8 release them, 16 no 1/n scaling, 32 natural order,\n"
    "               64 bit-reversed input, 128 bit-reversed output (4 and 8 read and write\n"
    "               nothing)\n"
    "  --variant V  bind variant V (0..5) instead of the processor's choice\n"
    "  --width W    run the vector variant's body (4 or 5) for W-bit registers (128, 256,\n"
    "               512) instead of the widest this processor runs; every width gives the\n"
    "               same bits on finite data\n"
    "\n"
    "Exit codes: 0 done; 1 input, output, memory or a library error other than a bad\n"
    "argument; 2 bad arguments, an input of the wrong length, or flags the library rejects.\n";

int badArguments(const std::string& message) {
    std::fprintf(stderr, "halvex-tool fft: %s\n%s", message.c_str(), usage);
    return 2;
}

// A whole decimal or 0x-hexadecimal integer within [low, high].
bool parseInteger(const char* text, long low, long high, long& value) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 0);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

struct Report {
    bool seen = false;
    int32_t status = 0;
    std::string context, file;
    int32_t line = 0;
};
Report report;

int32_t keepReport(int32_t status, const char* /*funcName*/, const char* context, const char* file,
                   int32_t line) {
    if (!report.seen) report = {true, status, context ? context : "", file ? file : "", line};
    return status;
}

struct Buffer {
    float* p = nullptr;
    bool allocate(size_t count) { return (p = static_cast<float*>(std::malloc(count * 4))) != nullptr; }
    float* data() const { return p; }
    ~Buffer() { std::free(p); }
};

struct Stream {
    std::FILE* file = nullptr;
    bool owned = false;
    ~Stream() {
        if (owned) std::fclose(file);
    }
};

bool openStream(Stream& s, const char* path, bool output) {
    if (path == nullptr || std::strcmp(path, "-") == 0) {
        s.file = output ? stdout : stdin;
#if defined(_WIN32)
        _setmode(_fileno(s.file), _O_BINARY);
#endif
        return true;
    }
    s.file = std::fopen(path, output ? "wb" : "rb");
    s.owned = s.file != nullptr;
    if (!s.file) std::fprintf(stderr, "halvex-tool fft: cannot open %s: %s\n", path, std::strerror(errno));
    return s.file != nullptr;
}

// Little-endian float32 to and from the host's floats, byte by byte.
void decode(const unsigned char* bytes, float* values, size_t count) {
    for (size_t i = 0; i < count; ++i, bytes += 4) {
        const uint32_t bits = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                              uint32_t(bytes[3]) << 24;
        std::memcpy(&values[i], &bits, 4);
    }
}

void encode(const float* values, unsigned char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i, bytes += 4) {
        uint32_t bits;
        std::memcpy(&bits, &values[i], 4);
        for (int b = 0; b < 4; ++b) bytes[b] = static_cast<unsigned char>(bits >> (8 * b));
    }
}

// Reads `count` floats; false when the input ends first or fails.
bool readFloats(std::FILE* in, float* values, size_t count) {
    std::vector<unsigned char> chunk(1 << 16);
    size_t done = 0;
    while (done < count) {
        const size_t want = std::min(chunk.size() / 4, count - done);
        const size_t got = std::fread(chunk.data(), 4, want, in);
        decode(chunk.data(), values + done, got);
        done += got;
        if (got < want) return false;
    }
    return true;
}

bool writeFloats(std::FILE* out, const float* values, size_t count) {
    std::vector<unsigned char> chunk(1 << 16);
    for (size_t done = 0; done < count;) {
        const size_t part = std::min(chunk.size() / 4, count - done);
        encode(values + done, chunk.data(), part);
        if (std::fwrite(chunk.data(), 4, part, out) != part) return false;
        done += part;
    }
    return true;
}

}  // namespace

int commandFft(int argc, char** argv) {
    long order = -1, flags = 0, variant = -1, width = 0;
    bool haveFlags = false;
    const char* paths[2] = {nullptr, nullptr};
    int pathCount = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            std::fputs(help, stdout);
            return 0;
        }
        if (arg == "--order" || arg == "--flags" || arg == "--variant" || arg == "--width") {
            if (i + 1 >= argc) return badArguments(arg + " needs a value");
            const char* value = argv[++i];
            if (arg == "--order" && !parseInteger(value, 0, 31, order))
                return badArguments("--order must be an integer from 0 to 31, not '" + std::string(value) + "'");
            if (arg == "--flags" && !(haveFlags = parseInteger(value, INT32_MIN, INT32_MAX, flags)))
                return badArguments("--flags must be a 32-bit integer, not '" + std::string(value) + "'");
            if (arg == "--variant" && !parseInteger(value, 0, 5, variant))
                return badArguments("--variant must be 0 to 5, not '" + std::string(value) + "'");
            if (arg == "--width" && (!parseInteger(value, 128, 512, width) || (width != 128 && width != 256 && width != 512)))
                return badArguments("--width must be 128, 256 or 512, not '" + std::string(value) + "'");
        } else if (arg.size() > 1 && arg[0] == '-') {
            return badArguments("unknown option " + arg);
        } else if (pathCount < 2) {
            paths[pathCount++] = argv[i];
        } else {
            return badArguments("too many files");
        }
    }
    if (order < 0) return badArguments("--order is required");
    if (!haveFlags) return badArguments("--flags is required");

    if (variant >= 0) {
        const std::string variantProblem = bindNamedVariant(int32_t(variant));
        if (!variantProblem.empty()) return badArguments(variantProblem);
    } else if (!runWaterfall()) {
        return 1;  // the Waterfall printed why
    }
    const std::string widthProblem = bindWidth(int32_t(width));
    if (!widthProblem.empty()) return badArguments(widthProblem);
    setErrorMode(1);
    setErrorHandler(keepReport);

    const bool noData = (flags & 4) != 0 || (flags & 8) != 0;
    const uint64_t n = uint64_t(1) << order;
    Buffer re, im;
    Stream in, out;
    if (!noData) {
        if (n > SIZE_MAX / 4 || !re.allocate(size_t(n)) || !im.allocate(size_t(n))) {
            std::fprintf(stderr, "halvex-tool fft: not enough memory for 2^%ld points\n", order);
            return 1;
        }
        if (!openStream(in, paths[0], false)) return 1;
        if (!readFloats(in.file, re.data(), size_t(n)) || !readFloats(in.file, im.data(), size_t(n)) ||
            std::fgetc(in.file) != EOF) {
            if (std::ferror(in.file)) {
                std::fprintf(stderr, "halvex-tool fft: cannot read the input\n");
                return 1;
            }
            return badArguments("the input must hold exactly " + std::to_string(8 * n) +
                                " bytes (2^order real parts, then as many imaginary parts)");
        }
    }

    float* r = noData ? nullptr : re.data();
    float* i = noData ? nullptr : im.data();
    kfxcrFftNip(r, i, r, i, int32_t(order), int32_t(flags));
    if (report.seen) {
        std::fprintf(stderr, "halvex-tool fft: kfxcrFftNip reported %d (%s): %s [%s line %d]\n",
                     int(report.status), statusText(report.status), report.context.c_str(),
                     report.file.c_str(), int(report.line));
        return report.status == statusBadArgument ? 2 : 1;
    }
    if (noData) return 0;
    if (!openStream(out, paths[1], true)) return 1;
    if (!writeFloats(out.file, re.data(), size_t(n)) || !writeFloats(out.file, im.data(), size_t(n)) ||
        std::fflush(out.file) != 0) {
        std::fprintf(stderr, "halvex-tool fft: cannot write the output\n");
        return 1;
    }
    return 0;
}
