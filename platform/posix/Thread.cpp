#include "platform/Thread.h"

#include <cerrno>
#include <ctime>
#include <new>
#include <pthread.h>

namespace tolva::platform {

namespace {
struct PosixThread {
    pthread_t id{};
    ThreadEntry entry = nullptr;
    void* context = nullptr;
    bool joined = false;
};

void* run(void* arg) {
    auto* t = static_cast<PosixThread*>(arg);
    t->entry(t->context);
    return nullptr;
}
} // namespace

ThreadHandle startThread(ThreadEntry entry, void* context, std::size_t stackSize) {
    auto* t = new (std::nothrow) PosixThread{};
    if (!t)
        return nullptr;
    t->entry = entry;
    t->context = context;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    if (stackSize)
        pthread_attr_setstacksize(&attr, stackSize);
    int rc = pthread_create(&t->id, &attr, run, t);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete t;
        return nullptr;
    }
    return t;
}

bool waitThread(ThreadHandle thread, uint32_t ms) {
    auto* t = static_cast<PosixThread*>(thread);
    if (t->joined)
        return true;
    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_sec += ms / 1000;
    deadline.tv_nsec += static_cast<long>(ms % 1000) * 1000000;
    if (deadline.tv_nsec >= 1000000000) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000;
    }
    t->joined = pthread_timedjoin_np(t->id, nullptr, &deadline) == 0;
    return t->joined;
}

void terminateThread(ThreadHandle thread) {
    auto* t = static_cast<PosixThread*>(thread);
    if (!t->joined) {
        pthread_cancel(t->id);
        t->joined = pthread_join(t->id, nullptr) == 0;
    }
}

void closeThread(ThreadHandle thread) {
    auto* t = static_cast<PosixThread*>(thread);
    if (!t->joined)
        pthread_detach(t->id);
    delete t;
}

} // namespace tolva::platform
