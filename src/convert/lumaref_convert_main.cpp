// lumaref-convert: brings an Access database across into an SQLite database Lumaref opens.
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "convert/convert_arguments.h"
#include "convert/convert_command.h"
#include "settings/access_database_advice.h"
#include "settings/data_folder.h"
#include "text/error.h"
#include "text/stop_request.h"

namespace {

// An unbuffered stream buffer over a file descriptor.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : fd_(fd) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        std::streamsize done = 0;
        while (done < size) {
            const ssize_t written = ::write(fd_, data + done, static_cast<std::size_t>(size - done));
            if (written <= 0) break;
            done += written;
        }
        return done;
    }

private:
    int fd_;
};

// libmdb prints warnings about damaged files, and lines of blanks, straight to stdout and stderr, in the
// middle of this tool's own lines. While the tool runs, both descriptors lead nowhere and the tool writes
// to copies of the originals. Sanitizer builds keep stderr: a sanitizer's report must not be lost.
class LibraryOutputSilencer {
public:
    LibraryOutputSilencer() {
        out_ = divert(STDOUT_FILENO);
#if !defined(__SANITIZE_ADDRESS__)
        err_ = divert(STDERR_FILENO);
#endif
    }
    ~LibraryOutputSilencer() {
        restore(STDOUT_FILENO, out_);
        restore(STDERR_FILENO, err_);
    }
    LibraryOutputSilencer(const LibraryOutputSilencer&) = delete;
    LibraryOutputSilencer& operator=(const LibraryOutputSilencer&) = delete;

    int out() const { return out_ >= 0 ? out_ : STDOUT_FILENO; }
    int err() const { return err_ >= 0 ? err_ : STDERR_FILENO; }

private:
    static int divert(int fd) {
        std::fflush(nullptr);
        const int saved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved >= 0 && null >= 0) ::dup2(null, fd);
        if (null >= 0) ::close(null);
        return saved;
    }
    static void restore(int fd, int saved) {
        if (saved < 0) return;
        std::fflush(nullptr);
        ::dup2(saved, fd);
        ::close(saved);
    }

    int out_ = -1;
    int err_ = -1;
};

// The first SIGINT, SIGTERM or SIGHUP asks every job and wait to stop, and each removes what it wrote;
// a second one, for a library call that does not come back, ends the process at once.
void onStopSignal(int signal) {
    static volatile std::sig_atomic_t signalled = 0;
    if (signalled != 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    signalled = 1;
    lumaref::requestStop();
}

// The database lumaref opens when started without --data: in the current folder when lists/ stands
// beside the programs, else in the data folder, which --new makes if it is missing.
std::string defaultTarget(bool makeFolder) {
    const std::string programDir = lumaref::runningProgramFolder();
    if (!programDir.empty() && lumaref::isPortableLayout(programDir)) {
        return lumaref::portableLocation(programDir).database;
    }
    const std::string folder = lumaref::chooseDataFolder(std::nullopt, lumaref::loadSettings());
    if (makeFolder) lumaref::makeDataFolder(folder);
    return lumaref::dataFolderLocation(folder).database;
}

}  // namespace

int main(int argc, char** argv) {
    // libmdb hands out text as UTF-8 whatever the user's environment asks it for.
    setenv("MDB_ICONV", "UTF-8", 1);
    const std::string program = "lumaref-convert";
    lumaref::ConvertInvocation invocation;
    try {
        invocation = lumaref::parseConvertArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const lumaref::UsageError& error) {
        std::fprintf(stderr, "lumaref-convert: %s\n\n%s", error.what(),
                     lumaref::convertUsage(program).c_str());
        return 2;
    }
    if (invocation.target.empty() && invocation.mode != lumaref::ConvertInvocation::Mode::Help) {
        try {
            invocation.target =
                defaultTarget(invocation.mode == lumaref::ConvertInvocation::Mode::NewDatabase);
        } catch (const lumaref::Error& error) {
            std::fprintf(stderr, "lumaref-convert: %s\n", error.what());
            return 1;
        }
    }
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, onStopSignal);
    LibraryOutputSilencer silencer;
    DescriptorBuffer outBuffer(silencer.out());
    DescriptorBuffer errBuffer(silencer.err());
    std::ostream out(&outBuffer);
    std::ostream err(&errBuffer);
    return lumaref::runConvertInvocation(invocation, out, err, ::isatty(silencer.out()) == 1);
}
