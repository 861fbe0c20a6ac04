#include "setupconfig/UninstallRootDirList.h"

#include <cwctype>
#include <iterator>

#include "setupconfig/ResourceUnpack.h"
#include "setupconfig/XMLArchive.h"

std::wstring UpperCaseName(const wchar_t* name)
{
    std::wstring upper = name ? name : L"";
    for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
    return upper;
}

namespace {

template <typename Map>
void AddItems(Map& entries, const CXMLArchiveItem& section, LONG isDirectory)
{
    const CXMLArchiveItemList items = section.GetChildren(L"Item");
    for (long i = 0; i < items.GetCount(); ++i) {
        const CXMLArchiveItem item = items.GetItem(i);
        if (!item.IsValid()) continue;
        std::wstring name;
        item.GetAttrString(L"Name", name, nullptr);
        int optional = 0;
        item.GetAttrInt(L"optional", optional, 0);
        entries[UpperCaseName(name.c_str())] = {name, isDirectory, optional};
    }
}

}  // namespace

bool CUninstallRootDirList::Load(const wchar_t* path)
{
    if (!path) return false;
    CXMLArchive archive;
    if (FAILED(archive.Open(path, 0))) return false;
    entries_.clear();
    const CXMLArchiveItem dirs = archive.SelectNode(L"RootDirFiles/Dir");
    if (dirs.IsValid()) AddItems(entries_, dirs, 1);
    const CXMLArchiveItem files = archive.SelectNode(L"RootDirFiles/File");
    if (files.IsValid()) AddItems(entries_, files, 0);
    return true;
}

int CUninstallRootDirList::LoadFromResource(HINSTANCE module, const wchar_t* name, const wchar_t* type)
{
    CResourceUnpack resource;
    if (!resource.Init(module, name, type)) return 0;
    std::wstring path;
    int loaded = 0;
    if (MakeFreshTempPath(path) && resource.WriteTo(path.c_str())) {
        loaded = Load(path.c_str()) ? 1 : 0;
        ::DeleteFileW(path.c_str());
    }
    resource.Reset();
    return loaded;
}

bool CUninstallRootDirList::GetEntry(int index, RootDirEntry* entry) const
{
    if (!entry || index < 0 || index >= GetCount()) return false;
    auto it = entries_.begin();
    std::advance(it, index);
    *entry = RootDirEntry{};
    entry->isDirectory = it->second.isDirectory;
    entry->optional = it->second.optional;
    it->second.name.copy(entry->name, 259);
    return true;
}

int CUninstallRootDirList::Remove(const wchar_t* name)
{
    entries_.erase(UpperCaseName(name));
    return 1;
}

bool CUninstallRootDirList::Contains(const wchar_t* name) const
{
    return entries_.count(UpperCaseName(name)) != 0;
}
