#include "setupconfig/AttrInt.h"

#include <climits>
#include <cstdint>

namespace {

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

}  // namespace

int ParseAttrInt(std::wstring_view text)
{
    size_t start = 0;
    while (start < text.size() && (text[start] == L' ' || text[start] == L'\t')) ++start;
    text.remove_prefix(start);
    if (text.empty()) return 0;

    if (text.size() >= 3 && text.size() <= 10 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        uint32_t value = 0;  // at most eight digits: never overflows
        for (size_t i = 2; i < text.size(); ++i) {
            const int digit = HexDigit(text[i]);
            if (digit < 0) break;
            value = (value << 4) | static_cast<uint32_t>(digit);
        }
        return static_cast<int>(value);
    }

    // Signed decimal, saturating like strtol into a 32-bit long.
    size_t i = 0;
    bool negative = false;
    if (text[0] == L'+' || text[0] == L'-') {
        negative = text[0] == L'-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<int64_t>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
