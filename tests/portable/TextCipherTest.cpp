// The text cipher: Blowfish as published, Base64, zero
// padding, the UTF-16 text forms and the driver's unlock answer. Expected
// cipher texts come from independent implementations: Eric Young's published
// vector set and python3's pycryptodome (Blowfish ECB, zero padding, base64).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "report/Base64.h"
#include "report/Blowfish.h"
#include "report/CipherKeys.h"
#include "report/TextCipher.h"

namespace {

Bytes FromHex(const char* hex)
{
    Bytes out;
    for (const char* p = hex; p[0] != '\0' && p[1] != '\0'; p += 2) {
        auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
        out.push_back(static_cast<uint8_t>(nibble(p[0]) << 4 | nibble(p[1])));
    }
    return out;
}

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

template <size_t N>
std::wstring Widen(const char (&ascii)[N])
{
    return std::wstring(ascii, ascii + N - 1);
}

Bytes EncryptBlockHex(const Bytes& key, const char* plainHex)
{
    Bytes block = FromHex(plainHex);
    CBlowfish(key.data(), key.size()).EncryptEcb(block.data(), block.size());
    return block;
}

// --- Blowfish ------------------------------------------------------------------

struct EcbVector {
    const char* key;
    const char* plain;
    const char* cipher;
};

// Eric Young's ECB test vectors (the set published with Blowfish), all 33 distinct triples.
constexpr EcbVector kEcbVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},  // all zero
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},  // all ones
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
    {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
    {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
    {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
    {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
    {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
    {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
    {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
    {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
    {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
    {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
    {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
    {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
    {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
    {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
    {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
    {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
    {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
};

TEST(Blowfish, PublishedEcbVectorsEncryptAndDecrypt)
{
    for (const EcbVector& v : kEcbVectors) {
        const Bytes key = FromHex(v.key);
        const CBlowfish cipher(key.data(), key.size());
        Bytes block = FromHex(v.plain);
        cipher.EncryptEcb(block.data(), block.size());
        EXPECT_EQ(block, FromHex(v.cipher)) << "key " << v.key << " plain " << v.plain;
        cipher.DecryptEcb(block.data(), block.size());
        EXPECT_EQ(block, FromHex(v.plain)) << "key " << v.key << " cipher " << v.cipher;
    }
}

TEST(Blowfish, BlocksAreTwoBigEndianHalves)
{
    const Bytes key = FromHex("0000000000000000");
    const CBlowfish cipher(key.data(), key.size());
    uint32_t left = 0;
    uint32_t right = 0;
    cipher.EncryptBlock(left, right);
    EXPECT_EQ(left, 0x4EF99745u);
    EXPECT_EQ(right, 0x6198DD78u);
    cipher.DecryptBlock(left, right);
    EXPECT_EQ(left, 0u);
    EXPECT_EQ(right, 0u);
}

// The published key-length vectors: plaintext FEDCBA9876543210 under the first
// N bytes of F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677.
TEST(Blowfish, KeyLengthVectors)
{
    const Bytes longKey = FromHex("F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677");
    const struct {
        size_t length;
        const char* cipher;
    } cases[] = {
        {1, "F9AD597C49DB005E"},  {2, "E91D21C1D961A6D6"},  {3, "E9C2B70A1BC65CF3"},  {4, "BE1E639408640F05"},
        {8, "E87A244E2CC85E82"},  {9, "15750E7A4F4EC577"},  {13, "884F80625060B8B4"}, {16, "93142887EE3BE15C"},
        {17, "03429E838CE2D14B"}, {20, "10851C0E3858DA9F"}, {24, "05044B62FA52D080"},
    };
    for (const auto& c : cases) {
        const Bytes key(longKey.begin(), longKey.begin() + static_cast<std::ptrdiff_t>(c.length));
        EXPECT_EQ(EncryptBlockHex(key, "FEDCBA9876543210"), FromHex(c.cipher)) << "key length " << c.length;
    }
}

TEST(Blowfish, LongKeysUseTheFirst72BytesAndEmptyKeysDoNotCrash)
{
    Bytes key56;
    for (uint8_t i = 1; i <= 56; ++i) key56.push_back(i);
    EXPECT_EQ(EncryptBlockHex(key56, "0000000000000000"), FromHex("AD9F57F87C8855C1"));  // pycryptodome

    Bytes key72(72, 0x5A);
    Bytes key100 = key72;
    key100.resize(100, 0xA5);
    EXPECT_EQ(EncryptBlockHex(key72, "0123456789ABCDEF"), EncryptBlockHex(key100, "0123456789ABCDEF"));

    EXPECT_EQ(EncryptBlockHex(Bytes(), "0123456789ABCDEF"), EncryptBlockHex(Bytes{0}, "0123456789ABCDEF"));
}

// --- Base64 ----------------------------------------------------------------------

TEST(Base64, EncodesTheRfc4648Vectors)
{
    const struct {
        const char* plain;
        const char* encoded;
    } cases[] = {{"f", "Zg=="},       {"fo", "Zm8="},         {"foo", "Zm9v"},          {"foob", "Zm9vYg=="},
                 {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"\xFB\xFF\xBF", "+/+/"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Base64Encode(FromText(c.plain)), c.encoded);
        Bytes decoded;
        ASSERT_TRUE(Base64Decode(c.encoded, decoded)) << c.encoded;
        EXPECT_EQ(decoded, FromText(c.plain));
    }
    EXPECT_EQ(Base64Encode(Bytes()), "");
}

TEST(Base64, RejectsBadLengthsCharactersAndMisplacedPadding)
{
    const char* bad[] = {
        "",           "Z",         "Zg",        "Zg=",       "Zm9vY",  "Zm9vYg=",  // not a positive multiple of 4
        "Zm9v!A==",   "Zm 9",      "Zm9v\n",    "-_AA",      "Zm9\t",  "Zm9v\r\nZg==",  // outside the alphabet
        "=Zm9",       "Z=g=",      "Zg==Zg==",  "Z===",      "====",   "Zm=v",  // "=" elsewhere than last one or two
    };
    for (const char* text : bad) {
        Bytes out{1, 2, 3};
        EXPECT_FALSE(Base64Decode(text, out)) << '"' << text << '"';
        EXPECT_TRUE(out.empty()) << text;
    }
    Bytes out;
    EXPECT_FALSE(Base64Decode(std::string("Zm9\0", 4), out));
    EXPECT_FALSE(Base64Decode("Zm9\xC3", out));
}

TEST(Base64, RoundTripsEveryLengthAndByte)
{
    Bytes data;
    for (int i = 0; i < 300; ++i) {
        data.push_back(static_cast<uint8_t>(i * 7 + 3));
        Bytes decoded;
        const std::string text = Base64Encode(data);
        EXPECT_EQ(text.size() % 4, 0u);
        ASSERT_TRUE(Base64Decode(text, decoded));
        ASSERT_EQ(decoded, data) << "length " << data.size();
    }
}

// --- EncryptBytes / DecryptBytes --------------------------------------------------

const Bytes kReport = FromText(kReportKey);

TEST(TextCipher, ZeroPaddingToWholeBlocksAndNoneOnAMultipleOfEight)
{
    const struct {
        size_t length;
        size_t cipherLength;
    } cases[] = {{1, 8}, {7, 8}, {8, 8}, {9, 16}, {15, 16}, {16, 16}, {17, 24}, {64, 64}};
    for (const auto& c : cases) {
        Bytes data(c.length, 0x41);
        std::string base64;
        ASSERT_TRUE(EncryptBytes(data, kReport, base64));
        Bytes cipher;
        ASSERT_TRUE(Base64Decode(base64, cipher));
        EXPECT_EQ(cipher.size(), c.cipherLength) << "length " << c.length;

        Bytes plain;
        ASSERT_TRUE(DecryptBytes(base64, kReport, plain));
        data.resize(c.cipherLength, 0);  // the padding comes back
        EXPECT_EQ(plain, data);
    }
}

TEST(TextCipher, MatchesPycryptodome)
{
    const struct {
        const char* plain;
        const char* base64;
    } cases[] = {
        {"hello", "3AxUi1ev3QU="},
        {"12345678", "bMdFdU/hFtQ="},
        {"x", "aHFrk+synKg="},
        {"{\"errno\":0,\"mid2\":\"abc\"}", "HBYot+tbRe0ZFWG+bMVNETMAePYNICRi"},
    };
    for (const auto& c : cases) {
        std::string base64;
        ASSERT_TRUE(EncryptBytes(FromText(c.plain), kReport, base64));
        EXPECT_EQ(base64, c.base64) << c.plain;
    }
}

TEST(TextCipher, EmptyDataCannotBeEncrypted)
{
    std::string base64 = "left over";
    EXPECT_FALSE(EncryptBytes(Bytes(), kReport, base64));
    EXPECT_TRUE(base64.empty());
    EXPECT_EQ(EncryptText(L"", Widen(kReportKey)), L"");
}

TEST(TextCipher, DecryptRejectsEmptyAndInvalidBase64)
{
    Bytes plain{9};
    EXPECT_FALSE(DecryptBytes("", kReport, plain));
    EXPECT_TRUE(plain.empty());
    EXPECT_FALSE(DecryptBytes("3AxUi1ev3QU", kReport, plain));
    EXPECT_FALSE(DecryptBytes("3AxU i1ev3QU=", kReport, plain));
    EXPECT_FALSE(DecryptBytes("<html>error</html>", kReport, plain));
}

TEST(TextCipher, FinalPartialBlockIsDecipheredAsIfCompletedWithZeros)
{
    // 16 plain bytes enciphered, then only 12 cipher bytes kept.
    Bytes plain;
    ASSERT_TRUE(DecryptBytes("bU++fJwaZTVGskdF", kReport, plain));
    EXPECT_EQ(plain, FromHex("3031323334353637c3f32fbbd043cef0"));  // pycryptodome on the zero-completed block

    // A single byte of cipher text ("AA==") still gives one whole block.
    ASSERT_TRUE(DecryptBytes("AA==", kReport, plain));
    EXPECT_EQ(plain.size(), 8u);
}

TEST(TextCipher, RoundTripsManyLengthsAndKeys)
{
    const Bytes keys[] = {kReport, FromText(kDriverUnlockKey), FromText("k"), FromText(std::string(80, 'q')), Bytes()};
    for (const Bytes& key : keys) {
        Bytes data;
        for (int i = 0; i < 41; ++i) {
            data.push_back(static_cast<uint8_t>(0xFF - i * 13));
            std::string base64;
            ASSERT_TRUE(EncryptBytes(data, key, base64));
            Bytes plain;
            ASSERT_TRUE(DecryptBytes(base64, key, plain));
            ASSERT_GE(plain.size(), data.size());
            EXPECT_EQ(Bytes(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(data.size())), data);
            for (size_t j = data.size(); j < plain.size(); ++j) EXPECT_EQ(plain[j], 0);
        }
    }
}

// The driver's 16-byte challenge enciphered under the unlock key
// needs no padding and gives 24 Base64 characters.
TEST(TextCipher, DriverUnlockAnswerForAFixedChallenge)
{
    Bytes challenge;
    for (uint8_t i = 0; i < 16; ++i) challenge.push_back(i);
    std::string answer;
    ASSERT_TRUE(EncryptBytes(challenge, FromText(kDriverUnlockKey), answer));
    EXPECT_EQ(answer, "4AS3mbfwydfp91MZhGlPnw==");  // pycryptodome
    EXPECT_EQ(answer.size(), 24u);
}

// --- EncryptText / DecryptText ------------------------------------------------------

TEST(TextCipher, TextFormsMatchPycryptodomeUnderEachKey)
{
    EXPECT_EQ(EncryptText(L"hello", Widen(kReportKey)), L"3AxUi1ev3QU=");
    EXPECT_EQ(EncryptText(L"hello", kOemHostKey), L"Gpfsx6NOypM=");
    EXPECT_EQ(DecryptText(L"Gpfsx6NOypM=", kOemHostKey), L"hello");
    EXPECT_EQ(EncryptText(L"12345678", kOemHostKey), L"N1qR2pk+FTE=");
    EXPECT_EQ(DecryptText(L"L6E7CI6/H5s=", kOemHostKey), L"x");
}

TEST(TextCipher, ChineseTextRoundTripsThroughUtf8)
{
    const std::wstring text = L"卸载完成";
    EXPECT_EQ(EncryptText(text, Widen(kReportKey)), L"HVastUUjBJoKfrc0eXDLKA==");  // pycryptodome on the UTF-8 bytes
    EXPECT_EQ(DecryptText(L"HVastUUjBJoKfrc0eXDLKA==", Widen(kReportKey)), text);
    EXPECT_EQ(DecryptText(EncryptText(text, kOemHostKey), kOemHostKey), text);

    const std::wstring keyText = L"密钥-中文";  // a non-ASCII key goes through UTF-8 as well
    const std::wstring mixed = L"立即卸载 / 保留壁纸数据 (keep data) 12345";
    EXPECT_EQ(DecryptText(EncryptText(mixed, keyText), keyText), mixed);
}

TEST(TextCipher, DecryptTextCutsAtTheFirstZeroByte)
{
    // "abc\0def\0" enciphered by pycryptodome.
    EXPECT_EQ(DecryptText(L"Y01+Wvgf2vo=", Widen(kReportKey)), L"abc");
}

TEST(TextCipher, SupplementaryCharactersAndBrokenTextDoNotCrash)
{
    const std::wstring emoji = L"a\U0001F600";
    EXPECT_EQ(EncryptText(emoji, Widen(kReportKey)), L"JcfX8qlWL5s=");  // pycryptodome on the UTF-8 bytes
    EXPECT_EQ(DecryptText(L"JcfX8qlWL5s=", Widen(kReportKey)), emoji);

    // Unpaired surrogates are enciphered as U+FFFD.
    const std::wstring unpaired{L'a', static_cast<wchar_t>(0xD800), L'b', static_cast<wchar_t>(0xDC00)};
    EXPECT_EQ(DecryptText(EncryptText(unpaired, kOemHostKey), kOemHostKey), (std::wstring{L'a', 0xFFFD, L'b', 0xFFFD}));
    const std::wstring lone{static_cast<wchar_t>(0xDBFF)};
    EXPECT_EQ(DecryptText(EncryptText(lone, lone), lone), std::wstring(1, static_cast<wchar_t>(0xFFFD)));

    // Deciphered bytes that are not UTF-8 ("\xFF\xC3(z") give replacement characters.
    EXPECT_EQ(DecryptText(L"PIoAO6wjVJ8=", Widen(kReportKey)), (std::wstring{0xFFFD, 0xFFFD, L'(', L'z'}));
}

TEST(TextCipher, DecryptTextOfBadInputIsEmpty)
{
    EXPECT_EQ(DecryptText(L"", kOemHostKey), L"");
    EXPECT_EQ(DecryptText(L"not base64!", kOemHostKey), L"");
    // A wide character that would narrow to "A" must not pass as Base64.
    std::wstring disguised = L"Gpfsx6NOypM=";
    disguised[0] = static_cast<wchar_t>(0x0141);
    EXPECT_EQ(DecryptText(disguised, kOemHostKey), L"");
    // The wrong key gives some text or none, never a crash.
    (void)DecryptText(L"Gpfsx6NOypM=", Widen(kReportKey));
}

}  // namespace
