#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/error.h"
#include "text/staged_file.h"

namespace lumaref {

// No line of a text, and no field of a CSV text, is longer: far beyond any journal entry, and a bound on
// the memory a wrong file can take.
inline constexpr std::size_t kLongestLine = std::size_t{1} << 20;

// Bytes that are not text; what() is the reason, e.g. "it holds NUL bytes at line 3". The caller names
// the file.
class NotTextError : public Error {
public:
    using Error::Error;
};

// Decodes file bytes to UTF-8. UTF-16 (little or big endian) is recognised by its byte-order mark, as
// Windows saves "Unicode text"; otherwise a leading UTF-8 byte-order mark is skipped and bytes that are
// not valid UTF-8 are taken as Windows-1252, so files from older Windows installations still load. A
// Ctrl-Z (as DOS ended its files) ends the text: what follows is not looked at.
// Throws NotTextError for NUL bytes or other control characters (tab, line and page breaks aside), a
// line longer than kLongestLine, or UTF-16 that breaks off in the middle of a character.
std::string decodeText(std::string_view bytes);

// Reads a file and decodes it as decodeText does, refusing it as soon as the fault is met: a file that
// is one endless line is refused after its first MiB, whatever its size. Returns 0, or the errno of the
// failure (EISDIR for a folder, ENODEV for anything else that is not a regular file). Throws
// NotTextError, and Stopped when a stop is requested while it reads.
int readTextFileOrErrno(const std::string& path, std::string& text);

// The same, throwing Error("<what> \"<full path>\". <system reason>") when it cannot be read and
// Error("The file \"<full path>\" is not a text file: <reason>.") for bytes that are not text.
std::string readTextFile(const std::string& path, std::string_view what = "Cannot open file");

// Reads a whole file. Throws Error("<what> \"<full path>\". <system reason>") on failure, e.g.
// what = "Cannot open file"; a relative path is shown made absolute. A folder is not a file.
std::string readWholeFile(const std::string& path, std::string_view what = "Cannot open file");

// Reads a whole file into bytes; returns 0, or the errno of the failure (EISDIR for a folder, ENODEV
// for anything else that is not a regular file). Callers name such a source with nonRegularFileKind first.
int readWholeFileOrErrno(const std::string& path, std::string& bytes);

// Replaces path atomically through a StagedFile: any failure leaves the previous file whole and no
// temporary file behind. A file that cannot be created or put in place throws
// Error("Cannot create file \"<path>\". <reason>"); a write or flush that fails part-way throws
// Error(kStreamWriteError).
void replaceFileAtomically(const std::string& path, std::string_view bytes,
                           const FileSink& sink = systemFileSink());

}  // namespace lumaref
