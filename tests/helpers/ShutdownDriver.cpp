// Runs one process-shutdown operation for the scenario tests, logging to the
// program's run log (%TEMP%\vovov_uninst.log) as the uninstaller does.
//   shutdown_driver kill-install-path DIR
//   shutdown_driver kill-multi DIR            prints "killed N"
//   shutdown_driver kill-by-path PATH
//   shutdown_driver kill-using-module DLL
//   shutdown_driver is-running PATH [--name]  exit 0 when running, 1 when not
//   shutdown_driver has-module PID DLL        exit 0 when loaded, 1 when not
//   shutdown_driver image-path PID            prints the image path (0: own)
//   shutdown_driver spawn ARGS...             runs itself with ARGS as a child
//       process and waits for it (at most 120 s), so that the operation runs
//       with this copy as its parent; exits with the child's exit code
// Each operation prints "OPERATION done" once it returned, so a test can tell
// that the driver itself survived.
#include <windows.h>

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/Handles.h"
#include "startup/SmartLogger.h"
#include "uninstall/ProcessShutdown.h"

namespace {

void Say(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfwprintf(stdout, format, args);
    va_end(args);
    std::fflush(stdout);
}

// One argument as the C runtime's parser reads it back.
std::wstring QuoteArgument(const std::wstring& argument)
{
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L'"';
}

int Spawn(int argc, wchar_t** argv)
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = QuoteArgument(self);
    for (int i = 0; i < argc; ++i) commandLine += L' ' + QuoteArgument(argv[i]);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started)) {
        Say(L"spawn failed, error %lu\n", ::GetLastError());
        return 4;
    }
    platform::ScopedHandle process(started.hProcess);
    platform::ScopedHandle thread(started.hThread);
    Say(L"spawn: parent %lu started child %lu\n", ::GetCurrentProcessId(), started.dwProcessId);
    DWORD exitCode = 5;
    if (::WaitForSingleObject(process.get(), 120000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.get(), &exitCode);
    Say(L"spawn: child exited with %lu\n", exitCode);
    return static_cast<int>(exitCode);
}

int Usage()
{
    std::fputs("usage: shutdown_driver kill-install-path DIR | kill-multi DIR | kill-by-path PATH |"
               " kill-using-module DLL | is-running PATH [--name] | has-module PID DLL |"
               " image-path PID | spawn ARGS...\n",
               stderr);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    setlocale(LC_ALL, "chs");
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    Logger().SetLogPath((std::wstring(temp) + L"vovov_uninst.log").c_str());

    if (argc < 2) return Usage();
    const std::wstring operation = argv[1];
    const wchar_t* argument = argc >= 3 ? argv[2] : nullptr;

    if (operation == L"spawn" && argc >= 3) return Spawn(argc - 2, argv + 2);
    if (!argument) return Usage();

    int exitCode = 0;
    if (operation == L"kill-install-path") {
        KillProcessesInInstallPath(argument);
    } else if (operation == L"kill-multi") {
        int killed = -1;
        KillMultiProcesses(argument, &killed);
        Say(L"killed %d\n", killed);
    } else if (operation == L"kill-by-path") {
        KillProcessByPath(argument);
    } else if (operation == L"kill-using-module") {
        KillProcessesUsingModule(argument);
    } else if (operation == L"is-running") {
        const bool byName = argc >= 4 && std::wcscmp(argv[3], L"--name") == 0;
        const bool running = IsProcessRunning(argument, !byName);
        Say(L"%ls\n", running ? L"running" : L"not running");
        exitCode = running ? 0 : 1;
    } else if (operation == L"has-module" && argc >= 4) {
        const bool loaded = ProcessHasModule(std::wcstoul(argument, nullptr, 10), argv[3]);
        Say(L"%ls\n", loaded ? L"loaded" : L"not loaded");
        exitCode = loaded ? 0 : 1;
    } else if (operation == L"image-path") {
        DWORD id = std::wcstoul(argument, nullptr, 10);
        if (id == 0) id = ::GetCurrentProcessId();
        wchar_t image[1024] = {};
        const DWORD length = GetProcessImagePath(id, image, 1024);
        Say(L"%lu %ls\n", length, image);
        exitCode = length ? 0 : 1;
    } else {
        return Usage();
    }
    Say(L"%ls done\n", operation.c_str());
    return exitCode;
}
