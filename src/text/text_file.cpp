#include "text/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>

#include "text/file_error.h"
#include "text/non_regular_file.h"
#include "text/text_fold.h"

namespace lumaref {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Windows-1252 for 0x80..0x9F; the five bytes the code page leaves undefined keep their C1 code point.
constexpr std::array<std::uint16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

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

int errnoOr(int fallback) { return errno != 0 ? errno : fallback; }

// Closes a descriptor on every path out of a scope.
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

private:
    int fd_;
};

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

int readWholeFileOrErrno(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Non-blocking: a FIFO put in place after the caller's check must not hang the open.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
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
    if (!S_ISREG(info.st_mode)) {
        return ENODEV;
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
    if (const std::string kind = nonRegularFileKind(path); !kind.empty()) {
        throw fileError(what, path, "It is " + kind + ", not a regular file");
    }
    std::string bytes;
    if (const int failure = readWholeFileOrErrno(path, bytes); failure != 0) {
        throw fileError(what, path, failure);
    }
    return bytes;
}

void replaceFileAtomically(const std::string& path, std::string_view bytes, const FileSink& sink) {
    StagedFile file(path, StagedFile::Existing::Replace, sink);
    file.write(bytes);
    file.commit();
}

}  // namespace lumaref
