#include "report/Base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of an alphabet character, or -1 for anything else ("=" included).
int SextetOf(char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::string Base64Encode(const uint8_t* data, size_t length)
{
    std::string text;
    if (data == nullptr || length == 0) return text;
    text.reserve((length + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= length; i += 3) {
        const uint32_t group = (uint32_t{data[i]} << 16) | (uint32_t{data[i + 1]} << 8) | data[i + 2];
        text += kAlphabet[(group >> 18) & 0x3F];
        text += kAlphabet[(group >> 12) & 0x3F];
        text += kAlphabet[(group >> 6) & 0x3F];
        text += kAlphabet[group & 0x3F];
    }
    const size_t rest = length - i;
    if (rest == 1) {
        const uint32_t group = uint32_t{data[i]} << 16;
        text += kAlphabet[(group >> 18) & 0x3F];
        text += kAlphabet[(group >> 12) & 0x3F];
        text += "==";
    } else if (rest == 2) {
        const uint32_t group = (uint32_t{data[i]} << 16) | (uint32_t{data[i + 1]} << 8);
        text += kAlphabet[(group >> 18) & 0x3F];
        text += kAlphabet[(group >> 12) & 0x3F];
        text += kAlphabet[(group >> 6) & 0x3F];
        text += '=';
    }
    return text;
}

std::string Base64Encode(const std::vector<uint8_t>& data)
{
    return Base64Encode(data.data(), data.size());
}

bool Base64Decode(std::string_view text, std::vector<uint8_t>& out)
{
    out.clear();
    if (text.empty() || text.size() % 4 != 0) return false;

    // "=" may stand only as the last one or two characters.
    size_t padding = 0;
    if (text.back() == '=') padding = (text[text.size() - 2] == '=') ? 2 : 1;
    const size_t dataChars = text.size() - padding;

    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 4 * 3);
    uint32_t accumulator = 0;
    int bits = 0;
    for (size_t i = 0; i < dataChars; ++i) {
        const int sextet = SextetOf(text[i]);
        if (sextet < 0) return false;
        accumulator = (accumulator << 6) | static_cast<uint32_t>(sextet);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<uint8_t>(accumulator >> bits));
            accumulator &= (1u << bits) - 1;
        }
    }
    out.swap(bytes);
    return true;
}
