#include "startup/TempName.h"

#include <cwchar>

std::wstring FormatGuidTempName(const GuidParts& g)
{
    wchar_t text[64];
    std::swprintf(text, 64, L"{%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}.tmp", static_cast<unsigned>(g.data1),
                  static_cast<unsigned>(g.data2), static_cast<unsigned>(g.data3), g.data4[0], g.data4[1], g.data4[2],
                  g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

bool IsGuidTempName(std::wstring_view name)
{
    constexpr std::wstring_view shape = L"{HHHHHHHH-HHHH-HHHH-HHHH-HHHHHHHHHHHH}.tmp";
    if (name.size() != shape.size()) return false;
    for (size_t i = 0; i < shape.size(); ++i) {
        const wchar_t c = name[i];
        if (shape[i] == L'H') {
            const bool hex = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
            if (!hex) return false;
        } else {
            wchar_t expected = shape[i];
            wchar_t actual = c;
            if (actual >= L'A' && actual <= L'Z') actual = static_cast<wchar_t>(actual - L'A' + L'a');
            if (actual != expected) return false;
        }
    }
    return true;
}
