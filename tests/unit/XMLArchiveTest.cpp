#include <gtest/gtest.h>

#include "setupconfig/XMLArchive.h"
#include "TestSupport.h"

using testsupport::ScopedTempDir;
using testsupport::WriteUtf16File;

namespace {

class XMLArchiveTest : public testing::Test {
protected:
    void SetUp() override { ::CoInitialize(nullptr); }
    void TearDown() override { ::CoUninitialize(); }

    // Opens `text` written as the product's UTF-16 file.
    void OpenText(CXMLArchive& archive, const std::wstring& text)
    {
        const std::wstring path = dir_ / L"file.xml";
        WriteUtf16File(path, L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\n" + text);
        ASSERT_EQ(archive.Open(path.c_str(), 0), S_OK);
    }
    static std::wstring Names(const CXMLArchiveItemList& list)
    {
        std::wstring names;
        for (long i = 0; i < list.GetCount(); ++i) {
            std::wstring name;
            list.GetItem(i).GetAttrString(L"n", name, L"?");
            names += (names.empty() ? L"" : L",") + name;
        }
        return names;
    }
    ScopedTempDir dir_;
};

TEST_F(XMLArchiveTest, PathSelectsFirstMatchPerSegmentAndAllMatchesOfTheLast)
{
    CXMLArchive archive;
    OpenText(archive, LR"(<Setup>
  <Main n="main"/>
  <Wrapper><Deep n="deep1"/></Wrapper>
  <CloseAllPrograms><Program n="p1"/><Group><Program n="p2"/></Group></CloseAllPrograms>
  <CloseAllPrograms><Program n="p3"/></CloseAllPrograms>
  <main n="lower"/>
</Setup>)");
    struct Case {
        const wchar_t* path;
        const wchar_t* names;
    } cases[] = {
        {L"Setup/Main", L"main"},
        {L"Setup/Deep", L"deep1"},                       // any depth below the previous element
        {L"Setup/CloseAllPrograms/Program", L"p1,p2"},   // only the first CloseAllPrograms
        {L"Setup\\CloseAllPrograms\\Program", L"p1,p2"}, // either separator
        {L"Setup/main", L"lower"},                       // tag names keep their case
        {L"Setup/Missing", L""},
        {L"Setup/Missing/Program", L""},
        {L"Nothing/Main", L""},
        {L"/Setup/Main", L""},                           // empty first segment
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(Names(archive.SelectNodes(c.path)), c.names) << c.path;

    const std::wstring tooLong = L"Setup/" + std::wstring(2043, L'M');
    EXPECT_EQ(archive.SelectNodes(tooLong.c_str()).GetCount(), 0);
    EXPECT_FALSE(archive.SelectNode(L"Setup/Missing").IsValid());
    EXPECT_TRUE(archive.SelectNode(L"Setup/Main").IsValid());
    EXPECT_FALSE(archive.SelectNodes(L"Setup/Main").GetItem(1).IsValid());
    EXPECT_FALSE(archive.SelectNodes(L"Setup/Main").GetItem(-1).IsValid());
}

TEST_F(XMLArchiveTest, AttributesAsTextAndIntegers)
{
    CXMLArchive archive;
    OpenText(archive, LR"(<Setup><Item hex="0x1F" bare="0x" eleven="0x123456789" blank=" 42" tail="12abc" empty="" text="值"/></Setup>)");
    const CXMLArchiveItem item = archive.SelectNode(L"Setup/Item");
    ASSERT_TRUE(item.IsValid());

    struct Case {
        const wchar_t* name;
        bool present;
        int value;
    } cases[] = {
        {L"hex", true, 31}, {L"bare", true, 0},  {L"eleven", true, 0}, {L"blank", true, 42},
        {L"tail", true, 12}, {L"empty", true, 0}, {L"missing", false, -5},
    };
    for (const Case& c : cases) {
        int value = 1234;
        EXPECT_EQ(item.GetAttrInt(c.name, value, -5), c.present) << c.name;
        EXPECT_EQ(value, c.value) << c.name;
    }

    std::wstring text = L"untouched";
    EXPECT_TRUE(item.GetAttrString(L"text", text, L"default"));
    EXPECT_EQ(text, L"值");
    EXPECT_FALSE(item.GetAttrString(L"missing", text, nullptr));
    EXPECT_EQ(text, L"");
    EXPECT_FALSE(item.GetAttrString(L"missing", text, L"fallback"));
    EXPECT_EQ(text, L"fallback");
    text = L"untouched";
    EXPECT_FALSE(item.GetAttrString(L"", text, L"fallback"));
    EXPECT_EQ(text, L"untouched");

    CXMLArchiveItem empty;
    int value = 0;
    EXPECT_FALSE(empty.GetAttrInt(L"hex", value, 9));
    EXPECT_EQ(value, 9);
}

TEST_F(XMLArchiveTest, ItemsOutliveTheirArchive)
{
    CXMLArchiveItem kept;
    {
        CXMLArchive archive;
        OpenText(archive, LR"(<Setup><Main Version="1.0"/></Setup>)");
        kept = archive.SelectNode(L"Setup/Main");
    }
    std::wstring version;
    EXPECT_TRUE(kept.GetAttrString(L"Version", version, nullptr));
    EXPECT_EQ(version, L"1.0");
}

TEST_F(XMLArchiveTest, BadFilesFailToOpenAndSelectNothing)
{
    const std::wstring notXml = dir_ / L"not.xml";
    testsupport::WriteBytes(notXml, "this is not XML at all \x01\x02\x03");
    const std::wstring truncated = dir_ / L"truncated.xml";
    WriteUtf16File(truncated, L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\n<Setup><Main Version=\"1");
    const std::wstring empty = dir_ / L"empty.xml";
    testsupport::WriteBytes(empty, "");

    for (const std::wstring& path : {dir_ / L"missing.xml", notXml, truncated, empty, dir_.path()}) {
        CXMLArchive archive;
        EXPECT_EQ(archive.Open(path.c_str(), 0), E_FAIL) << path;
        EXPECT_EQ(archive.SelectNodes(L"Setup/Main").GetCount(), 0);
    }
    CXMLArchive unopened;
    EXPECT_FALSE(unopened.SelectNode(L"Setup/Main").IsValid());
}

}  // namespace
