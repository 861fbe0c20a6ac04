#include "platform/Paths.h"

#include <windows.h>

namespace platform {

std::wstring NormalizePath(const std::wstring& path)
{
    std::wstring result = path;
    wchar_t full[1024];
    DWORD length = ::GetFullPathNameW(path.c_str(), 1024, full, nullptr);
    if (length > 0 && length < 1024) result = full;
    wchar_t longPath[1024];
    length = ::GetLongPathNameW(result.c_str(), longPath, 1024);
    if (length > 0 && length < 1024) result = longPath;
    while (result.size() > 3 && (result.back() == L'\\' || result.back() == L'/')) result.pop_back();
    return result;
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return ::lstrcmpiW(NormalizePath(a).c_str(), NormalizePath(b).c_str()) == 0;
}

bool IsSameOrInside(const std::wstring& inner, const std::wstring& outer)
{
    std::wstring in = NormalizePath(inner);
    std::wstring out = NormalizePath(outer);
    if (out.empty() || in.size() < out.size()) return false;
    if (::lstrcmpiW(in.c_str(), out.c_str()) == 0) return true;
    if (out.back() != L'\\') out += L'\\';
    return ::CompareStringOrdinal(in.c_str(), static_cast<int>(out.size()), out.c_str(),
                                  static_cast<int>(out.size()), TRUE) == CSTR_EQUAL;
}

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name)
{
    std::wstring path = directory;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    return path + name;
}

}  // namespace platform
