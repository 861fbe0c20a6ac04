// The last resort for what cannot even be scheduled for deletion: a batch
// file registered under RunOnce that deletes it at the next logon, then itself.
#pragma once

#include <windows.h>

#include <string>

#include "platform/Handles.h"
#include "uninstall/FileRemoval.h"

// The batch file, created in the temporary directory on the first line.
class RunOnceBatFile {
public:
    RunOnceBatFile() = default;
    ~RunOnceBatFile() = default;
    RunOnceBatFile(const RunOnceBatFile&) = delete;
    RunOnceBatFile& operator=(const RunOnceBatFile&) = delete;

    // Appends one command (at most 519 bytes); false when the file cannot be made.
    bool AppendLine(const std::string& line);
    bool Created() const { return file_.valid(); }
    const std::wstring& Path() const { return path_; }
    void Close() { file_.reset(); }

private:
    platform::ScopedHandle file_;
    std::wstring path_;
};

// A path as cmd must read it back from a batch file: ASCII (the short name
// when the long one has other characters), every "%" doubled so that no
// variable is expanded. False when the path cannot be written so.
bool BatchQuotedPath(const std::wstring& path, std::string& text);

// Registers a path for deletion at restart (MoveFileExW with the delay flag
// in the program; tests pass a failing one to reach the batch file).
using ScheduleDelete = BOOL(WINAPI*)(LPCWSTR existing, LPCWSTR newName, DWORD flags);

// Moves every pending path out of the way and schedules it, falls back to
// the batch file, and finally removes the installation directory if empty.
bool CreateRunOnceBat(PendingPaths& pending, const wchar_t* installDir, ScheduleDelete schedule = &::MoveFileExW);
