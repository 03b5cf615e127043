#include "platform/worker_pool.h"

#include <malloc.h>

namespace corsavel {

WorkerPool::WorkerPool(int threads) {
    for (int i = 0; i < (threads > 0 ? threads : 1); ++i) {
        threads_.emplace_back([this] { run(); });
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

void WorkerPool::submit(std::function<void()> job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void WorkerPool::waitIdle() {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return jobs_.empty() && running_ == 0; });
}

// Takes jobs until the pool stops and the queue is empty.
void WorkerPool::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) {
            return;
        }
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        ++running_;
        lock.unlock();
        job();
        lock.lock();
        --running_;
        if (jobs_.empty() && running_ == 0) {
            idle_.notify_all();
        }
    }
}

WorkerPool& workerPool() {
    static WorkerPool pool([] {
        // One heap for every thread: what a worker decodes is handed to the
        // main thread and freed there, and a heap of the worker's own would
        // keep those pages resident after the load.
        mallopt(M_ARENA_MAX, 1);
        const unsigned cores = std::thread::hardware_concurrency();
        return cores > 1 ? static_cast<int>(cores) - 1 : 1;
    }());
    return pool;
}

}  // namespace corsavel
