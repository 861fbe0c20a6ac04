#include "uninstall/FileRemoval.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <cwctype>

#include "platform/Handles.h"
#include "platform/Paths.h"
#include "setupconfig/ResourceUnpack.h"
#include "setupconfig/UninstallRootDirList.h"
#include "startup/FileSigner.h"
#include "startup/SmartLogger.h"
#include "startup/TempName.h"
#include "uninstall/Uninstaller.h"

namespace {

using platform::IsSameOrInside;
using platform::JoinPath;
using platform::SamePath;

bool ValidDirectoryArgument(const wchar_t* directory)
{
    return directory && *directory && std::wcslen(directory) < MAX_PATH;
}

bool IsDotEntry(const WIN32_FIND_DATAW& entry)
{
    return std::wcscmp(entry.cFileName, L".") == 0 || std::wcscmp(entry.cFileName, L"..") == 0;
}

bool IsDirectoryEntry(const WIN32_FIND_DATAW& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A junction or directory link: removed itself, never entered, because what
// it points to is not part of the tree.
bool IsLinkEntry(const WIN32_FIND_DATAW& entry)
{
    return IsDirectoryEntry(entry) && (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Calls `visit` for every entry of `directory` but "." and "..".
template <typename Visit>
void ForEachEntry(const std::wstring& directory, const wchar_t* pattern, Visit visit)
{
    WIN32_FIND_DATAW entry{};
    platform::ScopedFind find(::FindFirstFileW(JoinPath(directory, pattern).c_str(), &entry));
    if (!find) return;
    do {
        if (!IsDotEntry(entry)) visit(entry, JoinPath(directory, entry.cFileName));
    } while (::FindNextFileW(find.get(), &entry));
}

// A top-level entry of the installation directory belongs to the product
// when the root list names it or the publisher signed it; anything else is
// the user's, and is logged and left alone.
bool IsProductEntry(const WIN32_FIND_DATAW& entry, const std::wstring& path, const IUninstallRootDirList* list)
{
    const std::wstring name = UpperCaseName(entry.cFileName);
    if ((list && list->Contains(name.c_str())) || VerifyFileSigner(path.c_str())) return true;
    WriteLog(L"File NOT exists in xml: %s", name.c_str());
    return false;
}

// The directory a locked path is moved to: the user's temporary directory on
// the Windows drive, a hidden "X:\.temp" on any other drive, so that the move
// never leaves the volume.
std::wstring TempDirectoryFor(const std::wstring& path)
{
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (!path.empty() && std::towupper(path[0]) == std::towupper(windows[0])) {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        return temp;
    }
    wchar_t drive[16];
    _snwprintf(drive, 16, L"%c:\\.temp", path.empty() ? L'C' : path[0]);
    drive[15] = L'\0';
    if (!::PathIsDirectoryW(drive)) ::SHCreateDirectoryExW(nullptr, drive, nullptr);
    ::SetFileAttributesW(drive, FILE_ATTRIBUTE_HIDDEN);
    return drive;
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

    ForEachEntry(directory, L"*", [](const WIN32_FIND_DATAW& entry, const std::wstring& path) {
        if (IsLinkEntry(entry))
            ::RemoveDirectoryW(path.c_str());
        else if (IsDirectoryEntry(entry))
            DeleteTree(path.c_str());
        else
            DeleteFileOrSchedule(path.c_str());
    });
    ShellDelete(directory);
    return true;
}

bool DeleteOrQueue(const wchar_t* path, PendingPaths& pending)
{
    if (!path || !*path) return false;
    if (::PathIsDirectoryW(path)) {
        ShellDelete(path);
    } else if (::DeleteFileW(path)) {
        WriteLog(L"DeleteFile:%s suceesss", path);
    } else if (::SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL) && ::DeleteFileW(path)) {
        WriteLog(L"DeleteFile:%s suceesss", path);
    }
    if (!::PathFileExistsW(path)) return true;
    pending.push_back(path);
    return false;
}

bool DeleteTreeOrQueue(const wchar_t* directory, PendingPaths& pending, const std::function<void()>& notify)
{
    if (!ValidDirectoryArgument(directory)) return false;
    ForEachEntry(directory, L"*", [&](const WIN32_FIND_DATAW& entry, const std::wstring& path) {
        if (IsLinkEntry(entry)) {
            ::RemoveDirectoryW(path.c_str());
        } else if (IsDirectoryEntry(entry)) {
            DeleteTreeOrQueue(path.c_str(), pending, notify);
        } else {
            DeleteOrQueue(path.c_str(), pending);
            if (notify) notify();
        }
    });
    DeleteOrQueue(directory, pending);
    return true;
}

bool TryRemove(const wchar_t* path)
{
    if (!path || !*path) return false;
    if (::DeleteFileW(path) || !::PathFileExistsW(path)) return true;
    if (::SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL) && ::DeleteFileW(path)) return true;
    return ::PathIsDirectoryW(path) && ::RemoveDirectoryW(path);
}

bool CutToTemp(const wchar_t* path, std::wstring& newPath)
{
    if (!path || !*path || !::PathFileExistsW(path)) return false;

    const std::wstring directory = TempDirectoryFor(path);
    std::wstring candidate;
    if (directory.size() <= MAX_PATH) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            GUID guid{};
            if (FAILED(::CoCreateGuid(&guid))) continue;
            GuidParts parts{guid.Data1, guid.Data2, guid.Data3, {}};
            for (int i = 0; i < 8; ++i) parts.data4[i] = guid.Data4[i];
            const std::wstring name = JoinPath(directory, FormatGuidTempName(parts).c_str());
            if (!::PathFileExistsW(name.c_str())) {
                candidate = name;
                break;
            }
        }
    }
    if (!::MoveFileW(path, candidate.c_str())) {
        WriteLog(L"move %s to %s, failed, error=%d", path, candidate.c_str(), static_cast<int>(::GetLastError()));
        return false;
    }
    if (::PathFileExistsW(path)) {
        DeleteFileOrSchedule(candidate.c_str());
        return false;
    }
    newPath = candidate;
    return true;
}

bool CountInstallFiles(const wchar_t* directory, int& count, const std::wstring& installDir,
                       const IUninstallRootDirList* list)
{
    if (!ValidDirectoryArgument(directory)) return false;
    const bool topLevel = SamePath(directory, installDir);
    ForEachEntry(directory, L"*", [&](const WIN32_FIND_DATAW& entry, const std::wstring& path) {
        if (topLevel && !IsProductEntry(entry, path, list)) return;
        if (IsLinkEntry(entry)) return;
        if (IsDirectoryEntry(entry))
            CountInstallFiles(path.c_str(), count, installDir, list);
        else
            ++count;
    });
    return true;
}

bool IsProtectedDirectory(const std::wstring& directory)
{
    const std::wstring dir = platform::NormalizePath(directory);
    if (dir.size() < 3 || ::PathIsRootW(dir.c_str())) return true;
    // A relative or UNC-share root is no installation directory either.
    if (::PathIsRelativeW(dir.c_str()) || ::PathIsUNCServerShareW(dir.c_str())) return true;

    static const int kFolders[] = {
        CSIDL_WINDOWS,          CSIDL_SYSTEM,          CSIDL_SYSTEMX86,         CSIDL_PROGRAM_FILES,
        CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86,
        CSIDL_PROFILE,          CSIDL_APPDATA,         CSIDL_LOCAL_APPDATA,     CSIDL_COMMON_APPDATA,
        CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PERSONAL,  CSIDL_COMMON_DOCUMENTS,
        CSIDL_PROGRAMS,         CSIDL_COMMON_PROGRAMS, CSIDL_STARTMENU,         CSIDL_COMMON_STARTMENU,
        CSIDL_MYPICTURES,       CSIDL_MYMUSIC,         CSIDL_MYVIDEO,           CSIDL_FONTS,
        CSIDL_STARTUP,          CSIDL_COMMON_STARTUP,  CSIDL_TEMPLATES,         CSIDL_COMMON_TEMPLATES,
    };
    wchar_t folder[MAX_PATH];
    for (int id : kFolders) {
        if (FAILED(::SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, folder)) || !folder[0]) continue;
        // The folder itself, or any folder that contains it (C:\Users holds every profile).
        if (IsSameOrInside(folder, dir)) return true;
    }
    // A 32-bit process is shown the 32-bit folders above; the native ones
    // come from the environment.
    for (const wchar_t* variable : {L"ProgramW6432", L"CommonProgramW6432", L"ProgramFiles", L"SystemRoot"}) {
        const DWORD length = ::GetEnvironmentVariableW(variable, folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH && IsSameOrInside(folder, dir)) return true;
    }
    wchar_t temp[MAX_PATH + 1] = {};
    if (::GetTempPathW(MAX_PATH + 1, temp) && IsSameOrInside(temp, dir)) return true;
    return false;
}

void DeleteAllFiles(const wchar_t* installDir, const IUninstallRootDirList* list, CUninstaller& engine)
{
    if (!ValidDirectoryArgument(installDir)) return;
    const std::wstring dir = installDir;
    if (IsProtectedDirectory(dir)) {
        WriteLog(L"refuse to delete all files in %s: not a product directory", installDir);
        return;
    }

    engine.filesTotal = 0;
    if (!CountInstallFiles(installDir, engine.filesTotal, dir, list)) engine.filesTotal = 200;

    ForEachEntry(dir, L"*", [&](const WIN32_FIND_DATAW& entry, const std::wstring& path) {
        if (!IsProductEntry(entry, path, list)) return;
        if (IsLinkEntry(entry)) {
            ::RemoveDirectoryW(path.c_str());
        } else if (IsDirectoryEntry(entry)) {
            DeleteTreeOrQueue(path.c_str(), engine.pendingPaths, [&engine] { engine.TickFileProgress(); });
        } else if (DeleteOrQueue(path.c_str(), engine.pendingPaths)) {
            WriteLog(L"Delete File: %s", path.c_str());
            engine.TickFileProgress();
        }
    });

    const BOOL removed = ::RemoveDirectoryW(installDir);
    WriteLog(L"remove directory %s %s", installDir, removed ? L"suceess" : L"failed.");
}

void RemoveFilesByRegistry(const wchar_t* installDir, const wchar_t* subKey, PendingPaths& pending)
{
    if (!installDir || !*installDir || !::PathFileExistsW(installDir) || !subKey) return;
    platform::ScopedKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return;

    for (DWORD index = 0;; ++index) {
        // Room for any value name, so that one over-long name does not end
        // the enumeration for the names after it.
        wchar_t name[16384] = {};
        DWORD length = 16384;
        if (::RegEnumValueW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (length >= MAX_PATH) {
            WriteLog(L"skip registry file entry longer than %d characters", MAX_PATH - 1);
            continue;
        }
        // The names are the product's own relative paths; one that is absolute
        // or climbs out with ".." would point at something that is not ours.
        wchar_t path[MAX_PATH] = {};
        if (!::PathIsRelativeW(name) || name[0] == L'\\' || std::wcsstr(name, L"..") ||
            !::PathCombineW(path, installDir, name) || !IsSameOrInside(path, installDir) || SamePath(path, installDir)) {
            WriteLog(L"skip registry file entry outside %s: %s", installDir, name);
            continue;
        }
        if (!::PathFileExistsW(path)) continue;
        if (::PathIsDirectoryW(path))
            DeleteTreeOrQueue(path, pending, nullptr);
        else
            DeleteOrQueue(path, pending);
    }
}

bool DeleteByExtension(const wchar_t* directory, const wchar_t* extension)
{
    if (!ValidDirectoryArgument(directory) || !extension || !*extension) return false;
    ForEachEntry(directory, L"*.*", [&](const WIN32_FIND_DATAW& entry, const std::wstring& path) {
        if (IsLinkEntry(entry)) return;
        if (IsDirectoryEntry(entry)) {
            DeleteByExtension(path.c_str(), extension);
            return;
        }
        if (::lstrcmpiW(::PathFindExtensionW(path.c_str()), extension) != 0) return;
        if (::DeleteFileW(path.c_str()) || !::PathFileExistsW(path.c_str())) return;
        if (::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) && ::DeleteFileW(path.c_str())) return;
        std::wstring moved;
        std::wstring scheduled = path;
        if (CutToTemp(path.c_str(), moved)) scheduled = moved;
        ::MoveFileExW(scheduled.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        WriteLog(L"delete file:%s by pending:%s", path.c_str(), scheduled.c_str());
    });
    return true;
}

void RemoveOldProgramFolder()
{
    wchar_t programFiles[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles))) return;
    const std::wstring outer = JoinPath(programFiles, L"Norrow");
    const std::wstring inner = JoinPath(outer, L"Variruzovuz");
    const std::wstring uninstaller = JoinPath(inner, L"Uninstall.exe");
    if (::PathFileExistsW(uninstaller.c_str())) ::DeleteFileW(uninstaller.c_str());
    // Only empty folders go.
    if (::PathFileExistsW(inner.c_str())) ::RemoveDirectoryW(inner.c_str());
    if (::PathFileExistsW(outer.c_str())) ::RemoveDirectoryW(outer.c_str());
}
