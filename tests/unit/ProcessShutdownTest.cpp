#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <string>

#include "platform/Handles.h"
#include "uninstall/ProcessShutdown.h"
#include "TestSupport.h"

using testsupport::DataFile;
using testsupport::ScopedTempDir;

namespace {

std::wstring OwnImagePath()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring Kernel32Path()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(::GetModuleHandleW(L"kernel32.dll"), path, MAX_PATH);
    return path;
}

std::wstring Upper(std::wstring text)
{
    ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// A copy of test_program.exe sleeping at the given path; terminated at the end.
class SleepingProgram {
public:
    explicit SleepingProgram(const std::wstring& path)
    {
        ::CopyFileW(DataFile(L"test_program.exe").c_str(), path.c_str(), FALSE);
        std::wstring commandLine = L"\"" + path + L"\" --sleep 60000";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        if (::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &started)) {
            process_.reset(started.hProcess);
            id_ = started.dwProcessId;
            platform::ScopedHandle thread(started.hThread);
            WaitUntilLoaded();
        }
    }
    ~SleepingProgram()
    {
        if (Running()) ::TerminateProcess(process_.get(), 0);
        if (process_) ::WaitForSingleObject(process_.get(), 5000);
    }
    bool Started() const { return process_.valid(); }
    DWORD Id() const { return id_; }
    bool Running() const { return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    // Termination takes a moment to be seen.
    bool EndsWithin(DWORD ms) const { return process_ && ::WaitForSingleObject(process_.get(), ms) == WAIT_OBJECT_0; }

private:
    // Until the new process has loaded its image, its path cannot be read
    // and the operations under test would pass it by.
    void WaitUntilLoaded() const
    {
        for (int i = 0; i < 100; ++i) {
            wchar_t path[MAX_PATH];
            if (::GetModuleFileNameExW(process_.get(), nullptr, path, MAX_PATH) != 0) return;
            ::Sleep(50);
        }
    }

    platform::ScopedHandle process_;
    DWORD id_ = 0;
};

TEST(ProcessShutdownPathTest, InsideMeansBelowTheDirectoryNotBesideIt)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* directory;
        bool inside;
    };
    const Case cases[] = {
        {L"C:\\Apps\\Zelo\\zuzire.exe", L"C:\\Apps\\Zelo", true},
        {L"C:\\Apps\\Zelo\\zuzire.exe", L"C:\\Apps\\Zelo\\", true},
        {L"C:\\Apps\\Zelo\\zuzire.exe", L"C:\\Apps\\Zelo\\\\", true},
        {L"C:\\APPS\\ZELO\\SUB\\Y.EXE", L"c:\\apps\\zelo", true},
        {L"C:\\Apps\\Zelo\\zuzire.exe", L"C:/Apps/Zelo/", false},  // inner separators are not translated
        {L"C:\\Apps\\Zelo2\\x.exe", L"C:\\Apps\\Zelo", false},
        {L"C:\\Apps\\Zelo2\\x.exe", L"C:\\Apps\\Zelo\\", false},
        {L"C:\\Apps\\Zelo.exe", L"C:\\Apps\\Zelo", false},
        {L"C:\\Apps\\Zelo", L"C:\\Apps\\Zelo", false},
        {L"C:\\Apps\\Zelo\\", L"C:\\Apps\\Zelo", false},
        {L"C:\\Apps\\Other\\x.exe", L"C:\\Apps\\Zelo", false},
        {L"C:\\x.exe", L"", false},
        {L"C:\\x.exe", L"\\", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsPathInsideDirectory(c.path, c.directory), c.inside) << c.path << L" in " << c.directory;
    EXPECT_FALSE(IsPathInsideDirectory(nullptr, L"C:\\Apps"));
    EXPECT_FALSE(IsPathInsideDirectory(L"C:\\Apps\\x.exe", nullptr));
}

TEST(ProcessShutdownPathTest, DriveRootsWhateverTheirSeparators)
{
    for (const wchar_t* root : {L"C:", L"C:\\", L"D:\\\\", L"c:\\\\\\\\", L"Z:/", L"z:\\/", L"\\\\?\\C:\\", L"\\\\.\\D:",
                                L"\\", L"\\\\\\\\", L""})
        EXPECT_TRUE(IsDriveRoot(root)) << root;
    for (const wchar_t* directory :
         {L"C:\\Apps", L"C:\\A", L"CD:\\", L"1:\\", L"C:x", L"\\\\?\\C:\\Apps", L"\\\\server\\share"})
        EXPECT_FALSE(IsDriveRoot(directory)) << directory;
    EXPECT_FALSE(IsDriveRoot(nullptr));
}

TEST(ProcessShutdownTest, ImagePathRefusesNullBufferAndSmallCapacity)
{
    EXPECT_EQ(GetProcessImagePath(::GetCurrentProcessId(), nullptr, 1024), 0u);
    wchar_t buffer[100] = L"untouched";
    EXPECT_EQ(GetProcessImagePath(::GetCurrentProcessId(), buffer, 99), 0u);
    EXPECT_STREQ(buffer, L"untouched");
}

TEST(ProcessShutdownTest, ImagePathOfOwnProcess)
{
    wchar_t buffer[1024] = {};
    const DWORD length = GetProcessImagePath(::GetCurrentProcessId(), buffer, 1024);
    EXPECT_GT(length, 0u);
    EXPECT_EQ(Upper(buffer), Upper(OwnImagePath()));
}

TEST(ProcessShutdownTest, ImagePathIsCutToCapacityButReportsItsLength)
{
    ScopedTempDir dir;
    const std::wstring deep = dir / std::wstring(100, L'd');
    ::CreateDirectoryW(deep.c_str(), nullptr);
    const std::wstring image = deep + L"\\x.exe";
    SleepingProgram program(image);
    ASSERT_TRUE(program.Started());

    wchar_t buffer[100];
    const DWORD length = GetProcessImagePath(program.Id(), buffer, 100);
    EXPECT_EQ(length, image.size());
    EXPECT_EQ(Upper(buffer), Upper(image.substr(0, 99)));
}

TEST(ProcessShutdownTest, ImagePathOfMissingProcessIsZero)
{
    wchar_t buffer[1024] = {};
    EXPECT_EQ(GetProcessImagePath(0xFFFFFFF0u, buffer, 1024), 0u);
}

TEST(ProcessShutdownTest, OwnProcessHasKernel32ButNotARandomPath)
{
    const DWORD self = ::GetCurrentProcessId();
    EXPECT_TRUE(ProcessHasModule(self, Kernel32Path().c_str()));
    EXPECT_TRUE(ProcessHasModule(self, Upper(Kernel32Path()).c_str()));
    EXPECT_FALSE(ProcessHasModule(self, L"C:\\nowhere\\kernel32.dll"));
    EXPECT_FALSE(ProcessHasModule(self, L"kernel32.dll"));  // full paths only
    EXPECT_FALSE(ProcessHasModule(self, nullptr));
    EXPECT_FALSE(ProcessHasModule(0xFFFFFFF0u, Kernel32Path().c_str()));
}

TEST(ProcessShutdownTest, OwnProcessIsRunningByPathAndByName)
{
    const std::wstring own = OwnImagePath();
    EXPECT_TRUE(IsProcessRunning(own.c_str(), true));
    EXPECT_TRUE(IsProcessRunning(Upper(own).c_str(), true));
    EXPECT_TRUE(IsProcessRunning(::PathFindFileNameW(own.c_str()), false));
    EXPECT_FALSE(IsProcessRunning(::PathFindFileNameW(own.c_str()), true));
    EXPECT_FALSE(IsProcessRunning(L"C:\\nowhere\\no_such_program.exe", true));
    EXPECT_FALSE(IsProcessRunning(nullptr, true));
}

TEST(ProcessShutdownTest, DebugPrivilegeCanBeEnabled)
{
    EXPECT_NE(GetDebugPrivilege(), FALSE);
}

TEST(ProcessShutdownTest, KillMultiTerminatesInsideAndSparesTheSibling)
{
    ScopedTempDir dir;
    const std::wstring install = dir / L"Zelo";
    const std::wstring sibling = dir / L"Zelo2";
    ::CreateDirectoryW(install.c_str(), nullptr);
    ::CreateDirectoryW((install + L"\\sub").c_str(), nullptr);
    ::CreateDirectoryW(sibling.c_str(), nullptr);
    {
        SleepingProgram inside(install + L"\\zuzire.exe");
        SleepingProgram nested(install + L"\\sub\\y.exe");
        SleepingProgram beside(sibling + L"\\x.exe");
        ASSERT_TRUE(inside.Started() && nested.Started() && beside.Started());

        int killed = -1;
        EXPECT_EQ(KillMultiProcesses((install + L"\\").c_str(), &killed), 0);
        EXPECT_EQ(killed, 2);
        EXPECT_TRUE(inside.EndsWithin(5000));
        EXPECT_TRUE(nested.EndsWithin(5000));
        EXPECT_TRUE(beside.Running());
    }
}

TEST(ProcessShutdownTest, KillMultiRefusesShortLongNullAndDriveRoots)
{
    for (const wchar_t* directory : {L"C:\\", L"C:\\\\", L"D:\\\\\\", L"Z:/\\/", L"\\\\?\\C:\\"}) {
        int killed = -7;
        EXPECT_EQ(KillMultiProcesses(directory, &killed), 0);
        EXPECT_EQ(killed, -7) << directory;
    }
    int killed = -7;
    EXPECT_EQ(KillMultiProcesses(nullptr, &killed), 0);
    const std::wstring tooLong = L"C:\\" + std::wstring(258, L'a');
    EXPECT_EQ(KillMultiProcesses(tooLong.c_str(), &killed), 0);
    EXPECT_EQ(killed, -7);
}

TEST(ProcessShutdownTest, KillByPathTerminatesThatImageOnly)
{
    ScopedTempDir dir;
    ::CreateDirectoryW((dir / L"a").c_str(), nullptr);
    ::CreateDirectoryW((dir / L"b").c_str(), nullptr);
    {
        SleepingProgram target(dir / L"a\\x.exe");
        SleepingProgram sameName(dir / L"b\\x.exe");
        ASSERT_TRUE(target.Started() && sameName.Started());
        EXPECT_EQ(KillProcessByPath(Upper(dir / L"a\\x.exe").c_str()), 0);
        EXPECT_TRUE(target.EndsWithin(5000));
        EXPECT_TRUE(sameName.Running());
    }
}

}  // namespace
