// The six variants side by side: agreement with each other and with the
// reference, bit-reversed output, the vector variants on misaligned arrays,
// variant 5's leaf and block sizes and its wider bodies, the identical copies
// of one design, and the vector copy and scale.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <random>

#include "support.h"

namespace {

constexpr int fwd = 1, inv = 2, noScale = 16, inRev = 64, outRev = 128;

#ifdef HALVEX_TEST_REDUCED
constexpr int agreementOrders = 15;
#else
constexpr int agreementOrders = 20;
#endif

double bound(int order) { return std::sqrt(double(std::max(order, 1))) * FLT_EPSILON; }

int& failures() {
    static thread_local int count = 0;
    return count;
}

int32_t countingHandler(int32_t status, const char*, const char*, const char*, int32_t) {
    ++failures();
    return status;
}

// Every test: a returning handler that counts reports (none may come), and
// every table and the work buffer released afterwards.
class VariantsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setErrorMode(1);
        setErrorHandler(countingHandler);
        failures() = 0;
    }
    void TearDown() override {
        releaseAllTables();
        releaseWorkBuffer(vectorWorkSlot);
        setErrorHandler(nullptr);
        setErrorMode(0);
        EXPECT_EQ(failures(), 0);
    }
};

Signal run(int variant, const Signal& x, int order, int flags) {
    Signal y(x.size(), -77.0f);
    variantEngines[variant]->transform(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, flags);
    return y;
}

double relativeDifference(const Signal& ref, const Signal& y) {
    ErrorSum e;
    for (size_t k = 0; k < ref.re.size(); ++k) e.add(ref.re[k], ref.im[k], y.re[k], y.im[k]);
    return e.relative();
}

bool sameBits(const Signal& a, const Signal& b) {
    return a.re.size() == b.re.size() && std::memcmp(a.re.data(), b.re.data(), a.re.size() * 4) == 0 &&
           std::memcmp(a.im.data(), b.im.data(), a.im.size() * 4) == 0;
}

// Every variant against variant 0 over all points, and every variant's
// sampled bins against the exact DFT, in both directions.
void checkAgreement(int order, int bins) {
    const int64_t n = int64_t(1) << order;
    const Signal x = randomSignal(n, uint32_t(order) * 13 + 5);
    const ReferenceDft ref(order);
    std::mt19937_64 gen(static_cast<uint64_t>(order));
    std::uniform_int_distribution<int64_t> pick(0, n - 1);
    std::vector<int64_t> ks = {0, n - 1};
    if (n <= bins) {
        ks.clear();
        for (int64_t k = 0; k < n; ++k) ks.push_back(k);
    }
    while (int(ks.size()) < bins) ks.push_back(pick(gen));
    for (int dir : {fwd, inv | noScale}) {
        const int sign = dir == fwd ? 1 : -1;
        std::vector<long double> rr(ks.size()), ri(ks.size());
        for (size_t b = 0; b < ks.size(); ++b) ref.bin(x, ks[b], sign, rr[b], ri[b]);
        const Signal y0 = run(0, x, order, dir);
        for (int v = 0; v < variantCount; ++v) {
            const Signal y = v == 0 ? y0 : run(v, x, order, dir);
            EXPECT_LE(relativeDifference(y0, y), 2 * bound(order))
                << "variant " << v << " against variant 0, order " << order << " flags " << dir;
            ErrorSum e;
            for (size_t b = 0; b < ks.size(); ++b) e.add(rr[b], ri[b], y.re[size_t(ks[b])], y.im[size_t(ks[b])]);
            EXPECT_LE(e.relative(), bound(order))
                << "variant " << v << " against the reference, order " << order << " flags " << dir;
        }
    }
    releaseAllTables();
}

TEST_F(VariantsTest, AllSixAreBuiltAndDiffer) {
    for (int v = 0; v < variantCount; ++v) {
        ASSERT_NE(variantEngines[v], nullptr) << v;
        EXPECT_EQ(variantEngines[v]->params->variant, v);
        EXPECT_EQ(variantEntries[v], variantEngines[v]->transform) << v;
        EXPECT_EQ(variantEngines[v]->difTransform != nullptr, v < 4) << v;
    }
}

TEST_F(VariantsTest, AgreeWithEachOtherAndTheReferenceUpToOrder20) {
    for (int order = 0; order <= agreementOrders; ++order) checkAgreement(order, order <= 6 ? 64 : 24);
}

TEST_F(VariantsTest, LargeOrdersAgreeFrom21To22) {
    for (int order = 21; order <= 22; ++order) checkAgreement(order, 8);
}

// Bit-reversed output from natural input (DIF in variants 0 to 3, DIT and the
// permutation in 4 and 5) is the natural result permuted, within rounding;
// from bit-reversed input the natural result itself.
TEST_F(VariantsTest, BitReversedOutputIsThePermutedNaturalResult) {
    for (int v = 0; v < variantCount; ++v) {
        for (int order : {1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 14, 15, 16}) {
            const Signal x = randomSignal(int64_t(1) << order, uint32_t(order + 40));
            for (int dir : {fwd, inv}) {
                const Signal natural = run(v, x, order, dir);
                const Signal permuted = bitReversed(natural, order);
                const Signal y = run(v, x, order, dir | outRev);
                EXPECT_LE(relativeDifference(permuted, y), 2 * bound(order))
                    << "variant " << v << " order " << order << " flags " << dir;
                const Signal z = run(v, bitReversed(x, order), order, dir | inRev);
                EXPECT_TRUE(sameBits(natural, z)) << "variant " << v << " order " << order;
            }
        }
        releaseAllTables();
    }
}

// A copy of x at an offset of `shift` floats (0 to 15) from a 64-byte
// boundary, with zeros at least one float wide on either side.
struct Shifted {
    std::vector<float> store;
    float* p;
    Shifted(const std::vector<float>& x, int shift) : store(x.size() + 48, 0.0f) {
        const uintptr_t at = reinterpret_cast<uintptr_t>(store.data());
        p = reinterpret_cast<float*>((at + 63) & ~uintptr_t(63)) + 16 + shift;
        std::memcpy(p, x.data(), x.size() * 4);
    }
};

// The vector variants stage misaligned leaves through the work buffer; the
// results are those of aligned arrays bit for bit, for every combination of
// offsets of the input and output arrays. 2^17 and 2^19 points: variant 5's
// whole-array stages by quads, in place and through its buffer.
TEST_F(VariantsTest, VectorVariantsGiveTheSameBitsOnMisalignedArrays) {
    struct Offsets {
        int reIn, imIn, reOut, imOut;
    };
    const Offsets offsets[] = {{0, 0, 1, 1}, {0, 0, 2, 2}, {1, 2, 0, 0}, {2, 1, 1, 2},
                               {3, 3, 3, 3}, {0, 0, 0, 2}, {0, 0, 1, 0}};
#ifdef HALVEX_TEST_REDUCED
    const int orders[] = {2, 3, 4, 5, 6, 8, 10, 11, 13, 14, 15, 16, 17};
#else
    const int orders[] = {2, 3, 4, 5, 6, 8, 10, 11, 13, 14, 15, 16, 17, 19};
#endif
    for (int v : {4, 5}) {
        for (int order : orders) {
            const int64_t n = int64_t(1) << order;
            const Signal x = randomSignal(n, uint32_t(order + 70));
            for (int flags : {fwd, inv, fwd | outRev, inv | noScale | inRev}) {
                const Signal expected = run(v, x, order, flags);  // vectors: 16-byte aligned
                ASSERT_EQ(reinterpret_cast<uintptr_t>(expected.re.data()) % 16, 0u);
                for (const Offsets& o : offsets) {
                    Shifted ri(x.re, o.reIn), ii(x.im, o.imIn);
                    Shifted ro(std::vector<float>(size_t(n)), o.reOut), io(std::vector<float>(size_t(n)), o.imOut);
                    variantEngines[v]->transform(ri.p, ii.p, ro.p, io.p, order, flags);
                    EXPECT_EQ(0, std::memcmp(ro.p, expected.re.data(), size_t(n) * 4))
                        << "variant " << v << " order " << order << " flags " << flags << " offsets " << o.reOut;
                    EXPECT_EQ(0, std::memcmp(io.p, expected.im.data(), size_t(n) * 4))
                        << "variant " << v << " order " << order << " flags " << flags << " offsets " << o.imOut;
                }
            }
        }
        releaseAllTables();
    }
}

// The vector variants fold the bit-reversing copy into the leaves' first pass
// when input and output are distinct arrays (a single leaf, or the leaves of
// a blocked transform): the bits are those of the copy followed by
// ditTransform, in both directions, on aligned and misaligned output, and
// for a caller transforming in place. Variant 5 also at 2^20 points, the
// largest blocked transform that folds the copy, where its tiles go in
// batches over the widest span of middle bits.
TEST_F(VariantsTest, VectorLeafFromNaturalOrderEqualsTheCopyAndTheLeaf) {
    for (int v : {4, 5}) {
        const VariantEngine& e = *variantEngines[v];
        std::vector<int> orders;
        for (int order = 1; order <= e.params->leafOrder + 2; ++order) orders.push_back(order);
#ifndef HALVEX_TEST_REDUCED
        if (v == 5) orders.push_back(20);
#endif
        for (int order : orders) {
            const int64_t n = int64_t(1) << order;
            const Signal x = randomSignal(n, uint32_t(order + 150));
            const float* table = e.getLeafTable(order);
            const int32_t* bitRev = e.getBitRevTable(order);
            ASSERT_TRUE(table && bitRev);
            for (int sign : {1, -1}) {
                Signal expected(n);
                e.bitRevCopy(x.re.data(), expected.re.data(), n, bitRev);
                e.bitRevCopy(x.im.data(), expected.im.data(), n, bitRev);
                e.ditTransform(expected.re.data(), expected.im.data(), n, sign, table);
                const int flags = sign > 0 ? fwd : inv | noScale;
                EXPECT_TRUE(sameBits(expected, run(v, x, order, flags))) << "variant " << v << " order " << order;
                Shifted ro(x.re, 1), io(x.im, 3);
                e.transform(x.re.data(), x.im.data(), ro.p, io.p, order, flags);
                EXPECT_EQ(0, std::memcmp(ro.p, expected.re.data(), size_t(n) * 4)) << "variant " << v << " order " << order;
                EXPECT_EQ(0, std::memcmp(io.p, expected.im.data(), size_t(n) * 4)) << "variant " << v << " order " << order;
                Signal same = x;
                e.transform(same.re.data(), same.im.data(), same.re.data(), same.im.data(), order, flags);
                EXPECT_TRUE(sameBits(expected, same)) << "in place, variant " << v << " order " << order;
            }
        }
        releaseAllTables();
    }
}

// The indices in variant5Engines of the wider bodies that this processor and
// its system run.
std::vector<int> runnableWideBodies() {
    ProcessorInfo info{};
    probeProcessor(&info);
    std::vector<int> bodies;
    for (int w = 1; w < vectorWidthCount; ++w)
        if (variant5Engines[w] && vectorWidths[w] <= vectorWidthFor(info)) bodies.push_back(w);
    return bodies;
}

// The vector bodies this processor runs: variants 4 and 5, and variant 5's
// wider bodies.
std::vector<const VariantEngine*> vectorBodies() {
    std::vector<const VariantEngine*> bodies = {variantEngines[4], variantEngines[5]};
    for (int w : runnableWideBodies()) bodies.push_back(variant5Engines[w]);
    return bodies;
}

// Variant 5's wider bodies give the bits of its 128-bit body: every order from
// 0 to 16 and some above, both directions, with and without scaling, every
// order flag, on output arrays aligned to 64, 16 and 4 bytes and in place
// (the input arrays passed as the output), and nothing is written past them
// (above order 16 with scaling and aligned to 64 and 4 bytes and in place).
// (On a processor that runs only the 128-bit body, the dispatch tests show
// that it is the one bound.)
TEST_F(VariantsTest, Variant5WiderBodiesGiveTheBitsOfIts128BitBody) {
    const std::vector<int> bodies = runnableWideBodies();
    if (bodies.empty()) GTEST_SKIP() << "this processor runs only the 128-bit body";
    std::vector<int> orders;
    for (int order = 0; order <= 16; ++order) orders.push_back(order);
#ifndef HALVEX_TEST_REDUCED
    for (int order : {17, 19, 21}) orders.push_back(order);
#endif
    const int orderFlags[4] = {0, 32, inRev, outRev};
    const struct {
        int shift;
        bool inPlace;
    } places[] = {{0, false}, {4, false}, {1, false}, {0, true}};
    for (int w : bodies) {
        for (int order : orders) {
            const int64_t n = int64_t(1) << order;
            const Signal x = randomSignal(n, uint32_t(order + 190));
            const Shifted ri(x.re, 0), ii(x.im, 3);
            for (int flags = 0; flags < 16; ++flags) {
                const int call = (flags & 1 ? fwd : inv) | (flags & 2 ? noScale : 0) | orderFlags[flags >> 2];
                for (const auto& place : places) {
                    if (order > 16 && ((flags & 2) || place.shift == 4)) continue;  // the large ones more briefly
                    Shifted out[2][2] = {{{x.re, place.shift}, {x.im, place.shift}},
                                         {{x.re, place.shift}, {x.im, place.shift}}};
                    for (int b = 0; b < 2; ++b) {
                        const float* re = place.inPlace ? out[b][0].p : ri.p;
                        const float* im = place.inPlace ? out[b][1].p : ii.p;
                        variant5Engines[b == 0 ? 0 : w]->transform(re, im, out[b][0].p, out[b][1].p, order, call);
                    }
                    for (int part = 0; part < 2; ++part) {
                        EXPECT_EQ(0, std::memcmp(out[0][part].p, out[1][part].p, size_t(n) * 4))
                            << vectorWidths[w] << " bits, order " << order << " flags " << call << " shift "
                            << place.shift << (place.inPlace ? " in place" : "");
                        EXPECT_TRUE(out[1][part].p[-1] == 0.0f && out[1][part].p[n] == 0.0f);
                    }
                }
            }
            releaseAllTables();
        }
    }
}

// Variant 5 at one leaf (16384), two leaves and a combine stage (32768), and
// the whole-array stage over blocks read from the blockSubtable (65536).
TEST_F(VariantsTest, Variant5AtOneLeafTwoLeavesAndTwoBlocks) {
    for (int order : {14, 15, 16}) {
        const int64_t n = int64_t(1) << order;
        const Signal x = randomSignal(n, uint32_t(order + 90));
        const ReferenceDft ref(order);
        for (int dir : {fwd, inv}) {
            const Signal y = run(5, x, order, dir);
            ErrorSum e;
            for (int64_t k = 0; k < n; k += 257) {
                long double rr, ri;
                ref.bin(x, k, dir == fwd ? 1 : -1, rr, ri);
                const long double scale = dir == fwd ? 1.0L : 1.0L / n;
                e.add(rr * scale, ri * scale, y.re[size_t(k)], y.im[size_t(k)]);
            }
            EXPECT_LE(e.relative(), bound(order)) << "order " << order << " flags " << dir;
            EXPECT_LE(relativeDifference(run(0, x, order, dir), y), 2 * bound(order)) << "order " << order;
        }
    }
    // The table layouts behind these sizes: order 14 has a VectorTable of its
    // own, 15 and 16 use the order-14 VectorTable and a LargeTable, and only
    // 16 carries the blockSubtable.
    const VariantEngine& e = *variantEngines[5];
    ASSERT_NE(e.getLeafTable(16), nullptr);
    const ThreadContext& c = *getThreadContext();
    EXPECT_NE(c.leafTables[14], nullptr);
    EXPECT_EQ(c.leafTables[16], nullptr);
    EXPECT_NE(c.largeTables[16], nullptr);
}

// Variants 1, 2 and 3 carry one design (their column widths change only the
// order of independent butterflies), and so do 4 and 5 up to order 10: their
// results agree bit for bit. Variant 0 rounds differently: its DIT leaf ends
// with the radix-2 stage (odd orders from 32 points on, where a radix-4 stage
// comes between) and its DIF leaf uses 0x3F3504F7.
TEST_F(VariantsTest, OneDesignGivesTheSameBits) {
    for (int order = 1; order <= 16; ++order) {
        const Signal x = randomSignal(int64_t(1) << order, uint32_t(order + 110));
        for (int flags : {fwd, inv, fwd | outRev, inv | outRev}) {
            const Signal y1 = run(1, x, order, flags);
            EXPECT_TRUE(sameBits(y1, run(2, x, order, flags))) << "order " << order << " flags " << flags;
            EXPECT_TRUE(sameBits(y1, run(3, x, order, flags))) << "order " << order << " flags " << flags;
            if (order <= 10) {
                EXPECT_TRUE(sameBits(run(4, x, order, flags), run(5, x, order, flags)))
                    << "order " << order << " flags " << flags;
            }
        }
        releaseAllTables();
    }
    for (int order : {5, 7, 9}) {
        const Signal x = randomSignal(int64_t(1) << order, uint32_t(order + 130));
        EXPECT_FALSE(sameBits(run(0, x, order, fwd), run(1, x, order, fwd))) << "DIT, order " << order;
        EXPECT_FALSE(sameBits(run(0, x, order, fwd | outRev), run(1, x, order, fwd | outRev)))
            << "DIF, order " << order;
        releaseAllTables();
    }
}

// The vector copy moves bits unchanged (NaN payloads too) at every offset and
// length around the streaming threshold; the vector scale rounds each product
// once, as the scalar one does; at every width this processor runs.
TEST_F(VariantsTest, VectorCopyAndScaleEqualTheScalarOnes) {
    std::mt19937 gen(5);
    for (const VariantEngine* e : vectorBodies()) {
        for (int64_t n : {1, 3, 4, 5, 17, 2047, 2048, 2049, 2052, 2055, 5000}) {
            std::vector<uint32_t> bits(static_cast<size_t>(n));
            for (uint32_t& b : bits) b = gen();
            bits[0] = 0x7FA00001u;  // a signalling NaN
            std::vector<float> src(static_cast<size_t>(n));
            std::memcpy(src.data(), bits.data(), size_t(n) * 4);
            for (int s = 0; s < 4; ++s) {
                for (int d = 0; d < 4; ++d) {
                    Shifted from(src, s), to(std::vector<float>(size_t(n), 0.0f), d);
                    e->kfxsbCopy(from.p, to.p, n);
                    EXPECT_EQ(0, std::memcmp(to.p, src.data(), size_t(n) * 4)) << n << " " << s << " " << d;
                    EXPECT_EQ(to.p[-1], 0.0f);
                    EXPECT_EQ(to.p[n], 0.0f);
                }
            }
            const Signal x = randomSignal(n, uint32_t(n));
            for (int d = 0; d < 4; ++d) {
                Shifted to(x.re, d);
                e->kfxsbMpy1(0.375f, to.p, n);
                int64_t wrong = 0;
                for (int64_t k = 0; k < n; ++k) wrong += to.p[k] != 0.375f * x.re[size_t(k)];
                EXPECT_EQ(wrong, 0) << n << " " << d;
            }
        }
    }
}

// Radix-2 DIT stages over one region, stage by stage, in scalar single
// precision: the arithmetic every vector combine butterfly must reproduce.
void scalarCombine(float* re, float* im, int64_t R, int64_t span, const float* table, int64_t n, int64_t B,
                   int sign) {
    const float* w = table;
    int64_t size = n;
    if (n > B && span < B) {
        w = table + 2 * (n / 4);
        size = B;
    }
    for (int64_t s = span; s <= R / 2; s *= 2) {
        for (int64_t g = 0; g < R; g += 2 * s) {
            for (int64_t k = 0; k < s; ++k) {
                const bool rot = k >= s / 2;
                const int64_t j = (rot ? k - s / 2 : k) * (size / (2 * s));
                const float wr = w[2 * j], wi = sign > 0 ? w[2 * j + 1] : -w[2 * j + 1];
                const float br = re[g + s + k], bi = im[g + s + k];
                float tr = br * wr - bi * wi, ti = br * wi + bi * wr;
                if (rot) {
                    const float r = tr;
                    tr = sign > 0 ? ti : -ti;
                    ti = sign > 0 ? -r : r;
                }
                const float ar = re[g + k], ai = im[g + k];
                re[g + k] = ar + tr;
                im[g + k] = ai + ti;
                re[g + s + k] = ar - tr;
                im[g + s + k] = ai - ti;
            }
        }
    }
}

// On even orders the vector leaf runs the stages of the scalar leaf (the
// 4-point pass, then radix-4 stages from 16 points on), four butterflies per
// 128-bit lane with the same operations: with single-precision scalar
// arithmetic the bits agree with variant 1's leaf (up to its LeafSize, where
// both are single leaves), both directions, at every width. This pins
// the vector stages' arithmetic, which the other bit-for-bit tests only
// compare with itself.
TEST_F(VariantsTest, VectorLeafOfEvenOrderEqualsTheScalarSinglePrecisionLeaf) {
    if (FLT_EVAL_METHOD != 0) GTEST_SKIP() << "this build's scalar float arithmetic is not single precision";
    const VariantEngine& scalar = *variantEngines[1];
    for (const VariantEngine* body : vectorBodies()) {
        const VariantEngine& e = *body;
        for (int order = 2; order <= scalar.params->leafOrder; order += 2) {
            const int64_t n = int64_t(1) << order;
            const Signal x = randomSignal(n, uint32_t(order + 170));
            for (int sign : {1, -1}) {
                Signal y = x, z = x;
                const float* scalarTable = scalar.getLeafTable(order);
                ASSERT_NE(scalarTable, nullptr);
                scalar.ditTransform(y.re.data(), y.im.data(), n, sign, scalarTable);
                releaseAllTables();
                const float* vectorTable = e.getLeafTable(order);
                ASSERT_NE(vectorTable, nullptr);
                e.ditTransform(z.re.data(), z.im.data(), n, sign, vectorTable);
                releaseAllTables();
                EXPECT_TRUE(sameBits(y, z)) << e.params->vectorBits << " bits, order " << order << " sign " << sign;
            }
        }
    }
}

// The vector variants' combine stages (several stages per pass over the data,
// a butterfly per float of a vector) give exactly the bits of the scalar
// single-precision stages on the same leaves, both directions, at every
// width.
TEST_F(VariantsTest, VectorCombineStagesEqualTheScalarSinglePrecisionStages) {
    if (FLT_EVAL_METHOD != 0) GTEST_SKIP() << "this build's scalar float arithmetic is not single precision";
    for (const VariantEngine* body : vectorBodies()) {
        const VariantEngine& e = *body;
        const int64_t leaf = int64_t(1) << e.params->leafOrder, block = int64_t(1) << e.params->blockOrder;
        for (int order = e.params->leafOrder + 1; order <= e.params->leafOrder + 7; ++order) {
            const int64_t n = int64_t(1) << order;
            const float* table = e.getLeafTable(order);
            const float* leafTable = e.getLeafTable(e.params->leafOrder);
            ASSERT_NE(table, nullptr);
            ASSERT_NE(leafTable, nullptr);
            const Signal x = randomSignal(n, uint32_t(order + 150));
            for (int sign : {1, -1}) {
                Signal y = x, z = x;
                e.ditTransform(y.re.data(), y.im.data(), n, sign, table);
                for (int64_t l = 0; l < n; l += leaf) e.ditTransform(&z.re[size_t(l)], &z.im[size_t(l)], leaf, sign, leafTable);
                const int64_t B = std::min(n, block);
                for (int64_t b0 = 0; b0 < n; b0 += B)
                    scalarCombine(&z.re[size_t(b0)], &z.im[size_t(b0)], B, leaf, table, n, block, sign);
                if (n > B) scalarCombine(z.re.data(), z.im.data(), n, B, table, n, block, sign);
                EXPECT_TRUE(sameBits(y, z)) << "variant " << e.params->variant << ", " << e.params->vectorBits
                                            << " bits, order " << order << " sign " << sign;
            }
            releaseAllTables();
        }
    }
}

// The bit-reversing copy of every variant and width (tiled from 256 points on,
// the vector variants with 4x4 transposes and, above 2^18 points,
// non-temporal stores) moves raw bits, signalling NaNs included, to
// dst[rev(k)], on aligned and misaligned destinations.
TEST_F(VariantsTest, BitReversingCopyMovesRawBits) {
    std::mt19937 gen(17);
#ifdef HALVEX_TEST_REDUCED
    const int orders[] = {3, 8, 9, 12, 19};
#else
    const int orders[] = {3, 8, 9, 12, 19, 21};  // 21: the vector copy reads in source order
#endif
    for (int order : orders) {
        const int64_t n = int64_t(1) << order;
        std::vector<uint32_t> bits(static_cast<size_t>(n));
        for (uint32_t& b : bits) b = gen() | (gen() % 4 == 0 ? 0x7F800001u : 0u);  // many NaNs
        std::vector<float> src(static_cast<size_t>(n));
        std::memcpy(src.data(), bits.data(), size_t(n) * 4);
        std::vector<const VariantEngine*> bodies(variantEngines, variantEngines + variantCount);
        for (int w : runnableWideBodies()) bodies.push_back(variant5Engines[w]);
        for (const VariantEngine* e : bodies) {
            const int v = e->params->variant;
            const int32_t* table = e->getBitRevTable(order);
            ASSERT_NE(table, nullptr);
            for (int shift : {0, 1}) {
                Shifted to(std::vector<float>(static_cast<size_t>(n), 0.0f), shift);
                e->bitRevCopy(src.data(), to.p, n, table);
                int64_t wrong = 0;
                for (int64_t k = 0; k < n; ++k) {
                    uint32_t got;
                    std::memcpy(&got, to.p + reverseBits(k, order), 4);
                    wrong += got != bits[size_t(k)];
                }
                EXPECT_EQ(wrong, 0) << "variant " << v << ", " << e->params->vectorBits << " bits, order " << order
                                    << " shift " << shift;
                EXPECT_EQ(to.p[-1], 0.0f);
                EXPECT_EQ(to.p[n], 0.0f);
            }
            releaseAllTables();
        }
    }
}

}  // namespace
