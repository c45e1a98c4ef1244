#include "host/EntryLock.h"

#include <windows.h>

namespace tolva::host {

namespace {

// Made when the library is loaded, before any entry point can run. A thread may enter again
// while it holds it (Play stops the running song and acquires its module).
struct Section {
    CRITICAL_SECTION section;
    Section() { InitializeCriticalSection(&section); }
    ~Section() { DeleteCriticalSection(&section); }
} entries;

} // namespace

EntryLock::EntryLock() {
    EnterCriticalSection(&entries.section);
}

EntryLock::~EntryLock() {
    LeaveCriticalSection(&entries.section);
}

} // namespace tolva::host
