#include "text/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>

#include "text/file_error.h"
#include "text/non_regular_file.h"
#include "text/stopped.h"
#include "text/text_fold.h"

namespace lumaref {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr char32_t kEndOfFile = 0x1A;  // Ctrl-Z, as DOS ended its files

// Windows-1252 for 0x80..0x9F; the five bytes the code page leaves undefined keep their C1 code point.
constexpr std::array<std::uint16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
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

// The first byte below 0x20 from `at`, or `end`; eight bytes at a time while none is.
const unsigned char* nextControl(const unsigned char* at, const unsigned char* end) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    std::uint64_t word = 0;
    while (end - at >= static_cast<std::ptrdiff_t>(sizeof word)) {
        std::memcpy(&word, at, sizeof word);
        // Sets a high bit for each byte below 0x20 (and never for none).
        if (((word - kOnes * 0x20) & ~word & kHighBits) != 0) break;
        at += sizeof word;
    }
    while (at < end && *at >= 0x20) ++at;
    return at;
}

// Checks and decodes a text as its bytes arrive, in pieces of any size; the first piece holds the
// byte-order mark whole, if there is one. Line numbers count CR LF, LF and a lone CR once each.
class TextDecoder {
public:
    // Appends the text of `bytes` to `out`, which holds only what this decoder appended; false once a
    // Ctrl-Z has ended the text. Throws NotTextError.
    bool feed(std::string_view bytes, std::string& out) {
        if (ended_) return false;
        if (encoding_ == Encoding::Unknown) bytes = chooseEncoding(bytes);
        if (encoding_ == Encoding::Bytes) return feedBytes(bytes, out);
        return feedUtf16(bytes, out);
    }

    // After the last piece.
    void finish(std::string& out) {
        if (encoding_ == Encoding::Bytes && !isValidUtf8(out)) out = fromWindows1252(out);
        if (!ended_ && (!oddByte_.empty() || highSurrogate_ != 0)) brokenUtf16();
    }

private:
    enum class Encoding : std::uint8_t { Unknown, Bytes, Utf16Le, Utf16Be };

    std::string_view chooseEncoding(std::string_view bytes) {
        encoding_ = Encoding::Bytes;
        if (bytes.starts_with(kUtf16LeMark)) {
            encoding_ = Encoding::Utf16Le;
            return bytes.substr(kUtf16LeMark.size());
        }
        if (bytes.starts_with(kUtf16BeMark)) {
            encoding_ = Encoding::Utf16Be;
            return bytes.substr(kUtf16BeMark.size());
        }
        return bytes.starts_with(kByteOrderMark) ? bytes.substr(kByteOrderMark.size()) : bytes;
    }

    bool feedBytes(std::string_view bytes, std::string& out) {
        const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto* const end = begin + bytes.size();
        const auto* at = begin;
        while (at < end) {
            const auto* const run = at;
            at = nextControl(at, end);
            lengthen(static_cast<std::size_t>(at - run));
            if (at == end) break;
            if (!control(*at)) {
                out.append(bytes.substr(0, static_cast<std::size_t>(at - begin)));
                return false;
            }
            ++at;
        }
        out.append(bytes);
        return true;
    }

    bool feedUtf16(std::string_view bytes, std::string& out) {
        std::size_t at = 0;
        if (!oddByte_.empty() && !bytes.empty()) {
            oddByte_ += bytes[0];
            at = 1;
            if (!codeUnit(oddByte_, out)) return false;
            oddByte_.clear();
        }
        for (; at + 2 <= bytes.size(); at += 2) {
            if (!codeUnit(bytes.substr(at, 2), out)) return false;
        }
        if (at < bytes.size()) oddByte_ = bytes.substr(at);
        return true;
    }

    bool codeUnit(std::string_view pair, std::string& out) {
        const auto first = static_cast<unsigned char>(pair[0]);
        const auto second = static_cast<unsigned char>(pair[1]);
        const char32_t unit = encoding_ == Encoding::Utf16Le ? first | (second << 8) : (first << 8) | second;
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (highSurrogate_ != 0) {
            if (!low) brokenUtf16();
            const char32_t codePoint = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00);
            highSurrogate_ = 0;
            lengthen(4);
            appendUtf8(out, codePoint);
            return true;
        }
        if (high) {
            highSurrogate_ = unit;
            return true;
        }
        if (low) brokenUtf16();
        if (unit < 0x20) {
            if (!control(unit)) return false;
        } else {
            lengthen(2);
        }
        appendUtf8(out, unit);
        return true;
    }

    // A character below U+0020: a line break counts the line, a tab or page break is part of it, a Ctrl-Z
    // ends the text (false); any other means the bytes are no text.
    bool control(char32_t c) {
        switch (c) {
            case '\r':
                ++line_;
                lineBytes_ = 0;
                afterCarriageReturn_ = true;
                return true;
            case '\n':
                if (!afterCarriageReturn_) ++line_;
                lineBytes_ = 0;
                afterCarriageReturn_ = false;
                return true;
            case '\t':
            case '\v':
            case '\f':
                lengthen(1);
                return true;
            case kEndOfFile:
                ended_ = true;
                return false;
            case 0:
                throw NotTextError("it holds NUL bytes at line " + std::to_string(line_));
            default:
                throw NotTextError("it holds control characters at line " + std::to_string(line_));
        }
    }

    void lengthen(std::size_t bytes) {
        if (bytes == 0) return;
        afterCarriageReturn_ = false;
        lineBytes_ += bytes;
        if (lineBytes_ > kLongestLine) {
            throw NotTextError("its line " + std::to_string(line_) + " is longer than 1 MiB");
        }
    }

    [[noreturn]] void brokenUtf16() const {
        throw NotTextError("its UTF-16 breaks off in the middle of a character at line " +
                           std::to_string(line_));
    }

    Encoding encoding_ = Encoding::Unknown;
    std::size_t line_ = 1;
    std::size_t lineBytes_ = 0;
    bool afterCarriageReturn_ = false;
    bool ended_ = false;
    std::string oddByte_;
    char32_t highSurrogate_ = 0;
};

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

// Reads a regular file in pieces, handing each to `piece` until it returns false, after `size` with the
// file's size. Returns 0, or the errno of the failure (EISDIR for a folder, ENODEV for anything else
// that is not a regular file).
int readPieces(const std::string& path, const std::function<void(std::size_t)>& size,
               const std::function<bool(std::string_view)>& piece) {
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
    size(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)));

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
        if (!piece(std::string_view(buffer, static_cast<std::size_t>(count)))) {
            break;
        }
    }
    return 0;
}

}  // namespace

std::string decodeText(std::string_view bytes) {
    TextDecoder decoder;
    std::string text;
    decoder.feed(bytes, text);
    decoder.finish(text);
    return text;
}

int readWholeFileOrErrno(const std::string& path, std::string& bytes) {
    bytes.clear();
    return readPieces(
        path, [&bytes](std::size_t size) { bytes.reserve(size); },
        [&bytes](std::string_view piece) {
            bytes.append(piece);
            return true;
        });
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

int readTextFileOrErrno(const std::string& path, std::string& text) {
    text.clear();
    TextDecoder decoder;
    const int failure = readPieces(
        // Only what is read is touched: a reservation for a file refused after its first MiB costs nothing.
        path, [&text](std::size_t size) { text.reserve(size); },
        [&](std::string_view piece) {
            stopIfRequested();
            return decoder.feed(piece, text);
        });
    if (failure == 0) decoder.finish(text);
    return failure;
}

std::string readTextFile(const std::string& path, std::string_view what) {
    if (const std::string kind = nonRegularFileKind(path); !kind.empty()) {
        throw fileError(what, path, "It is " + kind + ", not a regular file");
    }
    std::string text;
    int failure = 0;
    try {
        failure = readTextFileOrErrno(path, text);
    } catch (const NotTextError& notText) {
        throw Error("The file \"" + fullPath(path) + "\" is not a text file: " + notText.what() + ".");
    }
    if (failure != 0) {
        throw fileError(what, path, failure);
    }
    return text;
}

void replaceFileAtomically(const std::string& path, std::string_view bytes, const FileSink& sink) {
    StagedFile file(path, StagedFile::Existing::Replace, sink);
    file.write(bytes);
    file.commit();
}

}  // namespace lumaref
