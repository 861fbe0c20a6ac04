// Extraction through 7-Zip's archive library: the file streams and the open
// and extract callbacks the library calls back into.
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "platform/Handles.h"
#include "setupconfig/ResourceUnpack.h"
#include "setupconfig/SevenZipInterfaces.h"

namespace {

using namespace sevenzip;

HMODULE g_archiveLibrary = nullptr;  // kept until the process ends

// Reference counting shared by the small COM objects below.
template <typename Derived>
class RefCounted {
public:
    ULONG AddRefImpl() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG ReleaseImpl()
    {
        const LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) delete static_cast<Derived*>(this);
        return static_cast<ULONG>(left);
    }

private:
    LONG refs_ = 1;
};

#define REFCOUNTED_IUNKNOWN                                                   \
    ULONG __stdcall AddRef() noexcept override { return AddRefImpl(); }     \
    ULONG __stdcall Release() noexcept override { return ReleaseImpl(); }

class FileInStream final : public IInStream, public RefCounted<FileInStream> {
public:
    explicit FileInStream(platform::ScopedHandle file) : file_(std::move(file)) {}
    REFCOUNTED_IUNKNOWN
    HRESULT __stdcall QueryInterface(REFIID iid, void** out) noexcept override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ISequentialInStream || iid == IID_IInStream) {
            *out = static_cast<IInStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT __stdcall Read(void* data, UINT32 size, UINT32* processed) noexcept override
    {
        DWORD read = 0;
        const BOOL ok = ::ReadFile(file_.get(), data, size, &read, nullptr);
        if (processed) *processed = read;
        return ok ? S_OK : HRESULT_FROM_WIN32(::GetLastError());
    }
    HRESULT __stdcall Seek(INT64 offset, UINT32 origin, UINT64* newPosition) noexcept override
    {
        if (origin > FILE_END) return STG_E_INVALIDFUNCTION;
        LARGE_INTEGER distance{};
        distance.QuadPart = offset;
        LARGE_INTEGER position{};
        if (!::SetFilePointerEx(file_.get(), distance, &position, origin)) return HRESULT_FROM_WIN32(::GetLastError());
        if (newPosition) *newPosition = static_cast<UINT64>(position.QuadPart);
        return S_OK;
    }

private:
    platform::ScopedHandle file_;
};

class FileOutStream final : public ISequentialOutStream, public RefCounted<FileOutStream> {
public:
    explicit FileOutStream(platform::ScopedHandle file) : file_(std::move(file)) {}
    REFCOUNTED_IUNKNOWN
    HRESULT __stdcall QueryInterface(REFIID iid, void** out) noexcept override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ISequentialOutStream) {
            *out = static_cast<ISequentialOutStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT __stdcall Write(const void* data, UINT32 size, UINT32* processed) noexcept override
    {
        DWORD written = 0;
        const BOOL ok = ::WriteFile(file_.get(), data, size, &written, nullptr);
        if (processed) *processed = written;
        return ok ? S_OK : HRESULT_FROM_WIN32(::GetLastError());
    }

private:
    platform::ScopedHandle file_;
};

// The package is never encrypted: no password is ever supplied.
class OpenCallback final : public IArchiveOpenCallback, public ICryptoGetTextPassword, public RefCounted<OpenCallback> {
public:
    REFCOUNTED_IUNKNOWN
    HRESULT __stdcall QueryInterface(REFIID iid, void** out) noexcept override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IArchiveOpenCallback) {
            *out = static_cast<IArchiveOpenCallback*>(this);
        } else if (iid == IID_ICryptoGetTextPassword) {
            *out = static_cast<ICryptoGetTextPassword*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    HRESULT __stdcall SetTotal(const UINT64*, const UINT64*) noexcept override { return S_OK; }
    HRESULT __stdcall SetCompleted(const UINT64*, const UINT64*) noexcept override { return S_OK; }
    HRESULT __stdcall CryptoGetTextPassword(BSTR*) noexcept override { return E_ABORT; }
};

// True for a relative item path that stays inside the destination: no drive,
// no root, no "..", no alternate data stream.
bool IsSafeItemPath(const std::wstring& path)
{
    if (path.empty() || path.find(L':') != std::wstring::npos) return false;
    if (path[0] == L'\\' || path[0] == L'/') return false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) end = path.size();
        const std::wstring segment = path.substr(start, end - start);
        if (segment == L"..") return false;
        start = end + 1;
    }
    return true;
}

class ExtractCallback final : public IArchiveExtractCallback,
                              public ICryptoGetTextPassword,
                              public RefCounted<ExtractCallback> {
public:
    ExtractCallback(IInArchive* archive, std::wstring destination)
        : archive_(archive), destination_(std::move(destination))
    {
    }
    REFCOUNTED_IUNKNOWN
    HRESULT __stdcall QueryInterface(REFIID iid, void** out) noexcept override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IProgress || iid == IID_IArchiveExtractCallback) {
            *out = static_cast<IArchiveExtractCallback*>(this);
        } else if (iid == IID_ICryptoGetTextPassword) {
            *out = static_cast<ICryptoGetTextPassword*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    HRESULT __stdcall SetTotal(UINT64) noexcept override { return S_OK; }
    HRESULT __stdcall SetCompleted(const UINT64*) noexcept override { return S_OK; }
    HRESULT __stdcall CryptoGetTextPassword(BSTR*) noexcept override { return E_ABORT; }

    HRESULT __stdcall GetStream(UINT32 index, ISequentialOutStream** outStream, INT32 askMode) noexcept override
    {
        if (!outStream) return E_POINTER;
        *outStream = nullptr;
        if (askMode != kExtract) return S_OK;

        std::wstring itemPath;
        bool isDirectory = false;
        PROPVARIANT value;
        ::PropVariantInit(&value);
        if (archive_->GetProperty(index, kpidPath, &value) == S_OK && value.vt == VT_BSTR && value.bstrVal)
            itemPath = value.bstrVal;
        ::PropVariantClear(&value);
        if (archive_->GetProperty(index, kpidIsDir, &value) == S_OK && value.vt == VT_BOOL)
            isDirectory = value.boolVal != VARIANT_FALSE;
        ::PropVariantClear(&value);

        if (!IsSafeItemPath(itemPath)) {
            failed_ = true;
            return E_FAIL;
        }
        std::wstring target = destination_ + L"\\" + itemPath;
        if (target.size() >= MAX_PATH) {
            failed_ = true;
            return E_FAIL;
        }
        if (isDirectory) {
            ::SHCreateDirectoryExW(nullptr, target.c_str(), nullptr);
            return S_OK;
        }
        const size_t slash = target.find_last_of(L"\\/");
        if (slash != std::wstring::npos && slash > destination_.size())
            ::SHCreateDirectoryExW(nullptr, target.substr(0, slash).c_str(), nullptr);

        platform::ScopedHandle file(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            failed_ = true;
            return HRESULT_FROM_WIN32(::GetLastError());
        }
        *outStream = new FileOutStream(std::move(file));
        return S_OK;
    }
    HRESULT __stdcall PrepareOperation(INT32) noexcept override { return S_OK; }
    HRESULT __stdcall SetOperationResult(INT32 result) noexcept override
    {
        if (result != kOK) failed_ = true;
        return S_OK;
    }

    bool Failed() const { return failed_; }

private:
    IInArchive* archive_;
    std::wstring destination_;
    bool failed_ = false;
};

template <typename T>
struct ReleaseOnExit {
    T* p;
    ~ReleaseOnExit()
    {
        if (p) p->Release();
    }
};

}  // namespace

bool LoadArchiveLibrary(const wchar_t* path)
{
    if (g_archiveLibrary) return true;
    if (!path) return false;
    HMODULE module = ::LoadLibraryW(path);
    if (!module) return false;
    g_archiveLibrary = module;
    return true;
}

int ExtractArchive(const wchar_t* archivePath, const wchar_t* destination)
{
    if (!archivePath || !destination || !*destination) return -1;
    if (!::PathIsDirectoryW(destination)) ::SHCreateDirectoryExW(nullptr, destination, nullptr);
    if (!g_archiveLibrary) return -1;

    auto createObject =
        reinterpret_cast<CreateObjectFn>(reinterpret_cast<void*>(::GetProcAddress(g_archiveLibrary, "CreateObject")));
    if (!createObject) return -1;

    IInArchive* archive = nullptr;
    if (createObject(&CLSID_Format7z, &IID_IInArchive, reinterpret_cast<void**>(&archive)) != S_OK || !archive)
        return -1;
    ReleaseOnExit<IInArchive> archiveOwner{archive};

    platform::ScopedHandle file(::CreateFileW(archivePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return -1;
    FileInStream* input = new FileInStream(std::move(file));
    ReleaseOnExit<FileInStream> inputOwner{input};
    OpenCallback* openCallback = new OpenCallback;
    ReleaseOnExit<OpenCallback> openOwner{openCallback};

    // S_FALSE means "not an archive of this format".
    const UINT64 maxStart = 1 << 23;
    if (archive->Open(input, &maxStart, openCallback) != S_OK) return -1;

    ExtractCallback* extractCallback = new ExtractCallback(archive, destination);
    ReleaseOnExit<ExtractCallback> extractOwner{extractCallback};
    const HRESULT hr = archive->Extract(nullptr, static_cast<UINT32>(-1), 0, extractCallback);
    archive->Close();
    return (hr == S_OK && !extractCallback->Failed()) ? 0 : -1;
}
