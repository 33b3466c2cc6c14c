#include "engine/ConnectionPool.h"

ConnectionPool::ConnectionPool()
    : ConnectionPool(Clock::now, MakeDefault, kWaitForIdle)
{
}

ConnectionPool::ConnectionPool(Now now, Maker make, std::chrono::milliseconds waitForIdle)
    : now_(std::move(now))
    , make_(std::move(make))
    , waitForIdle_(waitForIdle)
{
}

ConnectionPool::~ConnectionPool()
{
    std::vector<std::unique_ptr<CDB>> closing;
    for (Slot& slot : slots_) {
        for (Idle& idle : slot.idle)
            closing.push_back(std::move(idle.db));
    }
    Close(closing);
}

std::unique_ptr<CDB> ConnectionPool::MakeDefault(const CONN_INFO& info)
{
    return CDB::newDB(info.type);
}

// Under the lock.
ConnectionPool::Slot& ConnectionPool::SlotOf(const CONN_INFO& info)
{
    for (Slot& slot : slots_) {
        if (slot.info == info)
            return slot;
    }
    Slot& slot = slots_.emplace_back();
    slot.info = info;
    return slot;
}

// A slot's place may change while the lock is let go in the wait (another description added):
// it is looked up again after it.
std::unique_ptr<CDB> ConnectionPool::TakeIdle(std::unique_lock<std::mutex>& lock, const CONN_INFO& info)
{
    const auto until = Clock::now() + waitForIdle_;
    // Nothing comes back once no connection of the description is busy (the last one failed).
    const auto ready = [this, &info] {
        const Slot& slot = SlotOf(info);
        return !slot.idle.empty() || slot.busy == 0;
    };
    givenBack_.wait_until(lock, until, ready);
    Slot& slot = SlotOf(info);
    if (slot.idle.empty())
        return nullptr;
    std::unique_ptr<CDB> db = std::move(slot.idle.back().db);
    slot.idle.pop_back();
    return db;
}

std::unique_ptr<CDB> ConnectionPool::Take(const CONN_INFO& info)
{
    std::unique_ptr<CDB> db;
    std::vector<std::unique_ptr<CDB>> closing;
    {
        std::unique_lock lock(mutex_);
        CollectIdle(now_(), closing);
        db = TakeIdle(lock, info);
        ++SlotOf(info).busy;
    }
    // Closing and making talk to drivers, which may take their time: not under the lock.
    Close(closing);
    if (!db)
        db = make_(info);
    if (!db) {
        std::lock_guard lock(mutex_);
        --SlotOf(info).busy;
    }
    return db;
}

void ConnectionPool::GiveBack(const CONN_INFO& info, std::unique_ptr<CDB> db, bool failed)
{
    std::vector<std::unique_ptr<CDB>> closing;
    {
        std::lock_guard lock(mutex_);
        const Clock::time_point now = now_();
        Slot& slot = SlotOf(info);
        if (slot.busy > 0)
            --slot.busy;
        if (db && !failed && db->connected != 0)
            slot.idle.push_back({ std::move(db), now });
        else if (db)
            closing.push_back(std::move(db));
        CollectIdle(now, closing);
    }
    givenBack_.notify_all(); // the waiters may wait for other descriptions
    Close(closing);
}

void ConnectionPool::CloseIdle()
{
    std::vector<std::unique_ptr<CDB>> closing;
    {
        std::lock_guard lock(mutex_);
        CollectIdle(now_(), closing);
    }
    Close(closing);
}

// Under the lock. The oldest idle connections go first; the newest kKeepIdle stay.
void ConnectionPool::CollectIdle(Clock::time_point now, std::vector<std::unique_ptr<CDB>>& closing)
{
    for (Slot& slot : slots_) {
        size_t expired = 0;
        while (slot.idle.size() - expired > kKeepIdle && now - slot.idle[expired].since >= kIdleLimit)
            ++expired;
        for (size_t i = 0; i < expired; ++i)
            closing.push_back(std::move(slot.idle[i].db));
        slot.idle.erase(slot.idle.begin(), slot.idle.begin() + static_cast<std::ptrdiff_t>(expired));
    }
}

void ConnectionPool::Close(std::vector<std::unique_ptr<CDB>>& closing)
{
    for (std::unique_ptr<CDB>& db : closing) {
        if (db)
            db->disconnect();
    }
    closing.clear();
}

size_t ConnectionPool::IdleCount() const
{
    std::lock_guard lock(mutex_);
    size_t count = 0;
    for (const Slot& slot : slots_)
        count += slot.idle.size();
    return count;
}

size_t ConnectionPool::BusyCount() const
{
    std::lock_guard lock(mutex_);
    size_t count = 0;
    for (const Slot& slot : slots_)
        count += slot.busy;
    return count;
}
