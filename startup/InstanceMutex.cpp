#include "startup/InstanceMutex.h"

namespace {
constexpr wchar_t kMutexName[] = L"ZeloWallPaperInstaller";  // shared with the installer
constexpr wchar_t kMainWindowClass[] = L"ZeloWallPaperSetupMainWnd";
}  // namespace

CInstanceMutex& CInstanceMutex::Global()
{
    static CInstanceMutex guard;
    return guard;
}

CInstanceMutex::~CInstanceMutex()
{
    CloseAll();
}

bool CInstanceMutex::CheckSingleInstance()
{
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, kMutexName);
    if (!mutex) return true;  // a failing check must not block the uninstall
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        if (HWND running = ::FindWindowExW(nullptr, nullptr, kMainWindowClass, nullptr))
            ::PostMessageW(running, UM_ACTIVATE_INSTANCE, 0, 0);
        return false;
    }
    _BaseModule::CAutoLocker hold(&lock_);
    handles_.push_back(mutex);
    return true;
}

int CInstanceMutex::CloseAll()
{
    std::vector<HANDLE> handles;
    {
        _BaseModule::CAutoLocker hold(&lock_);
        handles.swap(handles_);
    }
    for (HANDLE handle : handles)
        if (handle) ::CloseHandle(handle);
    return 1;
}
