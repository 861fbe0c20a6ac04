// Version text of an executable file.
#pragma once

#include <string>

bool GetFileVersionString(const wchar_t* path, std::wstring& version);

// The same with the system's choice made by the caller: the string version
// (falling back to the fixed one) or the fixed version alone.
bool GetFileVersionStringFor(const wchar_t* path, bool preferStringVersion, std::wstring& version);
