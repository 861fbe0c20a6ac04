#include "startup/WorkerThread.h"

#include <process.h>

CWorkerThread::~CWorkerThread()
{
    Shutdown(10000);
}

HRESULT CWorkerThread::Initialize()
{
    if (thread_) return S_OK;
    stop_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    changed_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!stop_ || !changed_) return HRESULT_FROM_WIN32(::GetLastError());
    const uintptr_t handle = _beginthreadex(nullptr, 0, &CWorkerThread::ThreadMain, this, 0, nullptr);
    if (handle == 0) return E_FAIL;
    thread_.reset(reinterpret_cast<HANDLE>(handle));
    return S_OK;
}

HRESULT CWorkerThread::AddHandle(HANDLE object, IWorkerThreadClient* client, DWORD_PTR param)
{
    if (!thread_ || !object || !client) return E_INVALIDARG;
    {
        _BaseModule::CAutoLocker hold(&lock_);
        if (entries_.size() >= kMaxClients) return E_FAIL;
        entries_.push_back({object, client, param});
    }
    ::SetEvent(changed_.get());  // the thread rebuilds its wait list
    return S_OK;
}

HRESULT CWorkerThread::Shutdown(DWORD waitMs)
{
    if (!thread_) return S_FALSE;
    ::SetEvent(stop_.get());
    const DWORD waited = ::WaitForSingleObject(thread_.get(), waitMs);
    thread_.reset();

    std::vector<Entry> entries;
    {
        _BaseModule::CAutoLocker hold(&lock_);
        entries.swap(entries_);
    }
    for (const Entry& entry : entries) entry.client->CloseHandle(entry.object);
    return waited == WAIT_OBJECT_0 ? S_OK : S_FALSE;
}

unsigned __stdcall CWorkerThread::ThreadMain(void* self)
{
    static_cast<CWorkerThread*>(self)->Loop();
    return 0;
}

void CWorkerThread::Loop()
{
    std::vector<Entry> entries;
    std::vector<HANDLE> waits;
    for (;;) {
        {
            _BaseModule::CAutoLocker hold(&lock_);
            entries = entries_;
        }
        waits.assign({stop_.get(), changed_.get()});
        for (const Entry& entry : entries) waits.push_back(entry.object);

        const DWORD signalled =
            ::WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, INFINITE);
        if (signalled == WAIT_OBJECT_0 || signalled == WAIT_FAILED) return;
        if (signalled == WAIT_OBJECT_0 + 1) continue;
        const size_t index = signalled - WAIT_OBJECT_0 - 2;
        if (index < entries.size()) entries[index].client->Execute(entries[index].param, entries[index].object);
    }
}
