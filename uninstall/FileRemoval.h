// Removing the product's files: delete what can go now, move what is locked
// out of the way and have it deleted at the next start of Windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CUninstaller;
class IUninstallRootDirList;

using PendingPaths = std::vector<std::wstring>;

// Deletes a file, clearing its attributes if needed; otherwise schedules it
// for deletion at restart and returns false. A missing path counts as deleted.
bool DeleteFileOrSchedule(const wchar_t* path);
// Silent, unconfirmed shell delete without the recycle bin; true for any non-null path.
bool ShellDelete(const wchar_t* path);
// Deletes a directory with everything in it, file by file.
bool DeleteTree(const wchar_t* directory);

// Deletes a file (or a directory through the shell); a path that survives is
// appended to `pending` and the result is false.
bool DeleteOrQueue(const wchar_t* path, PendingPaths& pending);
// Deletes a tree file by file, queueing survivors; `notify` runs once per file.
bool DeleteTreeOrQueue(const wchar_t* directory, PendingPaths& pending, const std::function<void()>& notify);
bool TryRemove(const wchar_t* path);
// Moves a path into a private temporary directory on the same drive.
bool CutToTemp(const wchar_t* path, std::wstring& newPath);

// Counts the files the delete-all step will handle. Top-level entries of
// `installDir` count only when the product owns them (listed, or signed by
// the publisher).
bool CountInstallFiles(const wchar_t* directory, int& count, const std::wstring& installDir,
                       const IUninstallRootDirList* list);
// Deletes the product's entries of the installation directory, then the
// directory itself when it is empty.
void DeleteAllFiles(const wchar_t* installDir, const IUninstallRootDirList* list, CUninstaller& engine);
// Deletes the files the product recorded under HKLM\`subKey`, each a value
// name relative to the installation directory.
void RemoveFilesByRegistry(const wchar_t* installDir, const wchar_t* subKey, PendingPaths& pending);
bool DeleteByExtension(const wchar_t* directory, const wchar_t* extension);
// The uninstaller an earlier edition left under Program Files.
void RemoveOldProgramFolder();

// Drive roots, the Windows directory, Program Files, profile roots and other
// special folders (and anything that contains one): never a product directory.
bool IsProtectedDirectory(const std::wstring& directory);
