#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/resource/ResourceManager.h"
#include "tests/fixtures/TempFolder.h"

namespace {

using namespace std::chrono_literals;

// A job that runs until the test lets it finish.
class CGatedJob : public CLoaderJob {
public:
    explicit CGatedJob(int result) : m_result(result) {}
    int Job() override {
        started.store(true);
        while (!finish.load()) std::this_thread::sleep_for(1ms);
        finished.store(true);
        return m_result;
    }
    std::atomic<bool> started{false};
    std::atomic<bool> finish{false};
    std::atomic<bool> finished{false};

private:
    int m_result;
};

// A job that notes whether another job had finished when it began.
class CAfterJob : public CLoaderJob {
public:
    explicit CAfterJob(const std::atomic<bool>& before) : m_before(before) {}
    int Job() override {
        sawBeforeFinished.store(m_before.load());
        return 2;
    }
    std::atomic<bool> sawBeforeFinished{false};

private:
    const std::atomic<bool>& m_before;
};

struct LoaderFixture {
    TempFolder tmp;
    CErrorReport report;
    CMessageTable messages;
    LoaderFixture() { messages.SetMsg(18, "Cannot start a thread"); }
};

TEST(LoaderThread, JobResultComesBackWhileTheMainThreadPolls) {
    LoaderFixture f;
    CResourceManager rm(f.tmp.path());
    EXPECT_FALSE(rm.IsLoaderRunning());
    CGatedJob job(42);
    ASSERT_EQ(rm.StartLoaderThread(&job, 1), 1);
    while (!job.started.load()) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(rm.IsLoaderRunning());
    EXPECT_EQ(rm.WaitLoaderThread(5), 0);  // still running: the time runs out
    job.finish.store(true);
    while (rm.IsLoaderRunning()) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(rm.LoaderExitCode(), 42);
    EXPECT_EQ(rm.WaitLoaderThread(CResourceManager::kInfinite), 1);
    EXPECT_EQ(rm.WaitLoaderThread(CResourceManager::kInfinite), 1);  // nothing left to wait for
}

TEST(LoaderThread, ASecondStartWaitsForTheFirstJob) {
    LoaderFixture f;
    CResourceManager rm(f.tmp.path());
    CGatedJob first(1);
    CAfterJob second(first.finished);
    ASSERT_EQ(rm.StartLoaderThread(&first, 1), 1);
    while (!first.started.load()) std::this_thread::sleep_for(1ms);
    // Let the first job end a little later, from another thread, while the
    // main thread is blocked in the second start.
    std::thread releaser([&first] {
        std::this_thread::sleep_for(30ms);
        first.finish.store(true);
    });
    ASSERT_EQ(rm.StartLoaderThread(&second, 1), 1);
    EXPECT_TRUE(first.finished.load());
    EXPECT_EQ(rm.WaitLoaderThread(CResourceManager::kInfinite), 1);
    EXPECT_TRUE(second.sawBeforeFinished.load());
    EXPECT_EQ(rm.LoaderExitCode(), 2);
    releaser.join();
}

TEST(LoaderThread, AHeldThreadRunsWhenResumedOrWaitedFor) {
    LoaderFixture f;
    CGatedJob job(7);
    job.finish.store(true);
    {
        CResourceManager rm(f.tmp.path());
        ASSERT_EQ(rm.StartLoaderThread(&job, 0), 1);
        std::this_thread::sleep_for(20ms);
        EXPECT_FALSE(job.started.load());
        rm.ResumeLoaderThread();
        EXPECT_EQ(rm.WaitLoaderThread(CResourceManager::kInfinite), 1);
        EXPECT_TRUE(job.finished.load());
    }
    // Never resumed: the manager's end still runs it to completion instead of hanging.
    CGatedJob held(8);
    held.finish.store(true);
    {
        CResourceManager rm(f.tmp.path());
        ASSERT_EQ(rm.StartLoaderThread(&held, 0), 1);
    }
    EXPECT_TRUE(held.finished.load());
}

// A system that refuses every new thread.
class CNoThreadManager : public CResourceManager {
public:
    using CResourceManager::CResourceManager;

protected:
    bool LaunchThread(std::thread&, std::function<void()>) override { return false; }
};

TEST(LoaderThread, AThreadThatCannotStartIsReported) {
    LoaderFixture f;
    CNoThreadManager rm(f.tmp.path());
    CGatedJob job(1);
    EXPECT_EQ(rm.StartLoaderThread(&job, 1), 0);
    EXPECT_EQ(f.report.GetCode(), ERR_THREAD);
    EXPECT_STREQ(f.report.GetText(), "Cannot start a thread");
    // A screen polling for the job's end sees none running.
    EXPECT_FALSE(rm.IsLoaderRunning());
    EXPECT_EQ(rm.WaitLoaderThread(CResourceManager::kInfinite), 1);
    EXPECT_FALSE(job.started.load());
}

}  // namespace
