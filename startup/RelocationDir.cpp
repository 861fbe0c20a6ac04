#include "startup/RelocationDir.h"

#include <windows.h>
#include <shlwapi.h>

#include "platform/Paths.h"
#include "startup/TempName.h"

std::wstring GetOwnDirectory()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    ::PathRemoveFileSpecW(path);
    return path;
}

bool IsRelocationDirectory(const std::wstring& directory)
{
    if (directory.empty()) return false;
    wchar_t temp[1024] = {};
    const DWORD length = ::GetTempPathW(1024, temp);
    if (length == 0 || length >= 1024) return false;

    const std::wstring full = platform::NormalizePath(directory);
    const size_t slash = full.find_last_of(L'\\');
    if (slash == std::wstring::npos) return false;
    const std::wstring parent = full.substr(0, slash);
    const std::wstring name = full.substr(slash + 1);
    return IsGuidTempName(name) && ::lstrcmpiW(platform::NormalizePath(parent).c_str(), platform::NormalizePath(temp).c_str()) == 0;
}
