#pragma once
#include <cstddef>
#include <cstdint>

namespace tolva::platform {

using ThreadHandle = void*;
using ThreadEntry = void (*)(void* context);

// Null when the thread could not be started.
ThreadHandle startThread(ThreadEntry entry, void* context, std::size_t stackSize);
// True when the thread ended within `ms` milliseconds.
bool waitThread(ThreadHandle thread, uint32_t ms);
// Last resort for a thread that does not end; the handle stays to be closed.
void terminateThread(ThreadHandle thread);
// Releases the handle; the thread must have ended or been terminated.
void closeThread(ThreadHandle thread);

} // namespace tolva::platform
