#include <gtest/gtest.h>

#include <atomic>

#include "platform/Handles.h"
#include "startup/SimpleThread.h"
#include "startup/XThread.h"

namespace {

// Blocks in Run until released, recording what it was given.
class GatedCallback : public IThreadCallback {
public:
    void Run(unsigned long param) override
    {
        seen.store(param);
        comReady.store(SUCCEEDED(::CoCreateGuid(&guid)));
        threadId.store(::GetCurrentThreadId());
        ::SetEvent(entered.get());
        ::WaitForSingleObject(release.get(), 10000);
        calls.fetch_add(1);
        ::SetEvent(left.get());
    }

    platform::ScopedHandle entered{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    platform::ScopedHandle release{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    platform::ScopedHandle left{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::atomic<unsigned long> seen{0};
    std::atomic<int> calls{0};
    std::atomic<bool> comReady{false};
    std::atomic<DWORD> threadId{0};
    GUID guid{};
};

TEST(XThread, PostIsRefusedWhileACallRunsAndTheParameterIsKept)
{
    CXThread thread;
    GatedCallback callback;
    ASSERT_EQ(thread.Post(11, &callback), 1);
    ASSERT_EQ(::WaitForSingleObject(callback.entered.get(), 10000), WAIT_OBJECT_0);

    EXPECT_EQ(thread.Post(22, &callback), 0);
    EXPECT_EQ(callback.seen.load(), 11u);
    EXPECT_NE(callback.threadId.load(), ::GetCurrentThreadId());

    ::SetEvent(callback.release.get());
    ASSERT_EQ(::WaitForSingleObject(callback.left.get(), 10000), WAIT_OBJECT_0);
    // Give the worker the moment it needs to clear its running flag.
    int posted = 0;
    for (int i = 0; i < 100 && posted == 0; ++i) {
        posted = thread.Post(33, &callback);
        if (!posted) ::Sleep(10);
    }
    ASSERT_EQ(posted, 1);
    ASSERT_EQ(::WaitForSingleObject(callback.entered.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(callback.seen.load(), 33u);
    ::SetEvent(callback.release.get());
    ASSERT_EQ(::WaitForSingleObject(callback.left.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(callback.calls.load(), 2);
    EXPECT_TRUE(callback.comReady.load());
}

TEST(XThread, DestructionStopsAnIdleWorker)
{
    GatedCallback callback;
    {
        CXThread thread;
        ASSERT_EQ(thread.Post(1, &callback), 1);
        ::SetEvent(callback.release.get());
        ASSERT_EQ(::WaitForSingleObject(callback.left.get(), 10000), WAIT_OBJECT_0);
    }
    EXPECT_EQ(callback.calls.load(), 1);
}

struct Shared {
    platform::ScopedHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    int value = 0;
};

unsigned __stdcall SetValue(void* argument)
{
    auto* shared = static_cast<Shared*>(argument);
    shared->value = 42;
    ::SetEvent(shared->done.get());
    return 0;
}

TEST(SimpleThread, RunsDetachedWithItsArgument)
{
    Shared shared;
    {
        CSimpleThread thread;
        ASSERT_TRUE(thread.Start(&SetValue, &shared));
        EXPECT_NE(thread.ThreadId(), static_cast<unsigned>(-1));
    }
    ASSERT_EQ(::WaitForSingleObject(shared.done.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(shared.value, 42);
}

}  // namespace
