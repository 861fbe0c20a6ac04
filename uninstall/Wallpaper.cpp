#include "uninstall/Wallpaper.h"

void RestoreDesktopWallpaper() {}

std::wstring GetStaticWallpaperPath()
{
    return {};
}
