// reportError, the default handler and the status texts.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <thread>

#include "halvex_internal.h"

namespace {

struct Report {
    int calls = 0;
    int32_t status = 0;
    std::string funcName, context, file;
    int32_t line = 0;
};
thread_local Report lastReport;

int32_t recordingHandler(int32_t status, const char* funcName, const char* context,
                         const char* file, int32_t line) {
    ++lastReport.calls;
    lastReport.status = status;
    lastReport.funcName = funcName;
    lastReport.context = context;
    lastReport.file = file;
    lastReport.line = line;
    return 1234;
}

class FrameErrors : public ::testing::Test {
protected:
    void SetUp() override {
        lastReport = Report{};
        ThreadContext* ctx = getThreadContext();
        ctx->status = 0;
        ctx->errorMode = 0;
        ctx->errorHandler = defaultErrorHandler;
    }
    void TearDown() override { SetUp(); }
};

TEST_F(FrameErrors, StatusZeroIsStoredAndCallsNoHandler) {
    ThreadContext* ctx = getThreadContext();
    ctx->errorHandler = recordingHandler;
    ctx->status = -5;
    EXPECT_EQ(reportError(0, "kfxcrFftNip", "none", "kfxffts", 1), 0);
    EXPECT_EQ(ctx->status, 0);
    EXPECT_EQ(lastReport.calls, 0);
}

TEST_F(FrameErrors, BacktraceAndAutotraceCallTheHandlerButKeepTheStatus) {
    ThreadContext* ctx = getThreadContext();
    ctx->errorHandler = recordingHandler;
    ctx->status = -4;
    EXPECT_EQ(reportError(-1, "f", "c", "kfxffts", 10), 1234);
    EXPECT_EQ(lastReport.calls, 1);
    EXPECT_EQ(lastReport.status, -1);
    EXPECT_EQ(ctx->status, -4);
    EXPECT_EQ(reportError(-8, "g", "d", "kfxarith", 11), 1234);
    EXPECT_EQ(lastReport.calls, 2);
    EXPECT_EQ(lastReport.status, -8);
    EXPECT_EQ(ctx->status, -4);
}

TEST_F(FrameErrors, TheHandlerReceivesExactlyTheFiveArguments) {
    ThreadContext* ctx = getThreadContext();
    ctx->errorHandler = recordingHandler;
    EXPECT_EQ(reportError(-5, "kfxcrFftNip", "order<0", "kfxffts", 840), 1234);
    EXPECT_EQ(ctx->status, -5);
    EXPECT_EQ(lastReport.calls, 1);
    EXPECT_EQ(lastReport.status, -5);
    EXPECT_EQ(lastReport.funcName, "kfxcrFftNip");
    EXPECT_EQ(lastReport.context, "order<0");
    EXPECT_EQ(lastReport.file, "kfxffts");
    EXPECT_EQ(lastReport.line, 840);
    // Any other status is recorded as well, positive ones included.
    EXPECT_EQ(reportError(7, "a", "b", "c", 1), 1234);
    EXPECT_EQ(ctx->status, 7);
}

TEST_F(FrameErrors, ReturningDefaultHandlerWhenErrorModeIsNotZero) {
    ThreadContext* ctx = getThreadContext();
    ctx->errorMode = 1;
    EXPECT_EQ(reportError(-4, "kfxcrFftNip", "No working Twd memory", "kfxffts", 840), -4);
    EXPECT_EQ(ctx->status, -4);
    EXPECT_EQ(defaultErrorHandler(-5, "f", "c", "x", 1), -5);
    EXPECT_EQ(reportError(-1, "f", "c", "x", 1), -1);
    EXPECT_EQ(ctx->status, -4);
}

TEST_F(FrameErrors, SettersReturnThePreviousValues) {
    EXPECT_EQ(setErrorMode(2), 0);
    EXPECT_EQ(setErrorMode(0), 2);
    EXPECT_EQ(setErrorHandler(recordingHandler), &defaultErrorHandler);
    EXPECT_EQ(setErrorHandler(nullptr), &recordingHandler);
    EXPECT_EQ(getThreadContext()->errorHandler, &defaultErrorHandler);
}

TEST_F(FrameErrors, StatusesAreRecordedPerThread) {
    ThreadContext* ctx = getThreadContext();
    ctx->errorHandler = recordingHandler;
    reportError(-5, "f", "c", "x", 1);
    int32_t otherStatus = 1;
    int32_t otherResult = 0;
    std::thread worker([&] {
        setErrorMode(1);
        otherResult = reportError(-4, "f", "c", "x", 1);
        otherStatus = getThreadContext()->status;
    });
    worker.join();
    EXPECT_EQ(otherResult, -4);
    EXPECT_EQ(otherStatus, -4);
    EXPECT_EQ(ctx->status, -5);
    EXPECT_EQ(lastReport.calls, 1);
}

#if GTEST_HAS_DEATH_TEST
TEST(FrameErrorsDeathTest, DefaultHandlerEndsTheProcessWithExitCode1) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            getThreadContext()->errorMode = 0;
            getThreadContext()->errorHandler = defaultErrorHandler;
            reportError(-5, "kfxcrFftNip", "order<0", "kfxffts", 840);
            std::fputs("returned\n", stderr);  // never reached
        },
        ::testing::ExitedWithCode(1), "^$");
}
#endif

TEST(FrameStatusText, ListedCodesAndEveryOtherOne) {
    const struct {
        int32_t status;
        const char* text;
    } cases[] = {
        {0, "No Error"}, {-1, "Backtrace"}, {-3, "Internal error (bad state)"}, {-4, "Out of memory"},
        {-5, "Bad argument"}, {-6, "Unsupported function"}, {-7, "Iteration convergence failed"},
        {-8, "Autotrace call"}, {-10, "Null pointer"}, {-12, "Bad pointer"}, {-13, "Bad data structure"},
        {-14, "Bad vector length"},
    };
    for (const auto& c : cases) EXPECT_STREQ(statusText(c.status), c.text) << c.status;
    for (int32_t status : {-2, -9, -11, 1, 2, -15, -100, INT_MIN, INT_MAX})
        EXPECT_STREQ(statusText(status), "Unknown error or status code") << status;
}

}  // namespace
