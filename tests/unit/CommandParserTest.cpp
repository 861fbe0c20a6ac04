#include <gtest/gtest.h>

#include <windows.h>

#include <clocale>
#include <optional>
#include <string>

#include "startup/CommandParser.h"

namespace {

struct SwitchCase {
    const wchar_t* commandLine;
    const wchar_t* name;
    bool present;
    std::optional<std::wstring> value;  // checked when set
};

class CommandParserTable : public testing::TestWithParam<SwitchCase> {
protected:
    static void SetUpTestSuite() { setlocale(LC_ALL, "chs"); }
};

TEST_P(CommandParserTable, SwitchPresenceAndValue)
{
    const SwitchCase& c = GetParam();
    CCommandParser& parser = *CCommandParser::Instance();
    ASSERT_EQ(parser.SetCommandLine(c.commandLine), 1);
    EXPECT_EQ(parser.HasSwitch(c.name), c.present) << c.commandLine;

    std::wstring value = L"untouched";
    EXPECT_EQ(parser.GetSwitchValue(c.name, value), c.present);
    if (!c.present) EXPECT_EQ(value, L"untouched");
    if (c.value) EXPECT_EQ(value, *c.value) << c.commandLine;
}

// The system hands wWinMain the command line without the program path, so
// the splitter reads the first switch with its rules for a program name
// (quotes kept literally) and the others with the argument rules.
INSTANTIATE_TEST_SUITE_P(
    Table, CommandParserTable,
    testing::Values(
        SwitchCase{L"/S", L"/S", true, L""},
        SwitchCase{L"/s", L"/S", true, L""},
        SwitchCase{L"-S", L"/S", false, {}},
        SwitchCase{L"/SILENT", L"/S", false, {}},
        SwitchCase{L"S", L"/S", false, {}},
        SwitchCase{L"/S=0", L"/S", true, L"0"},
        SwitchCase{L"\"  /K  \"", L"/K", true, L""},
        SwitchCase{L"/S \"  /K  \"", L"/K", true, L""},
        SwitchCase{L"/CHK=abc", L"/CHK", true, L"abc"},
        SwitchCase{L"/CHK=\"abc\"", L"/CHK", true, L"abc"},
        SwitchCase{L"/S /chk=\"abc\"", L"/CHK", true, L"abc"},
        SwitchCase{L"/S /chk=\\\"abc\\\"", L"/CHK", true, L"abc"},
        SwitchCase{L"/S /CHK=\\\"", L"/CHK", true, L""},
        SwitchCase{L"/S /CHK=\\\"abc", L"/CHK", true, L"abc"},
        SwitchCase{L"/S /CHK=abc\\\"", L"/CHK", true, L"abc"},
        SwitchCase{L"/S \"/CHK=  spaced value  \"", L"/CHK", true, L"spaced value"},
        SwitchCase{L"a=b=c", L"A", true, L"b=c"},
        SwitchCase{L"=x", L"", true, L"x"},
        SwitchCase{L"/CHK=one /CHK=two", L"/CHK", true, L"two"},
        SwitchCase{L"/READYUNINSTALL  /K", L"/readyuninstall", true, L""},
        SwitchCase{L"/READYUNINSTALL  /K", L"/K", true, L""},
        SwitchCase{L"/READYUNINSTALL /S  /CHK=token", L"/CHK", true, L"token"},
        SwitchCase{L"/READYUNINSTALL /S  /CHK=token", L"/S", true, L""},
        SwitchCase{L"", L"/S", false, {}},
        SwitchCase{nullptr, L"/READYUNINSTALL", false, {}},
        SwitchCase{L"/K", L"/CHK", false, {}}),
    [](const testing::TestParamInfo<SwitchCase>& info) { return "case" + std::to_string(info.index); });

TEST(CommandParser, EmptyCommandLineBecomesTheProgramPathAlone)
{
    // The platform splitter yields the program's own path for an empty line.
    CCommandParser& parser = *CCommandParser::Instance();
    parser.SetCommandLine(L"");
    EXPECT_FALSE(parser.IsSilent());
    EXPECT_FALSE(parser.HasSwitch(L"/READYUNINSTALL"));
    EXPECT_FALSE(parser.HasSwitch(L"/K"));
}

TEST(CommandParser, LaterCommandLineReplacesTheTable)
{
    CCommandParser& parser = *CCommandParser::Instance();
    parser.SetCommandLine(L"/S /K");
    parser.SetCommandLine(L"/READYUNINSTALL");
    EXPECT_FALSE(parser.IsSilent());
    EXPECT_FALSE(parser.HasSwitch(L"/K"));
    EXPECT_TRUE(parser.HasSwitch(L"/READYUNINSTALL"));
}

DWORD WINAPI TakeInstance(void* slot)
{
    *static_cast<CCommandParser**>(slot) = CCommandParser::Instance();
    return 0;
}

TEST(CommandParser, SingletonIsCreatedOnceAcrossThreads)
{
    CCommandParser* seen[8] = {};
    HANDLE threads[8];
    for (int i = 0; i < 8; ++i)
        threads[i] = ::CreateThread(nullptr, 0, &TakeInstance, &seen[i], 0, nullptr);
    ::WaitForMultipleObjects(8, threads, TRUE, INFINITE);
    for (HANDLE thread : threads) ::CloseHandle(thread);
    for (CCommandParser* instance : seen) EXPECT_EQ(instance, CCommandParser::Instance());
}

}  // namespace
