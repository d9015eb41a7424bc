#pragma once

#include <cstddef>
#include <string>

namespace lumaref {

// What the first page of an Access file says about it.
struct AccessHeader {
    bool jet3 = false;         // Jet 3 (Access 97 and older); otherwise Jet 4 or ACE
    std::size_t pageSize = 0;  // 2048 for Jet 3, 4096 otherwise
    std::size_t fileSize = 0;
};

// Reads and checks the header of `path` before libmdb sees the file: missing or unreadable files,
// files that are not Access databases and files cut short are refused with an Error naming the file.
// libmdb itself reads past the end of a damaged file or stops the process on some of them.
AccessHeader checkAccessFile(const std::string& path);

}  // namespace lumaref
