// The product's entry points outside its installation directory: desktop and
// start-menu shortcuts, autorun (Run values and a scheduled task) and the
// entry in the system's list of installed programs. None of these fails its
// caller; what happened is in the run log.
#pragma once

#include <windows.h>

// "Zelo动态壁纸.lnk" on the all-users and the user's desktop; a shortcut in
// use goes at the next start of Windows.
void RemoveDesktopShortcuts();
// The product's folder in the all-users start menu, with everything in it.
void RemoveStartMenuFolder();
// Switches autorun off in the product's config.set, then removes the Run
// values and the scheduled task.
void RemoveAutorun();
// The Run value `valueName` of the user and of the machine; always 1.
int DeleteAutoRunRegistry(const wchar_t* valueName);
// The task `taskName` in the scheduler's root folder. TRUE when the task
// service and its root folder were reached, whether or not the task existed.
BOOL DeleteAutoRunTaskSchedule(const wchar_t* taskName);
// The product's key under the machine's Uninstall list; always 1.
int DeleteUninstallRegistry();
