#include "startup/SimpleThread.h"

#include <process.h>

CSimpleThread::~CSimpleThread()
{
    if (thread_) ::CloseHandle(thread_);
    thread_ = nullptr;
    threadId_ = static_cast<unsigned>(-1);
}

bool CSimpleThread::Start(Procedure procedure, void* argument)
{
    if (!procedure || threadId_ != static_cast<unsigned>(-1)) return false;
    procedure_ = procedure;
    unsigned id = 0;
    const uintptr_t handle = _beginthreadex(nullptr, 0, procedure, argument, 0, &id);
    if (handle == 0) return false;
    threadId_ = id;
    // Detached: nobody waits for it.
    ::CloseHandle(reinterpret_cast<HANDLE>(handle));
    return true;
}
