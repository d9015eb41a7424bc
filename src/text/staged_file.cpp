#include "text/staged_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "text/file_error.h"

namespace lumaref {

namespace {

int errnoOr(int fallback) { return errno != 0 ? errno : fallback; }

// rename() that refuses to replace an existing file, so two writers cannot overwrite each other's target.
int renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // File systems without RENAME_NOREPLACE: a hard link fails on an existing name just the same.
    if (::link(from.c_str(), to.c_str()) != 0) return -1;
    ::unlink(from.c_str());
    return 0;
}

// The permissions of the file being replaced, or those the umask gives any new file.
mode_t permissionsFor(const std::string& target) {
    struct stat previous {};
    if (::stat(target.c_str(), &previous) == 0 && S_ISREG(previous.st_mode)) return previous.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string folderOf(const std::filesystem::path& target) {
    return target.has_parent_path() ? target.parent_path().string() : ".";
}

}  // namespace

FileSink systemFileSink() {
    FileSink sink;
    sink.write = [](int fd, const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t count = ::write(fd, data, size);
            if (count < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            if (count == 0) {
                // No progress and no error: the device takes no more.
                errno = ENOSPC;
                return false;
            }
            data += count;
            size -= static_cast<std::size_t>(count);
        }
        return true;
    };
    sink.flush = [](int fd) { return ::fsync(fd) == 0; };
    return sink;
}

StagedFile::StagedFile(std::string target, Existing existing, FileSink sink)
    : target_(std::move(target)), existing_(existing), sink_(std::move(sink)) {
    const std::filesystem::path path(target_);
    if (!path.has_filename()) fail(StagedFileError::Step::Create, EISDIR);
    // A hidden name; a shortened base keeps it within the file system's name limit.
    std::string pattern = (std::filesystem::path(folderOf(path)) /
                           ("." + path.filename().string().substr(0, 200) + ".partial-XXXXXX"))
                              .string();
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) fail(StagedFileError::Step::Create, errnoOr(EIO));
    temporaryPath_ = std::move(pattern);
    // mkostemp makes the file private.
    if (::fchmod(fd_, permissionsFor(target_)) != 0) fail(StagedFileError::Step::Create, errnoOr(EIO));
}

StagedFile::~StagedFile() {
    if (!committed_) abandon();
}

void StagedFile::fail(StagedFileError::Step step, int errnoValue) {
    abandon();
    const std::string text = step == StagedFileError::Step::Write
                                 ? std::string(kStreamWriteError)
                                 : std::string(fileError("Cannot create file", target_, errnoValue).what());
    throw StagedFileError(step, errnoValue, text);
}

void StagedFile::write(std::string_view bytes) {
    if (bytes.empty()) return;
    if (fd_ < 0) fail(StagedFileError::Step::Write, EBADF);
    errno = 0;
    if (!sink_.write(fd_, bytes.data(), bytes.size())) fail(StagedFileError::Step::Write, errnoOr(EIO));
    written_ += bytes.size();
    // A large file goes to the disk while the rest is made, so the flush at the end waits only for its
    // last part. Only a start: a failure shows at that flush.
    if (written_ - handedToDisk_ >= kWritebackBytes) {
        ::sync_file_range(fd_, static_cast<off_t>(handedToDisk_),
                          static_cast<off_t>(written_ - handedToDisk_), SYNC_FILE_RANGE_WRITE);
        handedToDisk_ = written_;
    }
}

void StagedFile::flush() {
    if (fd_ < 0) fail(StagedFileError::Step::Write, EBADF);
    errno = 0;
    if (!sink_.flush(fd_)) fail(StagedFileError::Step::Write, errnoOr(EIO));
    // close() may report a deferred write error; the descriptor is gone either way.
    const int fd = fd_;
    fd_ = -1;
    errno = 0;
    if (::close(fd) != 0) fail(StagedFileError::Step::Write, errnoOr(EIO));
}

void StagedFile::commit() {
    if (committed_ || temporaryPath_.empty()) fail(StagedFileError::Step::Rename, EINVAL);
    if (fd_ >= 0) flush();
    const int renamed = existing_ == Existing::Replace ? ::rename(temporaryPath_.c_str(), target_.c_str())
                                                       : renameNoReplace(temporaryPath_, target_);
    if (renamed != 0) fail(StagedFileError::Step::Rename, errnoOr(EIO));
    committed_ = true;
    temporaryPath_.clear();
    // The new file is in place already, so a failure to make the rename durable is not reported as a
    // failed replacement.
    const int folder =
        ::open(folderOf(std::filesystem::path(target_)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void StagedFile::abandon() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporaryPath_.empty()) {
        ::unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}

}  // namespace lumaref
