#include "platform/Thread.h"

#include <new>
#include <windows.h>

namespace tolva::platform {

namespace {
struct StartRecord {
    ThreadEntry entry;
    void* context;
};

DWORD WINAPI run(LPVOID arg) {
    StartRecord start = *static_cast<StartRecord*>(arg);
    delete static_cast<StartRecord*>(arg);
    start.entry(start.context);
    return 0;
}
} // namespace

ThreadHandle startThread(ThreadEntry entry, void* context, std::size_t stackSize) {
    auto* start = new (std::nothrow) StartRecord{entry, context};
    if (!start)
        return nullptr;
    HANDLE h =
        CreateThread(nullptr, stackSize, run, start, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!h)
        delete start;
    return h;
}

bool waitThread(ThreadHandle thread, uint32_t ms) {
    return WaitForSingleObject(thread, ms) == WAIT_OBJECT_0;
}

void terminateThread(ThreadHandle thread) {
    TerminateThread(thread, 0);
}

void closeThread(ThreadHandle thread) {
    CloseHandle(thread);
}

} // namespace tolva::platform
