#include "setupconfig/SetupConfig.h"

#include <shlwapi.h>

#include <cwchar>
#include <cwctype>

#include "platform/Handles.h"
#include "setupconfig/ResourceUnpack.h"
#include "setupconfig/XMLArchive.h"
#include "startup/OSVersion.h"

namespace {

// Removes a directory tree without logging: runs when the process exits,
// after the log may be gone. Links are removed, never followed.
void RemoveTreeQuietly(const std::wstring& directory)
{
    WIN32_FIND_DATAW entry{};
    platform::ScopedFind find(::FindFirstFileW((directory + L"\\*").c_str(), &entry));
    if (find) {
        do {
            if (std::wcscmp(entry.cFileName, L".") == 0 || std::wcscmp(entry.cFileName, L"..") == 0) continue;
            const std::wstring path = directory + L"\\" + entry.cFileName;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                ::SetFileAttributesW(path.c_str(), entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW(path.c_str());
            else if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                ::RemoveDirectoryW(path.c_str());
            else
                RemoveTreeQuietly(path);
        } while (::FindNextFileW(find.get(), &entry));
    }
    ::SetFileAttributesW(directory.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(directory.c_str());
}

std::wstring CombinePath(const std::wstring& directory, const std::wstring& name)
{
    wchar_t combined[MAX_PATH] = {};
    if (!::PathCombineW(combined, directory.c_str(), name.c_str())) return {};
    return combined;
}

// Copies an attribute into a fixed field; false when it does not fit.
template <size_t N>
bool ReadField(const CXMLArchiveItem& item, const wchar_t* name, wchar_t (&field)[N])
{
    std::wstring text;
    item.GetAttrString(name, text, nullptr);
    if (text.size() >= N) return false;
    text.copy(field, N - 1);
    field[text.size()] = L'\0';
    return true;
}

template <typename Record>
int CopyRecord(const std::vector<Record>& list, int index, Record* record)
{
    if (!record) return 0;
    *record = Record{};
    if (index < 0 || index >= static_cast<int>(list.size())) return 0;
    *record = list[index];
    return 1;
}

}  // namespace

HKEY RootKeyFromName(const std::wstring& name)
{
    std::wstring upper = name;
    for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
    if (upper == L"HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
    if (upper == L"HKEY_USERS") return HKEY_USERS;
    if (upper == L"HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
    if (upper == L"HKEY_CURRENT_CONFIG") return HKEY_CURRENT_CONFIG;
    return HKEY_LOCAL_MACHINE;
}

UINT MessageFromName(const std::wstring& name)
{
    if (name == L"WM_QUIT") return WM_QUIT;
    if (name == L"WM_COMMAND") return WM_COMMAND;
    return WM_CLOSE;
}

CSetupConfig::~CSetupConfig()
{
    if (!unpackDirectory_.empty() && ::PathIsDirectoryW(unpackDirectory_.c_str())) RemoveTreeQuietly(unpackDirectory_);
}

int CSetupConfig::CopyText(const std::wstring& text, wchar_t* buffer, int size)
{
    if (!buffer || size <= 0) return 0;
    buffer[0] = L'\0';
    if (text.size() >= static_cast<size_t>(size)) return 0;
    text.copy(buffer, text.size());
    buffer[text.size()] = L'\0';
    return 1;
}

int CSetupConfig::GetCloseProgram(int index, CloseProgramRecord* record) const
{
    return CopyRecord(closePrograms_, index, record);
}

int CSetupConfig::GetInstProgram(int index, ProgramRecord* record) const
{
    return CopyRecord(instPrograms_, index, record);
}

int CSetupConfig::GetUninstProgram(int index, ProgramRecord* record) const
{
    return CopyRecord(uninstPrograms_, index, record);
}

int CSetupConfig::GetRundll(int index, RundllRecord* record) const
{
    return CopyRecord(rundlls_, index, record);
}

int CSetupConfig::GetCheckFile(int index, wchar_t* buffer, int size) const
{
    if (buffer && size > 0) buffer[0] = L'\0';
    if (index < 0 || index >= static_cast<int>(checkFiles_.size())) return 0;
    return CopyText(checkFiles_[index], buffer, size);
}

int CSetupConfig::LoadFromResource(HINSTANCE module, const wchar_t* name, const wchar_t* type, const wchar_t* file)
{
    CResourceUnpack resource;
    std::wstring directory;
    if (!resource.Init(module, name, type) || !resource.Unpack(directory)) return 0;
    unpackDirectory_ = directory;
    const std::wstring path = CombinePath(directory, file ? file : L"");
    return !path.empty() && Load(path.c_str()) ? 1 : 0;
}

bool CSetupConfig::Load(const wchar_t* path)
{
    if (!path || std::wcslen(path) >= 512 || !::PathFileExistsW(path)) return false;
    wchar_t directoryBuffer[512] = {};
    std::wcscpy(directoryBuffer, path);
    ::PathRemoveFileSpecW(directoryBuffer);
    const std::wstring directory = directoryBuffer;

    CXMLArchive archive;
    if (FAILED(archive.Open(path, 0))) return false;

    const CXMLArchiveItem main = archive.SelectNode(L"Setup/Main");
    if (main.IsValid()) {
        main.GetAttrString(L"Version", version_, nullptr);
        main.GetAttrInt(L"MinimizeSpace", minimizeSpace_, minimizeSpace_);

        const CXMLArchiveItem rootList = archive.SelectNode(L"Setup/UninstallRootDirFileList");
        if (rootList.IsValid()) {
            std::wstring file;
            rootList.GetAttrString(L"File", file, nullptr);
            rootDirListPath_ = CombinePath(directory, file);
        }
        const CXMLArchiveItem fileList = archive.SelectNode(L"Setup/FileList");
        if (fileList.IsValid()) {
            fileList.GetAttrInt(L"FileCount", fileCount_, fileCount_);
            std::wstring file;
            fileList.GetAttrString(L"File", file, nullptr);
            fileListPath_ = CombinePath(directory, file);
        }
    }

    // Without its list of owned names the uninstall could not tell the
    // product's files from the user's: such a configuration is unusable.
    if (rootDirListPath_.empty() || !::PathFileExistsW(rootDirListPath_.c_str())) return false;
    rootDirList_.Load(rootDirListPath_.c_str());

    const CXMLArchiveItem appPath = archive.SelectNode(L"Setup/RegAppPath");
    if (appPath.IsValid()) {
        std::wstring key;
        appPath.GetAttrString(L"HKEY", key, nullptr);
        regAppPathKey_ = RootKeyFromName(key);
        appPath.GetAttrString(L"SubKey", regAppPathSubKey_, nullptr);
        appPath.GetAttrString(L"Value", regAppPathValue_, nullptr);
    }
    const CXMLArchiveItem application = archive.SelectNode(L"Setup/Application");
    if (application.IsValid()) application.GetAttrString(L"MainApp", mainApp_, nullptr);

    closePrograms_.clear();
    const CXMLArchiveItemList closeItems = archive.SelectNodes(L"Setup/CloseAllPrograms/Program");
    for (long i = 0; i < closeItems.GetCount(); ++i) {
        const CXMLArchiveItem item = closeItems.GetItem(i);
        if (!item.IsValid()) continue;
        CloseProgramRecord record{};
        if (!ReadField(item, L"WindowClass", record.windowClass)) continue;
        std::wstring message;
        item.GetAttrString(L"Message", message, L"WM_CLOSE");
        record.message = MessageFromName(message);
        int value = 0;
        item.GetAttrInt(L"WPARAM", value, 0x168);
        record.wParam = static_cast<UINT>(value);
        item.GetAttrInt(L"LPARAM", value, 0x168);
        record.lParam = static_cast<UINT>(value);
        item.GetAttrInt(L"Timeout", value, 2000);
        record.timeoutMs = static_cast<UINT>(value);
        closePrograms_.push_back(record);
    }

    rundlls_.clear();
    const CXMLArchiveItemList rundllItems = archive.SelectNodes(L"Setup/RundllUnRegisterOnUnInst/Item");
    const wchar_t* wantedSystem = IsOs64Bit() ? L"64" : L"32";
    for (long i = 0; i < rundllItems.GetCount(); ++i) {
        const CXMLArchiveItem item = rundllItems.GetItem(i);
        if (!item.IsValid()) continue;
        std::wstring system;
        item.GetAttrString(L"System", system, nullptr);
        if (system != wantedSystem) continue;
        RundllRecord record{};
        if (!ReadField(item, L"FileName", record.fileName) || !ReadField(item, L"Entry", record.entry) ||
            !ReadField(item, L"Cmdline", record.cmdline))
            continue;
        int wait = 0;
        item.GetAttrInt(L"WaitTime", wait, 0);
        record.waitTime = static_cast<UINT>(wait);
        rundlls_.push_back(record);
    }

    uninstPrograms_.clear();
    const CXMLArchiveItemList programItems = archive.SelectNodes(L"Setup/CallProgramOnUninst/Program");
    for (long i = 0; i < programItems.GetCount(); ++i) {
        const CXMLArchiveItem item = programItems.GetItem(i);
        if (!item.IsValid()) continue;
        ProgramRecord record{};
        if (!ReadField(item, L"FileName", record.fileName) || !ReadField(item, L"Type", record.type) ||
            !ReadField(item, L"FuncName", record.funcName) || !ReadField(item, L"Para", record.para) ||
            !ReadField(item, L"Cmdline", record.cmdline) || !ReadField(item, L"SignType", record.signType))
            continue;
        int value = 0;
        item.GetAttrInt(L"WaitTime", value, 0);
        record.waitTime = static_cast<UINT>(value);
        item.GetAttrInt(L"Sync", value, 1);
        record.sync = static_cast<UINT>(value);
        uninstPrograms_.push_back(record);
    }
    return true;
}
