// One worker thread that waits on a set of event handles and runs the client
// registered for whichever is signalled.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/Handles.h"
#include "startup/Locks.h"

class IWorkerThreadClient {
public:
    virtual HRESULT Execute(DWORD_PTR param, HANDLE object) = 0;
    virtual HRESULT CloseHandle(HANDLE object) = 0;
};

class CWorkerThread {
public:
    // The system's wait limit, less the two control events.
    static constexpr size_t kMaxClients = MAXIMUM_WAIT_OBJECTS - 2;

    CWorkerThread() = default;
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    HRESULT Initialize();
    HRESULT AddHandle(HANDLE object, IWorkerThreadClient* client, DWORD_PTR param);
    // Stops the thread, waiting at most `waitMs`, then hands every handle back to its client.
    HRESULT Shutdown(DWORD waitMs);

private:
    struct Entry {
        HANDLE object;
        IWorkerThreadClient* client;
        DWORD_PTR param;
    };
    static unsigned __stdcall ThreadMain(void* self);
    void Loop();

    _BaseModule::CCriticalSection lock_;
    std::vector<Entry> entries_;
    platform::ScopedHandle stop_;
    platform::ScopedHandle changed_;
    platform::ScopedHandle thread_;
};
