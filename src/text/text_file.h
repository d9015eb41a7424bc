#pragma once

#include <string>
#include <string_view>

#include "text/staged_file.h"

namespace lumaref {

// Decodes file bytes to UTF-8: a leading UTF-8 byte-order mark is skipped; bytes that are not valid
// UTF-8 are taken as Windows-1252, so files from older Windows installations still load.
std::string decodeText(std::string_view bytes);

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
