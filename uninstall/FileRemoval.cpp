#include "uninstall/FileRemoval.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "startup/SmartLogger.h"

namespace {

bool ValidDirectoryArgument(const wchar_t* directory)
{
    return directory && *directory && std::wcslen(directory) < MAX_PATH;
}

std::wstring JoinPath(const std::wstring& directory, const wchar_t* name)
{
    std::wstring path = directory;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + name;
}

}  // namespace

bool DeleteFileOrSchedule(const wchar_t* path)
{
    if (!path || !*path) return false;
    if (::DeleteFileW(path)) return true;
    if (!::PathFileExistsW(path)) return true;
    if (::SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL) && ::DeleteFileW(path)) return true;

    WriteLog(L"delete %s failed, error=%d", path, static_cast<int>(::GetLastError()));
    ::MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return false;
}

bool ShellDelete(const wchar_t* path)
{
    if (!path) return false;
    // The shell wants a list ending in two NULs.
    std::vector<wchar_t> from(4096, L'\0');
    std::wcsncpy(from.data(), path, from.size() - 2);

    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
    ::SHFileOperationW(&operation);
    return true;
}

bool DeleteTree(const wchar_t* directory)
{
    if (!ValidDirectoryArgument(directory)) return false;
    const DWORD attributes = ::GetFileAttributesW(directory);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        ::SetFileAttributesW(directory, attributes & ~FILE_ATTRIBUTE_READONLY);

    WIN32_FIND_DATAW entry{};
    platform::ScopedFind find(::FindFirstFileW(JoinPath(directory, L"*").c_str(), &entry));
    if (find) {
        do {
            if (std::wcscmp(entry.cFileName, L".") == 0 || std::wcscmp(entry.cFileName, L"..") == 0) continue;
            const std::wstring path = JoinPath(directory, entry.cFileName);
            // A junction or symbolic link is removed itself; what it points
            // to lies outside the tree and is not ours.
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                ::RemoveDirectoryW(path.c_str());
            else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path.c_str());
            else
                DeleteFileOrSchedule(path.c_str());
        } while (::FindNextFileW(find.get(), &entry));
    }
    ShellDelete(directory);
    return true;
}
