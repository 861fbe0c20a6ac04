#include "startup/XThread.h"

#include <objbase.h>

CXThread::~CXThread()
{
    // Stop the worker before the event it waits on is closed.
    worker_.Shutdown(10000);
}

int CXThread::Post(unsigned long param, IThreadCallback* callback)
{
    // Claimed here rather than on the worker, so a second Post between the
    // signal and the start of Run cannot replace the parameter.
    if (::InterlockedCompareExchange(&running_, 1, 0) != 0) return 0;

    if (!started_) {
        if (FAILED(worker_.Initialize())) {
            ::InterlockedExchange(&running_, 0);
            return 0;
        }
        event_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!event_ || FAILED(worker_.AddHandle(event_.get(), this, 0))) {
            event_.reset();
            ::InterlockedExchange(&running_, 0);
            return 0;
        }
        ::InterlockedExchange(&started_, 1);
    }
    callback_ = callback;
    param_ = param;
    ::SetEvent(event_.get());
    return 1;
}

HRESULT CXThread::Execute(DWORD_PTR, HANDLE)
{
    platform::ComInitScope com;
    if (callback_) callback_->Run(param_);
    ::InterlockedExchange(&running_, 0);
    return S_OK;
}

HRESULT CXThread::CloseHandle(HANDLE)
{
    // The event stays open; the owner closes it.
    return 0;
}
