#include "db/statement_cache.h"

#include "db/statement.h"

namespace lumaref {

namespace {

// A master list leaves different fields out of different entries: room for every combination a long
// import meets, bounded all the same.
constexpr std::size_t kKeptStatements = 1024;

}  // namespace

StatementCache::StatementCache(sqlite3* db) : db_(db) {}

StatementCache::~StatementCache() = default;

Statement* StatementCache::find(const std::string& key) {
    const auto kept = kept_.find(key);
    return kept != kept_.end() ? kept->second.get() : nullptr;
}

Statement& StatementCache::keep(const std::string& key, std::string_view sql) {
    auto statement = std::make_unique<Statement>(db_, sql);
    if (kept_.size() >= kKeptStatements) kept_.clear();
    return *(kept_[key] = std::move(statement));
}

}  // namespace lumaref
