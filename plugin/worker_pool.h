// The threads that help decodes along: a few, shared by every decode in the process, started the
// first time a decode asks for help and kept for the next one. A decode hands them jobs (a row of
// blocks to transform and convert) and does the rest itself; when it waits, it first takes on its
// own jobs that no helper has begun. The threads end when the module is unloaded: the pool's
// destructor wakes them, and they are idle then, so it never waits on a decode.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace vantor {

// The most threads a decode uses, the calling one included.
constexpr int kMaxThreads = 8;

// Threads for a decode: VANTOR_THREADS when it holds a number from 1 on (at most kMaxThreads),
// else the processors this process may run on, at most kMaxThreads.
int DefaultThreadCount();

// Work that a helper can take on. Claim, under the pool's lock, picks one job and returns its
// number (-1: none left); Work runs it without the lock; Done, under the lock again, records it.
class PoolClient {
  public:
    virtual int Claim() = 0;
    virtual void Work(int job) = 0;
    virtual void Done(int job) = 0;

  protected:
    ~PoolClient() = default;
};

class WorkerPool {
  public:
    static WorkerPool& Instance();
    // The pool, or null in a child of fork, whose parent's helpers did not come along (and whose
    // lock one of them may have held when the process was copied): a child decodes alone.
    static WorkerPool* ForThisProcess();

    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Starts helpers until there are `count` of them (at most kMaxThreads - 1).
    void Reserve(int count);

    // The lock that guards the queue and the state of every client's jobs.
    std::mutex& Lock() { return mutex_; }

    // Under the lock: one job of `client` is ready for a helper.
    void Post(PoolClient* client);
    // Under the lock: forgets the client's posts, before the client goes away.
    void Withdraw(PoolClient* client);

  private:
    struct Holder;
    WorkerPool();
    ~WorkerPool();
    void Serve();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<PoolClient*> posted_;
    std::vector<std::thread> threads_;
    bool stopping_ = false;
    const int owner_;  // the process whose helpers these are
};

}  // namespace vantor
