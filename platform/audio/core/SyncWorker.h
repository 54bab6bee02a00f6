#pragma once
// The library's own thread for sync procedures, one per open output.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace ovelaudio {

class Engine;

class SyncWorker : public std::enable_shared_from_this<SyncWorker> {
public:
    explicit SyncWorker(Engine& engine) : engine_(engine) {}
    void Start();
    // Engine locked by the caller.
    void Wake() { wake_.notify_one(); }
    void WaitIdle(std::unique_lock<std::mutex>& engineLock);
    // Lets a running procedure finish, then ends the thread; from inside a
    // procedure it only lets go of the thread, which ends once the procedure returns.
    void Finish();

private:
    void Run();

    Engine& engine_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    bool stop_ = false;
    bool busy_ = false;
    std::thread thread_;
};

}  // namespace ovelaudio
