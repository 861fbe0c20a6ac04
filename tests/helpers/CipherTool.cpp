// The text cipher on the command line, for the scenario that checks it
// against an independent implementation (tests/scenario/cipher_crosscheck).
// Texts travel as hexadecimal UTF-16 code units (four digits each, e.g.
// "53784F7D" for 卸载), bytes as hexadecimal bytes, so that no console code
// page and no conversion outside the one under test is involved.
//
//   cipher_tool OP KEY ARG [OP KEY ARG ...]   one output line per operation
//     encrypt-text   KEY=UTF-16 hex  ARG=UTF-16 hex   prints EncryptText's Base64
//     decrypt-text   KEY=UTF-16 hex  ARG=Base64       prints DecryptText as UTF-16 hex
//     encrypt-bytes  KEY=byte hex    ARG=byte hex     prints EncryptBytes' Base64
//     decrypt-bytes  KEY=byte hex    ARG=Base64       prints DecryptBytes as byte hex
// A failed byte operation prints "FAIL"; an empty text result prints an empty
// line. Exit code 0, or 2 for a malformed command line.
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>

#include "report/TextCipher.h"

namespace {

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// "ABCD..." in groups of `width` digits; false for anything else.
template <typename Container>
bool ParseHex(const wchar_t* text, size_t width, Container& out)
{
    out.clear();
    const size_t length = std::wcslen(text);
    if (length % width != 0) return false;
    for (size_t i = 0; i < length; i += width) {
        unsigned value = 0;
        for (size_t k = 0; k < width; ++k) {
            const int digit = HexDigit(text[i + k]);
            if (digit < 0) return false;
            value = value << 4 | static_cast<unsigned>(digit);
        }
        out.push_back(static_cast<typename Container::value_type>(value));
    }
    return true;
}

std::string Narrow(const wchar_t* ascii)
{
    std::string out;
    for (const wchar_t* p = ascii; *p != L'\0'; ++p) out += static_cast<char>(*p);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4 || (argc - 1) % 3 != 0) {
        std::fputs("usage: cipher_tool OP KEY ARG [OP KEY ARG ...]\n", stderr);
        return 2;
    }
    for (int i = 1; i + 2 < argc; i += 3) {
        const std::wstring op = argv[i];
        if (op == L"encrypt-text" || op == L"decrypt-text") {
            std::wstring key;
            std::wstring text;
            if (!ParseHex(argv[i + 1], 4, key)) return 2;
            std::wstring result;
            if (op == L"encrypt-text") {
                if (!ParseHex(argv[i + 2], 4, text)) return 2;
                result = EncryptText(text, key);
                for (wchar_t c : result) std::printf("%c", static_cast<char>(c));
            } else {
                result = DecryptText(argv[i + 2], key);
                for (wchar_t c : result) std::printf("%04X", static_cast<unsigned>(static_cast<uint16_t>(c)));
            }
            std::printf("\n");
        } else if (op == L"encrypt-bytes" || op == L"decrypt-bytes") {
            Bytes keyBytes;
            if (!ParseHex(argv[i + 1], 2, keyBytes)) return 2;
            if (op == L"encrypt-bytes") {
                Bytes data;
                if (!ParseHex(argv[i + 2], 2, data)) return 2;
                std::string base64;
                if (EncryptBytes(data, keyBytes, base64))
                    std::printf("%s\n", base64.c_str());
                else
                    std::printf("FAIL\n");
            } else {
                Bytes plain;
                if (DecryptBytes(Narrow(argv[i + 2]), keyBytes, plain)) {
                    for (uint8_t b : plain) std::printf("%02X", b);
                    std::printf("\n");
                } else {
                    std::printf("FAIL\n");
                }
            }
        } else {
            std::fprintf(stderr, "unknown operation %ls\n", argv[i]);
            return 2;
        }
    }
    return 0;
}
