#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "TestSupport.h"
#include "uninstall/DriverService.h"
#include "uninstall/EntryCleanup.h"
#include "uninstall/UninstallTask.h"

namespace {

using testsupport::ReadBytes;
using testsupport::ScopedTempDir;
using testsupport::WriteBytes;

// Expected answers computed apart from this code, with PyCryptodome:
// Blowfish.new(b"3B1D72E0-5A9F-41c6-8E07-D2C45B19A6F3", MODE_ECB).encrypt(challenge), then Base64.
struct UnlockCase {
    const char* what;
    DriverChallenge challenge;
    const char* answer;
};

const UnlockCase kUnlockCases[] = {
    {"counting bytes", {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f},
     "4AS3mbfwydfp91MZhGlPnw=="},
    // Two equal blocks give two equal cipher blocks: each block stands alone (ECB).
    {"all zero", {}, "6/HkPTK8WX3r8eQ9MrxZfQ=="},
    {"all ones", {0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff},
     "HexYNRpvsGgd7Fg1Gm+waA=="},
    {"random bytes", {0x9e, 0x37, 0x79, 0xb9, 0x7f, 0x4a, 0x7c, 0x15, 0xf3, 0x9c, 0xc0, 0x60, 0x5c, 0xed, 0xc8, 0x34},
     "12YRDwyylg/ZijGJZAUxKg=="},
};

TEST(DriverUnlock, AnswerIsTheChallengeEncipheredUnderTheDriverKeyInBase64)
{
    for (const UnlockCase& c : kUnlockCases) {
        SCOPED_TRACE(c.what);
        const std::string answer = DriverUnlockAnswer(c.challenge);
        EXPECT_EQ(answer.size(), 24u);
        EXPECT_EQ(answer, c.answer);
    }
}

// The engine's installation directory for the duration of one test.
class InstallDirScope {
public:
    explicit InstallDirScope(const std::wstring& directory) : saved_(UninstallTask().uninstaller.installDir)
    {
        UninstallTask().SetInstallDir(directory.c_str());
    }
    ~InstallDirScope() { UninstallTask().SetInstallDir(saved_.c_str()); }

private:
    std::wstring saved_;
};

// The autorun switch lands in "config.set" of the installation directory,
// whether the stored directory ends in a backslash or not, and whether the
// file existed or not; it is written as an ANSI INI file.
TEST(RemoveAutorun, SwitchesAutorunOffInConfigSet)
{
    struct Case {
        const char* what;
        const wchar_t* suffix;
        const char* before;  // nullptr: no file
    };
    const Case cases[] = {
        {"existing file, plain directory", L"", "[auto_run]\r\nopen=1\r\n[ui]\r\nskin=2\r\n"},
        {"existing file, directory with backslash", L"\\", "[auto_run]\r\nopen=1\r\n"},
        {"missing file", L"", nullptr},
        {"missing file, directory with backslash", L"\\", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedTempDir install;
        const std::wstring configFile = install / L"config.set";
        if (c.before) WriteBytes(configFile, c.before);
        {
            InstallDirScope dir(install.path() + c.suffix);
            RemoveAutorun();
        }
        const std::string after = ReadBytes(configFile);
        EXPECT_EQ(after.rfind("[auto_run]\r\n", 0), 0u) << after;
        EXPECT_NE(after.find("open=0\r\n"), std::string::npos) << after;
        EXPECT_EQ(after.find("open=1"), std::string::npos) << after;
        if (c.before && std::string(c.before).find("skin=2") != std::string::npos)
            EXPECT_NE(after.find("[ui]\r\nskin=2"), std::string::npos) << "other sections stay";
    }
}

// Without an installation directory nothing is written, least of all into
// whatever the current directory happens to be.
TEST(RemoveAutorun, WithoutInstallDirWritesNoConfigSet)
{
    ScopedTempDir current;
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryW(current.path().c_str()));
    {
        InstallDirScope dir(L"");
        RemoveAutorun();
    }
    ::SetCurrentDirectoryW(saved);
    EXPECT_TRUE(testsupport::ListDirectory(current.path()).empty());
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_FALSE(::PathFileExistsW((std::wstring(windows) + L"\\config.set").c_str()));
}

}  // namespace
