#include <gtest/gtest.h>

#include "startup/RelocationDir.h"
#include "TestSupport.h"

using testsupport::NewGuidName;
using testsupport::TempRoot;

namespace {

TEST(RelocationDir, OnlyAGuidTmpDirectoryDirectlyUnderTempQualifies)
{
    const std::wstring temp = TempRoot();  // ends in a backslash
    const std::wstring guid = NewGuidName();
    struct Case {
        std::wstring path;
        bool relocation;
    } cases[] = {
        {temp + guid, true},
        {temp + guid + L"\\", true},
        {temp + L"sub\\..\\" + guid, true},
        {temp + L"sub\\" + guid, false},
        {temp + L"not-a-guid.tmp", false},
        {temp.substr(0, temp.size() - 1), false},
        {L"C:\\Program Files\\Zuzire", false},
        {L"C:\\" + guid, false},
        {L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsRelocationDirectory(c.path), c.relocation) << c.path;
}

TEST(RelocationDir, OwnDirectoryIsTheTestProgramsDirectory)
{
    wchar_t module[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    ::PathRemoveFileSpecW(module);
    EXPECT_EQ(GetOwnDirectory(), module);
}

}  // namespace
