#include "data/record_set.h"

#include <algorithm>
#include <cctype>

#include "data/connection.h"
#include "data/sqlite_statement.h"
#include "data/value_text.h"

namespace lumaref {

namespace {

constexpr sqlite3_int64 kMaxReservedRows = 50'000'000;

// The table of "select * from <table>": the only query form the program opens.
std::string tableOfQuery(std::string_view sql) {
    auto skipBlanks = [&](std::size_t& pos) {
        while (pos < sql.size() && std::isspace(static_cast<unsigned char>(sql[pos]))) ++pos;
    };
    auto keyword = [&](std::size_t& pos, std::string_view word) {
        skipBlanks(pos);
        if (sql.size() - pos < word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(sql[pos + i])) != word[i]) return false;
        }
        pos += word.size();
        return true;
    };
    std::size_t pos = 0;
    if (!keyword(pos, "select") || !keyword(pos, "*") || !keyword(pos, "from")) return {};
    skipBlanks(pos);
    std::string name;
    if (pos < sql.size() && (sql[pos] == '[' || sql[pos] == '"' || sql[pos] == '`')) {
        const char close = sql[pos] == '[' ? ']' : sql[pos];
        const auto end = sql.find(close, pos + 1);
        if (end == std::string_view::npos) return {};
        name = std::string(sql.substr(pos + 1, end - pos - 1));
        pos = end + 1;
    } else {
        while (pos < sql.size() && !std::isspace(static_cast<unsigned char>(sql[pos])) && sql[pos] != ';') {
            name += sql[pos++];
        }
    }
    skipBlanks(pos);
    if (pos < sql.size() && sql[pos] == ';') ++pos;
    skipBlanks(pos);
    return pos == sql.size() ? name : std::string();
}

// Leaves a kept statement ready for its next use, however the use ended.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* statement) : statement_(statement) {}
    ~StatementUse() {
        if (statement_ == nullptr) return;
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    sqlite3_stmt* statement_;
};

// A master list leaves different fields out of different entries: room for every combination a long
// import meets, bounded all the same.
constexpr std::size_t kKeptStatements = 1024;

}  // namespace

RecordSet::RecordSet(std::string name, Connection& connection, std::string sql)
    : name_(std::move(name)), connection_(connection), sql_(std::move(sql)) {}

RecordSet::~RecordSet() = default;

Error RecordSet::error(const std::string& text) const { return Error(name_ + ": " + text); }

void RecordSet::requireActive() const {
    if (state_ == State::Inactive) throw error("Cannot perform this operation on a closed dataset");
}

void RecordSet::Open() {
    if (Active()) return;
    if (!connection_.Connected()) connection_.Open();
    tableName_ = tableOfQuery(sql_);
    if (tableName_.empty()) {
        throw Error("Lumaref opens only queries of the form \"select * from <table>\", not \"" + sql_ +
                    "\".");
    }
    sqlite3* db = connection_.handle();
    Statement select(db, "SELECT rowid, * FROM " + quoteIdentifier(tableName_));
    if (!select.ok()) {
        const std::string message = sqlite3_errmsg(db);
        if (message.rfind("no such table", 0) == 0) {
            throw Error("Cannot find the input table or query '" + tableName_ +
                        "'. Make sure it exists and that its name is spelled correctly.");
        }
        throw Error(providerMessage(db, select.status()));
    }

    Table table;
    const int columnCount = sqlite3_column_count(select.get());
    std::vector<bool> storesText;
    for (int i = 1; i < columnCount; ++i) {
        const char* declared = sqlite3_column_decltype(select.get(), i);
        table.columns.emplace_back(
            fieldFromDeclaredType(sqlite3_column_name(select.get(), i), declared != nullptr ? declared : ""));
        storesText.push_back(table.columns.back().kind() == FieldKind::Text &&
                             hasTextAffinity(declared != nullptr ? declared : ""));
    }
    // Rows are never deleted, so the largest rowid is a close guess of the row count; the text
    // sizes are guessed from the first rows. Both spare the copies of growing a million-row load.
    std::size_t expectedRows = 0;
    {
        Statement last(db, "SELECT max(rowid) FROM " + quoteIdentifier(tableName_));
        if (last.ok() && sqlite3_step(last.get()) == SQLITE_ROW) {
            expectedRows = static_cast<std::size_t>(
                std::clamp<sqlite3_int64>(sqlite3_column_int64(last.get(), 0), 0, kMaxReservedRows));
        }
    }
    for (auto& column : table.columns) column.reserve(expectedRows, 0);
    std::vector<std::int64_t> rowIds;
    rowIds.reserve(expectedRows);
    constexpr std::size_t kSampleRows = 1024;
    int status = SQLITE_OK;
    while ((status = sqlite3_step(select.get())) == SQLITE_ROW) {
        if (rowIds.size() == kSampleRows && expectedRows > 2 * kSampleRows) {
            for (auto& column : table.columns) {
                const double perRow = static_cast<double>(column.textBytes()) / kSampleRows;
                column.reserve(expectedRows,
                               static_cast<std::size_t>(perRow * 1.05 * static_cast<double>(expectedRows)));
            }
        }
        rowIds.push_back(sqlite3_column_int64(select.get(), 0));
        for (int i = 1; i < columnCount; ++i) {
            const auto field = static_cast<std::size_t>(i - 1);
            if (storesText[field]) {
                appendStoredText(table.columns[field], select.get(), i);
            } else {
                appendStoredValue(table.columns[field], select.get(), i);
            }
        }
    }
    if (status != SQLITE_DONE) throw Error(providerMessage(db, status));
    for (auto& column : table.columns) column.shrinkToFit();
    rowIds.shrink_to_fit();

    table_ = std::move(table);
    rowIds_ = std::move(rowIds);
    visible_.clear();
    allVisible_ = true;
    pending_.assign(table_.columns.size(), std::nullopt);
    pendingChanged_ = false;
    state_ = State::Browse;
    if (filtered_ && !filterText_.empty()) {
        try {
            applyFilter(filterText_, true);
        } catch (...) {
            filtered_ = false;
            throw;
        }
    }
    if (listener_ != nullptr) listener_->rowsReset();
    moveTo(RecordCount() > 0 ? 0 : -1);
    eof_ = RecordCount() == 0;
    bof_ = true;
}

void RecordSet::Close() {
    if (!Active()) return;
    state_ = State::Inactive;
    statements_.clear();
    readBack_.reset();
    begin_.reset();
    commit_.reset();
    table_ = Table();
    rowIds_.clear();
    visible_.clear();
    position_ = -1;
    if (listener_ != nullptr) listener_->rowsReset();
}

int RecordSet::RecordCount() const {
    requireActive();
    return static_cast<int>(allVisible_ ? rowIds_.size() : visible_.size());
}

int RecordSet::currentPosition() const { return Active() && state_ != State::Insert ? position_ : -1; }

int RecordSet::RecNo() const {
    requireActive();
    if (state_ == State::Insert || position_ < 0) return -1;
    return position_ + 1;
}

bool RecordSet::Eof() const { return !Active() || eof_; }
bool RecordSet::Bof() const { return !Active() || bof_; }

void RecordSet::moveTo(int position) {
    position_ = position;
    if (listener_ != nullptr) listener_->cursorMoved(position_);
}

void RecordSet::First() {
    requireActive();
    complete();
    moveTo(RecordCount() > 0 ? 0 : -1);
    bof_ = true;
    eof_ = RecordCount() == 0;
}

void RecordSet::Next() {
    requireActive();
    complete();
    const int count = RecordCount();
    bof_ = false;
    if (position_ + 1 < count) {
        moveTo(position_ + 1);
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void RecordSet::Prior() {
    requireActive();
    complete();
    eof_ = false;
    if (position_ > 0) {
        moveTo(position_ - 1);
        bof_ = false;
    } else {
        bof_ = true;
    }
}

void RecordSet::Last() {
    requireActive();
    complete();
    const int count = RecordCount();
    moveTo(count > 0 ? count - 1 : -1);
    eof_ = true;
    bof_ = count == 0;
}

void RecordSet::SetRecNo(int recNo) {
    requireActive();
    complete();
    if (recNo < 1 || recNo > RecordCount()) return;
    moveTo(recNo - 1);
    eof_ = false;
    bof_ = false;
}

int RecordSet::FieldCount() const {
    requireActive();
    return static_cast<int>(table_.columns.size());
}

const FieldInfo& RecordSet::Field(int index) const {
    requireActive();
    if (index < 0 || index >= FieldCount()) throw error("Field index out of range");
    return table_.columns[static_cast<std::size_t>(index)].info();
}

int RecordSet::fieldIndex(std::string_view name) const {
    requireActive();
    const int index = table_.findColumn(name);
    if (index < 0) throw error("Field '" + std::string(name) + "' not found");
    return index;
}

std::string RecordSet::FieldAsString(std::string_view name) const { return FieldAsString(fieldIndex(name)); }

std::string RecordSet::FieldAsString(int index) const {
    Field(index);
    const auto field = static_cast<std::size_t>(index);
    if ((state_ == State::Edit || state_ == State::Insert) && pending_[field]) {
        return pending_[field]->value_or(std::string());
    }
    if (state_ == State::Insert || position_ < 0) return {};
    return std::string(valueAt(position_, index));
}

void RecordSet::SetFieldAsString(std::string_view name, std::string_view value) {
    SetFieldAsString(fieldIndex(name), value);
}

void RecordSet::SetFieldAsString(int index, std::string_view value) {
    const FieldInfo& field = Field(index);
    if (state_ != State::Edit && state_ != State::Insert) throw error("Dataset not in edit or insert mode");
    pending_[static_cast<std::size_t>(index)] = acceptedValue(field, value);
    pendingChanged_ = true;
}

void RecordSet::Edit() {
    requireActive();
    if (state_ == State::Edit || state_ == State::Insert) return;
    if (position_ < 0) throw error("Cannot edit: there is no current record");
    pending_.assign(table_.columns.size(), std::nullopt);
    pendingChanged_ = false;
    state_ = State::Edit;
}

void RecordSet::Append() {
    requireActive();
    complete();
    pending_.assign(table_.columns.size(), std::nullopt);
    pendingChanged_ = false;
    state_ = State::Insert;
    eof_ = true;
    if (listener_ != nullptr) listener_->cursorMoved(-1);
}

void RecordSet::Post() {
    requireActive();
    if (state_ != State::Edit && state_ != State::Insert) throw error("Dataset not in edit or insert mode");
    writeRow();
}

void RecordSet::Cancel() {
    if (state_ != State::Edit && state_ != State::Insert) return;
    const bool wasInsert = state_ == State::Insert;
    pending_.assign(table_.columns.size(), std::nullopt);
    pendingChanged_ = false;
    state_ = State::Browse;
    if (wasInsert) {
        if (position_ >= RecordCount()) position_ = RecordCount() - 1;
        moveTo(position_);
    }
}

void RecordSet::complete() {
    if (state_ != State::Edit && state_ != State::Insert) return;
    if (pendingChanged_) {
        writeRow();
    } else {
        Cancel();
    }
}

void RecordSet::writeRow() {
    sqlite3* db = connection_.handle();
    const std::string table = quoteIdentifier(tableName_);
    std::vector<std::size_t> assigned;
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        if (pending_[i]) assigned.push_back(i);
    }

    if (state_ == State::Insert) {
        insertRow(assigned);
        return;
    }

    // Edit: only the assigned fields are written, and only if they still hold what was read.
    if (assigned.empty()) {
        Cancel();
        return;
    }
    const std::size_t row = visibleRow(position_);
    // An update is known by the fields it writes; its text is built only the first time.
    std::string key = "UPDATE";
    for (const std::size_t i : assigned) key += ' ' + std::to_string(i);
    sqlite3_stmt* update = prepared(key, [&] {
        std::string sets;
        std::string checks;
        for (const std::size_t i : assigned) {
            const std::string name = quoteIdentifier(table_.columns[i].info().name);
            sets += (sets.empty() ? "" : ", ") + name + " = ?";
            checks += " AND " + name + " IS ?";
        }
        return "UPDATE " + table + " SET " + sets + " WHERE rowid = ?" + checks;
    });
    {
        const StatementUse use(update);
        int bindIndex = 1;
        for (const std::size_t i : assigned)
            bindValue(update, bindIndex++, table_.columns[i].info(), *pending_[i]);
        sqlite3_bind_int64(update, bindIndex++, rowIds_[row]);
        for (const std::size_t i : assigned) {
            const Column& column = table_.columns[i];
            bindValue(update, bindIndex++, column.info(),
                      column.isNull(row) ? std::nullopt : std::optional<std::string_view>(column.text(row)));
        }
        const int status = sqlite3_step(update);
        if (status != SQLITE_DONE) throw Error(providerMessage(db, status));
        if (sqlite3_changes(db) == 0) {
            throw Error(
                "Row cannot be located for updating. Some values may have been changed since it was last "
                "read.");
        }
    }
    for (const std::size_t i : assigned) {
        const auto& value = *pending_[i];
        table_.columns[i].set(row, value ? std::optional<std::string_view>(*value) : std::nullopt);
    }
    ++dataVersion_;
    pending_.assign(table_.columns.size(), std::nullopt);
    pendingChanged_ = false;
    state_ = State::Browse;
    if (listener_ != nullptr) listener_->rowChanged(position_);
}

sqlite3_stmt* RecordSet::prepared(const std::string& key, const std::function<std::string()>& sql) {
    sqlite3* db = connection_.handle();
    if (statementsDb_ != db) {
        // A reconnected handle compiles everything again.
        readBack_.reset();
        begin_.reset();
        commit_.reset();
        statementsDb_ = db;
        statements_.clear();
    } else if (statements_.size() >= kKeptStatements) {
        statements_.clear();
    }
    auto& kept = statements_[key];
    if (!kept) {
        auto statement = std::make_unique<Statement>(db, sql());
        if (!statement->ok()) {
            statements_.erase(key);
            throw Error(providerMessage(db, statement->status()));
        }
        kept = std::move(statement);
    }
    return kept->get();
}

sqlite3_stmt* RecordSet::prepared(const std::string& key, const std::string& sql) {
    return prepared(key, [&sql] { return sql; });
}

namespace {

// Steps a cached statement that returns no rows; its status.
int runCached(std::unique_ptr<Statement>& statement, sqlite3* db, const char* sql) {
    if (!statement) {
        auto prepared = std::make_unique<Statement>(db, sql);
        if (!prepared->ok()) return prepared->status();
        statement = std::move(prepared);
    }
    const StatementUse reset(statement->get());
    return sqlite3_step(statement->get());
}

}  // namespace

// The insert, and the read-back that shows the stored row with its database defaults, share one
// transaction: still one commit per row, but one read transaction instead of two. The row is taken
// into the snapshot only once the commit has succeeded.
void RecordSet::insertRow(const std::vector<std::size_t>& assigned) {
    // An append is known by the fields it assigns; its text is built only the first time.
    std::string key = "INSERT";
    for (const std::size_t i : assigned) key += ' ' + std::to_string(i);
    sqlite3_stmt* insert = prepared(key, [&] {
        std::string sql = "INSERT INTO " + quoteIdentifier(tableName_);
        if (assigned.empty()) return sql + " DEFAULT VALUES";
        std::string names;
        std::string marks;
        for (const std::size_t i : assigned) {
            names += (names.empty() ? "" : ", ") + quoteIdentifier(table_.columns[i].info().name);
            marks += marks.empty() ? "?" : ", ?";
        }
        return sql + " (" + names + ") VALUES (" + marks + ")";
    });
    sqlite3* db = connection_.handle();
    if (!readBack_) {
        auto statement = std::make_unique<Statement>(
            db, "SELECT * FROM " + quoteIdentifier(tableName_) + " WHERE rowid = ?");
        if (statement->ok()) readBack_ = std::move(statement);
    }
    // Inside a transaction someone else began, the insert simply joins it.
    const bool ownTransaction = sqlite3_get_autocommit(db) != 0;
    auto fail = [&](int status) {
        const Error failure(providerMessage(db, status));
        if (ownTransaction && sqlite3_get_autocommit(db) == 0)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw failure;
    };
    if (ownTransaction) {
        if (const int status = runCached(begin_, db, "BEGIN"); status != SQLITE_DONE) fail(status);
    }

    std::int64_t rowId = 0;
    {
        const StatementUse reset(insert);
        int bindIndex = 1;
        for (const std::size_t i : assigned)
            bindValue(insert, bindIndex++, table_.columns[i].info(), *pending_[i]);
        const int status = sqlite3_step(insert);
        if (status != SQLITE_DONE) fail(status);
        rowId = sqlite3_last_insert_rowid(db);
    }

    // The read-back stays on its row through the commit; a pending read does not hold a commit up.
    sqlite3_stmt* select = readBack_ ? readBack_->get() : nullptr;
    const StatementUse resetSelect(select);
    bool readOk = false;
    if (select != nullptr) {
        sqlite3_bind_int64(select, 1, rowId);
        readOk = sqlite3_step(select) == SQLITE_ROW &&
                 sqlite3_column_count(select) == static_cast<int>(table_.columns.size());
    }
    if (ownTransaction) {
        if (const int status = runCached(commit_, db, "COMMIT"); status != SQLITE_DONE) {
            if (select != nullptr) sqlite3_reset(select);
            fail(status);
        }
    }
    if (readOk) {
        for (std::size_t i = 0; i < table_.columns.size(); ++i)
            appendStoredValue(table_.columns[i], select, static_cast<int>(i));
    } else {
        // No read-back: show what was written.
        for (std::size_t i = 0; i < table_.columns.size(); ++i) {
            Column& column = table_.columns[i];
            const auto& value = pending_[i] ? *pending_[i] : std::optional<std::string>();
            if (!value) {
                column.appendNull();
            } else if (column.kind() == FieldKind::Boolean) {
                column.appendBool(*value == "True");
            } else {
                column.appendText(*value);
            }
        }
    }
    const auto row = static_cast<std::uint32_t>(rowIds_.size());
    rowIds_.push_back(rowId);
    if (!allVisible_) visible_.push_back(row);
    ++dataVersion_;
    pending_.assign(table_.columns.size(), std::nullopt);
    pendingChanged_ = false;
    state_ = State::Browse;
    const int position = RecordCount() - 1;
    if (listener_ != nullptr) listener_->rowAppended(position);
    moveTo(position);
    eof_ = false;
    bof_ = false;
}

std::size_t RecordSet::visibleRow(int position) const {
    return allVisible_ ? static_cast<std::size_t>(position) : visible_[static_cast<std::size_t>(position)];
}

std::string_view RecordSet::valueAt(int position, int field) const {
    if (!Active() || position < 0 || position >= RecordCount() || field < 0 ||
        field >= static_cast<int>(table_.columns.size())) {
        return {};
    }
    return table_.columns[static_cast<std::size_t>(field)].text(visibleRow(position));
}

void RecordSet::SetFilter(std::string text) {
    if (!Active() || !filtered_) {
        filterText_ = std::move(text);
        return;
    }
    complete();
    applyFilter(text, true);
    filterText_ = std::move(text);
    if (listener_ != nullptr) listener_->rowsReset();
    First();
}

void RecordSet::SetFiltered(bool on) {
    if (!Active()) {
        filtered_ = on;
        return;
    }
    complete();
    if (on == filtered_) return;
    applyFilter(filterText_, on);
    filtered_ = on;
    if (listener_ != nullptr) listener_->rowsReset();
    First();
}

// Evaluates first and commits after, so a rejected text leaves the rows, text and flag as they were.
void RecordSet::applyFilter(const std::string& text, bool on) {
    if (!on) {
        allVisible_ = true;
        visible_.clear();
        return;
    }
    for (const auto& cached : filterCache_) {
        if (cached.version == dataVersion_ && cached.text == text) {
            allVisible_ = cached.all;
            visible_ = cached.rows;
            return;
        }
    }
    CompiledFilter compiled = CompiledFilter::compile(text, table_);
    std::vector<std::uint32_t> rows;
    const bool all = compiled.matchesAll();
    if (!all) compiled.evaluate(table_, rows);
    // The search handler re-applies the selection filter on every keystroke: remember the last few.
    if (filterCache_.size() >= 4) filterCache_.erase(filterCache_.begin());
    filterCache_.push_back({text, dataVersion_, all, rows});
    allVisible_ = all;
    visible_ = std::move(rows);
}

std::size_t RecordSet::memoryBytes() const {
    std::size_t bytes = sizeof(*this) + rowIds_.capacity() * sizeof(std::int64_t) +
                        visible_.capacity() * sizeof(std::uint32_t);
    for (const auto& column : table_.columns) bytes += column.memoryBytes();
    for (const auto& cached : filterCache_)
        bytes += cached.rows.capacity() * sizeof(std::uint32_t) + cached.text.size();
    return bytes;
}

}  // namespace lumaref
