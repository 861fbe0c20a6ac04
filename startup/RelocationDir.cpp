#include "startup/RelocationDir.h"

#include <windows.h>
#include <shlwapi.h>

#include "startup/TempName.h"

namespace {

// Absolute long form, no "..", no trailing backslash, so that 8.3 names and a final separator
// do not hide that two paths are the same.
std::wstring Normalize(const std::wstring& path)
{
    std::wstring result = path;
    wchar_t fullPath[1024];
    DWORD length = ::GetFullPathNameW(path.c_str(), 1024, fullPath, nullptr);
    if (length > 0 && length < 1024) result = fullPath;
    wchar_t longPath[1024];
    length = ::GetLongPathNameW(result.c_str(), longPath, 1024);
    if (length > 0 && length < 1024) result = longPath;
    while (result.size() > 3 && (result.back() == L'\\' || result.back() == L'/')) result.pop_back();
    return result;
}

}  // namespace

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

    const std::wstring full = Normalize(directory);
    const size_t slash = full.find_last_of(L'\\');
    if (slash == std::wstring::npos) return false;
    const std::wstring parent = full.substr(0, slash);
    const std::wstring name = full.substr(slash + 1);
    return IsGuidTempName(name) && ::lstrcmpiW(Normalize(parent).c_str(), Normalize(temp).c_str()) == 0;
}
