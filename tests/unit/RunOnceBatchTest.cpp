#include <gtest/gtest.h>

#include "platform/Handles.h"
#include "uninstall/RunOnceBatch.h"
#include "TestSupport.h"

using testsupport::ScopedTempDir;

namespace {

TEST(RunOnceBatch, PathsAreWrittenSoThatCmdReadsThemBackExactly)
{
    struct Case {
        const wchar_t* path;
        const char* text;
    } cases[] = {
        {L"C:\\plain\\x.tmp", "C:\\plain\\x.tmp"},
        {L"C:\\a%PATH%b\\x.tmp", "C:\\a%%PATH%%b\\x.tmp"},
        {L"C:\\100%\\%%", "C:\\100%%\\%%%%"},
    };
    for (const Case& c : cases) {
        std::string text;
        ASSERT_TRUE(BatchQuotedPath(c.path, text)) << c.path;
        EXPECT_EQ(text, c.text) << c.path;
    }
}

// Runs the batch through the command interpreter and waits for it.
DWORD RunBatch(const std::wstring& batch)
{
    std::wstring command = L"cmd.exe /c \"" + batch + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process))
        return ::GetLastError();
    platform::ScopedHandle processHandle(process.hProcess);
    platform::ScopedHandle threadHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    return code;
}

TEST(RunOnceBatch, BatchDeletesExactlyTheNamedFilesThenItself)
{
    ScopedTempDir dir;
    // "%ZZV%" would expand to "decoy" if it were left unescaped.
    ::SetEnvironmentVariableW(L"ZZV", L"decoy");
    const std::wstring percent = dir / L"a%ZZV%b.txt";
    const std::wstring decoy = dir / L"adecoyb.txt";
    const std::wstring chinese = dir / L"壁纸缓存.tmp";
    for (const std::wstring& file : {percent, decoy, chinese}) testsupport::WriteBytes(file, "x");

    std::wstring batchPath;
    {
        RunOnceBatFile batch;
        for (const std::wstring& file : {percent, chinese}) {
            std::string quoted;
            ASSERT_TRUE(BatchQuotedPath(file, quoted));
            ASSERT_TRUE(batch.AppendLine("del /q \"" + quoted + "\" \r\n"));
        }
        std::string self;
        ASSERT_TRUE(BatchQuotedPath(batch.Path(), self));
        ASSERT_TRUE(batch.AppendLine("del /q \"" + self + "\" \r\n"));
        batchPath = batch.Path();
        EXPECT_EQ(::PathFindExtensionW(batchPath.c_str()), std::wstring(L".bat"));
        EXPECT_EQ(std::wstring(::PathFindFileNameW(batchPath.c_str())).rfind(L"vrk", 0), 0u);
    }
    RunBatch(batchPath);

    EXPECT_FALSE(::PathFileExistsW(percent.c_str()));
    EXPECT_FALSE(::PathFileExistsW(chinese.c_str()));
    EXPECT_TRUE(::PathFileExistsW(decoy.c_str()));
    EXPECT_FALSE(::PathFileExistsW(batchPath.c_str()));
    ::SetEnvironmentVariableW(L"ZZV", nullptr);
}

TEST(RunOnceBatch, LinesAreCutAt519Bytes)
{
    RunOnceBatFile batch;
    ASSERT_TRUE(batch.AppendLine(std::string(600, 'r')));
    const std::wstring path = batch.Path();
    batch.Close();
    EXPECT_EQ(testsupport::ReadBytes(path).size(), 519u);
    ::DeleteFileW(path.c_str());
}

}  // namespace
