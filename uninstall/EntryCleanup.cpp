#include "uninstall/EntryCleanup.h"

#include <objbase.h>
#include <oleauto.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <taskschd.h>

#include <string>

#include "platform/Handles.h"
#include "startup/OSVersion.h"
#include "startup/SmartLogger.h"
#include "uninstall/FileRemoval.h"
#include "uninstall/UninstallTask.h"

namespace {

constexpr wchar_t kProductDisplayName[] = L"Zelo动态壁纸";
constexpr wchar_t kAutorunName[] = L"ZuziRE";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kMachineRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kMachineRunValue[] = L"zuzire";
constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\zuzire";

// A special folder joined with `name`; empty when the folder is unknown.
std::wstring SpecialFolderEntry(int csidl, const std::wstring& name)
{
    wchar_t folder[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, folder, csidl, TRUE) || !*folder) return {};
    std::wstring path = folder;
    if (path.back() != L'\\') path += L'\\';
    return path + name;
}

// The directory without trailing separators, ready for one backslash and a name.
std::wstring WithoutTrailingSeparators(std::wstring directory)
{
    while (!directory.empty() && (directory.back() == L'\\' || directory.back() == L'/')) directory.pop_back();
    return directory;
}

}  // namespace

void RemoveDesktopShortcuts()
{
    const std::wstring shortcut = std::wstring(kProductDisplayName) + L".lnk";
    for (int csidl : {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY}) {
        const std::wstring path = SpecialFolderEntry(csidl, shortcut);
        if (!path.empty()) DeleteFileOrSchedule(path.c_str());
    }
}

void RemoveStartMenuFolder()
{
    const std::wstring folder = SpecialFolderEntry(CSIDL_COMMON_PROGRAMS, kProductDisplayName);
    if (!folder.empty()) DeleteTree(folder.c_str());
}

void RemoveAutorun()
{
    // Switch the product's own autorun off first, so that a copy of it that
    // is still around does not register itself again.
    // A bare file name would land in the Windows directory: without an
    // installation directory there is no config.set to write.
    const std::wstring installDir = WithoutTrailingSeparators(UninstallTask().uninstaller.installDir);
    if (installDir.empty()) {
        WriteLog(L"install directory is empty, config.set not written");
    } else {
        const std::wstring configFile = installDir + L"\\config.set";
        ::WritePrivateProfileStringW(L"auto_run", L"open", L"0", configFile.c_str());
    }

    WriteLog(L"Delete AutoRun Registry, ret = %d", DeleteAutoRunRegistry(kAutorunName));
    WriteLog(L"Delete AutoRun Task Schedule, ret = %d", DeleteAutoRunTaskSchedule(kAutorunName));

    // This process is 32-bit: the plain call sees the 32-bit view only, and a
    // value left in the 64-bit view would still start the product.
    ::SHDeleteValueW(HKEY_LOCAL_MACHINE, kMachineRunKey, kMachineRunValue);
    if (IsOs64Bit()) {
        platform::ScopedKey run;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMachineRunKey, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, run.put()) ==
            ERROR_SUCCESS)
            ::RegDeleteValueW(run.get(), kMachineRunValue);
    }
}

int DeleteAutoRunRegistry(const wchar_t* valueName)
{
    ::SHDeleteValueW(HKEY_CURRENT_USER, kRunKey, valueName);
    ::SHDeleteValueW(HKEY_LOCAL_MACHINE, kRunKey, valueName);
    return 1;
}

BOOL DeleteAutoRunTaskSchedule(const wchar_t* taskName)
{
    platform::ComInitScope com;
    // A thread already in the multithreaded apartment can use COM as it is.
    if (FAILED(com.result()) && com.result() != RPC_E_CHANGED_MODE) return FALSE;
    // Fails harmlessly when the process has set its security already.
    ::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                           RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);

    // Declared after `com`, so the interfaces go before COM is uninitialised.
    platform::ComPtr<ITaskService> service;
    if (FAILED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                  service.put_void())))
        return FALSE;
    // Empty arguments: the local machine, as the current user.
    VARIANT none;
    ::VariantInit(&none);
    if (FAILED(service->Connect(none, none, none, none))) return FALSE;

    platform::ComPtr<ITaskFolder> root;
    platform::ScopedBstr rootPath(L"\\");
    if (FAILED(service->GetFolder(rootPath.get(), root.put()))) return FALSE;
    // A missing task is as good as a deleted one.
    platform::ScopedBstr name(taskName);
    root->DeleteTask(name.get(), 0);
    return TRUE;
}

int DeleteUninstallRegistry()
{
    ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
    WriteLog(L"Delete uninstall registry");
    return 1;
}
