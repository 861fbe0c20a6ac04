#include "uninstall/UninstallTask.h"

#include <shlwapi.h>

#include "setupconfig/ResourceUnpack.h"
#include "startup/FileSigner.h"
#include "startup/RelocationDir.h"
#include "startup/SmartLogger.h"

namespace {
CUninstallTask g_task;
}

IUninstallTask* GetUninstallTask()
{
    return &g_task;
}

CUninstallTask& UninstallTask()
{
    return g_task;
}

int __stdcall CUninstallTask::PreInitCheck()
{
    wchar_t self[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !VerifyFileSigner(self)) return 2;

    wchar_t archiveLibrary[MAX_PATH] = {};
    const std::wstring own = GetOwnDirectory();
    if (!::PathCombineW(archiveLibrary, own.c_str(), L"7z.dll")) return 3;
    return LoadArchiveLibrary(archiveLibrary) ? 0 : 3;
}

BOOL __stdcall CUninstallTask::InitConfig(HINSTANCE module, UINT resourceId, const wchar_t* resourceType,
                                          const wchar_t* fileName)
{
    return config.LoadFromResource(module, MAKEINTRESOURCEW(resourceId), resourceType, fileName) ? TRUE : FALSE;
}

int __stdcall CUninstallTask::WriteLog(const wchar_t* text)
{
    ::WriteLog(L"%s", text ? text : L"");
    return 1;
}

void __stdcall CUninstallTask::GetInstallDir(wchar_t* buffer, int capacity)
{
    const std::wstring& dir = uninstaller.installDir;
    if (dir.empty() || !buffer || static_cast<int>(dir.size()) >= capacity) return;
    dir.copy(buffer, dir.size());
    buffer[dir.size()] = L'\0';
}
