#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace corsavel {

// A few threads that run jobs in the order they were submitted, so the
// start-up and the one-time load can decode files while the main thread
// draws. Jobs only compute into memory they own: the render device, GL and
// the asset registry stay on the main thread.
class WorkerPool {
public:
    explicit WorkerPool(int threads);
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;
    // Runs the jobs still queued, then joins the threads.
    ~WorkerPool();

    void submit(std::function<void()> job);
    // Returns once every submitted job has finished.
    void waitIdle();
    int threadCount() const { return static_cast<int>(threads_.size()); }

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> jobs_;
    int running_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// The game's pool: one thread fewer than the processor has cores, at least
// one; started on first use.
WorkerPool& workerPool();

// A value a job fills in on a worker and the main thread takes once ready.
template <typename T>
class Pending {
public:
    void set(T value) {
        std::lock_guard<std::mutex> lock(mutex_);
        value_ = std::move(value);
        ready_ = true;
        done_.notify_all();
    }
    // Waits for the job; the value stays for take().
    const T& wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return ready_; });
        return value_;
    }
    // Waits for the job and hands its value over.
    T take() {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return ready_; });
        return std::move(value_);
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool ready_ = false;
    T value_{};
};

}  // namespace corsavel
