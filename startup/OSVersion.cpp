#include "startup/OSVersion.h"

#include <shlwapi.h>

#include <atomic>
#include <string>

#include "platform/Handles.h"

namespace {

using RtlGetNtVersionNumbersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
using GetNativeSystemInfoFn = void(WINAPI*)(SYSTEM_INFO*);
using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, BOOL*);

template <typename Fn>
Fn Lookup(const wchar_t* module, const char* name)
{
    HMODULE handle = ::GetModuleHandleW(module);
    return handle ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(handle, name))) : nullptr;
}

bool RunsUnderWow64()
{
    auto isWow64 = Lookup<IsWow64ProcessFn>(L"kernel32.dll", "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

bool GetNtVersionNumbers(DWORD& major, DWORD& minor)
{
    auto numbers = Lookup<RtlGetNtVersionNumbersFn>(L"ntdll.dll", "RtlGetNtVersionNumbers");
    if (!numbers) return false;
    DWORD build = 0;
    numbers(&major, &minor, &build);
    return true;
}

BOOL IsWindows10OrLater()
{
    static const BOOL cached = [] {
        DWORD major = 0, minor = 0;
        if (!GetNtVersionNumbers(major, minor)) return FALSE;
        return (major >= 10 || (major == 6 && minor == 4)) ? TRUE : FALSE;
    }();
    return cached;
}

BOOL IsOs64Bit()
{
    static const BOOL cached = [] {
        auto nativeInfo = Lookup<GetNativeSystemInfoFn>(L"kernel32.dll", "GetNativeSystemInfo");
        if (!nativeInfo) return FALSE;
        SYSTEM_INFO info{};
        nativeInfo(&info);
        const WORD arch = info.wProcessorArchitecture;
        if (arch == 6 || arch == 9 || arch == 12) return TRUE;
        // An x86 process emulated on ARM64 sees an x86 system above.
        if (auto wow64Process2 = Lookup<IsWow64Process2Fn>(L"kernel32.dll", "IsWow64Process2")) {
            USHORT processMachine = 0, nativeMachine = 0;
            if (wow64Process2(::GetCurrentProcess(), &processMachine, &nativeMachine) && nativeMachine == 0xAA64)
                return TRUE;
        }
        return FALSE;
    }();
    return cached;
}

OSVERSIONINFOW COSVersionCheck::Version()
{
    if (source_ == -1) Probe();
    return version_;
}

void COSVersionCheck::Probe()
{
    version_ = OSVERSIONINFOW{};
    version_.dwOSVersionInfoSize = sizeof(version_);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&version_);
#pragma GCC diagnostic pop

    const bool wow64 = RunsUnderWow64();
    if (!(version_.dwMajorVersion == 5 && wow64)) {
        // GetVersionEx lies to unmanifested programs; RtlGetVersion does not.
        if (auto rtlGetVersion = Lookup<RtlGetVersionFn>(L"ntdll.dll", "RtlGetVersion")) {
            OSVERSIONINFOW real{sizeof(real)};
            if (rtlGetVersion(&real) == 0 &&
                real.dwMajorVersion * 10 + real.dwMinorVersion > version_.dwMajorVersion * 10 + version_.dwMinorVersion)
                version_ = real;
        }

        wchar_t windows[MAX_PATH] = {};
        if (::GetSystemWindowsDirectoryW(windows, MAX_PATH)) {
            std::wstring kernel = windows;
            if (!kernel.empty() && kernel.back() != L'\\') kernel += L'\\';
            kernel += wow64 ? L"SysNative\\ntoskrnl.exe" : L"System32\\ntoskrnl.exe";
            platform::ScopedModule image(
                ::LoadLibraryExW(kernel.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
            HRSRC found = image ? ::FindResourceW(image.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16)) : nullptr;
            HGLOBAL loaded = found ? ::LoadResource(image.get(), found) : nullptr;
            const BYTE* block = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
            const DWORD size = found ? ::SizeofResource(image.get(), found) : 0;
            if (block && size > 40) {
                // VS_VERSIONINFO: the fixed information follows the key, DWORD-aligned.
                VS_FIXEDFILEINFO* fixed = nullptr;
                UINT fixedLength = 0;
                std::string copy(reinterpret_cast<const char*>(block), size);
                if (::VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedLength) && fixed &&
                    fixedLength >= sizeof(VS_FIXEDFILEINFO)) {
                    const DWORD major = HIWORD(fixed->dwFileVersionMS);
                    const DWORD minor = LOWORD(fixed->dwFileVersionMS);
                    if (major * 10 + minor > version_.dwMajorVersion * 10 + version_.dwMinorVersion) {
                        version_.dwMajorVersion = major;
                        version_.dwMinorVersion = minor;
                        version_.dwBuildNumber = HIWORD(fixed->dwFileVersionLS);
                        source_ = 1;
                        return;
                    }
                }
            }
        }
    }
    source_ = 0;
}
