// plugin-demo PATH: loads the halvex library at PATH at run time, as the
// plug-in does, looks up kfxcrFftNip, transforms a small test signal forward,
// prints a few spectrum values, transforms back and prints the round-trip
// error. Exit code 0 when the spectrum is the expected one and the round trip
// is exact to single precision.
#include <dlfcn.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "halvex.h"

namespace {

const int order = 6;
const int points = 1 << order;
const double pi = 3.14159265358979323846;

// A constant, one cosine and one sine at different frequencies: the spectrum
// has four lines whose heights are easy to check by eye.
void makeSignal(float* re, float* im) {
    for (int j = 0; j < points; ++j) {
        const double t = 2.0 * pi * j / points;
        re[j] = static_cast<float>(0.5 + std::cos(3.0 * t));
        im[j] = static_cast<float>(0.25 * std::sin(10.0 * t));
    }
}

// Rounding noise shown as an exact zero, so that no "-0.0000" appears.
double shown(float value) { return std::fabs(value) < 5e-5f ? 0.0 : static_cast<double>(value); }

// Prints every bin whose magnitude stands clearly above rounding noise.
void printSpectrum(const float* re, const float* im) {
    for (int k = 0; k < points; ++k) {
        if (std::hypot(re[k], im[k]) < 1e-3) continue;
        std::printf("  bin %2d: %9.4f %+9.4fi\n", k, shown(re[k]), shown(im[k]));
    }
}

// A path without a slash would make dlopen search the library path instead of
// taking the file that was installed.
std::string loadablePath(const char* path) {
    return std::strchr(path, '/') ? std::string(path) : std::string("./") + path;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: plugin-demo PATH-OF-HALVEX\n");
        return 2;
    }
    void* library = dlopen(loadablePath(argv[1]).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "plugin-demo: cannot load %s: %s\n", argv[1], dlerror());
        return 1;
    }
    void* symbol = dlsym(library, "kfxcrFftNip");
    if (!symbol) {
        std::fprintf(stderr, "plugin-demo: %s exports no kfxcrFftNip\n", argv[1]);
        dlclose(library);
        return 1;
    }
    HalvexFftFunction fft;
    std::memcpy(&fft, &symbol, sizeof fft);

    float re[points], im[points], spectrumRe[points], spectrumIm[points], backRe[points], backIm[points];
    makeSignal(re, im);
    std::printf("loaded %s\n", argv[1]);
    std::printf("signal: %d points, 0.5 + cos(2 pi 3 j/%d) + 0.25 i sin(2 pi 10 j/%d)\n", points,
                points, points);
    fft(re, im, spectrumRe, spectrumIm, order, HALVEX_FORWARD);
    std::printf("forward transform, bins above 0.001 (expected: 32 at bins 0, 3 and %d; 8 at bin 10,\n"
                "-8 at bin %d):\n", points - 3, points - 10);
    printSpectrum(spectrumRe, spectrumIm);
    double spectrumError = 0;
    for (int k = 0; k < points; ++k) {
        double want = 0.0;
        if (k == 0 || k == 3 || k == points - 3) want = 32.0;
        if (k == 10) want = 8.0;
        if (k == points - 10) want = -8.0;
        const double distance = std::hypot(spectrumRe[k] - want, static_cast<double>(spectrumIm[k]));
        spectrumError = std::fmax(spectrumError, distance);
    }
    std::printf("largest difference from the expected spectrum %.3g\n", spectrumError);
    fft(spectrumRe, spectrumIm, backRe, backIm, order, HALVEX_INVERSE);
    double error = 0;
    for (int j = 0; j < points; ++j) {
        error = std::fmax(error, std::fabs(static_cast<double>(backRe[j]) - re[j]));
        error = std::fmax(error, std::fabs(static_cast<double>(backIm[j]) - im[j]));
    }
    std::printf("inverse transform: largest round-trip error %.3g\n", error);
    dlclose(library);
    return error < 1e-5 && spectrumError < 1e-3 ? 0 : 1;
}
