#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <clocale>
#include <regex>
#include <string>

#include "platform/Handles.h"
#include "startup/SmartLogger.h"
#include "TestSupport.h"

using testsupport::ReadBytes;
using testsupport::ScopedTempDir;

namespace {

const std::string kStamp = R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} )";

class SmartLoggerTest : public testing::Test {
protected:
    void SetUp() override
    {
        setlocale(LC_ALL, "chs");
        path_ = dir_ / L"vovov_uninst.log";
    }
    ScopedTempDir dir_;
    std::wstring path_;
};

TEST_F(SmartLoggerTest, FirstFlushWritesBannerWithCrCrLfThenStampedLines)
{
    CSmartLogger logger;
    logger.AddLine(L"before the path is set");  // kept until the first flush
    logger.SetLogPath(path_.c_str());
    logger.AddLine(L"second\n");
    ASSERT_EQ(logger.Flush(), 1);
    logger.AddLine(L"third");
    ASSERT_EQ(logger.Flush(), 1);

    const std::string bytes = ReadBytes(path_);
    const std::regex expected("\r\r\n================== Start Log:" + kStamp + " ==================\r\n" + kStamp +
                              "before the path is set\r\n" + kStamp + "second\r\n" + kStamp + "third\r\n");
    EXPECT_TRUE(std::regex_match(bytes, expected)) << bytes;
}

TEST_F(SmartLoggerTest, EmptyMessageGetsNoLineBreak)
{
    CSmartLogger logger;
    logger.SetLogPath(path_.c_str());
    logger.AddLine(L"");
    logger.AddLine(L"next");
    logger.Flush();
    const std::string bytes = ReadBytes(path_);
    EXPECT_TRUE(std::regex_search(bytes, std::regex("\r\n" + kStamp + kStamp + "next\r\n$"))) << bytes;
}

TEST_F(SmartLoggerTest, MissingDirectoryIsCreated)
{
    const std::wstring nested = dir_ / L"a\\b\\vovov_uninst.log";
    CSmartLogger logger;
    logger.SetLogPath(nested.c_str());
    logger.AddLine(L"x");
    EXPECT_EQ(logger.Flush(), 1);
    EXPECT_TRUE(::PathFileExistsW(nested.c_str()));
}

TEST_F(SmartLoggerTest, WithoutPathLinesWaitAndFlushFails)
{
    CSmartLogger logger;
    EXPECT_EQ(logger.AddLine(L"one"), 1u);
    EXPECT_EQ(logger.Flush(), 0);
    EXPECT_EQ(logger.AddLine(L"two"), 2u);
}

TEST_F(SmartLoggerTest, WriteLogKeeps511CharactersAndDrops512)
{
    Logger().SetLogPath(path_.c_str());
    const std::wstring fits(511, L'a');
    const std::wstring tooLong(512, L'b');
    WriteLog(L"%s", fits.c_str());
    WriteLog(L"%s", tooLong.c_str());
    WriteLog(L"%s%s", std::wstring(500, L'c').c_str(), std::wstring(12, L'c').c_str());

    const std::string bytes = ReadBytes(path_);
    EXPECT_NE(bytes.find(std::string(511, 'a') + "\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find('b'), std::string::npos);
    EXPECT_EQ(bytes.find("ccc"), std::string::npos);
}

TEST_F(SmartLoggerTest, WriteLogKeepsPercentSignsOfArgumentsAndWritesCodePage936)
{
    Logger().SetLogPath(path_.c_str());
    WriteLog(L"delete %s failed, error=%d", L"C:\\a%sb%d.txt", 5);
    WriteLog(L"%s", L"100% done %n %s");
    WriteLog(L"卸载 %s", L"完成");

    const std::string bytes = ReadBytes(path_);
    EXPECT_NE(bytes.find("delete C:\\a%sb%d.txt failed, error=5\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("100% done %n %s\r\n"), std::string::npos) << bytes;
    // "卸载 完成" in GBK.
    EXPECT_NE(bytes.find("\xD0\xB6\xD4\xD8 \xCD\xEA\xB3\xC9\r\n"), std::string::npos) << bytes;
}

TEST_F(SmartLoggerTest, FileIsDeletedAtStartOnlyWhenLargerThanOneGiB)
{
    struct Case {
        long long size;
        bool kept;
    };
    for (const Case c : {Case{CSmartLogger::kMaxFileSize, true}, Case{CSmartLogger::kMaxFileSize + 1, false}}) {
        {
            // Sparse on the host's file system: no gigabyte is written.
            platform::ScopedHandle file(::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                      FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(file);
            DWORD ignored = 0;
            ::DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
            LARGE_INTEGER end{};
            end.QuadPart = c.size;
            ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
            ASSERT_TRUE(::SetEndOfFile(file.get()));
        }
        CSmartLogger logger;
        logger.SetLogPath(path_.c_str());
        EXPECT_EQ(::PathFileExistsW(path_.c_str()) != FALSE, c.kept) << c.size;
        if (!c.kept) {
            logger.AddLine(L"fresh");
            logger.Flush();
            const std::string bytes = ReadBytes(path_);
            EXPECT_EQ(bytes.rfind("\r\r\n================== Start Log:", 0), 0u);
        }
        ::DeleteFileW(path_.c_str());
    }
}

}  // namespace

namespace {

// The suite runs once on a Chinese system and once on a Western one; make
// sure each run really has the code page it is meant to test.
TEST(SmartLoggerCodePage, RunHasTheIntendedAnsiCodePage)
{
    wchar_t locale[64] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"TEST_LOCALE", locale, 64);
    const bool western = length > 0 && length < 64 && std::wstring(locale).rfind(L"C.", 0) == 0;
    EXPECT_EQ(::GetACP(), western ? 1252u : 936u);
}

}  // namespace
