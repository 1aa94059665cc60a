// Table layouts, twiddle values, caching and release, and the permutations.
#include <cmath>
#include <numeric>

#include "support.h"

namespace {

class TablesTest : public VariantTest {
protected:
    ThreadContext& ctx() const { return *getThreadContext(); }
};

std::vector<int32_t> bitRevEntries(const int32_t* t, int order) {
    const int64_t b = (int64_t(1) << order) / 4;
    return std::vector<int32_t>(t, t + b + 1);
}

TEST_P(TablesTest, SmallBitRevTablesAreLaidOutExactly) {
    EXPECT_EQ(bitRevEntries(engine().getBitRevTable(2), 2), (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(bitRevEntries(engine().getBitRevTable(3), 3), (std::vector<int32_t>{0, 4, 0}));
    EXPECT_EQ(bitRevEntries(engine().getBitRevTable(4), 4), (std::vector<int32_t>{4, 8, 0, 12, 0}));
}

// Every table: the pairs (i, rev(i)) with i < rev(i) in increasing i, a 0,
// the fixed points from position b-1 down, and the closing 0 at b.
TEST_P(TablesTest, BitRevTablesListPairsThenFixedPoints) {
    for (int order = 2; order <= 16; ++order) {
        const int32_t* t = engine().getBitRevTable(order);
        ASSERT_NE(t, nullptr);
        const int64_t b = (int64_t(1) << order) / 4;
        std::vector<int32_t> pairs, fixed;
        for (int64_t i = 1; i < b; ++i) {
            const int64_t r = reverseBits(i, order - 2);
            if (i < r) {
                pairs.push_back(int32_t(4 * i));
                pairs.push_back(int32_t(4 * r));
            } else if (i == r) {
                fixed.push_back(int32_t(4 * i));
            }
        }
        std::vector<int32_t> expected = pairs;
        expected.push_back(0);
        expected.insert(expected.end(), fixed.rbegin(), fixed.rend());
        expected.push_back(0);
        EXPECT_EQ(bitRevEntries(t, order), expected) << "order " << order;
    }
}

std::vector<float> iota(int n) {
    std::vector<float> v(static_cast<size_t>(n));
    std::iota(v.begin(), v.end(), 0.0f);
    return v;
}

TEST_P(TablesTest, PermutationsOnOneTwoFourAndEightPoints) {
    const std::vector<std::vector<float>> expected = {
        {0}, {0, 1}, {0, 2, 1, 3}, {0, 4, 2, 6, 1, 5, 3, 7}};
    for (int order = 0; order <= 3; ++order) {
        const int n = 1 << order;
        const int32_t* t = engine().getBitRevTable(order);
        std::vector<float> x = iota(n);
        engine().bitRevPermute(x.data(), n, t);
        EXPECT_EQ(x, expected[size_t(order)]) << "bitRevPermute, n = " << n;
        std::vector<float> dst(size_t(n), -1.0f);
        const std::vector<float> src = iota(n);
        engine().bitRevCopy(src.data(), dst.data(), n, t);
        EXPECT_EQ(dst, expected[size_t(order)]) << "bitRevCopy, n = " << n;
    }
}

TEST_P(TablesTest, PermutationsReverseTheIndexBitsForEveryOrder) {
    for (int order = 0; order <= 18; ++order) {
        const int64_t n = int64_t(1) << order;
        const int32_t* t = engine().getBitRevTable(order);
        const size_t count = static_cast<size_t>(n);
        std::vector<float> src(count), expected(count), copy(count);
        for (int64_t k = 0; k < n; ++k) src[size_t(k)] = float(k);
        for (int64_t k = 0; k < n; ++k) expected[size_t(reverseBits(k, order))] = float(k);
        engine().bitRevCopy(src.data(), copy.data(), n, t);
        EXPECT_EQ(copy, expected) << "bitRevCopy, order " << order;
        engine().bitRevPermute(src.data(), n, t);
        EXPECT_EQ(src, expected) << "bitRevPermute, order " << order;
    }
}

TEST_P(TablesTest, RadixFourTableOfOrder2) {
    if (params().vectorLeaf) GTEST_SKIP() << "the vector variants' leaf table is a VectorTable";
    const float* t = engine().getLeafTable(2);
    ASSERT_NE(t, nullptr);
    const std::vector<float> expected = {1, 0, 1, 0, 1, 0, 0, -1, -1, 0, 0, 1};
    EXPECT_EQ(std::vector<float>(t, t + 12), expected);  // -0 equals 0
}

// Within half an ulp of the exact value (one rounding of an accurate sine),
// with a hair of slack for the double evaluation before that rounding.
void expectRoundedOnce(float value, long double exact, const char* what, int64_t index) {
    if (exact == 0) {
        EXPECT_EQ(value, 0.0f) << what << " " << index;
        return;
    }
    const long double ulp = std::ldexp(1.0L, std::ilogb(exact) - 23);
    EXPECT_LE(std::fabs(value - exact), ulp * 0.500001L) << what << " " << index;
}

void expectTwiddle(const float* w, long double N, long double k, const char* what, int64_t index) {
    const long double a = 6.283185307179586476925286766559L * k / N;
    const long double c = std::cos(a), s = std::sin(a);
    expectRoundedOnce(w[0], std::fabs(c) < 1e-15L ? 0.0L : c, what, index);
    expectRoundedOnce(w[1], std::fabs(s) < 1e-15L ? 0.0L : -s, what, index);
}

TEST_P(TablesTest, EveryTwiddleIsOneRoundingOfItsExactValue) {
    const int leafOrder = params().leafOrder;
    const int64_t n = int64_t(1) << leafOrder, q = n / 4;
    const float* leaf = engine().getLeafTable(leafOrder);
    ASSERT_NE(leaf, nullptr);
    if (params().vectorLeaf) {
        // VectorTable sections N = 2^L, L = 4 + (order mod 2) ... leafOrder.
        const float* t = leaf;
        for (int L = 4 + leafOrder % 2; L <= leafOrder; L += 2) {
            const int64_t N = int64_t(1) << L;
            for (int64_t j0 = 0; j0 < N / 4; j0 += 4, t += 24)
                for (int e = 1; e <= 3; ++e)
                    for (int r = 0; r < 4; ++r) {
                        const float w[2] = {t[8 * (e - 1) + r], t[8 * (e - 1) + 4 + r]};
                        expectTwiddle(w, N, e * (j0 + r), "VectorTable", j0 + r);
                    }
        }
    } else {
        for (int64_t j = 0; j <= q; ++j)
            for (int e = 1; e <= 3; ++e)
                expectTwiddle(leaf + 6 * j + 2 * (e - 1), n, e * j, "RadixFourTable", j);
    }
    if (engine().getSplitRadixTable) {
        const float* sr = engine().getSplitRadixTable(leafOrder);
        ASSERT_NE(sr, nullptr);
        for (int64_t c = 1; c < q; ++c) {
            expectTwiddle(sr + 4 * (c - 1), n, c, "SplitRadixTable", c);
            expectTwiddle(sr + 4 * (c - 1) + 2, n, 3 * c, "SplitRadixTable", c);
        }
    }
    const int large = params().blockOrder + 2;
    const float* lt = engine().getLargeTable(large);
    ASSERT_NE(lt, nullptr);
    const int64_t ln = int64_t(1) << large;
    for (int64_t k = 0; k < ln / 4; ++k) expectTwiddle(lt + 2 * k, ln, k, "LargeTable", k);
}

TEST_P(TablesTest, SineTableHoldsTheQuarterWave) {
    float* s = buildSineTable(10);
    ASSERT_NE(s, nullptr);
    for (int64_t i = 0; i <= 256; ++i)
        expectRoundedOnce(s[i], std::sin(6.283185307179586476925286766559L * i / 1024), "sine", i);
    EXPECT_EQ(s[0], 0.0f);
    EXPECT_EQ(s[256], 1.0f);
    alignedFree(s);
}

// A leaf-table request above leafOrder builds the leafOrder table and the
// order's LargeTable, keeps the order's own slot empty, and a release of the
// order releases both again.
TEST_P(TablesTest, LeafOrderTableAndLargeTableAreCachedAndReleasedTogether) {
    const int leafOrder = params().leafOrder, order = leafOrder + 2;
    const float* t = engine().getLeafTable(order);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(ctx().leafTables[order], nullptr);
    EXPECT_NE(ctx().leafTables[leafOrder], nullptr);
    EXPECT_EQ(ctx().largeTables[order], t);
    EXPECT_EQ(engine().getLeafTable(order), t);  // cached: the same block
    engine().releaseLeafTable(order);
    EXPECT_EQ(ctx().leafTables[leafOrder], nullptr);
    EXPECT_EQ(ctx().largeTables[order], nullptr);

    if (engine().getSplitRadixTable) {
        const float* s = engine().getSplitRadixTable(order);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(ctx().splitRadixTables[order], nullptr);
        EXPECT_NE(ctx().splitRadixTables[leafOrder], nullptr);
        EXPECT_EQ(ctx().largeTables[order], s);
        engine().releaseSplitRadixTable(order);
        EXPECT_EQ(ctx().splitRadixTables[leafOrder], nullptr);
        EXPECT_EQ(ctx().largeTables[order], nullptr);
    }
}

// The blockSubtable follows the order's n/4 twiddles from the first order
// above BlockSize on: the twiddles of a BlockSize-point transform, the same
// sine values as every (n/BlockSize)-th entry of the first part.
TEST_P(TablesTest, BlockSubtableOfTheFirstBlockedOrder) {
    const int order = params().blockOrder + 1;  // 15 in variant 0
    const int64_t n = int64_t(1) << order, q = n / 4, B = int64_t(1) << params().blockOrder;
    const float* t = engine().getLargeTable(order);
    ASSERT_NE(t, nullptr);
    const float* sub = t + 2 * q;
    for (int64_t i = 0; i < B / 4; ++i) {
        expectTwiddle(sub + 2 * i, B, i, "blockSubtable", i);
        EXPECT_EQ(sub[2 * i], t[2 * (i * n / B)]) << i;
        EXPECT_EQ(sub[2 * i + 1], t[2 * (i * n / B) + 1]) << i;
    }
    // Order 15 of variants 0 to 4: 8192 twiddles of w_32768, then 4096 of
    // w_16384; order 16 of variant 5: 16384 of w_65536, then 8192 of w_32768.
    EXPECT_EQ(q, GetParam() == 5 ? 16384 : 8192);
    EXPECT_EQ(B / 4, GetParam() == 5 ? 8192 : 4096);
}

// The blocking constants of each variant, and the LargeTable of BlockSize
// points (order 14 in variants 0 to 4, 15 in variant 5), the largest one
// without a blockSubtable.
TEST_P(TablesTest, NoBlockSubtableUpToBlockSize) {
    const int order = params().blockOrder;
    const int64_t before = alignedAllocLiveBlocks();
    const float* t = engine().getLargeTable(order);
    ASSERT_NE(t, nullptr);
    // The whole table reads as the first part: the last entry is w_n^(n/4-1).
    const int64_t n = int64_t(1) << order;
    expectTwiddle(t + 2 * (n / 4 - 1), n, n / 4 - 1, "LargeTable", n / 4 - 1);
    EXPECT_EQ(alignedAllocLiveBlocks(), before + 1);  // the table; its sine table is gone
    EXPECT_EQ(params().blockOrder, GetParam() == 5 ? 15 : 14);
    EXPECT_EQ(params().leafOrder, GetParam() == 5 ? 14 : 10);
}

TEST_P(TablesTest, GettersRejectOrdersOutsideTheRange) {
    for (int order : {-1, 32}) {
        EXPECT_EQ(engine().getLeafTable(order), nullptr);
        EXPECT_EQ(engine().getLargeTable(order), nullptr);
        EXPECT_EQ(engine().getBitRevTable(order), nullptr);
        if (engine().getSplitRadixTable) {
            EXPECT_EQ(engine().getSplitRadixTable(order), nullptr);
        }
        engine().releaseLeafTable(order);
        engine().releaseBitRevTable(order);
    }
    for (int m = 0; m < orderSlots; ++m) {
        EXPECT_EQ(ctx().leafTables[m], nullptr);
        EXPECT_EQ(ctx().largeTables[m], nullptr);
        EXPECT_EQ(ctx().bitRevTables[m], nullptr);
        EXPECT_EQ(ctx().splitRadixTables[m], nullptr);
    }
}

TEST_P(TablesTest, ReleaseAllTablesEmptiesEveryCache) {
    engine().getLeafTable(5);
    engine().getLeafTable(params().leafOrder + 3);
    engine().getBitRevTable(7);
    if (engine().getSplitRadixTable) engine().getSplitRadixTable(6);
    engine().releaseAllTables();
    for (int m = 0; m < orderSlots; ++m) {
        EXPECT_EQ(ctx().leafTables[m], nullptr);
        EXPECT_EQ(ctx().largeTables[m], nullptr);
        EXPECT_EQ(ctx().bitRevTables[m], nullptr);
        EXPECT_EQ(ctx().splitRadixTables[m], nullptr);
    }
}

// Another variant's getters on the same thread find no table of this one:
// the caches are released when the filling variant changes.
TEST_P(TablesTest, ClaimingTheCachesForAnotherVariantReleasesThem) {
    ASSERT_NE(engine().getLeafTable(6), nullptr);
    claimTableCaches(GetParam());  // the same variant keeps its tables
    EXPECT_NE(ctx().leafTables[6], nullptr);
    claimTableCaches(GetParam() == 0 ? 1 : 0);
    EXPECT_EQ(ctx().leafTables[6], nullptr);
    claimTableCaches(GetParam());
}

// The vector leaf's table: sections for N = 2^L, L = 4 + (m mod 2), L + 2, ...
// up to m, each with its rows grouped by four j into six 4-float vectors.
TEST(VectorTable, SectionsHoldGroupedTwiddleVectors) {
    for (int m = 0; m <= 9; ++m) {
        const int64_t n = int64_t(1) << m, q = n / 4;
        std::vector<float> t(size_t(8 * q + 8), -9.0f);
        float* sine = buildSineTable(m);
        ASSERT_NE(sine, nullptr);
        fillVectorTable(t.data(), sine, m);
        alignedFree(sine);
        size_t at = 0;
        for (int L = 4 + m % 2; L <= m; L += 2) {
            const int64_t N = int64_t(1) << L;
            for (int64_t j0 = 0; j0 < N / 4; j0 += 4)
                for (int f = 0; f < 6; ++f)
                    for (int r = 0; r < 4; ++r) {
                        const int64_t k = (f / 2 + 1) * (j0 + r);
                        const long double a = 6.283185307179586476925286766559L * k / N;
                        const long double exact = f % 2 == 0 ? std::cos(a) : -std::sin(a);
                        EXPECT_NEAR(t[at++], double(exact), 1e-7) << "m " << m << " N " << N << " j " << j0 + r;
                    }
        }
        EXPECT_EQ(at, m < 4 ? 0u : size_t(m % 2 == 0 ? 2 * n - 8 : 2 * n - 16)) << m;  // 1.5·N floats each
        for (size_t i = at; i < t.size(); ++i) ASSERT_EQ(t[i], -9.0f) << "m " << m << " wrote past " << at;
    }
}

INSTANTIATE_FOR_VARIANTS(TablesTest);

}  // namespace
