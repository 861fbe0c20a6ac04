// Path comparisons that do not trip over 8.3 names, "..", case or a
// trailing separator.
#pragma once

#include <string>

namespace platform {

// Absolute, long form, no trailing separator (a root keeps its "X:\").
std::wstring NormalizePath(const std::wstring& path);
bool SamePath(const std::wstring& a, const std::wstring& b);
// True when `inner` is `outer` or lies below it.
bool IsSameOrInside(const std::wstring& inner, const std::wstring& outer);
// `directory` and `name` joined by exactly one backslash.
std::wstring JoinPath(const std::wstring& directory, const std::wstring& name);

}  // namespace platform
