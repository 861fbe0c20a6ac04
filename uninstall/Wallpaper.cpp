#include "uninstall/Wallpaper.h"

#include <windows.h>
// <shlobj.h> declares IActiveDesktop and its structures only after <wininet.h>.
#include <wininet.h>
#include <shlobj.h>
#include <shlguid.h>
#include <shlwapi.h>

#include <cwchar>

#include "platform/Handles.h"
#include "startup/OSVersion.h"

namespace {

constexpr UINT kPathChars = MAX_PATH;

bool IsExistingFile(const wchar_t* path)
{
    if (!path || !*path) return false;
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

platform::ComPtr<IActiveDesktop> CreateActiveDesktop()
{
    platform::ComPtr<IActiveDesktop> desktop;
    ::CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop, desktop.put_void());
    return desktop;
}

std::wstring WallpaperFromSystemSettings()
{
    wchar_t path[kPathChars] = {};
    if (!::SystemParametersInfoW(SPI_GETDESKWALLPAPER, kPathChars, path, 0)) return {};
    path[kPathChars - 1] = L'\0';
    return path;
}

std::wstring WallpaperFromUserRegistry()
{
    wchar_t path[kPathChars] = {};
    DWORD size = sizeof(path);
    // RRF_RT_REG_SZ: only a plain string counts, and it comes back terminated.
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", RRF_RT_REG_SZ, nullptr, path,
                       &size) != ERROR_SUCCESS)
        return {};
    return path;
}

std::wstring WallpaperLastApplied()
{
    platform::ComInitScope com;
    platform::ComPtr<IActiveDesktop> desktop = CreateActiveDesktop();
    if (!desktop) return {};
    wchar_t path[kPathChars] = {};
    if (FAILED(desktop->GetWallpaper(path, kPathChars, AD_GETWP_LAST_APPLIED))) return {};
    path[kPathChars - 1] = L'\0';
    return path;
}

// Windows 10 keeps a copy of the wallpaper it shows in the theme's cache,
// even when the original file has gone.
std::wstring WallpaperFromThemeCache()
{
    wchar_t appData[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE) || !*appData) return {};
    std::wstring folder = appData;
    if (folder.back() != L'\\') folder += L'\\';
    folder += L"Microsoft\\Windows\\Themes\\CachedFiles";

    WIN32_FIND_DATAW entry{};
    platform::ScopedFind find(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!find) return {};
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return folder + L'\\' + entry.cFileName;
    } while (::FindNextFileW(find.get(), &entry));
    return {};
}

}  // namespace

std::wstring GetStaticWallpaperPath()
{
    // From the most to the least direct record of what the user chose; each
    // counts only if the file is still there.
    std::wstring path = WallpaperFromSystemSettings();
    if (IsExistingFile(path.c_str())) return path;
    path = WallpaperFromUserRegistry();
    if (IsExistingFile(path.c_str())) return path;
    path = WallpaperLastApplied();
    if (IsExistingFile(path.c_str())) return path;
    if (!IsWindows10OrLater()) return {};
    path = WallpaperFromThemeCache();
    return IsExistingFile(path.c_str()) ? path : std::wstring();
}

void RestoreDesktopWallpaper()
{
    platform::ComInitScope com;
    platform::ComPtr<IActiveDesktop> desktop = CreateActiveDesktop();
    if (!desktop) return;

    // The options go back as they are, so that the changes applied below
    // carry the user's style along with the wallpaper.
    WALLPAPEROPT options{};
    options.dwSize = sizeof(options);
    if (SUCCEEDED(desktop->GetWallpaperOptions(&options, 0))) desktop->SetWallpaperOptions(&options, 0);

    const std::wstring path = GetStaticWallpaperPath();
    if (IsExistingFile(path.c_str())) desktop->SetWallpaper(path.c_str(), 0);

    // Since Vista the shell may skip settings it believes unchanged unless
    // the change is forced.
    DWORD major = 0, minor = 0;
    const bool vistaOrLater = (GetNtVersionNumbers(major, minor) && major >= 6) || IsWindows10OrLater();
    desktop->ApplyChanges(vistaOrLater ? (AD_APPLY_ALL | AD_APPLY_FORCE) : AD_APPLY_ALL);
}
