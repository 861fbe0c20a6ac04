// The contract of the product's HTTP library "Tessarn.dll":
// its exports, the request manager, the request (IHttpTask), the callback and
// the event record. Declarations only: the program's side (loading, building
// requests, the synchronous POST) is CHttpLibrary and its adapters;
// a stand-in library for the tests implements exactly what is declared here.
//
// ABI (32-bit, as the program is):
//  - Every export and every interface method is __stdcall.
//  - Interfaces are plain abstract classes: one vtable pointer at offset 0,
//    one slot per method in declaration order, no reference counting and no
//    virtual destructor (an implementation adds its own after the slots).
//    MinGW's g++ and MSVC lay such classes out alike.
//  - The exports are looked up by their plain names ("HttpInit", not
//    "_HttpInit@0"): a MinGW-built library needs a .def file or
//    -Wl,--kill-at to export them undecorated.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct IHttpTask;

// --- the event record ---------------------------------------------------------

// State in the event record's second field.
enum HttpTaskState : int32_t {
    kHttpStatePending = 0,   // request under way: receivers ignore it
    kHttpStateRunning = 1,   // request under way: receivers ignore it
    kHttpStateFinished = 2,  // finished with an answer body: take it, then drop the task
    kHttpStateFailed = 3,    // failed: drop the task
};

// What a task reports through IHttpTaskCallback::OnHttpEvent. The program
// reads only `state` (second 32-bit field) and `body` (fifth field); a library
// sets the reserved fields as it likes (a stand-in sets them to 0). The record
// and the body belong to the library and are valid only during the call:
// receivers copy or parse the body before they return.
struct HttpTaskEvent {
    int32_t reserved0;
    int32_t state;  // HttpTaskState
    int32_t reserved2;
    int32_t reserved3;
    const char* body;  // zero-terminated 8-bit answer body (state 2); may be null otherwise
};
static_assert(offsetof(HttpTaskEvent, state) == 4, "state is the second 32-bit field");
static_assert(sizeof(void*) != 4 || offsetof(HttpTaskEvent, body) == 16, "body is the fifth 32-bit field");

// --- the callback ---------------------------------------------------------------

// Implemented by the requesters (CHttpTaskAdapterPost, CUninstallConfig,
// UninstallFeedbackConfig). Called on any thread of the library: receivers
// only record the result and signal an event. The first event of state 2 or 3
// ends the request; the receiver releases the task afterwards, never inside
// the call.
struct IHttpTaskCallback {
    // slot 0
    virtual void __stdcall OnHttpEvent(IHttpTask* task, const HttpTaskEvent* event) = 0;

protected:
    ~IHttpTaskCallback() = default;
};

// --- the request ------------------------------------------------------------------

// Methods of IHttpTask::Start.
enum HttpMethod : int {
    kHttpGet = 0,
    kHttpPost = 2,  // 1 is not used by the program
};

// One request. The slots the program calls are 0, 1, 3, 5 and 7; slots 2, 4
// and 6 exist in the library's table but the program never calls them. A
// stand-in implements them as no-ops so that every later slot keeps its place.
struct IHttpTask {
    // slot 0: the receiver of this task's events; null detaches it (a
    // requester that gives up early does so before Release).
    virtual void __stdcall SetCallback(IHttpTaskCallback* callback) = 0;
    // slot 1: starts the request; method kHttpGet or kHttpPost, url a
    // zero-terminated UTF-16 text. Non-zero when the request was accepted;
    // events follow only then.
    virtual BOOL __stdcall Start(int method, const wchar_t* url) = 0;
    // slot 2: not used by the program.
    virtual void __stdcall Reserved2() = 0;
    // slot 3: releases the task; it is not used afterwards. No event is
    // delivered after Release returns.
    virtual void __stdcall Release() = 0;
    // slot 4: not used by the program.
    virtual void __stdcall Reserved4() = 0;
    // slot 5: adds one form field (zero-terminated UTF-16 name and value),
    // before Start. A POST sends the fields as an ordinary form
    // (application/x-www-form-urlencoded, UTF-8) in the order they were added.
    virtual void __stdcall AddFormField(const wchar_t* name, const wchar_t* value) = 0;
    // slot 6: not used by the program.
    virtual void __stdcall Reserved6() = 0;
    // slot 7: sets an option by 8-bit name; the program sets "ungzip" and
    // "gzip" to 0 on every task before anything else. Unknown names are ignored.
    virtual void __stdcall SetOption(const char* name, int value) = 0;

protected:
    ~IHttpTask() = default;
};

// Options the program sets (always to 0) on every task.
inline constexpr char kHttpOptionUngzip[] = "ungzip";
inline constexpr char kHttpOptionGzip[] = "gzip";

// --- the manager --------------------------------------------------------------------

// Returned by HttpInit; creates requests.
struct IHttpManager {
    // slot 0: a new task, or null when none can be made.
    virtual IHttpTask* __stdcall CreateTask() = 0;

protected:
    ~IHttpManager() = default;
};

// --- the exports ----------------------------------------------------------------------

inline constexpr wchar_t kHttpLibraryFileName[] = L"Tessarn.dll";

// "HttpInit": the library's manager; null means no request is possible.
using HttpInitFn = IHttpManager*(__stdcall*)();
inline constexpr char kHttpInitExport[] = "HttpInit";
// "HttpUninit": releases a manager. The program resolves and keeps it, and never calls it.
using HttpUninitFn = void(__stdcall*)(IHttpManager* manager);
inline constexpr char kHttpUninitExport[] = "HttpUninit";

// The zlib exports: optional (may be absent), resolved and kept, never called.
// Their shapes follow zlib's uncompress, compress and compressBound.
using ZlibUncompressFn = int(__stdcall*)(unsigned char* dest, unsigned long* destLength, const unsigned char* source,
                                         unsigned long sourceLength);
using ZlibCompressFn = int(__stdcall*)(unsigned char* dest, unsigned long* destLength, const unsigned char* source,
                                       unsigned long sourceLength);
using ZlibCompressBoundFn = unsigned long(__stdcall*)(unsigned long sourceLength);
inline constexpr char kZlibUncompressExport[] = "zlib_uncompress";
inline constexpr char kZlibCompressExport[] = "zlib_compress";
inline constexpr char kZlibCompressBoundExport[] = "zlib_compressBound";
