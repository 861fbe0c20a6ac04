// Recognises the private directory the first run copies the uninstaller to:
// a GUID-named ".tmp" directory directly under the user's temporary directory.
#pragma once

#include <string>

// The directory of the running executable, without a trailing backslash.
std::wstring GetOwnDirectory();

bool IsRelocationDirectory(const std::wstring& directory);
