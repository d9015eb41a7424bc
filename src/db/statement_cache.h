#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;

namespace lumaref {

class Statement;

// Prepared statements kept by the shape of the post they serve: a batch job posts the same shape for
// every row and compiles it once.
class StatementCache {
public:
    explicit StatementCache(sqlite3* db);
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The statement kept under `key`, or null.
    Statement* find(const std::string& key);
    // Prepares `sql` and keeps it under `key`; throws SqliteError and keeps nothing when it does not
    // compile. A full cache is emptied first, which ends every statement find() returned before.
    Statement& keep(const std::string& key, std::string_view sql);

private:
    sqlite3* db_;
    std::unordered_map<std::string, std::unique_ptr<Statement>> kept_;
};

}  // namespace lumaref
