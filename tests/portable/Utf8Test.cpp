// The hand-written UTF-16 <-> UTF-8 conversion behind the text cipher.
#include <gtest/gtest.h>

#include <string>

#include "report/Utf8.h"

namespace {

const wchar_t kReplacement = static_cast<wchar_t>(0xFFFD);

TEST(Utf8, EncodesOneToFourByteForms)
{
    EXPECT_EQ(EncodeUtf8(L"A"), "A");
    EXPECT_EQ(EncodeUtf8(std::wstring{static_cast<wchar_t>(0xE9)}), "\xC3\xA9");
    EXPECT_EQ(EncodeUtf8(L"卸载"), "\xE5\x8D\xB8\xE8\xBD\xBD");
    EXPECT_EQ(EncodeUtf8(L"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(EncodeUtf8(std::wstring(1, L'\0')), std::string(1, '\0'));
}

TEST(Utf8, UnpairedSurrogatesBecomeReplacementCharacters)
{
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(EncodeUtf8(std::wstring{static_cast<wchar_t>(0xD83D)}), fffd);
    EXPECT_EQ(EncodeUtf8(std::wstring{static_cast<wchar_t>(0xDE00), L'x'}), fffd + "x");
    EXPECT_EQ(EncodeUtf8(std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xD83D), L'x'}),
              fffd + fffd + "x");
}

TEST(Utf8, DecodesValidTextBothWays)
{
    const std::wstring texts[] = {L"", L"plain ASCII", L"卸载完成", L"a\U0001F600b", L"\U0010FFFF"};
    for (const std::wstring& text : texts) EXPECT_EQ(DecodeUtf8(EncodeUtf8(text)), text);
}

TEST(Utf8, InvalidBytesBecomeOneReplacementPerMaximalSubpart)
{
    const struct {
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"\xFF", {kReplacement}},
        {"\x80x", {kReplacement, L'x'}},
        {"\xC0\xAF", {kReplacement, kReplacement}},              // overlong
        {"\xE0\x80\xAF", {kReplacement, kReplacement, kReplacement}},
        {"\xED\xA0\x80", {kReplacement, kReplacement, kReplacement}},  // encoded surrogate
        {"\xF4\x90\x80\x80", {kReplacement, kReplacement, kReplacement, kReplacement}},  // above U+10FFFF
        {"\xE5\x8D", {kReplacement}},                           // truncated at the end
        {"\xE5\x8Dx", {kReplacement, L'x'}},                     // broken by an ASCII byte
        {"\xF0\x9F\x98", {kReplacement}},
        {"a\xC3(", {L'a', kReplacement, L'('}},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeUtf8(c.bytes), c.text) << testing::PrintToString(c.bytes);
}

}  // namespace
