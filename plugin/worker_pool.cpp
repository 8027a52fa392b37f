#include "plugin/worker_pool.h"

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace vantor {

int DefaultThreadCount() {
    if (const char* text = std::getenv("VANTOR_THREADS")) {
        char* end = nullptr;
        const long value = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && value >= 1) {
            return static_cast<int>(std::min<long>(value, kMaxThreads));
        }
    }
    cpu_set_t set;
    CPU_ZERO(&set);
    int count = 1;
    if (sched_getaffinity(0, sizeof set, &set) == 0) count = CPU_COUNT(&set);
    return std::max(1, std::min(count, kMaxThreads));
}

// Made on first use, destroyed when the module is unloaded or the process ends; but never in a
// child of fork, where its lock and condition are copies of the parent's, held or waited on by
// helpers that did not come along (destroying them would wait forever).
struct WorkerPool::Holder {
    WorkerPool* pool = new WorkerPool;
    ~Holder() {
        if (getpid() == pool->owner_) delete pool;
    }
};

WorkerPool& WorkerPool::Instance() {
    static Holder holder;
    return *holder.pool;
}

WorkerPool::WorkerPool() : owner_(getpid()) {}

WorkerPool* WorkerPool::ForThisProcess() {
    WorkerPool& pool = Instance();
    return getpid() == pool.owner_ ? &pool : nullptr;
}

WorkerPool::~WorkerPool() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void WorkerPool::Reserve(int count) {
    count = std::min(count, kMaxThreads - 1);
    const std::lock_guard<std::mutex> lock(mutex_);
    while (static_cast<int>(threads_.size()) < count) {
        // Without a new thread the decode goes on with the helpers there are, or alone: the
        // calling thread does every row that no helper takes.
        try {
            threads_.emplace_back([this] { Serve(); });
        } catch (const std::system_error&) {
            break;
        }
    }
}

void WorkerPool::Post(PoolClient* client) {
    posted_.push_back(client);
    wake_.notify_one();
}

void WorkerPool::Withdraw(PoolClient* client) {
    posted_.erase(std::remove(posted_.begin(), posted_.end(), client), posted_.end());
}

void WorkerPool::Serve() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !posted_.empty(); });
        if (stopping_) return;
        PoolClient* client = posted_.front();
        posted_.pop_front();
        // The client may have done the job itself meanwhile; then there is nothing to claim.
        const int job = client->Claim();
        if (job < 0) continue;
        lock.unlock();
        client->Work(job);
        lock.lock();
        client->Done(job);
    }
}

}  // namespace vantor
