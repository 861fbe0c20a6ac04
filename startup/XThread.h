// Runs one callback at a time on a private worker thread with COM initialised.
#pragma once

#include <windows.h>

#include "platform/Handles.h"
#include "startup/WorkerThread.h"

class IThreadCallback {
public:
    virtual void Run(unsigned long param) = 0;
};

class CXThread : public IWorkerThreadClient {
public:
    CXThread() = default;
    virtual ~CXThread();
    CXThread(const CXThread&) = delete;
    CXThread& operator=(const CXThread&) = delete;

    // Queues `callback->Run(param)`; 1 when queued, 0 while a call is still
    // pending or running, or when the worker cannot be started.
    int Post(unsigned long param, IThreadCallback* callback);

    HRESULT Execute(DWORD_PTR param, HANDLE object) override;
    HRESULT CloseHandle(HANDLE object) override;

private:
    volatile LONG started_ = 0;
    volatile LONG running_ = 0;
    unsigned long param_ = 0;
    platform::ScopedHandle event_;
    CWorkerThread worker_;
    IThreadCallback* callback_ = nullptr;
};
