// The desktop wallpaper the product replaces while it runs.
#pragma once

#include <string>

// Puts the user's own wallpaper back after the product was killed.
void RestoreDesktopWallpaper();
// The user's static wallpaper file, possibly empty.
std::wstring GetStaticWallpaperPath();
