// The seam between the windows and the engine: what the entry point and the
// windows may ask of an uninstall.
#pragma once

#include <windows.h>

#include <string>

#include "setupconfig/SetupConfig.h"
#include "uninstall/Uninstaller.h"

class IUninstallTask {
public:
    // 0 when the program is intact; 2 when its own signature fails, 3 when
    // 7z.dll beside it cannot be loaded.
    virtual int __stdcall PreInitCheck() = 0;
    // Unpacks and reads the packed setup description.
    virtual BOOL __stdcall InitConfig(HINSTANCE module, UINT resourceId, const wchar_t* resourceType,
                                      const wchar_t* fileName) = 0;
    // One finished line of the run log, written verbatim.
    virtual int __stdcall WriteLog(const wchar_t* text) = 0;
    virtual void __stdcall SetRemoveAppData(BOOL remove) = 0;
    virtual void __stdcall SetInstallDir(const wchar_t* directory) = 0;
    virtual void __stdcall GetInstallDir(wchar_t* buffer, int capacity) = 0;
};

class CUninstallTask : public IUninstallTask {
public:
    int __stdcall PreInitCheck() override;
    BOOL __stdcall InitConfig(HINSTANCE module, UINT resourceId, const wchar_t* resourceType,
                              const wchar_t* fileName) override;
    int __stdcall WriteLog(const wchar_t* text) override;
    void __stdcall SetRemoveAppData(BOOL remove) override { uninstaller.removeAppData = remove; }
    void __stdcall SetInstallDir(const wchar_t* directory) override { uninstaller.installDir = directory ? directory : L""; }
    void __stdcall GetInstallDir(wchar_t* buffer, int capacity) override;
    virtual ~CUninstallTask() = default;

    CSetupConfig config;
    CUninstaller uninstaller;
};

// The one task of the process.
IUninstallTask* GetUninstallTask();
CUninstallTask& UninstallTask();
