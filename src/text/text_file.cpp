#include "text/text_file.h"

#include "text/error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <random>
#include <system_error>

namespace lumaref {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Windows-1252 for 0x80..0x9F; the five bytes the code page leaves undefined keep their C1 code point.
constexpr std::array<std::uint16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80;  // allowed range of the second byte
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) {
                low = 0xA0;
            }
            if (lead == 0xED) {
                high = 0x9F;
            }
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) {
                low = 0x90;
            }
            if (lead == 0xF4) {
                high = 0x8F;
            }
        } else {
            return false;
        }
        if (size - i < length) {
            return false;
        }
        if (p[i + 1] < low || p[i + 1] > high) {
            return false;
        }
        for (std::size_t k = 2; k < length; ++k) {
            if (!isContinuation(p[i + k])) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

void appendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string fromWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte <= 0x9F) {
            appendUtf8(out, kWindows1252High[byte - 0x80]);
        } else {
            appendUtf8(out, byte);
        }
    }
    return out;
}

// The full path shown in messages, as the user would type it.
std::string fullPath(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    if (absolute.empty()) {
        return path;
    }
    std::filesystem::path normal = absolute.lexically_normal();
    // "dir/." normalises to "dir/"; name the folder itself.
    if (!normal.has_filename() && normal != normal.root_path()) {
        normal = normal.parent_path();
    }
    return normal.string();
}

[[noreturn]] void throwFileError(std::string_view what, const std::string& path, int errnoValue) {
    std::string text(what);
    text += " \"";
    text += fullPath(path);
    text += "\". ";
    text += systemReason(errnoValue);
    throw Error(text);
}

int errnoOr(int fallback) { return errno != 0 ? errno : fallback; }

// Closes a descriptor on every path out of a scope unless released.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// A new, empty file beside `target` under a unique hidden name. The mode 0666 lets the process
// umask decide the permissions, as for any newly created file.
int createTemporaryBeside(const std::filesystem::path& target, std::string& tempPath) {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);

    // A shortened base keeps the temporary name within the file system's name limit.
    const std::string base = target.filename().string().substr(0, 200);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "." + base + ".tmp-";
        for (int i = 0; i < 8; ++i) {
            name += kLetters[pick(random)];
        }
        tempPath = (folder / name).string();
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Gives the temporary file the permissions of the file it replaces; returns 0 or the errno.
int copyPermissions(const FileDescriptor& file, const std::string& target) {
    struct stat previous {};
    if (::stat(target.c_str(), &previous) == 0 && S_ISREG(previous.st_mode) &&
        ::fchmod(file.get(), previous.st_mode & 07777) != 0) {
        return errnoOr(EIO);
    }
    return 0;
}

// Writes, flushes and closes the temporary file; false when any of it fails (a full disk, a file-size
// limit, a deferred write error reported by the flush or the close).
bool fillTemporary(FileDescriptor& file, std::string_view bytes, const FileSink& sink) {
    errno = 0;
    if (!bytes.empty() && !sink.write(file.get(), bytes.data(), bytes.size())) {
        return false;
    }
    errno = 0;
    if (!sink.flush(file.get())) {
        return false;
    }
    // close() may report a deferred write error; the descriptor is gone either way.
    return ::close(file.release()) == 0;
}

}  // namespace

std::string decodeText(std::string_view bytes) {
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    if (isValidUtf8(bytes)) {
        return std::string(bytes);
    }
    return fromWindows1252(bytes);
}

std::string systemReason(int errnoValue) {
    std::string reason = std::generic_category().message(errnoValue);
    while (!reason.empty() && (reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason;
}

int readWholeFileOrErrno(const std::string& path, std::string& bytes) {
    bytes.clear();
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        return errnoOr(EIO);
    }

    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return errnoOr(EIO);
    }
    if (S_ISDIR(info.st_mode)) {
        return EISDIR;
    }

    if (S_ISREG(info.st_mode) && info.st_size > 0) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count == 0) {
            break;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errnoOr(EIO);
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return 0;
}

std::string readWholeFile(const std::string& path, std::string_view what) {
    std::string bytes;
    if (const int failure = readWholeFileOrErrno(path, bytes); failure != 0) {
        throwFileError(what, path, failure);
    }
    return bytes;
}

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

void replaceFileAtomically(const std::string& path, std::string_view bytes, const FileSink& sink) {
    const std::filesystem::path target(path);
    if (!target.has_filename()) {
        throwFileError("Cannot create file", path, EISDIR);
    }
    std::string tempPath;
    FileDescriptor file(createTemporaryBeside(target, tempPath));
    if (file.get() < 0) {
        throwFileError("Cannot create file", path, errnoOr(EIO));
    }

    auto abandon = [&file, &tempPath] {
        if (file.get() >= 0) {
            ::close(file.release());
        }
        ::unlink(tempPath.c_str());
    };
    if (const int failure = copyPermissions(file, path); failure != 0) {
        abandon();
        throwFileError("Cannot create file", path, failure);
    }
    if (!fillTemporary(file, bytes, sink)) {
        abandon();
        throw Error(kStreamWriteError);
    }
    if (::rename(tempPath.c_str(), path.c_str()) != 0) {
        const int failure = errnoOr(EIO);
        abandon();
        throwFileError("Cannot create file", path, failure);
    }

    // Make the rename itself durable. The new file is in place already, so a failure here is not
    // reported as a failed replacement.
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) {
        ::fsync(directory.get());
    }
}

}  // namespace lumaref
