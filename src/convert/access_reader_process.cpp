#include "convert/access_reader_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>

#include "convert/access_database.h"
#include "text/error.h"
#include "text/stop_request.h"

namespace lumaref {

namespace {

constexpr std::size_t kSendEvery = std::size_t{64} * 1024;
constexpr int kWaitSliceMs = 100;
constexpr std::size_t kMegabyte = std::size_t{1} << 20;

bool sendAll(int fd, std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    bytes.clear();
    return true;
}

#if !defined(__SANITIZE_ADDRESS__)
// The address space the process already has, from /proc; 0 when it cannot be read.
std::size_t addressSpaceInUse() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return 0;
    unsigned long pages = 0;
    const bool read = std::fscanf(statm, "%lu", &pages) == 1;
    std::fclose(statm);
    return read ? pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

void limitMemory(std::size_t added) {
    const rlim_t limit = addressSpaceInUse() + added;
    const struct rlimit bound = {limit, limit};
    ::setrlimit(RLIMIT_AS, &bound);
}
#else
// A sanitizer reserves terabytes of shadow memory up front: it runs without this limit.
void limitMemory(std::size_t /*added*/) {}
#endif

// libmdb prints warnings about damaged files to both; nobody reads them. Sanitizer reports stay.
void silenceLibrary() {
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) return;
    ::dup2(null, STDOUT_FILENO);
#if !defined(__SANITIZE_ADDRESS__)
    ::dup2(null, STDERR_FILENO);
#endif
    ::close(null);
}

// The child: every table and row of the file down the pipe, or the reason it cannot. Never returns,
// and runs no destructor of what it shares with the parent.
[[noreturn]] void readInChild(const std::string& path, int fd, std::size_t memoryBytes) {
    // Signals are the parent's to handle; the parent ends this process when it must.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGTERM, SIG_IGN);
    std::signal(SIGHUP, SIG_IGN);
    std::signal(SIGPIPE, SIG_DFL);
    silenceLibrary();
    limitMemory(memoryBytes);
    StreamEncoder out;
    try {
        AccessDatabase access(path);
        if (access.tableNames().empty()) throw Error("The Access file '" + path + "' holds no tables.");
        for (const std::string& name : access.tableNames()) {
            const std::unique_ptr<AccessTable> table = access.openTable(name);
            out.table(*table);
            while (table->next()) {
                out.row(table->values());
                if (out.buffer().size() >= kSendEvery && !sendAll(fd, out.buffer())) ::_exit(1);
            }
            out.tableEnd();
        }
        out.done();
    } catch (const std::bad_alloc&) {
        out.buffer().clear();
        out.failed("'" + path + "' is damaged: reading it stopped (it needed more than " +
                   std::to_string(memoryBytes / kMegabyte) + " MB of memory).");
    } catch (const std::exception& error) {
        out.buffer().clear();
        out.failed(error.what());
    } catch (...) {
        out.buffer().clear();
        out.failed("'" + path + "' is damaged: reading it stopped (an unknown failure).");
    }
    ::_exit(sendAll(fd, out.buffer()) ? 0 : 1);
}

}  // namespace

ReaderLimits readerLimitsFor(std::size_t fileBytes) {
    ReaderLimits limits;
    // A whole file reads at tens of megabytes a second even on a busy machine, in a few times its size.
    limits.time = std::chrono::milliseconds(2000 + fileBytes / kMegabyte * 1000);
    limits.memoryBytes = 256 * kMegabyte + 4 * fileBytes;
    return limits;
}

AccessReaderProcess::AccessReaderProcess(const std::string& path, const ReaderLimits& limits)
    : path_(path), limits_(limits), deadline_(std::chrono::steady_clock::now() + limits.time) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw Error("Cannot start reading '" + path + "': " + std::strerror(errno) + ".");
    }
    std::fflush(nullptr);
    child_ = ::fork();
    if (child_ == 0) {
        ::close(fds[0]);
        readInChild(path, fds[1], limits.memoryBytes);
    }
    ::close(fds[1]);
    if (child_ < 0) {
        ::close(fds[0]);
        throw Error("Cannot start reading '" + path + "': " + std::strerror(errno) + ".");
    }
    fd_ = fds[0];
}

AccessReaderProcess::~AccessReaderProcess() { end(); }

void AccessReaderProcess::end() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (child_ > 0) {
        ::kill(child_, SIGKILL);
        while (::waitpid(child_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    child_ = -1;
}

void AccessReaderProcess::stopped(const std::string& reason) {
    end();
    throw Error("'" + path_ + "' is damaged: reading it stopped (" + reason + ").");
}

StreamEvent AccessReaderProcess::next() {
    for (;;) {
        std::size_t used = 0;
        if (decoder_.decode(std::string_view(buffer_).substr(used_), used)) {
            used_ += used;
            if (decoder_.event() == StreamEvent::Failed) {
                end();
                throw Error(decoder_.message());
            }
            return decoder_.event();
        }
        // Keep what is not yet a whole event, and read more.
        buffer_.erase(0, used_);
        used_ = 0;
        if (!fill()) {
            // The pipe closed in the middle: the child ended without finishing.
            int status = 0;
            pid_t ended = -1;
            while ((ended = ::waitpid(child_, &status, 0)) < 0 && errno == EINTR) {
            }
            child_ = -1;
            if (ended > 0 && WIFSIGNALED(status)) {
                const int signal = WTERMSIG(status);
                const char* name = sigabbrev_np(signal);
                stopped("libmdb ended with signal " +
                        std::string(name != nullptr ? "SIG" + std::string(name) : std::to_string(signal)));
            }
            stopped("libmdb ended before the last table");
        }
    }
}

// Waits for more bytes in short slices beside the stop request's descriptor, so a stop request or the
// deadline is seen at once.
bool AccessReaderProcess::fill() {
    for (;;) {
        if (stopRequested()) {
            end();
            throw Error("Stopped before every table was converted; no target was written.");
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline_ - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            stopped("it took longer than the " + std::to_string(limits_.time.count() / 1000) +
                    " s allowed for a file of its size");
        }
        pollfd waiting[2] = {{fd_, POLLIN, 0}, {stopRequestDescriptor(), POLLIN, 0}};
        const int ready = ::poll(waiting, waiting[1].fd >= 0 ? 2 : 1,
                                 static_cast<int>(std::min<long long>(left.count(), kWaitSliceMs)));
        if (ready < 0 && errno != EINTR) stopped(std::string("the pipe failed: ") + std::strerror(errno));
        if (ready <= 0 || waiting[0].revents == 0) continue;
        char chunk[kSendEvery];
        const ssize_t got = ::read(fd_, chunk, sizeof chunk);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0) return false;
        buffer_.append(chunk, static_cast<std::size_t>(got));
        return true;
    }
}

}  // namespace lumaref
