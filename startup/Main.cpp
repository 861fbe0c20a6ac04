// Entry point: prepares the process, runs one of the three run modes on the
// UI thread and tears everything down again. The exit code is always 0.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <clocale>
#include <string>

#include "generated/BuildConstants.h"
#include "layerui/MessageBox.h"
#include "platform/AppModule.h"
#include "startup/CommandParser.h"
#include "startup/InstanceMutex.h"
#include "startup/RelocationDir.h"
#include "startup/SmartLogger.h"
#include "uninstall/FileRemoval.h"
#include "uninstall/UninstallTask.h"


namespace {

constexpr wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\zuzire.exe";
constexpr wchar_t kDamagedText[] = L"卸载程序已被破坏，请重新下载安装后再进行卸载";
constexpr wchar_t kArchiveDamagedText[] = L"7z.dll文件破坏，请重新下载安装后进行卸载";
constexpr UINT kSetupConfigId = 209;
constexpr wchar_t kAlreadyRunningText[] = L"安装或卸载程序已经在运行,点击“确定”退出";

}  // namespace

const wchar_t* GetInitErrorText(int code)
{
    switch (code) {
    case 2: return kDamagedText;
    case 3: return kArchiveDamagedText;
    default: return L"";
    }
}

void ShowDamagedMessage()
{
    if (msgbox::Show(kDamagedText, MB_YESNO) == IDYES)
        ::ShellExecuteW(nullptr, L"open", UNINSTALL_HOME_PAGE, nullptr, nullptr, SW_SHOWNORMAL);
}

// The product's installation directory as the product recorded it.
bool ReadInstallDirectory(wchar_t (&directory)[MAX_PATH])
{
    DWORD type = REG_SZ;
    DWORD bytes = sizeof(directory) - sizeof(wchar_t);
    directory[0] = L'\0';
    if (::SHGetValueW(HKEY_LOCAL_MACHINE, kAppPathsKey, L"path", &type, directory, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    directory[bytes / sizeof(wchar_t)] = L'\0';  // registry strings need not be terminated
    return directory[0] != L'\0';
}

// End of a relocated or restore run: the program's own directory goes, but
// only when it is the private copy the first run made. Started by hand from
// anywhere else (the installation directory, say), nothing is deleted here.
void DeleteOwnDirectory()
{
    const std::wstring own = GetOwnDirectory();
    if (!IsRelocationDirectory(own)) {
        WriteLog(L"own directory %s is not a relocation directory, left in place", own.c_str());
        return;
    }
    // Step out of the directory so that the process does not hold it open.
    wchar_t temp[1024] = {};
    if (::GetTempPathW(1024, temp) > 0) ::SetCurrentDirectoryW(temp);

    WriteLog(L"delete own directory %s", own.c_str());
    DeleteTree(own.c_str());
    // The running executable goes at the next restart; the directory after it.
    if (::PathFileExistsW(own.c_str())) ::MoveFileExW(own.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void RunRelocated(CCommandParser& commandLine)
{
    wchar_t installDir[MAX_PATH] = {};
    if (!ReadInstallDirectory(installDir) || !::PathFileExistsW(installDir)) {
        WriteLog(L"install directory not found");
        msgbox::Show(GetInitErrorText(2), MB_OK);
        return;
    }
    WriteLog(L"install directory: %s", installDir);

    IUninstallTask* task = GetUninstallTask();
    task->SetInstallDir(installDir);

    const std::wstring own = GetOwnDirectory();
    ::SetCurrentDirectoryW(own.c_str());

    if (commandLine.HasSwitch(L"/K")) {
        WriteLog(L"restore run");
    } else {
        const int check = task->PreInitCheck();
        if (check != 0) {
            WriteLog(L"pre init check failed, ret = %d", check);
            msgbox::Show(GetInitErrorText(check), MB_OK);
            return;
        }
        if (!task->InitConfig(_Module.GetModuleInstance(), kSetupConfigId, L"SETUPCONFIG", L"vovov.vrkprj")) {
            WriteLog(L"init config failed, exit");
            ShowDamagedMessage();
            return;
        }
        wchar_t version[64] = {};
        UninstallTask().config.GetVersion(version, 64);
        WriteLog(L"init config success, version %s", version);
    }

    DeleteOwnDirectory();
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    // Decides the log's code page and how switch names are upper-cased.
    setlocale(LC_ALL, "chs");
    _Module.Init(instance);

    wchar_t logPath[MAX_PATH] = {};
    if (::GetTempPathW(MAX_PATH, logPath) > 0 && ::PathAppendW(logPath, L"vovov_uninst.log"))
        Logger().SetLogPath(logPath);

    CCommandParser& parser = *CCommandParser::Instance();
    parser.SetCommandLine(commandLine);
    WriteLog(L"uninstall %s start, command line: %s", UNINSTALL_VERSION_WTEXT, commandLine ? commandLine : L"");

    msgbox::g_suppressed = parser.IsSilent() ? 1 : 0;

    if (!CInstanceMutex::Global().CheckSingleInstance()) {
        WriteLog(L"CheckSingleInstance failed, exit");
        msgbox::Show(kAlreadyRunningText, MB_OK);
    } else if (parser.HasSwitch(L"/READYUNINSTALL")) {
        RunRelocated(parser);
    }

    CInstanceMutex::Global().CloseAll();
    _Module.Term();
    ::CoUninitialize();
    return 0;
}
