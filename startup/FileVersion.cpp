#include "startup/FileVersion.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "startup/OSVersion.h"

namespace {

// The first FileVersion string of the translation table, commas turned into
// dots and blanks removed; empty when there is none.
std::wstring StringFileVersion(std::vector<BYTE>& block)
{
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT bytes = 0;
    if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                          &bytes) ||
        !translations)
        return {};

    for (UINT i = 0; i < bytes / sizeof(Translation); ++i) {
        wchar_t query[64];
        _snwprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", translations[i].language,
                   translations[i].codePage);
        query[63] = L'\0';
        wchar_t* text = nullptr;
        UINT length = 0;
        if (!::VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&text), &length) || !text) continue;
        std::wstring result;
        for (const wchar_t* c = text; *c; ++c) {
            if (*c == L' ') continue;
            result += (*c == L',') ? L'.' : *c;
        }
        return result;
    }
    return {};
}

}  // namespace

bool GetFileVersionString(const wchar_t* path, std::wstring& version)
{
    // On 32-bit Windows 10 and later the string version is the one the
    // product maintains; elsewhere the fixed version is.
    return GetFileVersionStringFor(path, IsWindows10OrLater() && !IsOs64Bit(), version);
}

bool GetFileVersionStringFor(const wchar_t* path, bool preferStringVersion, std::wstring& version)
{
    if (!path) return false;
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &handle);
    if (size == 0) return false;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(path, 0, size, block.data())) return false;

    if (preferStringVersion) {
        std::wstring text = StringFileVersion(block);
        if (!text.empty()) {
            version = text;
            return true;
        }
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) return false;
    wchar_t text[64];
    _snwprintf(text, 64, L"%d.%d.%d.%d", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
               HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    text[63] = L'\0';
    version = text;
    return true;
}
