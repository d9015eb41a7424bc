#include "text/non_regular_file.h"

#include <sys/stat.h>

namespace lumaref {

std::string nonRegularFileKind(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    if (S_ISFIFO(info.st_mode)) return "a named pipe (FIFO)";
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "a device";
    if (S_ISSOCK(info.st_mode)) return "a socket";
    return {};
}

}  // namespace lumaref
