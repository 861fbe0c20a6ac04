// Stopping the product's programs: ask them to exit through the product's
// exit event, then terminate what still runs from the installation
// directory; and two narrower tools, one terminating every process of one
// executable, one every process that has a given DLL loaded.
#pragma once

#include <windows.h>

// The named event the running product waits on; setting it asks it to exit.
inline constexpr wchar_t kProductExitEventName[] = L"zuzire_0961EB1E-4441-4BEB-BC69-7F2F0124241B";

// Sets the product's exit event, then waits at most ten seconds (one pass
// about every 100 ms) for "zuzire.exe" and "web_helper.exe" of the directory
// to exit. If they still run, terminates every process inside the directory
// (KillMultiProcesses) and restores the desktop wallpaper. A directory of 4
// characters or fewer is never used for more than setting the event.
void KillProcessesInInstallPath(const wchar_t* installDir);

// Terminates every process whose image lies inside the directory (at any
// depth), except the calling process and its parent. Refuses (and kills
// nothing) for a null directory, one shorter than 4 or longer than 260
// characters, and a drive root however many separators follow it. Stores the
// number of processes it tried to terminate in *killedCount when given (left
// untouched when refused). Returns 0.
int KillMultiProcesses(const wchar_t* directory, int* killedCount = nullptr);

// True if a process runs whose image is the path (compareFullPath) or whose
// image file name is the path (!compareFullPath), ignoring case.
bool IsProcessRunning(const wchar_t* path, bool compareFullPath);

// Terminates every process whose image is exactly the path, ignoring case.
// Returns 0.
int KillProcessByPath(const wchar_t* path);

// Terminates (exit code 0xFFFFFFFF) every process that has the DLL loaded.
void KillProcessesUsingModule(const wchar_t* dllPath);

// True if the process has the DLL (full path, ignoring case) loaded. Processes
// whose modules cannot be listed (64-bit ones seen from this 32-bit program,
// protected ones) never match.
bool ProcessHasModule(DWORD processId, const wchar_t* dllPath);

// Writes the process's image path, in its long form when the system gave a
// short (8.3) one, into buffer (at most capacity characters with the
// terminator). Returns the length the system reported for the path it read,
// 0 for a null buffer, a capacity under 100, or a process it cannot open or read.
DWORD GetProcessImagePath(DWORD processId, wchar_t* buffer, DWORD capacity);

// Enables SeDebugPrivilege in the own token; the result of AdjustTokenPrivileges.
BOOL GetDebugPrivilege();

// Path tests KillMultiProcesses relies on, exposed for tests.
// True if path lies inside directory: directory (with or without trailing
// separators) is a prefix of path, ignoring case, and a path separator
// follows it. The directory itself and a sibling that merely shares the
// leading characters of its name ("C:\Apps\Zelo2" for "C:\Apps\Zelo") are not inside.
bool IsPathInsideDirectory(const wchar_t* path, const wchar_t* directory);
// True for a drive root however many separators follow ("C:", "C:\", "D:\\",
// "\\?\C:\") and for a directory made of separators alone.
bool IsDriveRoot(const wchar_t* directory);
