// The main of every GoogleTest program: a run that skipped a test and failed
// none exits with status 77, which ctest reports as skipped (SKIP_RETURN_CODE,
// set by add_gtest), so that a skip is never counted as a pass.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    if (failed != 0) return failed;
    return testing::UnitTest::GetInstance()->skipped_test_count() > 0 ? 77 : 0;
}
