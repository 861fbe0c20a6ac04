#include "report/Utf8.h"

#include <cstdint>

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The unit as an unsigned value; on the native build wchar_t is signed, and a
// negative unit is no code point.
uint32_t UnitValue(wchar_t unit)
{
    if constexpr (sizeof(wchar_t) == 2) {
        return static_cast<uint16_t>(unit);
    } else {
        const auto value = static_cast<int64_t>(unit);
        return value < 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
    }
}

void AppendUtf8(uint32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendWide(uint32_t cp, std::wstring& out)
{
    if (cp >= 0x10000 && sizeof(wchar_t) == 2) {
        cp -= 0x10000;
        out += static_cast<wchar_t>(0xD800 | (cp >> 10));
        out += static_cast<wchar_t>(0xDC00 | (cp & 0x3FF));
    } else {
        out += static_cast<wchar_t>(cp);
    }
}

}  // namespace

std::string EncodeUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = UnitValue(text[i]);
        if (IsHighSurrogate(cp) && i + 1 < text.size() && IsLowSurrogate(UnitValue(text[i + 1]))) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (UnitValue(text[i + 1]) - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(cp) || IsLowSurrogate(cp) || cp > 0x10FFFF) {
            cp = kReplacement;
        }
        AppendUtf8(cp, out);
    }
    return out;
}

std::wstring DecodeUtf8(std::string_view bytes)
{
    std::wstring out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        // Length of the sequence and the allowed range of its second byte,
        // which excludes overlong forms, surrogates and values above U+10FFFF.
        size_t length = 0;
        uint8_t low = 0x80;
        uint8_t high = 0xBF;
        uint32_t cp = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            cp = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            cp = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            out += static_cast<wchar_t>(kReplacement);  // 80-C1, F5-FF: never a lead byte
            ++i;
            continue;
        }
        size_t taken = 1;
        bool complete = true;
        for (; taken < length; ++taken) {
            if (i + taken >= bytes.size()) {
                complete = false;
                break;
            }
            const auto next = static_cast<uint8_t>(bytes[i + taken]);
            const uint8_t min = taken == 1 ? low : 0x80;
            const uint8_t max = taken == 1 ? high : 0xBF;
            if (next < min || next > max) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (next & 0x3F);
        }
        if (complete) {
            AppendWide(cp, out);
        } else {
            // One replacement for the valid prefix; decoding resumes at the
            // byte that broke it.
            out += static_cast<wchar_t>(kReplacement);
        }
        i += taken;
    }
    return out;
}
