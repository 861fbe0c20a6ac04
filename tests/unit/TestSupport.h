// Shared helpers of the Windows unit tests.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlwapi.h>

#include <cstdio>
#include <vector>
#include <string>

#include "startup/TempName.h"
#include "uninstall/FileRemoval.h"

namespace testsupport {

inline std::wstring Widen(const char* text)
{
    std::wstring result;
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    result.resize(length > 0 ? length - 1 : 0);
    if (length > 1) ::MultiByteToWideChar(CP_UTF8, 0, text, -1, result.data(), length);
    return result;
}

// A file of the build's test data directory, as a Windows path.
inline std::wstring DataFile(const wchar_t* name)
{
    std::wstring unixPath = Widen(TEST_DATA_DIR) + L"/" + name;
    wchar_t windowsPath[MAX_PATH] = {};
    // Wine maps the host's root to drive Z:.
    std::wstring path = L"Z:" + unixPath;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    ::GetFullPathNameW(path.c_str(), MAX_PATH, windowsPath, nullptr);
    return windowsPath;
}

inline std::wstring NewGuidName()
{
    GUID guid{};
    ::CoCreateGuid(&guid);
    GuidParts parts{guid.Data1, guid.Data2, guid.Data3, {}};
    for (int i = 0; i < 8; ++i) parts.data4[i] = guid.Data4[i];
    return FormatGuidTempName(parts);
}

inline std::wstring TempRoot()
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return temp;
}

// A private directory under the temporary directory, removed with its content.
class ScopedTempDir {
public:
    ScopedTempDir() : path_(TempRoot() + L"ut-" + NewGuidName()) { ::CreateDirectoryW(path_.c_str(), nullptr); }
    ~ScopedTempDir() { DeleteTree(path_.c_str()); }
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

inline std::string ReadBytes(const std::wstring& path)
{
    std::string bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        char chunk[4096];
        size_t got = 0;
        while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0) bytes.append(chunk, got);
        fclose(file);
    }
    return bytes;
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    if (FILE* file = _wfopen(path.c_str(), L"wb")) {
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
}

// An XML file as the product writes them: UTF-16 LE, byte-order mark, CRLF.
inline void WriteUtf16File(const std::wstring& path, const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        if (c == L'\n') {
            bytes += '\r';
            bytes += '\0';
        }
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    WriteBytes(path, bytes);
}

// Names in a directory (not "." or "..").
inline std::vector<std::wstring> ListDirectory(const std::wstring& directory)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry{};
    HANDLE find = ::FindFirstFileW((directory + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return names;
}

// Loads the 7z.dll the build placed beside the test data (once per process).
bool LoadTestArchiveLibrary();

}  // namespace testsupport
