#include "convert/access_header.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

#include "text/error.h"
#include "text/non_regular_file.h"

namespace fs = std::filesystem;

namespace lumaref {

namespace {

constexpr std::size_t kSignatureOffset = 4;
constexpr std::size_t kVersionOffset = 0x14;
// libmdb reads the table catalogue from the third page on; a file shorter than that holds no tables.
constexpr std::size_t kMinimumPages = 3;

}  // namespace

AccessHeader checkAccessFile(const std::string& path) {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (!fs::exists(status)) throw Error("Cannot find the Access file '" + path + "'.");
    if (fs::is_directory(status)) throw Error("'" + path + "' is a folder, not an Access file.");
    if (const std::string kind = nonRegularFileKind(path); !kind.empty()) {
        throw Error("'" + path + "' is " + kind + ", not an Access file.");
    }

    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    const std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        throw Error("Cannot read the Access file '" + path + "': " + std::generic_category().message(errno) +
                    ".");
    }
    char header[kVersionOffset + 1] = {};
    const std::size_t got = std::fread(header, 1, sizeof header, file.get());
    const std::string_view text(header, got);
    const bool signed_ = got == sizeof header && (text.substr(kSignatureOffset, 15) == "Standard Jet DB" ||
                                                  text.substr(kSignatureOffset, 15) == "Standard ACE DB");
    if (got == 0) throw Error("'" + path + "' is empty, not an Access database.");
    if (!signed_) {
        const bool sqlite = text.substr(0, 15) == "SQLite format 3";
        throw Error("'" + path + "' is not an Access database" +
                    (sqlite ? " (it is already an SQLite database)." : "."));
    }

    AccessHeader result;
    result.jet3 = header[kVersionOffset] == 0;
    result.pageSize = result.jet3 ? 2048 : 4096;
    std::fseek(file.get(), 0, SEEK_END);
    const long size = std::ftell(file.get());
    result.fileSize = size < 0 ? 0 : static_cast<std::size_t>(size);
    if (result.fileSize < kMinimumPages * result.pageSize) {
        throw Error("The Access file '" + path + "' is damaged or incomplete: at " +
                    std::to_string(result.fileSize) + " bytes it is shorter than the " +
                    std::to_string(kMinimumPages) + " pages every Access database has.");
    }
    if (result.fileSize % result.pageSize != 0) {
        throw Error("The Access file '" + path + "' is damaged or incomplete: its size (" +
                    std::to_string(result.fileSize) + " bytes) is not a whole number of " +
                    std::to_string(result.pageSize) + "-byte pages.");
    }
    return result;
}

}  // namespace lumaref
