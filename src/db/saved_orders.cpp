#include "db/saved_orders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "filter/two_thread_scan.h"
#include "text/staged_file.h"
#include "text/text_fold.h"

namespace lumaref {

namespace {

constexpr std::array<char, 8> kMagic = {'L', 'U', 'M', 'A', 'O', 'R', 'D', '1'};
// Raised whenever the same texts could sort otherwise (the sort's rules) or the file's form changes.
constexpr std::uint64_t kRulesVersion = 1;
constexpr std::size_t kKeptFiles = 8;
constexpr std::size_t kBytesWorthTwoThreads = std::size_t{1} << 20;
constexpr const char* kExtension = ".order";

struct Header {
    std::array<char, 8> magic;
    std::uint64_t fingerprint;
    std::uint64_t rows;
    std::uint64_t filled;
};

std::uint64_t hashBytes(const void* data, std::size_t size) {
    return std::hash<std::string_view>{}(std::string_view(static_cast<const char*>(data), size));
}

std::uint64_t combine(std::uint64_t seed, std::uint64_t value) {
    const std::array<std::uint64_t, 2> both = {seed, value};
    return hashBytes(both.data(), sizeof both);
}

// Every text of the column in row order, through its bytes and where each cell ends (a column loaded
// in two parts, as two runs of each); nullopt for a column read through its edits or of yes/no cells,
// whose orders are not kept.
std::optional<std::uint64_t> fingerprintOf(const Column& column) {
    const Column::CellBytes cells = column.cellBytes();
    if (cells.bytes == nullptr) return std::nullopt;
    const std::size_t rows = column.size();
    const std::size_t headRows = std::min(rows, cells.tailRow);
    const std::size_t tailRows = rows - headRows;
    const std::string_view head(cells.bytes, cells.ends[headRows]);
    const std::string_view tail =
        tailRows > 0 ? std::string_view(cells.tailBytes, cells.tailEnds[tailRows]) : std::string_view();
    // Two runs of about the same size, one on each thread: the two parts, or the halves of one.
    const std::size_t cut = tailRows > 0 ? head.size() : head.size() / 2;
    const std::string_view first = head.substr(0, cut);
    const std::string_view second = tailRows > 0 ? tail : head.substr(cut);
    std::uint64_t firstHash = 0;
    std::uint64_t secondHash = 0;
    const auto hashFirst = [&] { firstHash = hashBytes(first.data(), first.size()); };
    const auto hashSecond = [&] { secondHash = hashBytes(second.data(), second.size()); };
    if (head.size() + tail.size() < kBytesWorthTwoThreads) {
        hashFirst();
        hashSecond();
    } else {
        runOnTwoThreads(hashFirst, hashSecond);
    }
    const std::string_view tables = foldTablesVersion();
    std::uint64_t fingerprint = combine(kRulesVersion, hashBytes(tables.data(), tables.size()));
    for (const std::uint64_t value : {std::uint64_t{rows}, std::uint64_t{headRows}, firstHash, secondHash,
                                      hashBytes(cells.ends, (headRows + 1) * sizeof *cells.ends)})
        fingerprint = combine(fingerprint, value);
    if (tailRows > 0)
        fingerprint =
            combine(fingerprint, hashBytes(cells.tailEnds, (tailRows + 1) * sizeof *cells.tailEnds));
    return fingerprint;
}

// The header and both parts, so a file changed anywhere is told apart.
std::uint64_t checkOf(const Header& header, const std::vector<std::uint32_t>& ascending,
                      const std::vector<std::uint64_t>& starts) {
    std::uint64_t check = hashBytes(&header, sizeof header);
    check = combine(check, hashBytes(ascending.data(), ascending.size() * sizeof ascending[0]));
    return combine(check, hashBytes(starts.data(), starts.size() * sizeof starts[0]));
}

bool readAll(int fd, void* into, std::size_t size) {
    auto* at = static_cast<char*>(into);
    while (size > 0) {
        const ssize_t count = ::read(fd, at, size);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        at += count;
        size -= static_cast<std::size_t>(count);
    }
    return true;
}

class OpenFile {
public:
    explicit OpenFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~OpenFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

}  // namespace

SavedOrders::SavedOrders(std::string folder, std::size_t minimumRows)
    : folder_(std::move(folder)), minimumRows_(std::max<std::size_t>(minimumRows, 1)) {
    if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

ColumnOrder SavedOrders::orderOf(const Column& column) const {
    const std::optional<std::uint64_t> fingerprint =
        folder_.empty() || column.size() < minimumRows_ ? std::nullopt : fingerprintOf(column);
    if (!fingerprint) return ColumnOrder::build(column);
    if (std::optional<ColumnOrder> saved = readFile(*fingerprint, column.size())) return std::move(*saved);
    ColumnOrder order = ColumnOrder::build(column);
    saveFile(*fingerprint, order);
    return order;
}

std::optional<ColumnOrder> SavedOrders::read(const Column& column) const {
    if (folder_.empty() || column.size() < minimumRows_) return std::nullopt;
    const std::optional<std::uint64_t> fingerprint = fingerprintOf(column);
    return fingerprint ? readFile(*fingerprint, column.size()) : std::nullopt;
}

void SavedOrders::save(const Column& column, const ColumnOrder& order) const {
    if (folder_.empty() || column.size() < minimumRows_ || order.rows() != column.size()) return;
    if (const std::optional<std::uint64_t> fingerprint = fingerprintOf(column)) saveFile(*fingerprint, order);
}

std::optional<ColumnOrder> SavedOrders::readFile(std::uint64_t fingerprint, std::size_t rows) const {
    const OpenFile file(pathFor(fingerprint));
    if (file.fd() < 0) return std::nullopt;
    const std::size_t words = (rows + 63) / 64;
    const std::size_t size =
        sizeof(Header) + rows * sizeof(std::uint32_t) + words * sizeof(std::uint64_t) + sizeof(std::uint64_t);
    struct stat status {};
    if (::fstat(file.fd(), &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::size_t>(status.st_size) != size)
        return std::nullopt;
    Header header{};
    std::vector<std::uint32_t> ascending(rows);
    std::vector<std::uint64_t> starts(words);
    std::uint64_t check = 0;
    if (!readAll(file.fd(), &header, sizeof header) ||
        !readAll(file.fd(), ascending.data(), rows * sizeof(std::uint32_t)) ||
        !readAll(file.fd(), starts.data(), words * sizeof(std::uint64_t)) ||
        !readAll(file.fd(), &check, sizeof check))
        return std::nullopt;
    if (header.magic != kMagic || header.fingerprint != fingerprint || header.rows != rows ||
        check != checkOf(header, ascending, starts))
        return std::nullopt;
    return ColumnOrder::fromParts(std::move(ascending), std::move(starts), header.filled);
}

void SavedOrders::saveFile(std::uint64_t fingerprint, const ColumnOrder& order) const {
    Header header{};
    header.magic = kMagic;
    header.fingerprint = fingerprint;
    header.rows = order.rows();
    header.filled = order.filled();
    const std::uint64_t check = checkOf(header, order.ascending(), order.groupStarts());
    const auto bytesOf = [](const auto& values) {
        return std::string_view(reinterpret_cast<const char*>(values.data()),
                                values.size() * sizeof values[0]);
    };
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    try {
        StagedFile file(pathFor(fingerprint));
        file.write(std::string_view(reinterpret_cast<const char*>(&header), sizeof header));
        file.write(bytesOf(order.ascending()));
        file.write(bytesOf(order.groupStarts()));
        file.write(std::string_view(reinterpret_cast<const char*>(&check), sizeof check));
        file.commit();
    } catch (const StagedFileError&) {
        return;  // nothing kept: the next start sorts again
    }
    dropOldest();
}

std::string SavedOrders::pathFor(std::uint64_t fingerprint) const {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string name(16, '0');
    for (std::size_t i = 0; i < name.size(); ++i)
        name[name.size() - 1 - i] = kDigits[(fingerprint >> (4 * i)) & 0xF];
    return folder_ + name + kExtension;
}

void SavedOrders::dropOldest() const {
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<std::pair<fs::file_time_type, fs::path>> files;
    for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() != kExtension) continue;
        const fs::file_time_type written = it->last_write_time(error);
        if (!error) files.emplace_back(written, it->path());
    }
    if (files.size() <= kKeptFiles) return;
    std::sort(files.begin(), files.end());
    for (std::size_t i = 0; i + kKeptFiles < files.size(); ++i) fs::remove(files[i].second, error);
}

}  // namespace lumaref
