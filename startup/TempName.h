// GUID-named temporary entries: "{XXXXXXXX-XXXX-xxxx-XXXX-XXXXXXXXXXXX}.tmp".
// Plain text handling, no platform calls.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct GuidParts {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    std::array<uint8_t, 8> data4{};
};

// The third group is written in lower case, the others in upper case.
std::wstring FormatGuidTempName(const GuidParts& guid);

// True for a name FormatGuidTempName can produce (either case in every group,
// so that a name the file system returns in another case still matches).
bool IsGuidTempName(std::wstring_view name);
