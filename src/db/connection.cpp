#include "db/connection.h"

#include <filesystem>
#include <fstream>

#include "db/connection_string.h"
#include "db/postgres_store.h"
#include "db/sqlite_store.h"
#include "text/error.h"

namespace fs = std::filesystem;

namespace lumaref {

namespace {

// Access databases carry their engine's name at byte 4 of the file.
bool isAccessFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char header[32] = {};
    in.read(header, sizeof header);
    const std::string_view text(header, static_cast<std::size_t>(in.gcount()));
    return text.size() >= 19 &&
           (text.substr(4, 15) == "Standard Jet DB" || text.substr(4, 15) == "Standard ACE DB");
}

}  // namespace

AccessDatabaseError::AccessDatabaseError(std::string path)
    : Error("The file '" + path + "' is a Microsoft Access database. Lumaref reads SQLite 3 databases."),
      path_(std::move(path)) {}

Connection::Connection(std::string connectionString, std::string name)
    : connectionString_(std::move(connectionString)),
      server_(isPostgresConnectionString(connectionString_)),
      name_(std::move(name)) {}

Connection::~Connection() { close(); }

void Connection::open() {
    if (store_ != nullptr) return;
    if (isServer()) {
        auto store = PostgresStore::open(connectionString_, busyTimeoutMs_);
        readOnly_ = store->readOnly();
        place_ = store->connection().database() + " on " + store->connection().server();
        store_ = std::move(store);
        return;
    }
    const auto pairs = parseConnectionString(connectionString_);
    const auto source = pairs.find("data source");
    if (source == pairs.end() || source->second.empty()) {
        throw Error("The connection string names no Data Source.");
    }
    std::error_code ec;
    fs::path path = fs::absolute(fs::path(source->second), ec).lexically_normal();
    path_ = path.string();
    if (!fs::exists(path, ec) || fs::is_directory(path, ec)) {
        throw Error("Could not find file '" + path_ + "'.");
    }
    if (isAccessFile(path_)) throw AccessDatabaseError(path_);

    // "Mode=Read" asks for a read-only connection, as ADO connection strings do.
    const auto mode = pairs.find("mode");
    const bool readOnlyMode = mode != pairs.end() && mode->second.find("Write") == std::string::npos &&
                              mode->second.find("Read") != std::string::npos;
    auto store = SqliteStore::open(path_, readOnlyMode, busyTimeoutMs_, keepJournal_);
    readOnly_ = store->readOnly();
    handle_ = store->handle();
    place_ = path_;
    store_ = std::move(store);
}

void Connection::close() {
    store_.reset();
    handle_ = nullptr;
}

Store& Connection::store() const {
    if (store_ == nullptr) throw Error("Operation is not allowed when the object is closed.");
    return *store_;
}

void Connection::setBusyTimeoutMs(int ms) {
    busyTimeoutMs_ = ms;
    if (store_ != nullptr) store_->setBusyTimeoutMs(ms);
}

}  // namespace lumaref
