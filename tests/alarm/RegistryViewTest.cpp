#include <gtest/gtest.h>

#include "alarm/TrayAlarm.h"

// Every registry key ZAV opens reaches the 64-bit view when a 64-bit Windows
// runs the 32-bit ZAV, and the native view otherwise (Wine's wow64 prefix
// answers IsWow64Process as 64-bit Windows does).
TEST(RegistryView, FollowsWow64AndStaysTheSame) {
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    REGSAM expected = wow64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    EXPECT_EQ(expected, RegistryView());
    EXPECT_EQ(RegistryView(), RegistryView());
}
