#include <gtest/gtest.h>

#include "generated/BuildConstants.h"
#include "startup/FileSigner.h"
#include "TestSupport.h"

using testsupport::DataFile;

namespace {

struct SignerCase {
    const wchar_t* file;
    bool trusted;
};

std::string CaseName(const testing::TestParamInfo<SignerCase>& info)
{
    std::string name;
    for (const wchar_t* c = info.param.file; *c && *c != L'.'; ++c) name += static_cast<char>(*c);
    return name;
}

class FileSignerTable : public testing::TestWithParam<SignerCase> {};

TEST_P(FileSignerTable, OnlyTheIntactSignatureOfThePublisherIsTrusted)
{
    const std::wstring path = DataFile(GetParam().file);
    ASSERT_TRUE(::PathFileExistsW(path.c_str())) << "test file not built";
    EXPECT_EQ(VerifyFileSigner(path.c_str()), GetParam().trusted);
}

INSTANTIATE_TEST_SUITE_P(Files, FileSignerTable,
                         testing::Values(SignerCase{L"signed_publisher.exe", true},
                                         SignerCase{L"signed_other.exe", false},
                                         SignerCase{L"unsigned.exe", false},
                                         SignerCase{L"signed_tampered.exe", false}),
                         &CaseName);

TEST(FileSigner, MissingFileAndNullPathAreRejected)
{
    EXPECT_FALSE(VerifyFileSigner(nullptr));
    EXPECT_FALSE(VerifyFileSigner(DataFile(L"no_such_file.exe").c_str()));
}

TEST(FileSigner, SignerNameIsReadFromTheSigningCertificate)
{
    wchar_t name[512] = {};
    ASSERT_TRUE(GetVerifiedSignerName(DataFile(L"signed_other.exe").c_str(), name, 512));
    EXPECT_STRNE(name, UNINSTALL_TRUSTED_PUBLISHER);
    ASSERT_TRUE(GetVerifiedSignerName(DataFile(L"signed_publisher.exe").c_str(), name, 512));
    EXPECT_STREQ(name, UNINSTALL_TRUSTED_PUBLISHER);
}

}  // namespace
