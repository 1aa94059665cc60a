#include "support.h"

#include <cmath>

std::vector<int> builtVariants() {
    std::vector<int> v;
    for (int i = 0; i < variantCount; ++i)
        if (variantEngines[i]) v.push_back(i);
    return v;
}

std::string variantName(const ::testing::TestParamInfo<int>& info) {
    return "v" + std::to_string(info.param);
}

std::vector<Report>& reports() {
    static thread_local std::vector<Report> seen;
    return seen;
}

namespace {
int32_t recordingHandler(int32_t status, const char* funcName, const char* context,
                         const char* file, int32_t line) {
    reports().push_back({status, funcName ? funcName : "", context ? context : "",
                         file ? file : "", line});
    return status;
}
}  // namespace

void VariantTest::SetUp() {
    setErrorMode(1);
    setErrorHandler(recordingHandler);
    reports().clear();
    claimTableCaches(GetParam());
    releaseAllTables();
}

void VariantTest::TearDown() {
    clearAlignedAllocFailure();
    releaseAllTables();
    releaseWorkBuffer(vectorWorkSlot);
    setErrorHandler(nullptr);
    setErrorMode(0);
}

Signal randomSignal(int64_t n, uint32_t seed) {
    // 64-bit LCG (Knuth's MMIX constants); the top 24 bits give floats in [-1, 1).
    uint64_t state = 0x9E3779B97F4A7C15ull * (uint64_t(seed) + 1);
    auto next = [&state]() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return float(int64_t(state >> 40) - (int64_t(1) << 23)) * (1.0f / float(1 << 23));
    };
    Signal x(n);
    float* re = x.re.data();
    float* im = x.im.data();
    for (int64_t k = 0; k < n; ++k) {
        re[k] = next();
        im[k] = next();
    }
    return x;
}

int64_t reverseBits(int64_t k, int order) {
    int64_t r = 0;
    for (int b = 0; b < order; ++b) r |= ((k >> b) & 1) << (order - 1 - b);
    return r;
}

Signal bitReversed(const Signal& x, int order) {
    const int64_t n = x.size();
    Signal y(n);
    std::vector<int64_t> rev(size_t(n), 0);
    for (int64_t k = 1; k < n; ++k) rev[size_t(k)] = (rev[size_t(k >> 1)] >> 1) | ((k & 1) << (order - 1));
    for (int64_t k = 0; k < n; ++k) {
        y.re[size_t(k)] = x.re[size_t(rev[size_t(k)])];
        y.im[size_t(k)] = x.im[size_t(rev[size_t(k)])];
    }
    return y;
}

ReferenceDft::ReferenceDft(int order) : n_(int64_t(1) << order), cos_(size_t(n_)), sin_(size_t(n_)) {
    const long double pi2 = 6.283185307179586476925286766559L;
    for (int64_t j = 0; j < n_; ++j) {
        cos_[size_t(j)] = std::cos(pi2 * (long double)j / (long double)n_);
        sin_[size_t(j)] = std::sin(pi2 * (long double)j / (long double)n_);
    }
}

void ReferenceDft::bin(const Signal& x, int64_t k, int sign, long double& re, long double& im) const {
    long double sr = 0, si = 0;
    int64_t a = 0;  // j·k mod n
    const int64_t step = k % n_;
    const long double* cosine = cos_.data();
    const long double* sine = sin_.data();
    const float* xre = x.re.data();
    const float* xim = x.im.data();
    for (int64_t j = 0; j < n_; ++j) {
        const long double c = cosine[a], s = -sign * sine[a];
        const long double xr = xre[j], xi = xim[j];
        sr += xr * c - xi * s;
        si += xr * s + xi * c;
        a += step;
        if (a >= n_) a -= n_;
    }
    re = sr;
    im = si;
}
