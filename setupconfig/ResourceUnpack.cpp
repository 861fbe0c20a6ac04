#include "setupconfig/ResourceUnpack.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "platform/Handles.h"
#include "startup/TempName.h"

namespace {

// Writes the bytes in blocks of 4096; a failed write ends the writing early.
bool WriteBlocks(HANDLE file, const void* data, DWORD size)
{
    const BYTE* bytes = static_cast<const BYTE*>(data);
    DWORD offset = 0;
    while (offset < size) {
        const DWORD block = (size - offset) < 4096 ? (size - offset) : 4096;
        DWORD written = 0;
        if (!::WriteFile(file, bytes + offset, block, &written, nullptr) || written != block) return false;
        offset += block;
    }
    return true;
}

}  // namespace

bool MakeFreshTempPath(std::wstring& path, GuidSource source)
{
    wchar_t temp[1024] = {};
    const DWORD length = ::GetTempPathW(1024, temp);
    if (length == 0 || length >= 1024 || !source) return false;
    for (int attempt = 0; attempt < 10; ++attempt) {
        GUID guid{};
        if (FAILED(source(&guid))) continue;
        GuidParts parts{guid.Data1, guid.Data2, guid.Data3, {}};
        for (int i = 0; i < 8; ++i) parts.data4[i] = guid.Data4[i];
        std::wstring candidate = temp;
        if (candidate.back() != L'\\') candidate += L'\\';
        candidate += FormatGuidTempName(parts);
        if (!::PathFileExistsW(candidate.c_str())) {
            path = candidate;
            return true;
        }
    }
    return false;
}

bool CResourceUnpack::Init(HINSTANCE module, const wchar_t* name, const wchar_t* type)
{
    Reset();
    HRSRC found = ::FindResourceW(module, name, type);
    if (!found) return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return false;
    data_ = data;
    size_ = ::SizeofResource(module, found);
    return true;
}

void CResourceUnpack::Reset()
{
    data_ = nullptr;
    size_ = 0;
}

bool CResourceUnpack::WriteTo(const wchar_t* path) const
{
    if (!path) return false;
    ::DeleteFileW(path);
    platform::ScopedHandle file(::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (data_) WriteBlocks(file.get(), data_, size_);
    return true;
}

bool CResourceUnpack::Unpack(std::wstring& directory)
{
    std::wstring archive;
    if (!MakeFreshTempPath(archive, guidSource_) || !WriteTo(archive.c_str())) return false;

    std::wstring destination;
    if (!MakeFreshTempPath(destination, guidSource_)) return false;
    ::SHCreateDirectoryExW(nullptr, destination.c_str(), nullptr);

    if (ExtractArchive(archive.c_str(), destination.c_str()) != 0) return false;
    directory = destination;
    ::DeleteFileW(archive.c_str());
    return true;
}
