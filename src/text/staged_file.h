#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "text/error.h"

namespace lumaref {

// Where the bytes of a staged file go; a test can substitute one that fails part-way.
// Each call returns false on failure with errno set.
struct FileSink {
    std::function<bool(int fd, const char* data, std::size_t size)> write;
    std::function<bool(int fd)> flush;
};
FileSink systemFileSink();

// The error of a write that could not put every byte on disk (a full disk, a file-size limit).
inline constexpr const char* kStreamWriteError = "Stream write error";

// A failed step of a StagedFile. what() is the text a user sees: "Cannot create file \"<path>\".
// <reason>" when the temporary file cannot be made or put in place, kStreamWriteError when bytes or
// the flush do not reach the disk. step() and errnoValue() are for callers that word their own text.
class StagedFileError : public Error {
public:
    enum class Step { Create, Write, Rename };
    StagedFileError(Step step, int errnoValue, const std::string& text)
        : Error(text), step_(step), errnoValue_(errnoValue) {}
    Step step() const { return step_; }
    int errnoValue() const { return errnoValue_; }

private:
    Step step_;
    int errnoValue_;
};

// A new version of a file, written under a temporary name beside it and renamed onto it by commit():
// a failure at any step leaves the previous file whole and no temporary file behind. The new file
// gets the permissions of the file it replaces, or else those of any new file.
class StagedFile {
public:
    // Keep refuses, at commit(), a target that exists by then (EEXIST); Replace replaces it.
    enum class Existing { Replace, Keep };

    // Creates the empty temporary file. Throws StagedFileError (Create).
    explicit StagedFile(std::string target, Existing existing = Existing::Replace,
                        FileSink sink = systemFileSink());
    // Removes the temporary file unless commit() succeeded.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const std::string& target() const { return target_; }
    // Another writer (a database engine) may fill the file by this name until flush().
    const std::string& temporaryPath() const { return temporaryPath_; }

    // Appends bytes. Throws StagedFileError (Write) when not all of them are written.
    void write(std::string_view bytes);
    // Puts the file's bytes on the disk and closes it. Throws StagedFileError (Write).
    void flush();
    // flush() unless done, then the rename onto the target, then a flush of the folder so the rename
    // survives a crash. Throws StagedFileError (Write or Rename); the temporary file is then gone.
    void commit();

private:
    static constexpr std::size_t kWritebackBytes = std::size_t{8} << 20;

    [[noreturn]] void fail(StagedFileError::Step step, int errnoValue);
    void abandon() noexcept;

    std::string target_;
    std::string temporaryPath_;
    Existing existing_;
    FileSink sink_;
    int fd_ = -1;
    std::size_t written_ = 0;
    std::size_t handedToDisk_ = 0;
    bool committed_ = false;
};

}  // namespace lumaref
