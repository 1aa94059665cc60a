// The transform against the long-double reference, properties that need no
// reference (up to order 24), and exact aliasing of input and output.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <map>
#include <random>

#include "support.h"

namespace {

// Instrumented builds (sanitizers, unoptimised, some 40 times slower) check
// every order against the reference too, but above reducedFromOrder only a
// rotating third of the flag sets, with the full reference
// only up to order 9 and fewer sampled bins above; their property
// tests stop at propertyOrders (the native build goes to 20 here and to 24 in
// the large-order test).
#ifdef HALVEX_TEST_REDUCED
constexpr int fullDftOrder = 9;
constexpr int sampledBins = 8;
constexpr int reducedFromOrder = 15;
constexpr int propertyOrders = 16;
#else
constexpr int fullDftOrder = 12;  // full O(n^2) reference up to here, sampled bins above
constexpr int sampledBins = 48;
constexpr int reducedFromOrder = 99;
constexpr int propertyOrders = 20;
#endif

// The asserted bound on the relative RMS error of every transform against the
// exact DFT: 1.0 · sqrt(order) · FLT_EPSILON (order 0 is an exact copy). Inputs
// are exact floats; the error comes from the float twiddles and the rounding
// of each stage's results to float, which add up like a random walk over the
// order's stages.
double errorBound(int order) { return 1.0 * std::sqrt(double(std::max(order, 1))) * FLT_EPSILON; }

constexpr int fwd = 1, inv = 2, noScale = 16, natural = 32, inRev = 64, outRev = 128;

const int directions[] = {fwd, inv, inv | noScale};
const int orderings[] = {0, natural, inRev, outRev};

std::vector<int64_t> binsFor(int order) {
    const int64_t n = int64_t(1) << order;
    std::vector<int64_t> bins;
    if (order <= fullDftOrder) {
        for (int64_t k = 0; k < n; ++k) bins.push_back(k);
        return bins;
    }
    bins = {0, 1, n / 2, n - 1};
    std::mt19937_64 gen(uint64_t(order) * 7919);
    std::uniform_int_distribution<int64_t> dist(0, n - 1);
    while (int(bins.size()) < sampledBins) bins.push_back(dist(gen));
    return bins;
}

class TransformTest : public VariantTest {
public:
    Signal run(const Signal& x, int order, int flags) const {
        Signal y(x.size(), -77.0f);
        fft(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, flags);
        return y;
    }
};

// The reference bins of one order's test signal, forward and inverse; the
// same for every variant, so computed once per order and kept.
struct ReferenceBins {
    std::vector<int64_t> bins;
    std::vector<long double> fr, fi, ir, ii;
};
const ReferenceBins& referenceBins(int order, const Signal& x) {
    static std::map<int, ReferenceBins> cache;
    auto found = cache.find(order);
    if (found != cache.end()) return found->second;
    ReferenceBins r;
    const ReferenceDft ref(order);
    r.bins = binsFor(order);
    const size_t count = r.bins.size();
    r.fr.resize(count), r.fi.resize(count), r.ir.resize(count), r.ii.resize(count);
    for (size_t b = 0; b < count; ++b) {
        ref.bin(x, r.bins[b], 1, r.fr[b], r.fi[b]);
        ref.bin(x, r.bins[b], -1, r.ir[b], r.ii[b]);
    }
    return cache.emplace(order, std::move(r)).first->second;
}

TEST_P(TransformTest, MatchesReferenceDftForEveryOrderFlagAndDirection) {
    for (int order = 0; order <= 20; ++order) {
        const int64_t n = int64_t(1) << order;
        const Signal x = randomSignal(n, uint32_t(order + 1));
        const Signal xRev = bitReversed(x, order);
        const ReferenceBins& ref = referenceBins(order, x);
        const std::vector<int64_t>& bins = ref.bins;
        const std::vector<long double>&fr = ref.fr, &fi = ref.fi, &ir = ref.ir, &ii = ref.ii;
        int config = 0;
        for (int dir : directions) {
            for (int ordering : orderings) {
                if (order >= reducedFromOrder && config++ % 3 != order % 3) continue;
                const int flags = dir | ordering;
                const Signal y = run(ordering == inRev ? xRev : x, order, flags);
                const long double scale = (flags & inv) && !(flags & noScale) ? 1.0L / n : 1.0L;
                ErrorSum e;
                for (size_t b = 0; b < bins.size(); ++b) {
                    const size_t at = size_t(ordering == outRev ? reverseBits(bins[b], order) : bins[b]);
                    if (dir == fwd)
                        e.add(fr[b], fi[b], y.re[at], y.im[at]);
                    else
                        e.add(ir[b] * scale, ii[b] * scale, y.re[at], y.im[at]);
                }
                EXPECT_LE(e.relative(), errorBound(order))
                    << "order " << order << " flags " << flags << " relative RMS error " << e.relative()
                    << " = " << e.relative() / (std::sqrt(double(std::max(order, 1))) * FLT_EPSILON)
                    << " sqrt(order)·FLT_EPSILON";
            }
        }
    }
    EXPECT_TRUE(reports().empty());
}

TEST_P(TransformTest, SmallOrdersGiveExactValues) {
    Signal x(2);
    x.re = {3.0f, 5.0f};
    x.im = {-1.0f, 0.5f};
    Signal y = run(x, 1, fwd);
    EXPECT_EQ(y.re, (std::vector<float>{8.0f, -2.0f}));
    EXPECT_EQ(y.im, (std::vector<float>{-0.5f, -1.5f}));
    y = run(x, 1, inv);
    EXPECT_EQ(y.re, (std::vector<float>{4.0f, -1.0f}));
    EXPECT_EQ(y.im, (std::vector<float>{-0.25f, -0.75f}));

    Signal impulse(4);
    impulse.re[0] = 1.0f;
    y = run(impulse, 2, fwd);
    EXPECT_EQ(y.re, (std::vector<float>{1, 1, 1, 1}));
    for (float v : y.im) EXPECT_EQ(v, 0.0f);
    Signal ones(4, 0.0f);
    ones.re.assign(4, 1.0f);
    y = run(ones, 2, inv);
    EXPECT_EQ(y.re, (std::vector<float>{1, 0, 0, 0}));
    for (float v : y.im) EXPECT_EQ(v, 0.0f);
}

TEST_P(TransformTest, ForwardThenInverseReproducesTheInput) {
    for (int order : {3, 10, 11, 15, 16}) {
        const Signal x = randomSignal(int64_t(1) << order, 99);
        const Signal back = run(run(x, order, fwd), order, inv);
        ErrorSum e;
        for (int64_t k = 0; k < x.size(); ++k)
            e.add(x.re[size_t(k)], x.im[size_t(k)], back.re[size_t(k)], back.im[size_t(k)]);
        EXPECT_LE(e.relative(), 2 * errorBound(order)) << "order " << order;
    }
}

// The caller passes the same arrays as input and output: the result is the
// out-of-place result, bit for bit, for every flag combination.
TEST_P(TransformTest, ExactAliasingOfInputAndOutputIsSupported) {
    for (int order : {0, 1, 2, 3, 4, 5, 8, 10, 11, 12, 15}) {
        const Signal x = randomSignal(int64_t(1) << order, uint32_t(order + 500));
        for (int dir : directions) {
            for (int ordering : orderings) {
                const int flags = dir | ordering;
                const Signal expected = run(x, order, flags);
                Signal y = x;
                fft(y.re.data(), y.im.data(), y.re.data(), y.im.data(), order, flags);
                EXPECT_EQ(0, std::memcmp(y.re.data(), expected.re.data(), y.re.size() * 4))
                    << "order " << order << " flags " << flags;
                EXPECT_EQ(0, std::memcmp(y.im.data(), expected.im.data(), y.im.size() * 4))
                    << "order " << order << " flags " << flags;
            }
        }
    }
    EXPECT_TRUE(reports().empty());
}

// Properties that need no reference (after FFTW's self-test): linearity with
// random complex factors, impulse to constant and back, and a time shift
// becoming a phase ramp, in both directions.
// Both directions, or (for the largest orders, to bound the run time) the
// forward direction on even orders and the inverse on odd ones.
void checkProperties(const TransformTest& t, int order, bool bothDirections) {
    const int64_t n = int64_t(1) << order;
    const double bound = 3 * errorBound(order);
    std::mt19937 gen(uint32_t(order) * 31 + 7);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    const Signal x = randomSignal(n, uint32_t(order) * 3 + 1), y = randomSignal(n, uint32_t(order) * 3 + 2);
    const int propertyDirections[] = {fwd, inv | noScale};
    for (int dir : propertyDirections) {
        if (!bothDirections && (dir == fwd) != (order % 2 == 0)) continue;
        // Linearity: F(a·x + b·y) = a·F(x) + b·F(y).
        const double ar = dist(gen), ai = dist(gen), br = dist(gen), bi = dist(gen);
        Signal z(n);
        for (size_t k = 0; k < size_t(n); ++k) {
            z.re[k] = float(ar * x.re[k] - ai * x.im[k] + br * y.re[k] - bi * y.im[k]);
            z.im[k] = float(ar * x.im[k] + ai * x.re[k] + br * y.im[k] + bi * y.re[k]);
        }
        const Signal fx = t.run(x, order, dir), fy = t.run(y, order, dir), fz = t.run(z, order, dir);
        ErrorSum lin;
        for (size_t k = 0; k < size_t(n); ++k) {
            const long double er = ar * fx.re[k] - ai * fx.im[k] + br * fy.re[k] - bi * fy.im[k];
            const long double ei = ar * fx.im[k] + ai * fx.re[k] + br * fy.im[k] + bi * fy.re[k];
            lin.add(er, ei, fz.re[k], fz.im[k]);
        }
        EXPECT_LE(lin.relative(), bound) << "linearity, order " << order << " flags " << dir;

        // Time shift by one point: F(x shifted)[k] = F(x)[k]·e^(-+2πik/n).
        Signal shifted(n);
        for (size_t k = 0; k < size_t(n); ++k) {
            shifted.re[(k + 1) % size_t(n)] = x.re[k];
            shifted.im[(k + 1) % size_t(n)] = x.im[k];
        }
        const Signal fs = t.run(shifted, order, dir);
        const double sign = dir == fwd ? -1.0 : 1.0;
        ErrorSum ramp;
        for (size_t k = 0; k < size_t(n); ++k) {
            const double a = sign * 6.283185307179586 * double(k) / double(n);
            const double c = std::cos(a), s = std::sin(a);
            ramp.add(fx.re[k] * c - fx.im[k] * s, fx.re[k] * s + fx.im[k] * c, fs.re[k], fs.im[k]);
        }
        EXPECT_LE(ramp.relative(), bound) << "time shift, order " << order << " flags " << dir;
    }
    // Impulse to constant and back, exactly.
    Signal impulse(n);
    impulse.re[0] = 1.0f;
    const Signal ones = t.run(impulse, order, fwd);
    int64_t wrong = 0;
    for (size_t k = 0; k < size_t(n); ++k) wrong += ones.re[k] != 1.0f || ones.im[k] != 0.0f;
    EXPECT_EQ(wrong, 0) << "impulse to constant, order " << order;
    const Signal back = t.run(ones, order, inv);
    wrong = 0;
    for (size_t k = 0; k < size_t(n); ++k) wrong += back.re[k] != (k == 0 ? 1.0f : 0.0f) || back.im[k] != 0.0f;
    EXPECT_EQ(wrong, 0) << "constant to impulse, order " << order;
}

TEST_P(TransformTest, PropertiesHoldUpToOrder20) {
    for (int order = 1; order <= propertyOrders; ++order) checkProperties(*this, order, true);
    EXPECT_TRUE(reports().empty());
}

class TransformLargeOrdersTest : public TransformTest {};

// Orders 23 and 24 (16M points) for variant 0 and the vector variants only:
// variants 1 to 3 share the scalar combine stages of variant 0, which are all
// that grows above order 22, and the run time stays bounded.
TEST_P(TransformLargeOrdersTest, PropertiesHoldFromOrder21To24) {
    const int last = GetParam() >= 1 && GetParam() <= 3 ? 22 : 24;
    for (int order = 21; order <= last; ++order) {
        checkProperties(*this, order, false);
        engine().transform(nullptr, nullptr, nullptr, nullptr, order, 8);  // release as we go
    }
    EXPECT_TRUE(reports().empty());
}

INSTANTIATE_FOR_VARIANTS(TransformTest);
INSTANTIATE_FOR_VARIANTS(TransformLargeOrdersTest);

}  // namespace
