// The programs are built with -municode, whose start-up code calls wmain:
// gtest_main's main() would never run.
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
