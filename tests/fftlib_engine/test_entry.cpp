// The entry: its checks in order with a returning handler, order 0, flags 4
// and 8, the table caching across calls, the release-and-retry path, and the
// array operations with their own checks.
#include <atomic>
#include <cstring>
#include <thread>

#include "support.h"

namespace {

constexpr int fwd = 1, inv = 2, initOnly = 4, release = 8, noScale = 16, natural = 32, inRev = 64,
              outRev = 128;

class EntryTest : public VariantTest {
protected:
    static constexpr int order = 12;
    static constexpr int64_t n = int64_t(1) << order;
    const float sentinel = -123.5f;
    Signal x = randomSignal(n, 4242);
    Signal y = Signal(n, sentinel);

    bool outputUntouched() const {
        for (int64_t k = 0; k < n; ++k)
            if (y.re[size_t(k)] != sentinel || y.im[size_t(k)] != sentinel) return false;
        return true;
    }
    bool cachesEmpty() const {
        const ThreadContext& c = *getThreadContext();
        for (int m = 0; m < orderSlots; ++m)
            if (c.leafTables[m] || c.largeTables[m] || c.splitRadixTables[m] || c.bitRevTables[m])
                return false;
        return true;
    }
    void expectOneReport(int32_t status, const char* context, int32_t line) {
        ASSERT_EQ(reports().size(), 1u) << context;
        const Report& r = reports()[0];
        EXPECT_EQ(r.status, status) << context;
        EXPECT_EQ(r.funcName, "kfxcrFftNip");
        EXPECT_EQ(r.context, context);
        EXPECT_EQ(r.file, "kfxffts");
        EXPECT_EQ(r.line, line) << context;
        EXPECT_EQ(getThreadContext()->status, status);
        reports().clear();
    }
};

struct BadCall {
    int order;
    bool reIn, imIn, reOut, imOut;  // pointer given
    int flags;
    const char* context;
    int32_t line;
};

// Each call fails only the check named and every later one it could fail, so
// the report shows that the checks come in this order.
TEST_P(EntryTest, ChecksAreMadeInOrderAndOnlyTheFirstFailureIsReported) {
    const BadCall calls[] = {
        {-1, false, false, false, false, 3 | 64 | 128, "order<0", 840},
        {32, false, false, false, false, 0, "order>31", 840},
        {order, false, false, true, true, 3, "reInSamps==0", 843},
        {order, true, false, false, true, 0, "imInSamps==0", 843},
        {order, true, true, false, false, 3, "reOutSamps==0", 843},
        {order, true, true, true, false, 64 | 128, "imOutSamps==0", 843},
        {order, true, true, true, true, 3 | 64 | 128, "(flags & 1) && (flags & 2)", 846},
        {order, true, true, true, true, 64 | 128 | 32, "(flags & 1)==0 && (flags & 2)==0", 846},
        {order, true, true, true, true, 16, "(flags & 1)==0 && (flags & 2)==0", 846},
        {order, true, true, true, true, 1 | 32 | 64 | 128, "(flags & 64) && (flags & 128)", 847},
        {order, true, true, true, true, 2 | 32 | 64, "(flags & 64) && (flags & 32)", 847},
        {order, true, true, true, true, 1 | 32 | 128, "(flags & 32) && (flags & 128)", 847},
    };
    for (const BadCall& c : calls) {
        fft(c.reIn ? x.re.data() : nullptr, c.imIn ? x.im.data() : nullptr,
            c.reOut ? y.re.data() : nullptr, c.imOut ? y.im.data() : nullptr, c.order, c.flags);
        expectOneReport(statusBadArgument, c.context, c.line);
        EXPECT_TRUE(outputUntouched()) << c.context;
    }
}

TEST_P(EntryTest, UnbuildableTablesAreReportedBeforeThePointers) {
    setAlignedAllocFailure(0, -1);  // every allocation fails
    fft(nullptr, nullptr, y.re.data(), y.im.data(), order, 3);
    expectOneReport(statusOutOfMemory, "No working Twd memory", 840);
    fft(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, fwd);
    expectOneReport(statusOutOfMemory, "No working Twd memory", 840);
    EXPECT_TRUE(outputUntouched());
    EXPECT_TRUE(cachesEmpty());
}

TEST_P(EntryTest, OrderZeroCopiesThePointBitForBit) {
    const uint32_t nanBits = 0x7FA00001u;  // a signalling NaN with a payload
    float re, im = -0.0f, ro, io;
    std::memcpy(&re, &nanBits, 4);
    for (int flags : {fwd, inv, inv | noScale, fwd | inRev, inv | outRev, fwd | natural}) {
        ro = io = 7.0f;
        fft(&re, &im, &ro, &io, 0, flags);
        EXPECT_EQ(0, std::memcmp(&ro, &re, 4)) << flags;
        EXPECT_EQ(0, std::memcmp(&io, &im, 4)) << flags;
    }
    const float three = 3.0f;
    fft(&three, &three, &ro, &io, 0, inv);  // no scaling either
    EXPECT_EQ(ro, 3.0f);
    EXPECT_TRUE(reports().empty());
}

// Flag 4 builds the order's tables without looking at the arrays; the
// transform that follows then allocates nothing (every allocation would fail).
TEST_P(EntryTest, InitOnlyBuildsTheTablesAndIgnoresThePointers) {
    for (int flags : {initOnly, initOnly | fwd, initOnly | outRev, initOnly | 3 | 64 | 128}) {
        releaseAllTables();
        fft(nullptr, nullptr, nullptr, nullptr, order, flags);
        EXPECT_TRUE(reports().empty()) << flags;
        EXPECT_NE(getThreadContext()->bitRevTables[order], nullptr) << flags;
        const int direction = (flags & outRev) && !(flags & inRev) ? fwd | outRev : fwd;
        setAlignedAllocFailure(0, -1);
        fft(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, direction);
        clearAlignedAllocFailure();
        EXPECT_TRUE(reports().empty()) << flags;
        EXPECT_FALSE(outputUntouched()) << flags;
    }
}

TEST_P(EntryTest, ReleaseFlagOverridesEverythingAndReleasesTheOrder) {
    fft(nullptr, nullptr, nullptr, nullptr, -1, release | 3 | 64 | 128);
    fft(nullptr, nullptr, nullptr, nullptr, 32, release);
    fft(nullptr, nullptr, nullptr, nullptr, order, release | initOnly | 3 | 32 | 64 | 128);
    EXPECT_TRUE(reports().empty());

    const int64_t before = alignedAllocLiveBlocks();
    fft(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, fwd);
    EXPECT_GT(alignedAllocLiveBlocks(), before);
    fft(nullptr, nullptr, nullptr, nullptr, order, release);
    EXPECT_TRUE(cachesEmpty());
    EXPECT_EQ(alignedAllocLiveBlocks(), before);

    if (engine().getSplitRadixTable) {  // bit-reversed output: the split-radix tables
        fft(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, fwd | outRev);
        fft(nullptr, nullptr, nullptr, nullptr, order, release);  // the leaf table: not these
        EXPECT_NE(getThreadContext()->splitRadixTables[params().leafOrder], nullptr);
        fft(nullptr, nullptr, nullptr, nullptr, order, release | outRev);
        EXPECT_TRUE(cachesEmpty());
        EXPECT_EQ(alignedAllocLiveBlocks(), before);
    }
    EXPECT_TRUE(reports().empty());
}

TEST_P(EntryTest, SecondCallOfAnOrderBuildsNothing) {
    for (int flags : {fwd, inv | outRev, fwd | inRev}) {
        fft(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, flags);
        const Signal first = y;
        const int64_t live = alignedAllocLiveBlocks();
        setAlignedAllocFailure(0, -1);
        fft(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, flags);
        clearAlignedAllocFailure();
        EXPECT_EQ(alignedAllocLiveBlocks(), live);
        EXPECT_EQ(y.re, first.re);
        EXPECT_EQ(y.im, first.im);
    }
    EXPECT_TRUE(reports().empty());
}

// A failed build releases every table of the thread and tries once more; the
// transform then succeeds as if nothing had happened, whichever allocation of
// the build failed.
TEST_P(EntryTest, FailedBuildReleasesAllTablesAndRetriesOnce) {
    fft(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, fwd);
    const Signal expected = y;
    // The build: table and sine table of the leaf order, of the order when it
    // is above the leaf order, and the bit-reversal table. (The vector
    // variants' work buffer was reserved by the first call and stays.)
    const int allocations = order > params().leafOrder ? 5 : 3;
    for (int failAfter = 0; failAfter <= allocations; ++failAfter) {
        releaseAllTables();
        const int64_t baseline = alignedAllocLiveBlocks();
        ASSERT_NE(engine().getBitRevTable(5), nullptr);  // another order's table, released too
        setAlignedAllocFailure(failAfter, 1);
        y = Signal(n, sentinel);
        fft(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, fwd);
        clearAlignedAllocFailure();
        EXPECT_TRUE(reports().empty()) << failAfter;
        EXPECT_EQ(y.re, expected.re) << failAfter;
        EXPECT_EQ(y.im, expected.im) << failAfter;
        if (failAfter < allocations) {  // a failure among the build's allocations
            EXPECT_EQ(getThreadContext()->bitRevTables[5], nullptr) << failAfter;
        }
        releaseAllTables();
        EXPECT_EQ(alignedAllocLiveBlocks(), baseline) << failAfter;
    }
}

// The vector variants reserve 16384 elements of work-buffer slot 3 before
// the pointer checks, also for flag 4; when that fails the entry reports
// without a retry, and flag 8 releases the buffer again.
TEST_P(EntryTest, VectorVariantsReserveTheWorkBuffer) {
    ThreadContext& c = *getThreadContext();
    releaseWorkBuffer(vectorWorkSlot);
    fft(nullptr, nullptr, nullptr, nullptr, order, initOnly);
    EXPECT_TRUE(reports().empty());
    if (!params().vectorLeaf) {
        EXPECT_EQ(c.workBuffers[vectorWorkSlot], nullptr);
        return;
    }
    ASSERT_NE(c.workBuffers[vectorWorkSlot], nullptr);
    EXPECT_EQ(c.workBufferCapacity[vectorWorkSlot], 16384);
    fft(nullptr, nullptr, nullptr, nullptr, order, release);
    EXPECT_EQ(c.workBuffers[vectorWorkSlot], nullptr);
    EXPECT_EQ(c.workBufferCapacity[vectorWorkSlot], 0);

    // Tables built, the buffer refused: one report, the tables stay.
    fft(nullptr, nullptr, nullptr, nullptr, order, initOnly);
    releaseWorkBuffer(vectorWorkSlot);
    setAlignedAllocFailure(0, -1);
    fft(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, fwd);
    clearAlignedAllocFailure();
    expectOneReport(statusOutOfMemory, "No working Twd memory", 840);
    EXPECT_TRUE(outputUntouched());
    EXPECT_NE(c.bitRevTables[order], nullptr);
    // The buffer comes before the pointer checks.
    setAlignedAllocFailure(0, -1);
    fft(nullptr, nullptr, y.re.data(), y.im.data(), order, fwd);
    clearAlignedAllocFailure();
    expectOneReport(statusOutOfMemory, "No working Twd memory", 840);
    // A smaller buffer in the slot is replaced by one of 16384 elements.
    ASSERT_NE(getWorkBuffer(100, vectorWorkSlot), nullptr);
    fft(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, fwd);
    EXPECT_EQ(c.workBufferCapacity[vectorWorkSlot], 16384);
    EXPECT_TRUE(reports().empty());
}

TEST_P(EntryTest, ArrayOperationsCheckTheirArguments) {
    static const int32_t lines[variantCount][2] = {{241, 419},   {1221, 2059}, {1235, 2059},
                                                   {1221, 2059}, {1221, 1825}, {1221, 1825}};
    const int32_t copyLine = lines[GetParam()][0], mpyLine = lines[GetParam()][1];
    struct Case {
        const char* funcName;
        const char* context;
        int32_t line;
    };
    auto expect = [&](const Case& c) {
        ASSERT_EQ(reports().size(), 1u) << c.context;
        EXPECT_EQ(reports()[0].status, statusBadArgument);
        EXPECT_EQ(reports()[0].funcName, c.funcName);
        EXPECT_EQ(reports()[0].context, c.context);
        EXPECT_EQ(reports()[0].file, "kfxarith");
        EXPECT_EQ(reports()[0].line, c.line);
        reports().clear();
    };
    float src[3] = {1, 2, 3}, dst[3] = {0, 0, 0};
    engine().kfxsbCopy(nullptr, nullptr, 0);
    expect({"kfxsbCopy", "n<=0", copyLine});
    engine().kfxsbCopy(nullptr, nullptr, 3);
    expect({"kfxsbCopy", "src==0", copyLine});
    engine().kfxsbCopy(src, nullptr, 3);
    expect({"kfxsbCopy", "dst==0", copyLine});
    engine().kfxsbMpy1(2.0f, nullptr, -1);
    expect({"kfxsbMpy1", "n<=0", mpyLine});
    engine().kfxsbMpy1(2.0f, nullptr, 3);
    expect({"kfxsbMpy1", "dst==0", mpyLine});
    EXPECT_EQ(dst[0], 0.0f);

    engine().kfxsbCopy(src, dst, 3);
    engine().kfxsbMpy1(0.25f, dst, 3);
    EXPECT_EQ(dst[0], 0.25f);
    EXPECT_EQ(dst[2], 0.75f);
    EXPECT_TRUE(reports().empty());
}

// The export, bound to the variant through the frame's hook, runs this body.
TEST_P(EntryTest, TheExportBoundToTheVariantRunsItsEntry) {
    ASSERT_EQ(forceVariant(GetParam()), 1);
    EXPECT_EQ(boundTransform(), engine().transform);
    fft(x.re.data(), x.im.data(), y.re.data(), y.im.data(), order, inv);
    Signal z(n);
    kfxcrFftNip(x.re.data(), x.im.data(), z.re.data(), z.im.data(), order, inv);
    EXPECT_EQ(z.re, y.re);
    EXPECT_EQ(z.im, y.im);
}

// Threads transform at the same time, each with the tables of its own context,
// and get the single-threaded results bit for bit.
class EntryThreadsTest : public VariantTest {};

TEST_P(EntryThreadsTest, ThreadsTransformAtOnceWithTheirOwnTables) {
    const int firstOrder = 8, lastOrder = 13;
    std::vector<Signal> inputs, expected;
    for (int order = firstOrder; order <= lastOrder; ++order) {
        inputs.push_back(randomSignal(int64_t(1) << order, uint32_t(order)));
        expected.emplace_back(int64_t(1) << order);
        const int i = order - firstOrder;
        fft(inputs[size_t(i)].re.data(), inputs[size_t(i)].im.data(), expected[size_t(i)].re.data(),
            expected[size_t(i)].im.data(), order, inv | outRev);
    }
    const void* mainTable = getThreadContext()->bitRevTables[lastOrder];
    std::atomic<int> mismatches{0}, sharedTables{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 3; ++round) {
                for (int order = firstOrder; order <= lastOrder; ++order) {
                    const size_t i = size_t((order - firstOrder + t) % (lastOrder - firstOrder + 1));
                    const int o = firstOrder + int(i);
                    Signal y(int64_t(1) << o);
                    engine().transform(inputs[i].re.data(), inputs[i].im.data(), y.re.data(), y.im.data(), o,
                                       inv | outRev);
                    mismatches += y.re != expected[i].re || y.im != expected[i].im;
                }
            }
            sharedTables += getThreadContext()->bitRevTables[lastOrder] == mainTable;
            for (int order = firstOrder; order <= lastOrder; ++order)
                engine().transform(nullptr, nullptr, nullptr, nullptr, order, release | outRev);
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(sharedTables.load(), 0);
    EXPECT_TRUE(reports().empty());
}

INSTANTIATE_FOR_VARIANTS(EntryTest);
INSTANTIATE_FOR_VARIANTS(EntryThreadsTest);

}  // namespace
