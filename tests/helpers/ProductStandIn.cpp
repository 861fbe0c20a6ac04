// Stands in for the product's programs in the process-shutdown tests; the
// tests copy it under the product's names (zuzire.exe, web_helper.exe, ...).
//   product_stand_in --obedient READY EXITED  creates the product's exit event,
//       writes READY, and when the event is set writes EXITED and ends with 0
//       (gives up after 120 s with 3, writing nothing)
//   product_stand_in --stubborn READY         creates the exit event too but
//       ignores it; writes READY and sleeps 120 s
//   product_stand_in --load DLL READY         loads DLL, writes READY and sleeps
//       120 s; ends with 2 at once when DLL cannot be loaded
// READY and EXITED are files; each gets the process id as text. A process
// that was terminated never writes EXITED.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "platform/Handles.h"
#include "uninstall/ProcessShutdown.h"

namespace {

// Long enough to outlast every test step, short enough never to outlive a test by much.
constexpr DWORD kLifetimeMs = 120000;

void WriteMarker(const wchar_t* path)
{
    if (!path || !*path) return;
    platform::ScopedHandle file(
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    char text[32];
    const int length = std::snprintf(text, sizeof(text), "%lu\n", ::GetCurrentProcessId());
    DWORD written = 0;
    ::WriteFile(file.get(), text, static_cast<DWORD>(length), &written, nullptr);
}

// The event as the product creates it: manual reset, so every program of the
// product that waits on it sees it set.
platform::ScopedHandle CreateExitEvent()
{
    return platform::ScopedHandle(::CreateEventW(nullptr, TRUE, FALSE, kProductExitEventName));
}

int Usage()
{
    std::fputs("usage: product_stand_in --obedient READY EXITED | --stubborn READY | --load DLL READY\n", stderr);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return Usage();
    const wchar_t* mode = argv[1];

    if (std::wcscmp(mode, L"--obedient") == 0 && argc >= 4) {
        platform::ScopedHandle exitEvent = CreateExitEvent();
        if (!exitEvent) return 2;
        WriteMarker(argv[2]);
        if (::WaitForSingleObject(exitEvent.get(), kLifetimeMs) != WAIT_OBJECT_0) return 3;
        WriteMarker(argv[3]);
        return 0;
    }
    if (std::wcscmp(mode, L"--stubborn") == 0 && argc >= 3) {
        platform::ScopedHandle exitEvent = CreateExitEvent();
        WriteMarker(argv[2]);
        ::Sleep(kLifetimeMs);
        return 0;
    }
    if (std::wcscmp(mode, L"--load") == 0 && argc >= 4) {
        platform::ScopedModule library(::LoadLibraryW(argv[2]));
        if (!library) return 2;
        WriteMarker(argv[3]);
        ::Sleep(kLifetimeMs);
        return 0;
    }
    return Usage();
}
