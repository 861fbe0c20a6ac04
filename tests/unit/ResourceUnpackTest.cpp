#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "setupconfig/ResourceUnpack.h"
#include "TestSupport.h"

using testsupport::ListDirectory;
using testsupport::TempRoot;

namespace {

std::set<std::wstring> TempEntries()
{
    const auto names = ListDirectory(TempRoot());
    return {names.begin(), names.end()};
}

std::set<std::wstring> Added(const std::set<std::wstring>& before, const std::set<std::wstring>& after)
{
    std::set<std::wstring> added;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::inserter(added, added.end()));
    return added;
}

class ResourceUnpackTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testsupport::LoadTestArchiveLibrary()); }
    HINSTANCE module_ = ::GetModuleHandleW(nullptr);
};

TEST_F(ResourceUnpackTest, ShippedPackageYieldsExactlyTheTwoSetupFiles)
{
    CResourceUnpack unpack;
    ASSERT_TRUE(unpack.Init(module_, MAKEINTRESOURCEW(209), L"SETUPCONFIG"));
    EXPECT_GT(unpack.Size(), 32u);

    const auto before = TempEntries();
    std::wstring directory;
    ASSERT_TRUE(unpack.Unpack(directory));
    const auto added = Added(before, TempEntries());

    // Only the destination directory is new: the temporary archive is gone.
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(TempRoot() + *added.begin(), directory);
    EXPECT_TRUE(IsGuidTempName(*added.begin()));

    auto files = ListDirectory(directory);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::wstring>{L"UninstallRootDirFileList.xml", L"vovov.vrkprj"}));
    // Both files are UTF-16 with a byte-order mark.
    EXPECT_EQ(testsupport::ReadBytes(directory + L"\\vovov.vrkprj").substr(0, 2), "\xFF\xFE");
    DeleteTree(directory.c_str());
}

TEST_F(ResourceUnpackTest, EmptyTruncatedAndCorruptedPackagesFail)
{
    for (UINT id : {210u, 211u, 212u}) {
        CResourceUnpack unpack;
        ASSERT_TRUE(unpack.Init(module_, MAKEINTRESOURCEW(id), L"SETUPCONFIG")) << id;
        std::wstring directory = L"untouched";
        const auto before = TempEntries();
        EXPECT_FALSE(unpack.Unpack(directory)) << id;
        EXPECT_EQ(directory, L"untouched");
        // A failed extraction leaves its archive file and directory behind.
        for (const std::wstring& name : Added(before, TempEntries())) {
            const std::wstring leftover = TempRoot() + name;
            DeleteTree(leftover.c_str());
            ::DeleteFileW(leftover.c_str());
        }
    }
}

TEST_F(ResourceUnpackTest, MissingResourceFailsInit)
{
    CResourceUnpack unpack;
    EXPECT_FALSE(unpack.Init(module_, MAKEINTRESOURCEW(299), L"SETUPCONFIG"));
    EXPECT_EQ(unpack.Data(), nullptr);
    EXPECT_EQ(unpack.Size(), 0u);
}

// Always the same GUID: its one candidate name can be made to exist.
HRESULT WINAPI FixedGuid(GUID* guid)
{
    *guid = GUID{0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
    return S_OK;
}

TEST_F(ResourceUnpackTest, TenExistingCandidatesMakeUnpackFailWithoutWriting)
{
    const std::wstring taken = TempRoot() + L"{11111111-2222-3333-4444-555555555555}.tmp";
    ASSERT_TRUE(::CreateDirectoryW(taken.c_str(), nullptr));

    CResourceUnpack unpack(&FixedGuid);
    ASSERT_TRUE(unpack.Init(module_, MAKEINTRESOURCEW(209), L"SETUPCONFIG"));
    const auto before = TempEntries();
    std::wstring directory;
    EXPECT_FALSE(unpack.Unpack(directory));
    EXPECT_TRUE(Added(before, TempEntries()).empty());
    EXPECT_TRUE(ListDirectory(taken).empty());

    std::wstring path;
    EXPECT_FALSE(MakeFreshTempPath(path, &FixedGuid));
    ::RemoveDirectoryW(taken.c_str());
    EXPECT_TRUE(MakeFreshTempPath(path, &FixedGuid));
    EXPECT_EQ(path, taken);
}

TEST_F(ResourceUnpackTest, WriteToReplacesAnExistingFileWithTheRawBytes)
{
    testsupport::ScopedTempDir dir;
    const std::wstring path = dir / L"raw.7z";
    testsupport::WriteBytes(path, std::string(100000, 'x'));
    CResourceUnpack unpack;
    ASSERT_TRUE(unpack.Init(module_, MAKEINTRESOURCEW(209), L"SETUPCONFIG"));
    ASSERT_TRUE(unpack.WriteTo(path.c_str()));
    const std::string bytes = testsupport::ReadBytes(path);
    ASSERT_EQ(bytes.size(), unpack.Size());
    EXPECT_EQ(bytes.substr(0, 6), "7z\xBC\xAF\x27\x1C");
}

}  // namespace
