// The uninstall sequence's state: what it works on and what is left over
// for the next start of Windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CUninstaller {
public:
    // Called once for every file the delete-all step handles; moves the
    // progress from 10 to 98 as the files go.
    void TickFileProgress();
    // The last percentage computed by the file progress (10 to 98).
    int FileProgressPercent() const { return lastFilePercent_; }

    std::wstring installDir;
    BOOL removeAppData = FALSE;
    // Paths that still existed after a deletion attempt; emptied by CreateRunOnceBat.
    std::vector<std::wstring> pendingPaths;
    int filesTotal = 0;
    int filesDone = 0;

private:
    int lastFilePercent_ = 0;
};
