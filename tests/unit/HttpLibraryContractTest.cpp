// The ABI of the HTTP library contract (report/HttpLibrary.h),
// as the library sees it: a stand-in implementation is called through raw
// vtable slots with __stdcall, exactly as a separately built Tessarn.dll would
// be, so a change of slot order or calling convention fails here.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "report/HttpLibrary.h"

namespace {

struct RecordingTask final : IHttpTask {
    std::vector<std::string> calls;
    IHttpTaskCallback* callback = nullptr;

    void __stdcall SetCallback(IHttpTaskCallback* receiver) override
    {
        callback = receiver;
        calls.push_back("SetCallback");
    }
    BOOL __stdcall Start(int method, const wchar_t* url) override
    {
        calls.push_back("Start " + std::to_string(method) + (url && url[0] == L'h' ? " h" : " ?"));
        return method == kHttpPost ? TRUE : FALSE;
    }
    void __stdcall Reserved2() override { calls.push_back("Reserved2"); }
    void __stdcall Release() override { calls.push_back("Release"); }
    void __stdcall Reserved4() override { calls.push_back("Reserved4"); }
    void __stdcall AddFormField(const wchar_t* name, const wchar_t* value) override
    {
        calls.push_back(std::string("AddFormField ") + (name && value && name[0] == L'd' ? "d" : "?"));
    }
    void __stdcall Reserved6() override { calls.push_back("Reserved6"); }
    void __stdcall SetOption(const char* name, int value) override
    {
        calls.push_back(std::string("SetOption ") + name + " " + std::to_string(value));
    }
    virtual ~RecordingTask() = default;  // after the interface's slots
};

struct RecordingCallback final : IHttpTaskCallback {
    IHttpTask* task = nullptr;
    int state = -1;
    std::string body;
    void __stdcall OnHttpEvent(IHttpTask* from, const HttpTaskEvent* event) override
    {
        task = from;
        state = event->state;
        if (event->body) body = event->body;
    }
};

void* const* Slots(void* object) { return *static_cast<void* const* const*>(object); }

TEST(HttpLibraryContract, TaskSlotsInOrderWithStdcall)
{
    RecordingTask task;
    IHttpTask* asInterface = &task;
    void* const* slots = Slots(asInterface);

    reinterpret_cast<void(__stdcall*)(IHttpTask*, const char*, int)>(slots[7])(asInterface, kHttpOptionGzip, 0);
    reinterpret_cast<void(__stdcall*)(IHttpTask*, const wchar_t*, const wchar_t*)>(slots[5])(asInterface, L"data", L"x");
    const BOOL accepted =
        reinterpret_cast<BOOL(__stdcall*)(IHttpTask*, int, const wchar_t*)>(slots[1])(asInterface, kHttpPost, L"http://h/");
    reinterpret_cast<void(__stdcall*)(IHttpTask*, IHttpTaskCallback*)>(slots[0])(asInterface, nullptr);
    reinterpret_cast<void(__stdcall*)(IHttpTask*)>(slots[2])(asInterface);
    reinterpret_cast<void(__stdcall*)(IHttpTask*)>(slots[4])(asInterface);
    reinterpret_cast<void(__stdcall*)(IHttpTask*)>(slots[6])(asInterface);
    reinterpret_cast<void(__stdcall*)(IHttpTask*)>(slots[3])(asInterface);

    EXPECT_TRUE(accepted);
    const std::vector<std::string> expected = {"SetOption gzip 0", "AddFormField d", "Start 2 h", "SetCallback",
                                               "Reserved2",        "Reserved4",      "Reserved6", "Release"};
    EXPECT_EQ(task.calls, expected);
}

TEST(HttpLibraryContract, ManagerAndCallbackHaveOneSlotEach)
{
    struct Manager final : IHttpManager {
        RecordingTask task;
        IHttpTask* __stdcall CreateTask() override { return &task; }
    } manager;
    IHttpManager* asManager = &manager;
    IHttpTask* created = reinterpret_cast<IHttpTask*(__stdcall*)(IHttpManager*)>(Slots(asManager)[0])(asManager);
    EXPECT_EQ(created, &manager.task);

    RecordingCallback callback;
    IHttpTaskCallback* asCallback = &callback;
    const HttpTaskEvent event{0, kHttpStateFinished, 0, 0, "{\"errno\":0}"};
    reinterpret_cast<void(__stdcall*)(IHttpTaskCallback*, IHttpTask*, const HttpTaskEvent*)>(Slots(asCallback)[0])(
        asCallback, created, &event);
    EXPECT_EQ(callback.task, created);
    EXPECT_EQ(callback.state, 2);
    EXPECT_EQ(callback.body, "{\"errno\":0}");
}

TEST(HttpLibraryContract, EventRecordFields)
{
    // The library fills the record as 32-bit fields: state second, body fifth.
    static_assert(sizeof(HttpTaskEvent) == 5 * sizeof(int32_t));
    const int32_t raw[5] = {7, kHttpStateFailed, 0, 0, 0};
    HttpTaskEvent event;
    std::memcpy(&event, raw, sizeof event);
    EXPECT_EQ(event.state, 3);
    EXPECT_EQ(event.body, nullptr);
    EXPECT_EQ(sizeof(HttpTaskEvent), 20u);
    EXPECT_EQ(offsetof(HttpTaskEvent, body), 16u);
}

}  // namespace
