#include "platform/audio/core/SyncWorker.h"

#include "platform/audio/core/Engine.h"

namespace ovelaudio {

void SyncWorker::Start()
{
    // The thread keeps the worker alive, so it can be let go from inside a procedure.
    thread_ = std::thread([self = shared_from_this()] { self->Run(); });
}

void SyncWorker::Run()
{
    std::unique_lock<std::mutex> lock(engine_.mutex);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || engine_.HasSyncWork(); });
        if (stop_)
            break;
        busy_ = true;
        const SyncBatch batch = engine_.TakeSyncWork();
        lock.unlock();
        engine_.RunSyncs(batch);
        lock.lock();
        busy_ = false;
        idle_.notify_all();
    }
    idle_.notify_all();
}

void SyncWorker::WaitIdle(std::unique_lock<std::mutex>& engineLock)
{
    idle_.wait(engineLock, [this] { return stop_ || (!busy_ && !engine_.HasSyncWork()); });
}

void SyncWorker::Finish()
{
    {
        std::lock_guard<std::mutex> lock(engine_.mutex);
        stop_ = true;
    }
    wake_.notify_all();
    idle_.notify_all();
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
    } else if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace ovelaudio
