// The lock interface, a re-entrant critical section and a scoped lock.
#pragma once

#include <windows.h>

namespace _BaseModule {

class ILocker {
public:
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
};

// Re-entrant on the owning thread, like the platform critical section it wraps.
class CCriticalSection : public ILocker {
public:
    CCriticalSection() noexcept { ::InitializeCriticalSection(&cs_); }
    virtual ~CCriticalSection() { ::DeleteCriticalSection(&cs_); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock() override { ::EnterCriticalSection(&cs_); }
    void Unlock() override { ::LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};

class CAutoLocker {
public:
    explicit CAutoLocker(ILocker* locker) noexcept : locker_(locker)
    {
        if (locker_) locker_->Lock();
    }
    virtual ~CAutoLocker()
    {
        if (locker_) locker_->Unlock();
    }
    CAutoLocker(const CAutoLocker&) = delete;
    CAutoLocker& operator=(const CAutoLocker&) = delete;

private:
    ILocker* locker_;
};

}  // namespace _BaseModule
