// Shared by the engine tests: the variants to run, a recording error handler,
// signals and the long-double reference transform.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/variants.h"

// Variants this build carries; every engine test is instantiated for each.
std::vector<int> builtVariants();
std::string variantName(const ::testing::TestParamInfo<int>& info);

// A fixture per variant: a thread with a returning, recording error handler
// and empty table caches claimed by the variant under test.
class VariantTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override;
    void TearDown() override;
    const VariantEngine& engine() const { return *variantEngines[GetParam()]; }
    const VariantParams& params() const { return *engine().params; }
    // The variant's entry (what the export runs once bound to it).
    void fft(const float* ri, const float* ii, float* ro, float* io, int32_t order, int32_t flags) const {
        engine().transform(ri, ii, ro, io, order, flags);
    }
};

#define INSTANTIATE_FOR_VARIANTS(suite) \
    INSTANTIATE_TEST_SUITE_P(Variants, suite, ::testing::ValuesIn(builtVariants()), variantName)

struct Report {
    int32_t status;
    std::string funcName, context, file;
    int32_t line;
};
// Reports seen by the recording handler on this thread since the last clear.
std::vector<Report>& reports();

struct Signal {
    std::vector<float> re, im;
    explicit Signal(int64_t n = 0, float fill = 0) : re(size_t(n), fill), im(size_t(n), fill) {}
    int64_t size() const { return int64_t(re.size()); }
};
Signal randomSignal(int64_t n, uint32_t seed);

int64_t reverseBits(int64_t k, int order);
// out[k] = in[rev(k)].
Signal bitReversed(const Signal& x, int order);

// The exact DFT in long double: X[k] = sum x[j]·e^(-sign·2πi·jk/n), unscaled,
// with the angles reduced through jk mod n and read from a table of n
// long-double sines and cosines.
class ReferenceDft {
public:
    explicit ReferenceDft(int order);
    void bin(const Signal& x, int64_t k, int sign, long double& re, long double& im) const;
private:
    int64_t n_;
    std::vector<long double> cos_, sin_;
};

// Relative RMS error sqrt(sum |y - x|^2 / sum |x|^2) of results y against
// reference values x, accumulated bin by bin.
struct ErrorSum {
    long double err = 0, ref = 0;
    void add(long double xr, long double xi, float yr, float yi) {
        err += (yr - xr) * (yr - xr) + (yi - xi) * (yi - xi);
        ref += xr * xr + xi * xi;
    }
    double relative() const { return ref > 0 ? double(std::sqrt(err / ref)) : double(std::sqrt(err)); }
};
