// UTF-16 <-> UTF-8 by hand, the same on Windows (16-bit wchar_t) and on the
// native build (32-bit wchar_t, where a unit may also hold a whole code point).
// Plain text handling, no platform calls.
#pragma once

#include <string>
#include <string_view>

// Unpaired surrogates and values that are no code point become U+FFFD, as
// WideCharToMultiByte(CP_UTF8) does on Vista and later.
std::string EncodeUtf8(std::wstring_view text);

// Invalid bytes become U+FFFD, one for each maximal invalid subpart (the
// Unicode recommendation, as MultiByteToWideChar without MB_ERR_INVALID_CHARS).
// Code points above U+FFFF become surrogate pairs where wchar_t is 16 bits.
std::wstring DecodeUtf8(std::string_view bytes);
