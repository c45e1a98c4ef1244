#pragma once
// The playlist asks about files on its threads while the player starts and stops songs on
// another: the entry points that load, replace or play modules take turns through this lock.
// The playback thread never takes it, so Stop may hold it while it waits for that thread.

namespace tolva::host {

class EntryLock {
public:
    EntryLock();
    ~EntryLock();
    EntryLock(const EntryLock&) = delete;
    EntryLock& operator=(const EntryLock&) = delete;
};

} // namespace tolva::host
