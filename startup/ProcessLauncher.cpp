#include "startup/ProcessLauncher.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>
#include <string>

#include "platform/Handles.h"
#include "startup/FileSigner.h"

BOOL RunProcess(const wchar_t* path, const wchar_t* parameters, int showCommand, BOOL checkSigner, BOOL wait,
                DWORD* exitCode, DWORD waitMs)
{
    if (!path || !*path || std::wcslen(path) > MAX_PATH || !::PathFileExistsW(path)) return FALSE;

    // Quoted so that a path with blanks is one file name to the shell.
    std::wstring quoted = L"\"" + std::wstring(path) + L"\"";
    if (quoted.size() > 1023) return FALSE;

    if (checkSigner && !VerifyFileSigner(path)) return FALSE;

    SHELLEXECUTEINFOW info{sizeof(info)};
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = quoted.c_str();
    info.lpParameters = parameters;
    info.nShow = showCommand;
    const BOOL started = ::ShellExecuteExW(&info);
    platform::ScopedHandle process(started ? info.hProcess : nullptr);

    if (started && wait && process) ::WaitForSingleObject(process.get(), waitMs);
    if (exitCode) {
        if (!started) return FALSE;
        if (process) ::GetExitCodeProcess(process.get(), exitCode);
    }
    return started;
}
