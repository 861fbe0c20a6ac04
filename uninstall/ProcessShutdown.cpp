#include "uninstall/ProcessShutdown.h"

#include <windows.h>
#include <psapi.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <cwchar>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "startup/SmartLogger.h"
#include "uninstall/Wallpaper.h"

namespace {

constexpr DWORD kMaxProcessIds = 2048;
constexpr DWORD kImageBuffer = 1024;
constexpr size_t kMaxPathArgument = MAX_PATH;
constexpr DWORD kExitWaitMs = 10000;
// Between two looks at the product: often enough to notice its exit at once,
// rarely enough that the wait does not keep a core busy and the per-pass log
// lines stay bounded (about 100 passes in ten seconds).
constexpr DWORD kExitPollMs = 100;

// The product's programs whose exit means the product has stopped.
constexpr const wchar_t* kWatchedPrograms[] = {L"zuzire.exe", L"web_helper.exe"};
// Names (relative to the directory) of programs KillMultiProcesses spares.
// This product spares none: the one empty name matches no process.
constexpr const wchar_t* kIgnoredPrograms[] = {L""};

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

std::wstring UpperCase(std::wstring text)
{
    if (!text.empty()) _wcsupr(text.data());
    return text;
}

// The directory without its trailing separators.
std::wstring TrimTrailingSeparators(const wchar_t* directory)
{
    std::wstring trimmed = directory ? directory : L"";
    while (!trimmed.empty() && IsSeparator(trimmed.back())) trimmed.pop_back();
    return trimmed;
}

std::wstring JoinPath(const wchar_t* directory, const wchar_t* name)
{
    return TrimTrailingSeparators(directory) + L'\\' + name;
}

// All process ids of the system; false, with none, when the enumeration failed.
bool EnumerateProcessIds(std::vector<DWORD>& ids)
{
    ids.assign(kMaxProcessIds, 0);
    DWORD bytes = 0;
    if (!::EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) {
        ids.clear();
        return false;
    }
    ids.resize(bytes / sizeof(DWORD));
    return true;
}

// The image path of a process, upper-cased; empty when it cannot be read.
std::wstring UpperImagePath(DWORD processId)
{
    wchar_t image[kImageBuffer] = {};
    if (GetProcessImagePath(processId, image, kImageBuffer) == 0) return {};
    _wcsupr(image);
    return image;
}

// The id of the process that started this one; -1 when it cannot be had.
DWORD ParentProcessId()
{
    struct BasicInformation {  // PROCESS_BASIC_INFORMATION, spelled out
        LONG exitStatus;
        void* pebBaseAddress;
        ULONG_PTR affinityMask;
        LONG basePriority;
        ULONG_PTR uniqueProcessId;
        ULONG_PTR inheritedFromUniqueProcessId;
    };
    using QueryInformation = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    constexpr int kProcessBasicInformation = 0;

    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    auto query = ntdll ? reinterpret_cast<QueryInformation>(::GetProcAddress(ntdll, "NtQueryInformationProcess"))
                       : nullptr;
    if (!query) return static_cast<DWORD>(-1);
    BasicInformation information{};
    ULONG written = 0;
    if (query(::GetCurrentProcess(), kProcessBasicInformation, &information, sizeof(information), &written) < 0)
        return static_cast<DWORD>(-1);
    return static_cast<DWORD>(information.inheritedFromUniqueProcessId);
}

// The privilege helps to open other users' processes; without it those are
// merely skipped, so a failure here never stops the caller.
void TryGetDebugPrivilege(bool logFailure)
{
    try {
        GetDebugPrivilege();
    } catch (...) {
        if (logFailure) WriteLog(L"GetDebugPrivilege 异常");
    }
}

void TerminateById(DWORD processId, DWORD access, UINT exitCode)
{
    platform::ScopedHandle process(::OpenProcess(access, FALSE, processId));
    if (process) ::TerminateProcess(process.get(), exitCode);
}

}  // namespace

bool IsPathInsideDirectory(const wchar_t* path, const wchar_t* directory)
{
    if (!path || !directory) return false;
    const std::wstring base = UpperCase(TrimTrailingSeparators(directory));
    const std::wstring candidate = UpperCase(path);
    if (base.empty() || candidate.size() <= base.size() + 1) return false;
    return candidate.compare(0, base.size(), base) == 0 && IsSeparator(candidate[base.size()]);
}

bool IsDriveRoot(const wchar_t* directory)
{
    if (!directory) return false;
    std::wstring trimmed = TrimTrailingSeparators(directory);
    // "\\?\C:\" and "\\.\C:\" name the same root as "C:\".
    if (trimmed.size() >= 4 && IsSeparator(trimmed[0]) && IsSeparator(trimmed[1]) &&
        (trimmed[2] == L'?' || trimmed[2] == L'.') && IsSeparator(trimmed[3]))
        trimmed.erase(0, 4);
    if (trimmed.empty()) return true;
    const wchar_t letter = trimmed[0];
    return trimmed.size() == 2 && trimmed[1] == L':' &&
           ((letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z'));
}

BOOL GetDebugPrivilege()
{
    platform::ScopedHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()))
        return FALSE;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid)) return FALSE;
    return ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(privileges), nullptr, nullptr);
}

DWORD GetProcessImagePath(DWORD processId, wchar_t* buffer, DWORD capacity)
{
    if (!buffer || capacity < 100) return 0;

    platform::ScopedHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) {
        WriteLog(L"[kill] OpenProcess Failed: pid = %d, error = %d", static_cast<int>(processId),
                 static_cast<int>(::GetLastError()));
        return 0;
    }
    wchar_t image[kImageBuffer] = {};
    const DWORD length = ::GetModuleFileNameExW(process.get(), nullptr, image, kImageBuffer);
    if (length == 0) {
        WriteLog(L"[kill] GetModuleFileNameEx Failed: pid = %d, error = %d", static_cast<int>(processId),
                 static_cast<int>(::GetLastError()));
        return 0;
    }
    image[kImageBuffer - 1] = L'\0';

    const wchar_t* result = image;
    wchar_t longImage[kImageBuffer] = {};
    if (std::wcschr(image, L'~')) {
        const DWORD longLength = ::GetLongPathNameW(image, longImage, kImageBuffer);
        if (longLength >= 1 && longLength <= kImageBuffer - 1) result = longImage;
    }
    std::wcsncpy(buffer, result, capacity - 1);
    buffer[capacity - 1] = L'\0';
    return length;
}

bool IsProcessRunning(const wchar_t* path, bool compareFullPath)
{
    if (!path) return false;
    TryGetDebugPrivilege(false);
    std::vector<DWORD> ids;
    if (!EnumerateProcessIds(ids)) return false;

    const std::wstring wanted = UpperCase(std::wstring(path).substr(0, kMaxPathArgument));
    for (DWORD id : ids) {
        const std::wstring image = UpperImagePath(id);
        if (image.empty()) continue;
        const wchar_t* compared = compareFullPath ? image.c_str() : ::PathFindFileNameW(image.c_str());
        if (_wcsicmp(compared, wanted.c_str()) == 0) {
            WriteLog(L"process: %s is running", image.c_str());
            return true;
        }
    }
    return false;
}

int KillMultiProcesses(const wchar_t* directory, int* killedCount)
{
    WriteLog(L"enter KillMultiProcesses");
    if (!directory) return 0;
    const size_t length = std::wcslen(directory);
    if (length < 4 || length > kMaxPathArgument) return 0;
    // A drive root would take every program of the drive with it.
    if (IsDriveRoot(directory)) {
        WriteLog(L"KillMultiProcesses: %s is a drive root, nothing is killed", directory);
        return 0;
    }
    if (killedCount) *killedCount = 0;

    TryGetDebugPrivilege(true);
    std::vector<DWORD> ids;
    if (!EnumerateProcessIds(ids)) {
        WriteLog(L"EnumProcesses fail dwError = %lu", ::GetLastError());
        return 0;
    }

    const std::wstring base = UpperCase(TrimTrailingSeparators(directory));
    const DWORD self = ::GetCurrentProcessId();
    const DWORD parent = ParentProcessId();
    int killed = 0;
    for (DWORD id : ids) {
        if (id == self || id == parent) continue;
        const std::wstring image = UpperImagePath(id);
        if (image.empty() || !IsPathInsideDirectory(image.c_str(), base.c_str())) continue;

        bool ignored = false;
        for (const wchar_t* name : kIgnoredPrograms) {
            if (_wcsicmp(image.c_str(), JoinPath(base.c_str(), name).c_str()) == 0) {
                WriteLog(L"Ignore process : %s", image.c_str());
                ignored = true;
                break;
            }
        }
        if (ignored) continue;

        TerminateById(id, PROCESS_TERMINATE, 0);
        WriteLog(L"Kill process: %s", image.c_str());
        ++killed;
    }
    if (killedCount) *killedCount = killed;
    WriteLog(L"end KillMultiProcesses");
    return 0;
}

void KillProcessesInInstallPath(const wchar_t* installDir)
{
    {
        platform::ScopedHandle exitEvent(::OpenEventW(EVENT_MODIFY_STATE, FALSE, kProductExitEventName));
        if (exitEvent) ::SetEvent(exitEvent.get());
    }
    WriteLog(L"enter KillProcessesInInstallPath szTargetDir=%s", installDir ? installDir : L"");
    if (!installDir || std::wcslen(installDir) <= 4) return;

    std::vector<std::wstring> watched;
    for (const wchar_t* name : kWatchedPrograms) watched.push_back(JoinPath(installDir, name));

    const DWORD start = ::GetTickCount();
    for (;;) {
        bool running = false;
        for (const std::wstring& program : watched) {
            if (IsProcessRunning(program.c_str(), true)) {
                running = true;
                break;
            }
        }
        if (!running) return;  // the product heard the event and exited
        if (::GetTickCount() - start > kExitWaitMs) break;
        ::Sleep(kExitPollMs);
    }

    KillMultiProcesses(installDir);
    RestoreDesktopWallpaper();
    WriteLog(L"end KillProcessesInInstallPath");
}

int KillProcessByPath(const wchar_t* path)
{
    if (!path || std::wcslen(path) > kMaxPathArgument) return 0;
    TryGetDebugPrivilege(false);
    std::vector<DWORD> ids;
    if (!EnumerateProcessIds(ids)) return 0;

    const std::wstring wanted = UpperCase(path);
    for (DWORD id : ids) {
        const std::wstring image = UpperImagePath(id);
        if (image.empty() || image != wanted) continue;
        TerminateById(id, PROCESS_TERMINATE, 0);
        WriteLog(L"Kill process: %s", image.c_str());
    }
    return 0;
}

bool ProcessHasModule(DWORD processId, const wchar_t* dllPath)
{
    if (!dllPath) return false;
    platform::ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    platform::ScopedHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!snapshot || !process) return false;

    MODULEENTRY32W module{};
    module.dwSize = sizeof(module);
    for (BOOL more = ::Module32FirstW(snapshot.get(), &module); more; more = ::Module32NextW(snapshot.get(), &module)) {
        wchar_t path[MAX_PATH] = {};
        if (::GetModuleFileNameExW(process.get(), module.hModule, path, MAX_PATH) == 0) continue;
        if (::lstrcmpiW(path, dllPath) == 0) return true;
    }
    return false;
}

void KillProcessesUsingModule(const wchar_t* dllPath)
{
    if (!dllPath) return;
    TryGetDebugPrivilege(false);
    platform::ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;

    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        if (ProcessHasModule(entry.th32ProcessID, dllPath))
            TerminateById(entry.th32ProcessID, PROCESS_ALL_ACCESS, 0xFFFFFFFF);
    }
}
