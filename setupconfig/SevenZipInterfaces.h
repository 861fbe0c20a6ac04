// The few interfaces of 7-Zip's archive library that the unpacker calls,
// declared here from the library's published ABI. Every method is __stdcall;
// a missing __stdcall compiles and then crashes.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <propidl.h>

#include <cstdint>

namespace sevenzip {

// 7-Zip's interface ids: {23170F69-40C1-278A-0000-00GG00XX0000}.
constexpr GUID MakeIid(uint8_t group, uint8_t id)
{
    return GUID{0x23170F69, 0x40C1, 0x278A, {0x00, 0x00, 0x00, group, 0x00, id, 0x00, 0x00}};
}

inline const GUID IID_ISequentialInStream = MakeIid(0x03, 0x01);
inline const GUID IID_ISequentialOutStream = MakeIid(0x03, 0x02);
inline const GUID IID_IInStream = MakeIid(0x03, 0x03);
inline const GUID IID_IProgress = MakeIid(0x00, 0x05);
inline const GUID IID_ICryptoGetTextPassword = MakeIid(0x05, 0x10);
inline const GUID IID_IArchiveOpenCallback = MakeIid(0x06, 0x10);
inline const GUID IID_IArchiveExtractCallback = MakeIid(0x06, 0x20);
inline const GUID IID_IInArchive = MakeIid(0x06, 0x60);

// The reader class of the 7z format.
inline const GUID CLSID_Format7z = {0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, 0x07, 0x00, 0x00}};

enum PropId : PROPID { kpidPath = 3, kpidIsDir = 6 };
enum AskMode : int32_t { kExtract = 0, kTest = 1, kSkip = 2 };
enum OperationResult : int32_t { kOK = 0 };

struct ISequentialInStream : IUnknown {
    virtual HRESULT __stdcall Read(void* data, UINT32 size, UINT32* processedSize) noexcept = 0;
};
struct IInStream : ISequentialInStream {
    virtual HRESULT __stdcall Seek(INT64 offset, UINT32 seekOrigin, UINT64* newPosition) noexcept = 0;
};
struct ISequentialOutStream : IUnknown {
    virtual HRESULT __stdcall Write(const void* data, UINT32 size, UINT32* processedSize) noexcept = 0;
};
struct IProgress : IUnknown {
    virtual HRESULT __stdcall SetTotal(UINT64 total) noexcept = 0;
    virtual HRESULT __stdcall SetCompleted(const UINT64* completeValue) noexcept = 0;
};
struct IArchiveOpenCallback : IUnknown {
    virtual HRESULT __stdcall SetTotal(const UINT64* files, const UINT64* bytes) noexcept = 0;
    virtual HRESULT __stdcall SetCompleted(const UINT64* files, const UINT64* bytes) noexcept = 0;
};
struct ICryptoGetTextPassword : IUnknown {
    virtual HRESULT __stdcall CryptoGetTextPassword(BSTR* password) noexcept = 0;
};
struct IArchiveExtractCallback : IProgress {
    virtual HRESULT __stdcall GetStream(UINT32 index, ISequentialOutStream** outStream, INT32 askExtractMode) noexcept = 0;
    virtual HRESULT __stdcall PrepareOperation(INT32 askExtractMode) noexcept = 0;
    virtual HRESULT __stdcall SetOperationResult(INT32 opRes) noexcept = 0;
};
struct IInArchive : IUnknown {
    virtual HRESULT __stdcall Open(IInStream* stream, const UINT64* maxCheckStartPosition,
                                   IArchiveOpenCallback* openCallback) noexcept = 0;
    virtual HRESULT __stdcall Close() noexcept = 0;
    virtual HRESULT __stdcall GetNumberOfItems(UINT32* numItems) noexcept = 0;
    virtual HRESULT __stdcall GetProperty(UINT32 index, PROPID propID, PROPVARIANT* value) noexcept = 0;
    virtual HRESULT __stdcall Extract(const UINT32* indices, UINT32 numItems, INT32 testMode,
                                      IArchiveExtractCallback* extractCallback) noexcept = 0;
    virtual HRESULT __stdcall GetArchiveProperty(PROPID propID, PROPVARIANT* value) noexcept = 0;
    virtual HRESULT __stdcall GetNumberOfProperties(UINT32* numProps) noexcept = 0;
    virtual HRESULT __stdcall GetPropertyInfo(UINT32 index, BSTR* name, PROPID* propID, VARTYPE* varType) noexcept = 0;
    virtual HRESULT __stdcall GetNumberOfArchiveProperties(UINT32* numProps) noexcept = 0;
    virtual HRESULT __stdcall GetArchivePropertyInfo(UINT32 index, BSTR* name, PROPID* propID,
                                                     VARTYPE* varType) noexcept = 0;
};

using CreateObjectFn = HRESULT(__stdcall*)(const GUID* clsid, const GUID* iid, void** out);

}  // namespace sevenzip
