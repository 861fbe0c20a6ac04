#include <gtest/gtest.h>

#include "startup/OSVersion.h"

namespace {

// The test prefix is a 64-bit Windows 10 running this 32-bit program under WoW64.
TEST(OSVersion, ProbesSeeTheTestPrefixAsSixtyFourBitWindows10)
{
    EXPECT_TRUE(IsWindows10OrLater());
    EXPECT_TRUE(IsOs64Bit());
    DWORD major = 0, minor = 0;
    ASSERT_TRUE(GetNtVersionNumbers(major, minor));
    EXPECT_EQ(major, 10u);

    const OSVERSIONINFOW version = COSVersionCheck::Instance().Version();
    EXPECT_EQ(version.dwMajorVersion, 10u);
    EXPECT_NE(COSVersionCheck::Instance().Source(), -1);
}

}  // namespace
