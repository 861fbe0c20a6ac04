#include <gtest/gtest.h>

#include "startup/ProcessLauncher.h"
#include "TestSupport.h"

using testsupport::DataFile;
using testsupport::ScopedTempDir;

namespace {

class ProcessLauncherTest : public testing::Test {
protected:
    // The test program creates the marker file when it runs.
    std::wstring Arguments(DWORD exitCode) const { return L"\"" + marker_ + L"\" " + std::to_wstring(exitCode); }
    bool Ran() const { return ::PathFileExistsW(marker_.c_str()) != FALSE; }

    ScopedTempDir dir_;
    std::wstring marker_ = dir_ / L"ran.marker";
};

TEST_F(ProcessLauncherTest, SignedProgramRunsAndReportsItsExitCode)
{
    DWORD exitCode = 0;
    const std::wstring program = DataFile(L"signed_publisher.exe");
    EXPECT_TRUE(RunProcess(program.c_str(), Arguments(7).c_str(), SW_HIDE, TRUE, TRUE, &exitCode, 30000));
    EXPECT_TRUE(Ran());
    EXPECT_EQ(exitCode, 7u);
}

TEST_F(ProcessLauncherTest, SignerCheckRefusesUnsignedAndForeignPrograms)
{
    for (const wchar_t* name : {L"unsigned.exe", L"signed_other.exe", L"signed_tampered.exe"}) {
        DWORD exitCode = 12345;
        const std::wstring program = DataFile(name);
        EXPECT_FALSE(RunProcess(program.c_str(), Arguments(0).c_str(), SW_HIDE, TRUE, TRUE, &exitCode, 30000))
            << name;
        EXPECT_EQ(exitCode, 12345u) << name;
    }
    ::Sleep(300);  // a wrongly started program would have written its marker by now
    EXPECT_FALSE(Ran());
}

TEST_F(ProcessLauncherTest, UncheckedUnsignedProgramRuns)
{
    const std::wstring program = DataFile(L"unsigned.exe");
    EXPECT_TRUE(RunProcess(program.c_str(), Arguments(0).c_str(), SW_HIDE, FALSE, TRUE, nullptr, 30000));
    EXPECT_TRUE(Ran());
}

TEST_F(ProcessLauncherTest, RefusesBadPaths)
{
    // 261 characters: one more than the platform's path limit.
    std::wstring longPath = L"C:\\" + std::wstring(254, L'x') + L".exe";
    ASSERT_EQ(longPath.size(), 261u);
    DWORD exitCode = 99;
    EXPECT_FALSE(RunProcess(longPath.c_str(), L"", SW_HIDE, FALSE, TRUE, &exitCode, 1000));
    EXPECT_FALSE(RunProcess(nullptr, L"", SW_HIDE, FALSE, TRUE, &exitCode, 1000));
    EXPECT_FALSE(RunProcess(L"", L"", SW_HIDE, FALSE, TRUE, &exitCode, 1000));
    EXPECT_FALSE(RunProcess((dir_ / L"missing.exe").c_str(), L"", SW_HIDE, FALSE, TRUE, &exitCode, 1000));
    EXPECT_EQ(exitCode, 99u);
}

}  // namespace
