#include "bench_state.h"

#include <stdexcept>

#include "bench_data.h"
#include "db/declared_type.h"
#include "db/stored_values.h"
#include "text/ascii.h"
#include "text/value_text.h"

namespace lumaref::bench {

std::string connectionStringFor(const std::string& dbPath) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dbPath + ";Persist Security Info=False;";
}

BenchState::BenchState(std::uint64_t journals) : journals_(journals), dbPath_(databasePathFor(journals)) {
    connection_ = std::make_unique<Connection>(connectionStringFor(dbPath_));
    connection_->open();
    journalSet_ = std::make_unique<RecordSet>("ADOQuery1", *connection_, "journals");
    journalSet_->open();
    journalSet_->setFiltered(true);
    if (sqlite3_open_v2(dbPath_.c_str(), &sqlite_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        throw std::runtime_error("cannot open " + dbPath_ + ": " + sqlite3_errmsg(sqlite_));
    }
}

BenchState::~BenchState() { sqlite3_close(sqlite_); }

const Table& BenchState::table() {
    if (!table_) {
        auto table = std::make_unique<Table>();
        SqliteQuery select(sqlite_, "SELECT * FROM journals");
        const int columns = sqlite3_column_count(select.get());
        for (int i = 0; i < columns; ++i) {
            const char* declared = sqlite3_column_decltype(select.get(), i);
            table->columns.emplace_back(fieldFromDeclaredType(sqlite3_column_name(select.get(), i),
                                                              declared != nullptr ? declared : ""));
        }
        while (sqlite3_step(select.get()) == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i) appendStoredValue(table->columns[i], select.get(), i);
        }
        table_ = std::move(table);
    }
    return *table_;
}

const std::string& BenchState::lowerCaseTitles() {
    if (!titles_) {
        auto titles = std::make_unique<std::string>();
        SqliteQuery select(sqlite_, "SELECT Title FROM journals");
        while (sqlite3_step(select.get()) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select.get(), 0));
            for (const char* p = text; p != nullptr && *p != '\0'; ++p) {
                titles->push_back(lowerAscii(*p));
            }
            titles->push_back('\n');
        }
        titles_ = std::move(titles);
    }
    return *titles_;
}

BenchState& stateFor(std::uint64_t journals) {
    static std::unique_ptr<BenchState> current;
    if (!current || current->journals() != journals) {
        current.reset();
        current = std::make_unique<BenchState>(journals);
    }
    return *current;
}

SqliteQuery::SqliteQuery(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) {
        throw std::runtime_error(std::string("cannot prepare ") + sql + ": " + sqlite3_errmsg(db));
    }
}

SqliteQuery::~SqliteQuery() { sqlite3_finalize(statement_); }

void SqliteQuery::bind(int index, std::string_view text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::int64_t SqliteQuery::countRows() {
    std::int64_t rows = 0;
    while (sqlite3_step(statement_) == SQLITE_ROW) {
        sqlite3_column_int64(statement_, 0);
        ++rows;
    }
    sqlite3_reset(statement_);
    return rows;
}

}  // namespace lumaref::bench
