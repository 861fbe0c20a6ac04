// The names the product owns at the top level of its installation directory.
#pragma once

#include <windows.h>

#include <map>
#include <string>

struct RootDirEntry {  // 528 bytes, handed out by value
    wchar_t name[260];
    LONG isDirectory;
    LONG optional;
};
static_assert(sizeof(RootDirEntry) == 528);

class IUninstallRootDirList {
public:
    virtual int LoadFromResource(HINSTANCE module, const wchar_t* name, const wchar_t* type) = 0;
    virtual bool Load(const wchar_t* path) = 0;
    virtual int GetCount() const = 0;
    virtual bool GetEntry(int index, RootDirEntry* entry) const = 0;
    virtual int Remove(const wchar_t* name) = 0;
    // Case is ignored.
    virtual bool Contains(const wchar_t* name) const = 0;
};

class CUninstallRootDirList : public IUninstallRootDirList {
public:
    CUninstallRootDirList() = default;
    virtual ~CUninstallRootDirList() = default;

    int LoadFromResource(HINSTANCE module, const wchar_t* name, const wchar_t* type) override;
    bool Load(const wchar_t* path) override;
    int GetCount() const override { return static_cast<int>(entries_.size()); }
    bool GetEntry(int index, RootDirEntry* entry) const override;
    int Remove(const wchar_t* name) override;
    bool Contains(const wchar_t* name) const override;

private:
    struct Record {
        std::wstring name;
        LONG isDirectory;
        LONG optional;
    };
    std::map<std::wstring, Record> entries_;  // keyed by the upper-cased name
};

// Upper-cases with the C library under the process locale, as every name key is.
std::wstring UpperCaseName(const wchar_t* name);
