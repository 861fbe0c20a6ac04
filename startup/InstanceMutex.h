// One uninstaller or installer of the product at a time.
#pragma once

#include <windows.h>

#include <vector>

#include "startup/Locks.h"

// Posted to the running main window so that it comes to the front.
constexpr UINT UM_ACTIVATE_INSTANCE = WM_USER + 0x1000;

class CInstanceMutex {
public:
    CInstanceMutex() = default;
    virtual ~CInstanceMutex();
    CInstanceMutex(const CInstanceMutex&) = delete;
    CInstanceMutex& operator=(const CInstanceMutex&) = delete;

    // False when another uninstaller or the installer holds the mutex; that
    // one's window is asked to come forward.
    bool CheckSingleInstance();
    // Closes every mutex handle held; returns 1.
    int CloseAll();

    static CInstanceMutex& Global();

private:
    _BaseModule::CCriticalSection lock_;
    std::vector<HANDLE> handles_;
};
