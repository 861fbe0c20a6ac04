#include <gtest/gtest.h>

#include "startup/TempName.h"

namespace {

TEST(TempName, ThirdGroupIsLowerCaseTheOthersUpper)
{
    const GuidParts guid{0x0a1b2c3d, 0xabcd, 0xef01, {0xaa, 0xbb, 0x01, 0x02, 0xcc, 0xdd, 0xee, 0xff}};
    EXPECT_EQ(FormatGuidTempName(guid), L"{0A1B2C3D-ABCD-ef01-AABB-0102CCDDEEFF}.tmp");
    EXPECT_EQ(FormatGuidTempName(GuidParts{}), L"{00000000-0000-0000-0000-000000000000}.tmp");
}

TEST(TempName, RecognisesOnlyTheGuidTmpShape)
{
    struct Case {
        const wchar_t* name;
        bool matches;
    } cases[] = {
        {L"{0A1B2C3D-ABCD-ef01-AABB-0102CCDDEEFF}.tmp", true},
        {L"{0a1b2c3d-abcd-EF01-aabb-0102ccddeeff}.TMP", true},
        {L"{0A1B2C3D-ABCD-ef01-AABB-0102CCDDEEFF}", false},
        {L"{0A1B2C3D-ABCD-ef01-AABB-0102CCDDEEFF}.tmp.bak", false},
        {L"{0A1B2C3D-ABCD-ef01-AABB-0102CCDDEEFG}.tmp", false},
        {L"{0A1B2C3D_ABCD-ef01-AABB-0102CCDDEEFF}.tmp", false},
        {L"Zuzire", false},
        {L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsGuidTempName(c.name), c.matches) << c.name;
}

}  // namespace
