// The worker pool that decodes files during start-up and the load: every
// job runs, in the order given when one thread runs them, and the waits
// return only when the work is done.
#include "platform/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace corsavel {
namespace {

TEST(WorkerPool, OneThreadRunsJobsInTheOrderSubmitted) {
    WorkerPool pool(1);
    std::vector<int> order;
    for (int i = 0; i < 50; ++i) {
        pool.submit([&order, i] { order.push_back(i); });
    }
    pool.waitIdle();
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(order[i], i);
    }
}

TEST(WorkerPool, WaitIdleReturnsOnlyAfterEveryJob) {
    WorkerPool pool(3);
    EXPECT_EQ(pool.threadCount(), 3);
    std::atomic<int> done{0};
    for (int i = 0; i < 40; ++i) {
        pool.submit([&done] {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            done.fetch_add(1);
        });
    }
    pool.waitIdle();
    EXPECT_EQ(done.load(), 40);
    pool.waitIdle();  // nothing queued: returns at once
}

TEST(WorkerPool, ClosingRunsTheJobsStillQueued) {
    std::atomic<int> done{0};
    {
        WorkerPool pool(1);
        for (int i = 0; i < 20; ++i) {
            pool.submit([&done] { done.fetch_add(1); });
        }
    }
    EXPECT_EQ(done.load(), 20);
}

TEST(Pending, TakeWaitsForTheWorkersValue) {
    WorkerPool pool(1);
    Pending<std::vector<int>> pending;
    std::atomic<bool> release{false};
    pool.submit([&] {
        while (!release.load()) {
            std::this_thread::yield();
        }
        pending.set({1, 2, 3});
    });
    release.store(true);
    EXPECT_EQ(pending.take(), (std::vector<int>{1, 2, 3}));
    pool.waitIdle();
}

}  // namespace
}  // namespace corsavel
