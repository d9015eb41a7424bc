#include "filter/two_thread_scan.h"

#include <unistd.h>

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace lumaref {

namespace {

// One helper thread for the whole program, started on first use and handed one task at a time, so a
// keystroke's scan does not pay for starting a thread. A caller that finds it busy (a call from
// within a task, or a second caller at once) runs its task itself, and so does a child process forked
// from the program (the Access reader), which has the helper's memory but not its thread.
class Helper {
public:
    static Helper& instance() {
        static Helper helper;
        return helper;
    }

    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    ~Helper() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        if (!ours()) {
            // Nothing to join in a forked child: the thread object is left to the process's end.
            [[maybe_unused]] const std::jthread* const left = thread_.release();
        }
    }

    // Hands `task` over, its failure to be stored in `failure`; false when the helper is busy or has no
    // thread. Every task handed over must be waited for.
    bool start(const std::function<void()>& task, std::exception_ptr& failure) {
        const std::lock_guard lock(mutex_);
        if (task_ != nullptr || !running() || !ours()) return false;
        task_ = &task;
        failure_ = &failure;
        pending_ = true;
        wake_.notify_one();
        return true;
    }

    // Returns once the task handed over has ended.
    void wait() {
        std::unique_lock lock(mutex_);
        ended_.wait(lock, [&] { return task_ == nullptr; });
    }

private:
    Helper() = default;

    // Called with the mutex held.
    bool running() {
        if (thread_) return true;
        try {
            thread_ = std::make_unique<std::jthread>([this] { serve(); });
        } catch (const std::system_error&) {
            return false;
        }
        owner_ = ::getpid();
        return true;
    }

    bool ours() const { return thread_ != nullptr && owner_ == ::getpid(); }

    void serve() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stopping_ || pending_; });
            if (stopping_) return;
            pending_ = false;
            const std::function<void()>& task = *task_;
            std::exception_ptr& failure = *failure_;
            lock.unlock();
            try {
                task();
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            task_ = nullptr;
            ended_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable ended_;
    const std::function<void()>* task_ = nullptr;  // handed over and not yet ended
    std::exception_ptr* failure_ = nullptr;
    bool pending_ = false;  // handed over, not yet begun
    bool stopping_ = false;
    pid_t owner_ = 0;                       // the process the thread runs in
    std::unique_ptr<std::jthread> thread_;  // last member: joined before the rest is destroyed
};

}  // namespace

void runOnTwoThreads(const std::function<void()>& here, const std::function<void()>& there) {
    Helper& helper = Helper::instance();
    std::exception_ptr failure;
    const bool handedOver = helper.start(there, failure);
    try {
        here();
    } catch (...) {
        if (handedOver) helper.wait();
        throw;
    }
    if (handedOver)
        helper.wait();
    else
        there();
    if (failure) std::rethrow_exception(failure);
}

void scanOnTwoThreads(std::size_t count, std::size_t split, const RangeScan& scan,
                      std::vector<std::uint32_t>& rows) {
    if (split == 0 || split >= count) {
        scan(0, count, rows);
        return;
    }
    std::vector<std::uint32_t> upper;
    runOnTwoThreads([&] { scan(0, split, rows); }, [&] { scan(split, count, upper); });
    rows.insert(rows.end(), upper.begin(), upper.end());
}

}  // namespace lumaref
