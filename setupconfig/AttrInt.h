// Integer attribute texts of the setup files: decimal, or hexadecimal with a
// "0x" prefix. Plain text handling, no platform calls.
#pragma once

#include <string_view>

// Leading blanks and tabs are skipped; "0x"/"0X" texts of 3 to 10 characters
// read hexadecimal digits up to the first other character; anything else is
// read as a signed decimal number up to the first non-digit (out-of-range
// values saturate, as the C library's conversion does).
int ParseAttrInt(std::wstring_view text);
