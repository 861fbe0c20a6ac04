// The setup package carried in the executable's resources: a 7z archive that
// is extracted into a fresh temporary directory with 7-Zip's library.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

using GuidSource = HRESULT(WINAPI*)(GUID*);

// A path under the user's temporary directory, "{GUID}.tmp", that does not
// exist yet; at most 10 tries. False when every candidate exists.
bool MakeFreshTempPath(std::wstring& path, GuidSource source = &::CoCreateGuid);

// Loads the archive library once per process (already loaded counts).
bool LoadArchiveLibrary(const wchar_t* path);
// Extracts every item of the archive file into `destination`; 0 on success, -1 on failure.
int ExtractArchive(const wchar_t* archivePath, const wchar_t* destination);

class CResourceUnpack {
public:
    explicit CResourceUnpack(GuidSource source = &::CoCreateGuid) : guidSource_(source) {}
    virtual ~CResourceUnpack() = default;

    bool Init(HINSTANCE module, const wchar_t* name, const wchar_t* type);
    // Extracts into a fresh temporary directory whose path goes to `directory`.
    bool Unpack(std::wstring& directory);
    // Writes the raw resource bytes to a new file (an existing one is replaced).
    bool WriteTo(const wchar_t* path) const;
    void Reset();

    const void* Data() const { return data_; }
    DWORD Size() const { return size_; }

private:
    const void* data_ = nullptr;
    DWORD size_ = 0;
    GuidSource guidSource_;
};
