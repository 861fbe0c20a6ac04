// The setup description packed into the executable: what the engine needs to
// know about the product it removes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "setupconfig/UninstallRootDirList.h"

struct CloseProgramRecord {  // 416 bytes
    wchar_t windowClass[196];
    UINT message;
    UINT wParam;
    UINT lParam;
    UINT timeoutMs;
    BYTE reserved[8];
};
struct ProgramRecord {  // 3128 bytes
    wchar_t fileName[260];
    wchar_t type[260];
    wchar_t funcName[260];
    wchar_t para[260];
    wchar_t cmdline[260];
    wchar_t signType[260];
    UINT waitTime;
    UINT sync;
};
struct RundllRecord {  // 1564 bytes
    wchar_t fileName[260];
    wchar_t entry[260];
    wchar_t cmdline[260];
    UINT waitTime;
};
static_assert(sizeof(CloseProgramRecord) == 416);
static_assert(sizeof(ProgramRecord) == 3128);
static_assert(sizeof(RundllRecord) == 1564);

class ISetupConfig {
public:
    virtual int LoadFromResource(HINSTANCE module, const wchar_t* name, const wchar_t* type, const wchar_t* file) = 0;
    virtual int GetMinimizeSpace() const = 0;
    virtual IUninstallRootDirList* GetRootDirList() = 0;
    virtual int GetVersion(wchar_t* buffer, int size) const = 0;
    virtual int GetMainApp(wchar_t* buffer, int size) const = 0;
    virtual HKEY GetRegAppPathKey() const = 0;
    virtual int GetRegAppPathSubKey(wchar_t* buffer, int size) const = 0;
    virtual int GetRegAppPathValue(wchar_t* buffer, int size) const = 0;
    virtual int GetCloseProgramCount() const = 0;
    virtual int GetCloseProgram(int index, CloseProgramRecord* record) const = 0;
    virtual int GetCheckFile(int index, wchar_t* buffer, int size) const = 0;
    virtual int GetCheckFileCount() const = 0;
    virtual int GetInstProgram(int index, ProgramRecord* record) const = 0;
    virtual int GetInstProgramCount() const = 0;
    virtual int GetUninstProgram(int index, ProgramRecord* record) const = 0;
    virtual int GetUninstProgramCount() const = 0;
    virtual int GetFileCount() const = 0;
};

class CSetupConfig : public ISetupConfig {
public:
    CSetupConfig() = default;
    // Deletes the unpack directory with everything in it.
    virtual ~CSetupConfig();
    CSetupConfig(const CSetupConfig&) = delete;
    CSetupConfig& operator=(const CSetupConfig&) = delete;
    virtual void Release() { delete this; }

    int LoadFromResource(HINSTANCE module, const wchar_t* name, const wchar_t* type, const wchar_t* file) override;
    // Reads one configuration file; false without a usable root-directory list.
    bool Load(const wchar_t* path);

    int GetMinimizeSpace() const override { return minimizeSpace_; }
    IUninstallRootDirList* GetRootDirList() override { return &rootDirList_; }
    int GetVersion(wchar_t* buffer, int size) const override { return CopyText(version_, buffer, size); }
    int GetMainApp(wchar_t* buffer, int size) const override { return CopyText(mainApp_, buffer, size); }
    HKEY GetRegAppPathKey() const override { return regAppPathKey_; }
    int GetRegAppPathSubKey(wchar_t* buffer, int size) const override { return CopyText(regAppPathSubKey_, buffer, size); }
    int GetRegAppPathValue(wchar_t* buffer, int size) const override { return CopyText(regAppPathValue_, buffer, size); }
    int GetCloseProgramCount() const override { return static_cast<int>(closePrograms_.size()); }
    int GetCloseProgram(int index, CloseProgramRecord* record) const override;
    int GetCheckFile(int index, wchar_t* buffer, int size) const override;
    int GetCheckFileCount() const override { return static_cast<int>(checkFiles_.size()); }
    int GetInstProgram(int index, ProgramRecord* record) const override;
    int GetInstProgramCount() const override { return static_cast<int>(instPrograms_.size()); }
    int GetUninstProgram(int index, ProgramRecord* record) const override;
    int GetUninstProgramCount() const override { return static_cast<int>(uninstPrograms_.size()); }
    int GetFileCount() const override { return fileCount_; }

    int GetRundllCount() const { return static_cast<int>(rundlls_.size()); }
    int GetRundll(int index, RundllRecord* record) const;
    const std::wstring& GetUnpackDirectory() const { return unpackDirectory_; }
    const std::wstring& GetRootDirListPath() const { return rootDirListPath_; }
    const std::wstring& GetFileListPath() const { return fileListPath_; }

private:
    // Empty text first; 1 when the text fit, 0 when its length is not below `size`.
    static int CopyText(const std::wstring& text, wchar_t* buffer, int size);

    std::vector<CloseProgramRecord> closePrograms_;
    std::vector<std::wstring> checkFiles_;
    std::vector<ProgramRecord> instPrograms_;
    std::vector<ProgramRecord> uninstPrograms_;
    std::vector<RundllRecord> rundlls_;
    int minimizeSpace_ = 100;
    HKEY regAppPathKey_ = HKEY_LOCAL_MACHINE;
    std::wstring regAppPathSubKey_;
    std::wstring regAppPathValue_;
    std::wstring version_;
    std::wstring mainApp_;
    std::wstring rootDirListPath_;
    std::wstring unpackDirectory_;
    std::wstring fileListPath_;
    int fileCount_ = 200;
    CUninstallRootDirList rootDirList_;
};

// Root key by name (case ignored); HKEY_LOCAL_MACHINE for anything unknown.
HKEY RootKeyFromName(const std::wstring& name);
// Message by exact name; WM_CLOSE for anything unknown.
UINT MessageFromName(const std::wstring& name);
