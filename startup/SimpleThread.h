// A detached fire-and-forget thread.
#pragma once

#include <windows.h>

class CSimpleThread {
public:
    using Procedure = unsigned(__stdcall*)(void*);

    CSimpleThread() = default;
    virtual ~CSimpleThread();
    CSimpleThread(const CSimpleThread&) = delete;
    CSimpleThread& operator=(const CSimpleThread&) = delete;

    // Starts the thread once; it runs unsupervised and is never joined.
    bool Start(Procedure procedure, void* argument);
    unsigned ThreadId() const { return threadId_; }

private:
    HANDLE thread_ = nullptr;
    unsigned threadId_ = static_cast<unsigned>(-1);
    unsigned long reserved_[3] = {};
    Procedure procedure_ = nullptr;
};
