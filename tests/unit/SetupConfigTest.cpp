#include <gtest/gtest.h>

#include <cstring>

#include "setupconfig/SetupConfig.h"
#include "TestSupport.h"

using testsupport::ScopedTempDir;
using testsupport::WriteUtf16File;

namespace {

class SetupConfigTest : public testing::Test {
protected:
    void SetUp() override
    {
        ::CoInitialize(nullptr);
        ASSERT_TRUE(testsupport::LoadTestArchiveLibrary());
        WriteUtf16File(dir_ / L"list.xml", LR"(<?xml version="1.0" encoding="utf-16"?>
<RootDirFiles><Dir><Item Name="data"/></Dir><File><Item Name="App.exe"/></File></RootDirFiles>)");
    }
    void TearDown() override { ::CoUninitialize(); }

    // A configuration file with the given body inside Setup.
    std::wstring WriteConfig(const std::wstring& body, const wchar_t* name = L"setup.vrkprj")
    {
        const std::wstring path = dir_ / name;
        WriteUtf16File(path, L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\n<Setup>\n" + body + L"\n</Setup>\n");
        return path;
    }
    static std::wstring Base() { return LR"(<Main Version="2.0"/><UninstallRootDirFileList File="list.xml"/>)"; }

    ScopedTempDir dir_;
};

TEST_F(SetupConfigTest, ShippedConfigurationLoadsWithItsValues)
{
    auto* config = new CSetupConfig;
    ASSERT_EQ(config->LoadFromResource(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(209), L"SETUPCONFIG",
                                       L"vovov.vrkprj"),
              1);
    wchar_t text[260];
    EXPECT_EQ(config->GetVersion(text, 260), 1);
    EXPECT_STREQ(text, L"1.2.1.8888");
    EXPECT_EQ(config->GetMainApp(text, 260), 1);
    EXPECT_STREQ(text, L"Zuzire.exe");
    EXPECT_EQ(config->GetRegAppPathKey(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(config->GetRegAppPathSubKey(text, 260), 1);
    EXPECT_STREQ(text, L"SOFTWARE\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\Zuzire.exe");
    EXPECT_EQ(config->GetRegAppPathValue(text, 260), 1);
    EXPECT_STREQ(text, L"Path");
    EXPECT_EQ(config->GetMinimizeSpace(), 200);
    EXPECT_EQ(config->GetFileCount(), 200);
    EXPECT_EQ(config->GetCloseProgramCount(), 0);
    EXPECT_EQ(config->GetCheckFileCount(), 0);
    EXPECT_EQ(config->GetInstProgramCount(), 0);
    EXPECT_EQ(config->GetRundllCount(), 0);

    ASSERT_EQ(config->GetUninstProgramCount(), 1);
    ProgramRecord program;
    ASSERT_EQ(config->GetUninstProgram(0, &program), 1);
    EXPECT_STREQ(program.fileName, L"provider\\rovirazozu.dll");
    EXPECT_STREQ(program.type, L"dll");
    EXPECT_STREQ(program.funcName, L"DS");
    EXPECT_STREQ(program.cmdline, L"");
    EXPECT_EQ(program.waitTime, 0u);
    EXPECT_EQ(program.sync, 1u);

    IUninstallRootDirList* list = config->GetRootDirList();
    EXPECT_EQ(list->GetCount(), 7 + 31);
    for (const wchar_t* name : {L"ZUZIRE.EXE", L"zuzire.exe", L"Zuzire.exe", L"uninstall.exe", L"Game", L"UPDATE"})
        EXPECT_TRUE(list->Contains(name)) << name;
    for (const wchar_t* name : {L"Wallpapers", L"user.txt", L"", L"zuzire"}) EXPECT_FALSE(list->Contains(name)) << name;
    RootDirEntry entry;
    EXPECT_TRUE(list->GetEntry(0, &entry));
    EXPECT_FALSE(list->GetEntry(list->GetCount(), &entry));
    EXPECT_FALSE(list->GetEntry(0, nullptr));

    // The unpack directory goes with the configuration object.
    const std::wstring unpacked = config->GetUnpackDirectory();
    EXPECT_TRUE(::PathIsDirectoryW(unpacked.c_str()));
    config->Release();
    EXPECT_FALSE(::PathFileExistsW(unpacked.c_str()));
}

TEST_F(SetupConfigTest, RootDirectoryListDecidesWhetherTheConfigurationIsUsable)
{
    struct Case {
        const wchar_t* body;
        bool loads;
        int listCount;
    } cases[] = {
        {LR"(<Main Version="1"/><UninstallRootDirFileList File="list.xml"/>)", true, 2},
        {LR"(<Main Version="1"/><UninstallRootDirFileList File="not-in-package.xml"/>)", false, 0},
        // Without File the list path is the configuration directory: it exists, the list stays empty.
        {LR"(<Main Version="1"/><UninstallRootDirFileList/>)", true, 0},
        {LR"(<Main Version="1"/>)", false, 0},
        // Without Main the list element is not read at all.
        {LR"(<UninstallRootDirFileList File="list.xml"/>)", false, 0},
    };
    for (const Case& c : cases) {
        CSetupConfig config;
        EXPECT_EQ(config.Load(WriteConfig(c.body).c_str()), c.loads) << c.body;
        EXPECT_EQ(config.GetRootDirList()->GetCount(), c.listCount) << c.body;
    }
}

TEST_F(SetupConfigTest, RootKeyAndMessageNames)
{
    struct KeyCase {
        const wchar_t* name;
        HKEY key;
    } keys[] = {{L"hkey_current_user", HKEY_CURRENT_USER}, {L"HKEY_USERS", HKEY_USERS},
                {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},  {L"Hkey_Current_Config", HKEY_CURRENT_CONFIG},
                {L"HKEY_BOGUS", HKEY_LOCAL_MACHINE},        {L"", HKEY_LOCAL_MACHINE}};
    for (const KeyCase& c : keys) {
        CSetupConfig config;
        ASSERT_TRUE(config.Load(WriteConfig(Base() + L"<RegAppPath HKEY=\"" + c.name + L"\" SubKey=\"S\"/>").c_str()));
        EXPECT_EQ(config.GetRegAppPathKey(), c.key) << c.name;
    }

    CSetupConfig config;
    ASSERT_TRUE(config.Load(WriteConfig(Base() + LR"(<CloseAllPrograms>
      <Program WindowClass="A"/>
      <Program WindowClass="B" Message="WM_command"/>
      <Program WindowClass="C" Message="WM_QUIT" WPARAM="0x10" LPARAM="7" Timeout="500"/>
      <Program WindowClass="D" Message="WM_COMMAND"/>
      <Program WindowClass=")" + std::wstring(196, L'x') + LR"("/>
      <Program WindowClass=")" + std::wstring(195, L'y') + LR"("/>
    </CloseAllPrograms>)").c_str()));
    ASSERT_EQ(config.GetCloseProgramCount(), 5);
    CloseProgramRecord r;
    struct Expected {
        UINT message, wParam, lParam, timeout;
    } expected[] = {{WM_CLOSE, 360, 360, 2000}, {WM_CLOSE, 360, 360, 2000}, {WM_QUIT, 16, 7, 500},
                    {WM_COMMAND, 360, 360, 2000}, {WM_CLOSE, 360, 360, 2000}};
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(config.GetCloseProgram(i, &r), 1);
        EXPECT_EQ(r.message, expected[i].message) << i;
        EXPECT_EQ(r.wParam, expected[i].wParam) << i;
        EXPECT_EQ(r.lParam, expected[i].lParam) << i;
        EXPECT_EQ(r.timeoutMs, expected[i].timeout) << i;
    }
    EXPECT_EQ(std::wcslen(r.windowClass), 195u);
}

TEST_F(SetupConfigTest, RundllAndProgramItemsAreFilteredAndBounded)
{
    const std::wstring tooLong(260, L'z');
    CSetupConfig config;
    ASSERT_TRUE(config.Load(WriteConfig(Base() + LR"(<RundllUnRegisterOnUnInst>
      <Item System="64" FileName="a64.dll" Entry="Unreg" Cmdline="/u" WaitTime="0x10"/>
      <Item System="32" FileName="a32.dll" Entry="Unreg"/>
      <Item System="x64" FileName="x.dll" Entry="Unreg"/>
      <Item FileName="none.dll" Entry="Unreg"/>
      <Item System="64" FileName=")" + tooLong + LR"(" Entry="Unreg"/>
    </RundllUnRegisterOnUnInst>
    <CallProgramOnUninst>
      <Program FileName="p1.exe" Type="exe" WaitTime="3000" Sync="0"/>
      <Program FileName="p2.exe" Para=")" + tooLong + LR"("/>
      <Program FileName="p3.exe"/>
    </CallProgramOnUninst>)").c_str()));

    // The test prefix is 64-bit Windows: only System "64" items are kept.
    ASSERT_EQ(config.GetRundllCount(), 1);
    RundllRecord rundll;
    ASSERT_EQ(config.GetRundll(0, &rundll), 1);
    EXPECT_STREQ(rundll.fileName, L"a64.dll");
    EXPECT_STREQ(rundll.cmdline, L"/u");
    EXPECT_EQ(rundll.waitTime, 16u);

    ASSERT_EQ(config.GetUninstProgramCount(), 2);
    ProgramRecord program;
    ASSERT_EQ(config.GetUninstProgram(0, &program), 1);
    EXPECT_STREQ(program.fileName, L"p1.exe");
    EXPECT_EQ(program.waitTime, 3000u);
    EXPECT_EQ(program.sync, 0u);
    ASSERT_EQ(config.GetUninstProgram(1, &program), 1);
    EXPECT_STREQ(program.fileName, L"p3.exe");
    EXPECT_EQ(program.sync, 1u);

    std::memset(&program, 0xAB, sizeof(program));
    EXPECT_EQ(config.GetUninstProgram(2, &program), 0);
    const ProgramRecord zero{};
    EXPECT_EQ(std::memcmp(&program, &zero, sizeof(program)), 0);
    EXPECT_EQ(config.GetUninstProgram(-1, &program), 0);
}

TEST_F(SetupConfigTest, TextGettersHonourTheirBufferSize)
{
    CSetupConfig config;
    ASSERT_TRUE(config.Load(
        WriteConfig(LR"(<Main Version="1.2.3.456"/><UninstallRootDirFileList File="list.xml"/>)").c_str()));
    wchar_t buffer[16];
    std::wmemset(buffer, L'#', 16);
    EXPECT_EQ(config.GetVersion(buffer, 9), 0);  // nine characters need ten places
    EXPECT_STREQ(buffer, L"");
    EXPECT_EQ(config.GetVersion(buffer, 10), 1);
    EXPECT_STREQ(buffer, L"1.2.3.456");
    EXPECT_EQ(config.GetMainApp(buffer, 16), 1);
    EXPECT_STREQ(buffer, L"");
    EXPECT_EQ(config.GetCheckFile(0, buffer, 16), 0);
    EXPECT_EQ(config.GetMinimizeSpace(), 100);  // defaults stay when the attributes are absent
    EXPECT_EQ(config.GetFileCount(), 200);
}

TEST_F(SetupConfigTest, DamagedAndHugeConfigurationsFailOrLoadWithoutCrashing)
{
    CSetupConfig notXml;
    const std::wstring garbage = dir_ / L"garbage.vrkprj";
    testsupport::WriteBytes(garbage, std::string(4096, '\x7f'));
    EXPECT_FALSE(notXml.Load(garbage.c_str()));

    CSetupConfig truncated;
    const std::wstring cut = dir_ / L"cut.vrkprj";
    WriteUtf16File(cut, L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\n<Setup><Main Version=\"1\"/><Uninstall");
    EXPECT_FALSE(truncated.Load(cut.c_str()));

    // About 4 MB: thousands of close records and an over-long attribute.
    std::wstring body = Base() + L"<CloseAllPrograms>";
    for (int i = 0; i < 20000; ++i) body += L"<Program WindowClass=\"Class" + std::to_wstring(i) + L"\" Timeout=\"1\"/>\n";
    body += L"<Program WindowClass=\"" + std::wstring(500000, L'w') + L"\"/></CloseAllPrograms>";
    CSetupConfig huge;
    EXPECT_TRUE(huge.Load(WriteConfig(body, L"huge.vrkprj").c_str()));
    EXPECT_EQ(huge.GetCloseProgramCount(), 20000);

    CSetupConfig longPath;
    const std::wstring path = L"C:\\" + std::wstring(520, L'p') + L".vrkprj";
    EXPECT_FALSE(longPath.Load(path.c_str()));
    EXPECT_FALSE(longPath.Load(nullptr));
}

TEST(UninstallRootDirList, ItemsNamesAndSections)
{
    ::CoInitialize(nullptr);
    ScopedTempDir dir;
    struct Case {
        const wchar_t* xml;
        bool loads;
        int count;
    } cases[] = {
        {LR"(<RootDirFiles><File><Item Name="a.exe"/><Item Name="A.EXE"/></File></RootDirFiles>)", true, 1},
        {LR"(<RootDirFiles><File><Group><Item Name="deep.dll" optional="0x2"/></Group></File></RootDirFiles>)", true, 1},
        {LR"(<RootDirFiles><Dir><Item/></Dir></RootDirFiles>)", true, 1},
        {LR"(<RootDirFiles/>)", true, 0},
        {LR"(<RootDirFiles><Dir><Item Name="x"/></Dir><Dir><Item Name="ignored"/></Dir></RootDirFiles>)", true, 1},
    };
    for (const Case& c : cases) {
        const std::wstring path = dir / L"list.xml";
        WriteUtf16File(path, std::wstring(L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\n") + c.xml);
        CUninstallRootDirList list;
        EXPECT_EQ(list.Load(path.c_str()), c.loads) << c.xml;
        EXPECT_EQ(list.GetCount(), c.count) << c.xml;
    }

    CUninstallRootDirList list;
    WriteUtf16File(dir / L"l.xml", LR"(<RootDirFiles><Dir><Item Name="Same"/><Item/></Dir>
      <File><Item Name="same" optional="5"/></File></RootDirFiles>)");
    ASSERT_TRUE(list.Load((dir / L"l.xml").c_str()));
    EXPECT_TRUE(list.Contains(L""));  // an Item without Name adds the empty name
    RootDirEntry entry;
    ASSERT_TRUE(list.GetEntry(1, &entry));  // keys in order: "", "SAME"
    EXPECT_STREQ(entry.name, L"same");      // the File record replaced the Dir one
    EXPECT_EQ(entry.isDirectory, 0);
    EXPECT_EQ(entry.optional, 5);
    EXPECT_EQ(list.Remove(L"SAME"), 1);
    EXPECT_FALSE(list.Contains(L"same"));
    EXPECT_EQ(list.Remove(L"absent"), 1);

    // A failed load keeps what was there.
    EXPECT_FALSE(list.Load((dir / L"missing.xml").c_str()));
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_FALSE(list.Load(nullptr));

    CUninstallRootDirList fromResource;
    EXPECT_EQ(fromResource.LoadFromResource(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(213), L"ROOTDIRLIST"), 1);
    EXPECT_TRUE(fromResource.Contains(L"ZUZIRE.EXE"));
    EXPECT_EQ(fromResource.LoadFromResource(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(299), L"ROOTDIRLIST"), 0);
    ::CoUninitialize();
}

}  // namespace
