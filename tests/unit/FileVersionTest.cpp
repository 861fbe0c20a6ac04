#include <gtest/gtest.h>

#include "startup/FileVersion.h"
#include "startup/OSVersion.h"
#include "TestSupport.h"

using testsupport::DataFile;

namespace {

// The test program's fixed version is 2.1.0.15, its string version "3, 0, 0, 7".
TEST(FileVersion, SixtyFourBitWindows10ReadsTheFixedVersion)
{
    ASSERT_TRUE(IsWindows10OrLater());
    ASSERT_TRUE(IsOs64Bit());
    std::wstring version;
    ASSERT_TRUE(GetFileVersionString(DataFile(L"unsigned.exe").c_str(), version));
    EXPECT_EQ(version, L"2.1.0.15");
}

TEST(FileVersion, StringVersionHasCommasTurnedIntoDotsAndBlanksRemoved)
{
    std::wstring version;
    ASSERT_TRUE(GetFileVersionStringFor(DataFile(L"unsigned.exe").c_str(), true, version));
    EXPECT_EQ(version, L"3.0.0.7");
}

TEST(FileVersion, FileWithoutVersionFailsAndLeavesTheOutput)
{
    testsupport::ScopedTempDir dir;
    const std::wstring plain = dir / L"plain.txt";
    testsupport::WriteBytes(plain, "not an executable");
    std::wstring version = L"kept";
    EXPECT_FALSE(GetFileVersionString(plain.c_str(), version));
    EXPECT_FALSE(GetFileVersionString((dir / L"missing.exe").c_str(), version));
    EXPECT_EQ(version, L"kept");
}

}  // namespace
