// Runs the file-removal steps of an uninstall on a directory, as the engine
// does, so that scenario tests can watch them in a real prefix.
//   file_removal_driver remove INSTALL_DIR ROOT_LIST_XML [--no-schedule]
//   file_removal_driver protected DIR
#include <windows.h>

#include <clocale>
#include <cstdio>
#include <cwchar>

#include <shlwapi.h>

#include "setupconfig/UninstallRootDirList.h"
#include "startup/SmartLogger.h"
#include "uninstall/FileRemoval.h"
#include "uninstall/RunOnceBatch.h"
#include "uninstall/Uninstaller.h"

namespace {

constexpr wchar_t kFileListKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\zuzire.exe\\file_list";
constexpr wchar_t kFilePeKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\zuzire.exe\\file_pe";

// Stands in for a system that will not take the restart list.
BOOL WINAPI RefuseSchedule(LPCWSTR, LPCWSTR, DWORD)
{
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    setlocale(LC_ALL, "chs");
    ::CoInitialize(nullptr);
    wchar_t log[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, log);
    ::PathAppendW(log, L"vovov_uninst.log");
    Logger().SetLogPath(log);
    if (argc < 3) return 2;

    if (std::wcscmp(argv[1], L"protected") == 0) {
        const bool isProtected = IsProtectedDirectory(argv[2]);
        std::printf("%s\n", isProtected ? "protected" : "free");
        CUninstaller engine;
        CUninstallRootDirList empty;
        DeleteAllFiles(argv[2], &empty, engine);
        return isProtected ? 0 : 1;
    }

    if (std::wcscmp(argv[1], L"remove") == 0 && argc >= 4) {
        CUninstallRootDirList list;
        if (!list.Load(argv[3])) return 3;
        const bool refuseSchedule = argc >= 5 && std::wcscmp(argv[4], L"--no-schedule") == 0;
        CUninstaller engine;
        engine.installDir = argv[2];
        RemoveFilesByRegistry(argv[2], kFileListKey, engine.pendingPaths);
        RemoveFilesByRegistry(argv[2], kFilePeKey, engine.pendingPaths);
        DeleteAllFiles(argv[2], &list, engine);
        RemoveOldProgramFolder();
        DeleteByExtension(argv[2], L".tmp");
        std::printf("total=%d done=%d percent=%d pending=%u\n", engine.filesTotal, engine.filesDone,
                    engine.FileProgressPercent(), static_cast<unsigned>(engine.pendingPaths.size()));
        CreateRunOnceBat(engine.pendingPaths, argv[2], refuseSchedule ? &RefuseSchedule : &::MoveFileExW);
        return 0;
    }
    return 2;
}
