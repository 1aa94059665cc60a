// The engine of every variant this build carries: one transform table against a
// reference, with the paths promised to give the same bits as rows; per variant
// the tables and caches, the entry's checks and table management, the array operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "engine/variants.h"
#include "halvex_internal.h"
#include "reference.h"

namespace {

#ifndef HALVEX_TEST_REDUCED  // sanitizer builds define it as 1
#define HALVEX_TEST_REDUCED 0
#endif
constexpr int fwd = 1, inv = 2, initOnly = 4, release = 8, noScale = 16, natural = 32, inRev = 64, outRev = 128;
// The documented BlockSize (as an order) of each variant; LeafSize is in reference.h.
const int blockOrders[] = {14, 14, 14, 14, 14, 15};

// Two arrays of n floats, each `shift` floats past a 32-byte boundary (so that
// "aligned" never depends on the heap), with guard floats around them.
struct Signal {
    int64_t n;
    std::vector<float> store;
    float *re, *im;
    explicit Signal(int64_t count, int reShift = 0, int imShift = 0, float fill = 0)
        : n(count), store(size_t(2 * count + 64), fill) {
        float* base = reinterpret_cast<float*>((reinterpret_cast<uintptr_t>(store.data()) + 31) & ~uintptr_t(31));
        re = base + 8 + reShift, im = base + 24 + ((count + 7) & ~int64_t(7)) + imShift;
    }
    Signal(const Signal& x, int reShift = 0, int imShift = 0) : Signal(x.n, reShift, imShift) {
        std::memcpy(re, x.re, size_t(n) * 4), std::memcpy(im, x.im, size_t(n) * 4);
    }
    Signal(Signal&& x) noexcept : n(x.n), store(std::move(x.store)), re(x.re), im(x.im) {}
};

Signal randomSignal(int64_t n, uint32_t seed) {
    Signal x(n);
    randomPoints(x.re, x.im, n, seed);
    return x;
}

// Random bits, a quarter of them made NaNs: the copies must move raw bits, payloads included.
void randomBits(float* x, int64_t n, std::mt19937& gen) {
    for (int64_t k = 0; k < n; ++k) {
        const uint32_t bits = gen() | (gen() % 4 == 0 ? 0x7F800001u : 0u);
        std::memcpy(&x[k], &bits, 4);
    }
}

// y[k] = x[rev(k)].
Signal bitReversed(const Signal& x, int order) {
    const std::vector<int64_t> rev = reversal(order);
    Signal y(x.n);
    for (int64_t k = 0; k < x.n; ++k) y.re[k] = x.re[rev[size_t(k)]], y.im[k] = x.im[rev[size_t(k)]];
    return y;
}

// Whether both arrays hold the same bits.
bool sameBits(const Signal& a, const Signal& b) {
    return a.n == b.n && !std::memcmp(a.re, b.re, size_t(a.n) * 4) && !std::memcmp(a.im, b.im, size_t(a.n) * 4);
}

// The export once bound to e, on copies of x at offsets o (re in, im in, re out, im out; null: aligned) or in place.
Signal entryOf(const VariantEngine& e, const Signal& x, int order, int flags, const int* o = nullptr, bool inPlace = false) {
    const Signal in(x, o ? o[0] : 0, o ? o[1] : 0);
    Signal y(x.n, o ? o[2] : 0, o ? o[3] : 0, -77.0f);
    if (inPlace) std::memcpy(y.re, x.re, size_t(x.n) * 4), std::memcpy(y.im, x.im, size_t(x.n) * 4);
    e.transform(inPlace ? y.re : in.re, inPlace ? y.im : in.im, y.re, y.im, order, flags);
    return y;
}

// The entry of variant v.
Signal entry(int v, const Signal& x, int order, int flags, const int* o = nullptr, bool inPlace = false) {
    return entryOf(*variantEngines[v], x, order, flags, o, inPlace);
}

// Whether variant v's body in widthEngines[v][w] is built and runs on this processor and system.
bool runsWidth(int v, int w) {
    static ProcessorInfo info{};
    static const int32_t widest = (probeProcessor(&info), vectorWidthFor(info, 5));
    return widthEngines[v][w] && vectorWidths[w] <= widest;
}

// Whether this processor executes variant v's instructions.
bool processorRuns(int v) {
    static ProcessorInfo info{};
    static const int32_t probed = probeProcessor(&info);
    return probed && processorRunsVariant(info, v);
}

// The variants under test: those this build carries and this processor runs, or the digits of
// HALVEX_TEST_VARIANTS (runs under an emulated processor name those it must run). A named one the
// processor cannot run is never called (it would stop the program): the test below fails instead.
const char* const namedVariants = std::getenv("HALVEX_TEST_VARIANTS");
std::vector<int> testedVariants() {
    std::vector<int> v;
    for (int i = 0; i < variantCount; ++i)
        if (variantEngines[i] && (namedVariants ? std::strchr(namedVariants, '0' + i) != nullptr : processorRuns(i)))
            v.push_back(i);
    return v;
}

// The highest order of the transform table: 20, or HALVEX_TEST_LAST_ORDER (emulated runs).
int lastOrder() {
    const char* last = std::getenv("HALVEX_TEST_LAST_ORDER");
    return last ? std::atoi(last) : 20;
}

// Whether the calling thread's four table caches are empty.
bool cachesEmpty() {
    const ThreadContext& c = *getThreadContext();
    for (int m = 0; m < orderSlots; ++m)
        if (c.leafTables[m] || c.largeTables[m] || c.splitRadixTables[m] || c.bitRevTables[m]) return false;
    return true;
}

// Reports seen since the last clear, as "status function: context [file line]".
std::vector<std::string> reports;
int32_t recordReport(int32_t status, const char* func, const char* context, const char* file, int32_t line) {
    reports.push_back(std::to_string(status) + " " + func + ": " + context + " [" + file + " " + std::to_string(line) + "]");
    return status;
}

// Every test: a returning, recording handler, empty caches, no report left unexpected at the end.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { setErrorMode(1), setErrorHandler(recordReport), reports.clear(), releaseAllTables(); }
    void TearDown() override {
        clearAlignedAllocFailure(), releaseAllTables(), releaseWorkBuffer(vectorWorkSlot);
        setErrorHandler(nullptr), setErrorMode(0);
        EXPECT_EQ(reports, std::vector<std::string>());
    }
};

// The core's combine stages over one region as plain radix-2 DIT in single precision (inside blocks: the blockSubtable).
void scalarStages(float* re, float* im, int64_t R, int64_t span, const float* table, int64_t n, int64_t B, int sign) {
    const bool sub = n > B && span < B;
    const float* w = sub ? table + 2 * (n / 4) : table;
    for (int64_t s = span; s <= R / 2; s *= 2)
        for (int64_t g = 0; g < R; g += 2 * s)
            for (int64_t k = 0; k < s; ++k) {
                const bool rot = k >= s / 2;  // w^(k+s/2) = -i·w^k (forward)
                const int64_t j = (rot ? k - s / 2 : k) * ((sub ? B : n) / (2 * s));
                const float wr = w[2 * j], wi = float(sign) * w[2 * j + 1], br = re[g + s + k], bi = im[g + s + k];
                float tr = br * wr - bi * wi, ti = br * wi + bi * wr;
                if (rot) std::swap(tr, ti), tr *= float(sign), ti *= float(-sign);
                const float ar = re[g + k], ai = im[g + k];
                re[g + k] = ar + tr, im[g + k] = ai + ti, re[g + s + k] = ar - tr, im[g + s + k] = ai - ti;
            }
}

// The variant whose entry gives the same bits, or -1: variants 1, 2 and 3 are one design; 4 and 5
// agree up to order 10 (one leaf of the same stages); where this build's scalar arithmetic is single
// precision, variant 4 (its leaves of order 10, its combine stages) does variant 1's arithmetic.
int twin(int v, int order, int flags) {
    if (v == 2 || v == 3) return 1;
    if (v == 5 && order <= 10) return 4;
    return v == 4 && FLT_EVAL_METHOD == 0 && (order % 2 == 0 || order > 10) && !(flags & outRev) ? 1 : -1;
}

// A vector variant, forward or inverse unscaled on natural-order input.
bool vectorFlags(int v, int, int flags) {
    return variantEngines[v]->params->vectorLeaf && (flags == fwd || flags == (inv | noScale));
}
bool noOrdering(int, int, int flags) { return (flags & (natural | inRev | outRev)) == 0; }

// Offsets in floats from 16-byte boundaries of (re in, im in, re out, im out); the cases take them in turn.
const int offsets[][4] = {{0, 0, 1, 1}, {0, 0, 2, 2}, {1, 2, 0, 0}, {2, 1, 1, 2}, {3, 3, 3, 3}, {0, 0, 0, 2}, {0, 0, 1, 0}};

// A vector variant's body in widthEngines[v][w] on aligned arrays, misaligned ones or in place, by turns.
template <int w> bool runsWide(int v, int, int) { return runsWidth(v, w); }
template <int w> Signal wideEntry(int v, const Signal& x, int order, int flags) {
    const int turn = (order + flags) % 3;
    return entryOf(*widthEngines[v][w], x, order, flags, turn == 1 ? offsets[(order + flags) % 7] : nullptr, turn == 2);
}

// Another path to the entry's result (aligned, distinct arrays) where it applies, and whether the
// library promises the same bits (or, once, other bits). Another body of a variant is one more row.
const struct BitsRow {
    const char* name;
    bool same;
    bool (*applies)(int v, int order, int flags);
    Signal (*run)(int v, const Signal& in, int order, int flags);
} bitsRows[] = {
    {"the same arrays as input and output", true, [](int, int, int) { return true; },
     [](int v, const Signal& in, int order, int flags) { return entry(v, in, order, flags, nullptr, true); }},
    {"arrays 4, 8 or 12 bytes past a 16-byte boundary", true,
     [](int v, int order, int) { return variantEngines[v]->params->vectorLeaf && order >= 2; },
     [](int v, const Signal& in, int order, int flags) { return entry(v, in, order, flags, offsets[(order + flags) % 7]); }},
    {"flag 32 (natural order)", true, noOrdering,
     [](int v, const Signal& in, int order, int flags) { return entry(v, in, order, flags | natural); }},
    {"flag 64 on bit-reversed input", true, noOrdering,
     [](int v, const Signal& in, int order, int flags) { return entry(v, bitReversed(in, order), order, flags | inRev); }},
    {"the bit-reversing copy, then ditTransform (the vector variants fold them into one pass)", true, vectorFlags,
     [](int v, const Signal& in, int order, int flags) {
         const VariantEngine& e = *variantEngines[v];
         Signal y(in.n);
         e.bitRevCopy(in.re, y.re, in.n, e.getBitRevTable(order)), e.bitRevCopy(in.im, y.im, in.n, e.getBitRevTable(order));
         e.ditTransform(y.re, y.im, in.n, flags & fwd ? 1 : -1, e.getLeafTable(order));
         return y;
     }},
    {"the vector leaves, then scalar single-precision stages", true,
     [](int v, int order, int flags) {
         return FLT_EVAL_METHOD == 0 && vectorFlags(v, order, flags) && order > leafOrders[v] && order <= 21;
     },
     [](int v, const Signal& in, int order, int flags) {
         const VariantEngine& e = *variantEngines[v];
         const int64_t n = in.n, leaf = int64_t(1) << leafOrders[v], block = int64_t(1) << blockOrders[v];
         const int sign = flags & fwd ? 1 : -1;
         const float* table = e.getLeafTable(order);
         Signal y = bitReversed(in, order);
         for (int64_t l = 0; l < n; l += leaf) e.ditTransform(y.re + l, y.im + l, leaf, sign, e.getLeafTable(leafOrders[v]));
         for (int64_t b0 = 0; b0 < n; b0 += block)
             scalarStages(y.re + b0, y.im + b0, std::min(n, block), leaf, table, n, block, sign);
         if (n > block) scalarStages(y.re, y.im, n, block, table, n, block, sign);
         return y;
     }},
    {"the 256-bit body (aligned, misaligned or in place by turns)", true, runsWide<1>, wideEntry<1>},
    {"the 512-bit body (aligned, misaligned or in place by turns)", true, runsWide<2>, wideEntry<2>},
    {"the twin variant's entry", true, [](int v, int order, int flags) { return twin(v, order, flags) >= 0; },
     [](int v, const Signal& in, int order, int flags) { return entry(twin(v, order, flags), in, order, flags); }},
    {"variant 1 (variant 0 differs: radix-2 stage last, DIF eighth root 0x3F3504F7)", false,
     [](int v, int order, int flags) { return v == 0 && order % 2 && order >= 5 && order <= 9 && flags % 4 == fwd; },
     [](int, const Signal& in, int order, int flags) { return entry(1, in, order, flags); }},
};

// Orders first..last, one random signal each, every variant, and the twelve flag sets (directions
// by orderings) where `runs` says; variants 1 to 3, which grow nothing above order 22 that variant 0
// lacks, stop there.
void checkTransforms(int first, int last, bool (*runs)(int order, int set)) {
    for (int order = first; order <= last; ++order) {
        const Signal x = randomSignal(int64_t(1) << order, uint32_t(order + 1)), xRev = bitReversed(x, order);
        const std::vector<int64_t> rev = reversal(order);
        Spectrum X[2];
        for (int v : testedVariants()) {
            if (!processorRuns(v)) continue;
            int set = 0;
            for (int dir : {fwd, inv, inv | noScale})
                for (int flags : {dir, dir | natural, dir | inRev, dir | outRev}) {
                    if (!runs(order, set++) || (order > 22 && v >= 1 && v <= 3)) continue;
                    Spectrum& ref = X[dir == fwd ? 0 : 1];
                    if (ref.empty()) ref = reference(x.re, x.im, order, dir == fwd ? 1 : -1);
                    const Signal& in = flags & inRev ? xRev : x;
                    const Signal y = entry(v, in, order, flags);
                    const double scale = dir == inv ? 1.0 / double(x.n) : 1.0;
                    EXPECT_LE(relativeError(y.re, y.im, ref, scale, flags & outRev ? &rev : nullptr), errorBound(v, order, flags))
                        << "variant " << v << " order " << order << " flags " << flags;
                    for (const BitsRow& row : bitsRows) {
                        if (!row.applies(v, order, flags)) continue;
                        EXPECT_EQ(sameBits(y, row.run(v, in, order, flags)), row.same)
                            << row.name << ": variant " << v << " order " << order << " flags " << flags;
                    }
                }
        }
        releaseAllTables();
    }
}

TEST_F(EngineTest, TransformsMatchTheReferenceAndAgreeBitForBitUpToOrder20) {
    checkTransforms(0, lastOrder(), [](int order, int set) { return !HALVEX_TEST_REDUCED || order <= 15 || set % 3 == order % 3; });
}

// A variant left out is said, as a skip; a named one the processor cannot run fails.
TEST_F(EngineTest, ProcessorRunsTheVariantsUnderTest) {
    std::string left;
    for (int v = 0; v < variantCount; ++v) {
        if (!variantEngines[v] || processorRuns(v)) continue;
        EXPECT_EQ(namedVariants && std::strchr(namedVariants, '0' + v), false) << "variant " << v << " named, not run";
        left += " " + std::to_string(v);
    }
    if (!left.empty()) GTEST_SKIP() << "variants" << left << " not run: this processor lacks their SSE or SSE2";
}

// Orders 21 to 24, one flag set each: forward, or inverse with bit-reversed output.
TEST_F(EngineTest, LargeOrdersMatchTheReference) {
    checkTransforms(21, 24, [](int order, int set) { return set == (order % 2 ? 7 : 0); });
}

// The wider bodies' rows above pin finite data. Where two NaNs meet, a wider body may keep the other
// one's payload, but it never makes another word NaN: on signals with NaNs (random payloads) or
// infinities, each word is NaN at both widths or at neither, and every other word has the 128-bit
// body's bits. A width this processor or its system does not run is skipped, as are its table rows.
class WidthTest : public EngineTest, public ::testing::WithParamInterface<int> {};

TEST_P(WidthTest, NaNsAndInfinitiesLandInTheSameWords) {
    const int w = GetParam();
    if (!runsWidth(5, w)) GTEST_SKIP() << "this processor or its system does not run the " << vectorWidths[w] << "-bit bodies";
    std::mt19937 gen(29);
    for (int v : {4, 5})
        for (int order = 1; order <= 18; ++order) {
            const int64_t n = int64_t(1) << order;
            Signal x = randomSignal(n, uint32_t(order));
            const uint32_t specials[] = {0x7F800001u | uint32_t(gen() & 0x803FFFFFu), 0x7F800000u, 0xFF800000u};
            for (int k = order % 3 == 1; k < (order % 3 == 2 ? 1 : 3); ++k)  // NaN and infinities, infinities, a NaN
                std::memcpy((gen() % 2 ? x.re : x.im) + gen() % n, &specials[k], 4);
            const int flags = (order % 3 == 0 ? fwd : order % 3 == 1 ? inv : inv | noScale) | (natural << (order % 4)) % 256;
            const Signal a = entry(v, x, order, flags), b = entryOf(*widthEngines[v][w], x, order, flags);
            int64_t special = 0, wrong = 0;
            for (int64_t k = 0; k < 2 * n; ++k) {
                const float p = k < n ? a.re[k] : a.im[k - n], q = k < n ? b.re[k] : b.im[k - n];
                special += !std::isfinite(p);
                wrong += std::isnan(p) != std::isnan(q) || (!std::isnan(p) && std::memcmp(&p, &q, 4) != 0);
            }
            EXPECT_TRUE(wrong == 0 && special > 0) << "variant " << v << " order " << order << ": " << wrong << " words differ";
        }
}

// (Only x86-64 builds have the wider bodies.)
#if defined(__x86_64__) || defined(_M_X64)
INSTANTIATE_TEST_SUITE_P(Widths, WidthTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& p) { return "w" + std::to_string(vectorWidths[p.param]); });
#else
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(WidthTest);
#endif

// One variant, which claims the caches.
class VariantTest : public EngineTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        EngineTest::SetUp(), claimTableCaches(GetParam());
        if (!processorRuns(GetParam())) GTEST_SKIP() << "this processor lacks the variant's SSE or SSE2";
    }
    const VariantEngine& engine() const { return *variantEngines[GetParam()]; }
    // The variant's body, and its wider bodies that run here.
    std::vector<const VariantEngine*> bodies() const {
        std::vector<const VariantEngine*> b = {&engine()};
        for (int w = 1; w < vectorWidthCount; ++w) if (runsWidth(GetParam(), w)) b.push_back(widthEngines[GetParam()][w]);
        return b;
    }
    const VariantParams& params() const { return *engine().params; }
    void fft(const float* ri, const float* ii, float* ro, float* io, int32_t order, int32_t flags) const {
        engine().transform(ri, ii, ro, io, order, flags);
    }
};

// The stored twiddle w_N^k = (cos θ, -sin θ), θ = 2πk/N: each part within half an ulp (and
// a hair, for the double evaluation) of its exact value.
bool twiddle(const float* w, int64_t N, int64_t k) {
    const long double a = 6.283185307179586476925286766559L * (long double)k / (long double)N;
    for (const long double exact : {std::cos(a), -std::sin(a)}) {
        const float value = *w++;
        if (std::fabs(exact) < 1e-15L ? value != 0
                                      : std::fabs(value - exact) > std::ldexp(0.500001L, std::ilogb(exact) - 23))
            return false;
    }
    return true;
}

// The LargeTable of the first order above BlockSize: n/4 twiddles of w_n, then the blockSubtable,
// the BlockSize/4 of w_BlockSize, the same values as every second one of the first part.
TEST_P(VariantTest, BlockSubtable) {
    const int order = blockOrders[GetParam()] + 1;
    const int64_t n = int64_t(1) << order;
    const float* t = engine().getLargeTable(order);
    int64_t bad = 0;
    for (int64_t k = 0; k < n / 4; ++k)  // w_n^2i = w_(n/2)^i: the subtable's i-th twiddle
        bad += !twiddle(t + 2 * k, n, k) || (k % 2 == 0 && std::memcmp(t + n / 2 + k, t + 2 * k, 8));
    EXPECT_EQ(bad, 0);
}

// The leaf tables of every order from 2 up to the leaf order hold the twiddles of their layouts: a
// RadixFourTable's entry j (0..n/4) w_n^j, w_n^2j, w_n^3j; a VectorTable's sections (N = 2^(4 + m%2),
// then 4N, ... up to n) the same three of w_N for j below N/4, four j at a time as six vectors; a
// SplitRadixTable's entry c-1 (c = 1..n/4-1) w_n^c and w_n^3c.
TEST_P(VariantTest, LeafTablesHoldTheirTwiddles) {
    for (int order = 2; order <= params().leafOrder; ++order) {
        const int64_t n = int64_t(1) << order, q = n / 4;
        const float* t = engine().getLeafTable(order);
        int64_t bad = 0;
        for (int64_t j = 0; !params().vectorLeaf && j <= q; ++j)
            for (int e = 0; e < 3; ++e) bad += !twiddle(t + 6 * j + 2 * e, n, (e + 1) * j);
        for (int L = 4 + order % 2; params().vectorLeaf && L <= order; t += 6 * (int64_t(1) << L) / 4, L += 2)
            for (int64_t j = 0; j < (int64_t(1) << L) / 4; ++j)
                for (int e = 0; e < 3; ++e) {
                    const float* group = t + 24 * (j / 4) + j % 4;
                    const float w[2] = {group[8 * e], group[8 * e + 4]};
                    bad += !twiddle(w, int64_t(1) << L, (e + 1) * j);
                }
        const float* s = engine().getSplitRadixTable ? engine().getSplitRadixTable(order) : nullptr;
        for (int64_t c = 1; s && c < q; ++c) bad += !twiddle(s + 4 * (c - 1), n, c) || !twiddle(s + 4 * c - 2, n, 3 * c);
        EXPECT_EQ(bad, 0) << "order " << order;
    }
}

// At every order both permutations (the copy to an aligned and a misaligned destination) move raw
// bits, NaNs included, from k to rev(k) and write nothing else.
TEST_P(VariantTest, BitReversal) {
    std::mt19937 gen(17);
    // 21: the vector copy reads in source order
    for (int order = 0; order <= std::min(lastOrder() + 1, HALVEX_TEST_REDUCED ? 19 : 21); order += order == 19 ? 2 : 1) {
        const int64_t n = int64_t(1) << order;
        Signal src(n), dst(n, 0, 1);
        randomBits(src.re, n, gen), std::memcpy(src.im, src.re, size_t(n) * 4);
        const int32_t* t = engine().getBitRevTable(order);
        engine().bitRevCopy(src.re, dst.re, n, t), engine().bitRevCopy(src.re, dst.im, n, t);
        engine().bitRevPermute(src.im, n, t);
        const std::vector<int64_t> rev = reversal(order);
        int64_t wrong = 0;
        for (int64_t k = 0; k < n; ++k)
            for (const float* to : {dst.re, dst.im, src.im}) wrong += std::memcmp(&to[rev[size_t(k)]], &src.re[k], 4) != 0;
        for (const VariantEngine* e : bodies()) {  // the wider bodies' copies, against the one checked
            Signal wide(n, 0, 1);
            e->bitRevCopy(src.re, wide.im, n, t);
            wrong += std::memcmp(wide.im, dst.re, size_t(n) * 4) != 0 || wide.im[-1] != 0 || wide.im[n] != 0;
        }
        wrong += dst.re[-1] != 0 || dst.re[n] != 0 || dst.im[-1] != 0 || dst.im[n] != 0;
        EXPECT_EQ(wrong, 0) << "order " << order;
        releaseAllTables();
    }
}

// The entry's checks in their order: each call fails the check named and any later one it could, so
// only the first failure may be reported, and nothing is written. Tables that cannot be built are
// reported before the pointers (their caches emptied), and so, in the vector variants, is a refused
// work buffer (no retry: the tables stay).
TEST_P(VariantTest, EntryChecksComeInOrder) {
    enum { none, noBuffer, noMemory };
    const Signal x = randomSignal(4096, 1);
    Signal y(4096, 0, 0, -123.5f);
    const std::string tables = "-4 kfxcrFftNip: No working Twd memory [kfxffts 840]";
    auto bad = [](const char* check) { return "-5 kfxcrFftNip: " + std::string(check); };
    const struct {
        int order, given, flags, failing;  // given: bit 0 reIn, 1 imIn, 2 reOut, 3 imOut
        std::string report;
    } calls[] = {
        {-1, 0, 3 | 64 | 128, none, bad("order<0 [kfxffts 840]")}, {32, 0, 0, none, bad("order>31 [kfxffts 840]")},
        {12, 12, 3, none, bad("reInSamps==0 [kfxffts 843]")}, {12, 9, 0, none, bad("imInSamps==0 [kfxffts 843]")},
        {12, 3, 3, none, bad("reOutSamps==0 [kfxffts 843]")}, {12, 7, 64 | 128, none, bad("imOutSamps==0 [kfxffts 843]")},
        {12, 15, 3 | 64 | 128, none, bad("(flags & 1) && (flags & 2) [kfxffts 846]")},
        {12, 15, 64 | 128 | 32, none, bad("(flags & 1)==0 && (flags & 2)==0 [kfxffts 846]")},
        {12, 15, 16, none, bad("(flags & 1)==0 && (flags & 2)==0 [kfxffts 846]")},
        {12, 15, 1 | 32 | 64 | 128, none, bad("(flags & 64) && (flags & 128) [kfxffts 847]")},
        {12, 15, 2 | 32 | 64, none, bad("(flags & 64) && (flags & 32) [kfxffts 847]")},
        {12, 15, 1 | 32 | 128, none, bad("(flags & 32) && (flags & 128) [kfxffts 847]")},
        {12, 12, fwd, noBuffer, params().vectorLeaf ? tables : bad("reInSamps==0 [kfxffts 843]")},
        {12, 12, 3, noMemory, tables}, {12, 15, fwd, noMemory, tables},
    };
    for (const auto& c : calls) {
        if (c.failing == noMemory) releaseAllTables();
        if (c.failing != none) releaseWorkBuffer(vectorWorkSlot), setAlignedAllocFailure(0, -1);
        fft(c.given & 1 ? x.re : nullptr, c.given & 2 ? x.im : nullptr, c.given & 4 ? y.re : nullptr,
            c.given & 8 ? y.im : nullptr, c.order, c.flags);
        clearAlignedAllocFailure();
        SCOPED_TRACE(c.report);
        EXPECT_EQ(reports, std::vector<std::string>{c.report});
        EXPECT_EQ(getThreadContext()->status, std::stoi(c.report));
        EXPECT_EQ(std::count(y.re, y.re + 4096, -123.5f) + std::count(y.im, y.im + 4096, -123.5f), 8192);
        EXPECT_TRUE(c.failing == noMemory ? cachesEmpty() : c.failing == none || getThreadContext()->bitRevTables[12]);
        reports.clear();
    }
}

// Flag 4 builds the tables the flags need (the vector variants also reserve 16384 elements of
// work-buffer slot 3, replacing a smaller buffer) without looking at the arrays; the transforms that
// follow allocate nothing and agree. Flag 8 overrides every check and frees the order's tables and
// the buffer (in variants 0 to 3, with flag 128 the split-radix ones). Order 0 copies the point.
// The getters give no table for the orders the entry refuses, and leave the caches empty.
TEST_P(VariantTest, Flags4And8ManageTheTables) {
    const Signal x = randomSignal(4096, 2);
    const int64_t live = alignedAllocLiveBlocks();
    for (int bad : {-1, 32, 12}) fft(nullptr, nullptr, nullptr, nullptr, bad, release | initOnly | 3 | 32 | 64 | 128);
    for (int bad : {-1, 32}) {
        EXPECT_TRUE(!engine().getLeafTable(bad) && !engine().getLargeTable(bad) && !engine().getBitRevTable(bad));
        EXPECT_TRUE((!engine().getSplitRadixTable || !engine().getSplitRadixTable(bad)) && cachesEmpty()) << bad;
    }
    for (int flags : {fwd, inv | outRev, fwd | inRev, inv | noScale}) {
        ASSERT_NE(getWorkBuffer(100, vectorWorkSlot), nullptr);
        fft(nullptr, nullptr, nullptr, nullptr, 12, initOnly | 3 | (flags & (inRev | outRev)));
        EXPECT_EQ(getThreadContext()->workBufferCapacity[vectorWorkSlot], params().vectorLeaf ? 16384 : 100);
        setAlignedAllocFailure(0, -1);
        const Signal y = entry(GetParam(), x, 12, flags), z = entry(GetParam(), x, 12, flags);
        clearAlignedAllocFailure();
        EXPECT_TRUE(sameBits(y, z) && std::count(y.re, y.re + 4096, -77.0f) == 0) << flags;
        fft(nullptr, nullptr, nullptr, nullptr, 12, release);
        if (engine().getSplitRadixTable && (flags & outRev)) {
            EXPECT_NE(getThreadContext()->splitRadixTables[params().leafOrder], nullptr);
            fft(nullptr, nullptr, nullptr, nullptr, 12, release | outRev);
        }
        EXPECT_TRUE(cachesEmpty() && alignedAllocLiveBlocks() == live) << flags;
    }
    Signal point(1, 0, 0, -0.0f);
    const uint32_t nan = 0x7FA00001u;  // a signalling NaN with a payload
    std::memcpy(point.re, &nan, 4);
    for (int flags : {fwd, inv, inv | noScale, fwd | inRev, inv | outRev, fwd | natural})
        EXPECT_TRUE(sameBits(entry(GetParam(), point, 0, flags), point)) << flags;
}

// A failed build releases every table of the thread and tries once more, whichever of its
// allocations failed (the leaf order's table and sine table, the order's above it, the
// bit-reversal table); the transform then succeeds unchanged.
TEST_P(VariantTest, AFailedBuildReleasesAllTablesAndRetriesOnce) {
    const Signal x = randomSignal(4096, 3), expected = entry(GetParam(), x, 12, fwd);
    const int allocations = 12 > params().leafOrder ? 5 : 3;
    for (int failAfter = 0; failAfter <= allocations; ++failAfter) {
        releaseAllTables();
        const int64_t live = alignedAllocLiveBlocks();
        ASSERT_NE(engine().getBitRevTable(5), nullptr);
        setAlignedAllocFailure(failAfter, 1);
        const Signal y = entry(GetParam(), x, 12, fwd);
        clearAlignedAllocFailure();
        EXPECT_TRUE(sameBits(y, expected)) << failAfter;
        EXPECT_EQ(getThreadContext()->bitRevTables[5] == nullptr, failAfter < allocations) << failAfter;
        releaseAllTables();
        EXPECT_EQ(alignedAllocLiveBlocks(), live) << failAfter;
    }
}

// A copy, and a copy then scaled by 0.375 (the copy-and-scale row): every variant's products are
// those of the scalar variant 0, bit for bit, each rounded once; on x87 too, where the product of
// two floats is exact in the extended format and the store rounds it once.
const struct ArrayRow {
    const char* name;
    bool scaled;
} arrayRows[] = {{"kfxsbCopy moves bits unchanged", false}, {"kfxsbMpy1 gives the bits of variant 0's products", true}};

// The array operations report bad arguments with their own names and lines (by variant); on random
// bits (NaNs and infinities too), at every offset of source and destination and lengths around the
// vector copy's streaming threshold, they do what the rows say and write nothing else.
TEST_P(VariantTest, ArrayOperations) {
    const int lines[][2] = {{241, 419}, {1221, 2059}, {1235, 2059}, {1221, 2059}, {1221, 1825}, {1221, 1825}};
    const std::string copy = " [kfxarith " + std::to_string(lines[GetParam()][0]) + "]",
                      mpy = " [kfxarith " + std::to_string(lines[GetParam()][1]) + "]";
    float one = 1;
    engine().kfxsbCopy(nullptr, nullptr, 0), engine().kfxsbCopy(nullptr, nullptr, 3), engine().kfxsbCopy(&one, nullptr, 3);
    engine().kfxsbMpy1(2, nullptr, -1), engine().kfxsbMpy1(2, nullptr, 3);
    EXPECT_EQ(reports, (std::vector<std::string>{"-5 kfxsbCopy: n<=0" + copy, "-5 kfxsbCopy: src==0" + copy,
                                                 "-5 kfxsbCopy: dst==0" + copy, "-5 kfxsbMpy1: n<=0" + mpy,
                                                 "-5 kfxsbMpy1: dst==0" + mpy}));
    reports.clear();
    std::mt19937 gen(5);
    for (const ArrayRow& row : arrayRows) {
        int64_t wrong = 0;
        for (int64_t n : {1, 3, 4, 5, 17, 2047, 2048, 2049, 2052, 2055, 5000})
            for (int s = 0; s < 16; ++s) {
                Signal src(n, s / 4), dst(n, s % 4);
                randomBits(src.re, n, gen);
                Signal want(src);
                if (row.scaled) variantEngines[0]->kfxsbMpy1(0.375f, want.re, n);
                for (const VariantEngine* e : bodies()) {
                    std::fill(dst.re - 1, dst.re + n + 1, 0.0f);
                    e->kfxsbCopy(src.re, dst.re, n);
                    if (row.scaled) e->kfxsbMpy1(0.375f, dst.re, n);
                    wrong += std::memcmp(dst.re, want.re, size_t(n) * 4) || dst.re[-1] != 0 || dst.re[n] != 0;
                }
            }
        EXPECT_EQ(wrong, 0) << row.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, VariantTest, ::testing::ValuesIn(testedVariants()),
                         [](const ::testing::TestParamInfo<int>& p) { return "v" + std::to_string(p.param); });

}  // namespace
