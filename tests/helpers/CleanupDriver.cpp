// Runs the engine's entry clean-up operations one by one, and lays out what
// they remove, for the scenario tests. Commands run in the order given; the
// exit code is 0 when every command succeeded, 1 otherwise.
//
// Set-up and inspection:
//   --install-dir DIR      the engine's installation directory ("" for none)
//   folder CSIDL           prints the special folder (created if missing)
//   make-shortcut PATH     writes a shell link to notepad at PATH
//   make-task NAME         registers a scheduled task NAME that runs notepad
//   has-task NAME          succeeds when the task NAME exists
//   make-service NAME      creates a demand-start kernel-driver service entry
//   has-service NAME       succeeds when the service NAME exists
//   wallpaper-path         prints the user's static wallpaper path
// Operations of the engine:
//   desktop-shortcuts, start-menu, autorun, uninstall-entry,
//   driver NAME, restore-wallpaper
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <shlobj.h>
#include <taskschd.h>

#include <clocale>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "platform/Handles.h"
#include "startup/SmartLogger.h"
#include "uninstall/DriverService.h"
#include "uninstall/EntryCleanup.h"
#include "uninstall/UninstallTask.h"
#include "uninstall/Wallpaper.h"

namespace {

using platform::ComPtr;

// UTF-8 on standard output, one line; the scenario reads it through a pipe.
void PrintLine(const std::wstring& text)
{
    std::string bytes;
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    bytes.resize(length > 0 ? length : 0);
    if (length > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                              nullptr);
    bytes += '\n';
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void SetUpLog()
{
    setlocale(LC_ALL, "chs");
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    Logger().SetLogPath((std::wstring(temp) + L"vovov_uninst.log").c_str());
}

bool PrintFolder(const wchar_t* csidlText)
{
    wchar_t folder[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, folder, std::wcstol(csidlText, nullptr, 0), TRUE)) return false;
    PrintLine(folder);
    return true;
}

bool MakeShortcut(const wchar_t* path)
{
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return false;
    link->SetPath(L"C:\\windows\\notepad.exe");
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
    return SUCCEEDED(file->Save(path, TRUE));
}

// The task service, connected to this machine as the current user.
ComPtr<ITaskService> TaskService()
{
    ComPtr<ITaskService> service;
    if (FAILED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                  service.put_void())))
        return service;
    VARIANT none;
    ::VariantInit(&none);
    if (FAILED(service->Connect(none, none, none, none))) service.reset();
    return service;
}

ComPtr<ITaskFolder> TaskRoot(ITaskService* service)
{
    ComPtr<ITaskFolder> root;
    platform::ScopedBstr rootPath(L"\\");
    if (service) service->GetFolder(rootPath.get(), root.put());
    return root;
}

// A task with one exec action and nothing else: Wine has neither logon
// triggers nor principal run levels.
bool MakeTask(const wchar_t* name)
{
    ComPtr<ITaskService> service = TaskService();
    ComPtr<ITaskFolder> root = TaskRoot(service.get());
    ComPtr<ITaskDefinition> definition;
    if (!root || FAILED(service->NewTask(0, definition.put()))) return false;

    ComPtr<IActionCollection> actions;
    ComPtr<IAction> action;
    ComPtr<IExecAction> exec;
    if (FAILED(definition->get_Actions(actions.put())) || FAILED(actions->Create(TASK_ACTION_EXEC, action.put())) ||
        FAILED(action->QueryInterface(IID_IExecAction, exec.put_void())))
        return false;
    platform::ScopedBstr program(L"C:\\windows\\notepad.exe");
    if (FAILED(exec->put_Path(program.get()))) return false;

    platform::ScopedBstr taskName(name);
    VARIANT none;
    ::VariantInit(&none);
    ComPtr<IRegisteredTask> registered;
    return SUCCEEDED(root->RegisterTaskDefinition(taskName.get(), definition.get(), TASK_CREATE_OR_UPDATE, none, none,
                                                  TASK_LOGON_INTERACTIVE_TOKEN, none, registered.put()));
}

bool HasTask(const wchar_t* name)
{
    ComPtr<ITaskService> service = TaskService();
    ComPtr<ITaskFolder> root = TaskRoot(service.get());
    ComPtr<IRegisteredTask> task;
    platform::ScopedBstr taskName(name);
    return root && SUCCEEDED(root->GetTask(taskName.get(), task.put()));
}

bool MakeService(const wchar_t* name)
{
    platform::ScopedService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return false;
    const std::wstring binary = std::wstring(L"C:\\windows\\system32\\drivers\\") + name + L".sys";
    platform::ScopedService service(::CreateServiceW(manager.get(), name, name, SERVICE_ALL_ACCESS,
                                                     SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                                                     SERVICE_ERROR_IGNORE, binary.c_str(), nullptr, nullptr,
                                                     nullptr, nullptr, nullptr));
    return service.valid();
}

bool HasService(const wchar_t* name)
{
    platform::ScopedService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return false;
    platform::ScopedService service(::OpenServiceW(manager.get(), name, SERVICE_QUERY_STATUS));
    return service.valid();
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    SetUpLog();
    platform::ComInitScope com;
    bool allSucceeded = true;
    for (int i = 1; i < argc; ++i) {
        const std::wstring command = argv[i];
        const wchar_t* argument = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = true;
        bool takesArgument = true;
        if (command == L"--install-dir" && argument) UninstallTask().SetInstallDir(argument);
        else if (command == L"folder" && argument) ok = PrintFolder(argument);
        else if (command == L"make-shortcut" && argument) ok = MakeShortcut(argument);
        else if (command == L"make-task" && argument) ok = MakeTask(argument);
        else if (command == L"has-task" && argument) ok = HasTask(argument);
        else if (command == L"make-service" && argument) ok = MakeService(argument);
        else if (command == L"has-service" && argument) ok = HasService(argument);
        else if (command == L"driver" && argument) RemoveDriverService(argument);
        else {
            takesArgument = false;
            if (command == L"desktop-shortcuts") RemoveDesktopShortcuts();
            else if (command == L"start-menu") RemoveStartMenuFolder();
            else if (command == L"autorun") RemoveAutorun();
            else if (command == L"uninstall-entry") DeleteUninstallRegistry();
            else if (command == L"restore-wallpaper") RestoreDesktopWallpaper();
            else if (command == L"wallpaper-path") PrintLine(GetStaticWallpaperPath());
            else {
                PrintLine(L"unknown command: " + command);
                ok = false;
            }
        }
        if (takesArgument) ++i;
        allSucceeded = allSucceeded && ok;
    }
    return allSucceeded ? 0 : 1;
}
