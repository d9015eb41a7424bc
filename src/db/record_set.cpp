#include "db/record_set.h"

#include <sqlite3.h>

#include <algorithm>

#include "db/connection.h"
#include "db/declared_type.h"
#include "db/statement.h"
#include "db/stored_values.h"
#include "text/value_text.h"

namespace lumaref {

namespace {

constexpr sqlite3_int64 kMaxReservedRows = 50'000'000;

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

RecordSet::RecordSet(std::string name, Connection& connection, std::string table)
    : name_(std::move(name)), connection_(connection), tableName_(std::move(table)) {}

RecordSet::~RecordSet() = default;

Error RecordSet::error(const std::string& text) const { return Error(name_ + ": " + text); }

void RecordSet::requireActive() const {
    if (state_ == State::Inactive) throw error("Cannot perform this operation on a closed dataset");
}

void RecordSet::open() {
    if (active()) return;
    if (!connection_.connected()) connection_.open();
    sqlite3* db = connection_.handle();
    std::unique_ptr<Statement> prepared;
    try {
        prepared = std::make_unique<Statement>(db, "SELECT rowid, * FROM " + quoteIdentifier(tableName_));
    } catch (const SqliteError& failure) {
        if (failure.sqliteText().rfind("no such table", 0) == 0) {
            throw Error("Cannot find the input table or query '" + tableName_ +
                        "'. Make sure it exists and that its name is spelled correctly.");
        }
        throw;
    }
    Statement& select = *prepared;

    Table table;
    const int columnCount = sqlite3_column_count(select.handle());
    std::vector<bool> storesText;
    for (int i = 1; i < columnCount; ++i) {
        const char* declared = sqlite3_column_decltype(select.handle(), i);
        table.columns.emplace_back(fieldFromDeclaredType(sqlite3_column_name(select.handle(), i),
                                                         declared != nullptr ? declared : ""));
        storesText.push_back(table.columns.back().kind() == FieldKind::Text &&
                             hasTextAffinity(declared != nullptr ? declared : ""));
    }
    // Rows are never deleted, so the largest rowid is a close guess of the row count; the text
    // sizes are guessed from the first rows. Both spare the copies of growing a million-row load.
    std::size_t expectedRows = 0;
    {
        Statement last(db, "SELECT max(rowid) FROM " + quoteIdentifier(tableName_));
        if (sqlite3_step(last.handle()) == SQLITE_ROW) {
            expectedRows = static_cast<std::size_t>(
                std::clamp<sqlite3_int64>(sqlite3_column_int64(last.handle(), 0), 0, kMaxReservedRows));
        }
    }
    for (auto& column : table.columns) column.reserve(expectedRows, 0);
    std::vector<std::int64_t> rowIds;
    rowIds.reserve(expectedRows);
    constexpr std::size_t kSampleRows = 1024;
    int status = SQLITE_OK;
    while ((status = sqlite3_step(select.handle())) == SQLITE_ROW) {
        if (rowIds.size() == kSampleRows && expectedRows > 2 * kSampleRows) {
            for (auto& column : table.columns) {
                const double perRow = static_cast<double>(column.textBytes()) / kSampleRows;
                column.reserve(expectedRows,
                               static_cast<std::size_t>(perRow * 1.05 * static_cast<double>(expectedRows)));
            }
        }
        rowIds.push_back(sqlite3_column_int64(select.handle(), 0));
        for (int i = 1; i < columnCount; ++i) {
            const auto column = static_cast<std::size_t>(i - 1);
            if (storesText[column]) {
                appendStoredText(table.columns[column], select.handle(), i);
            } else {
                appendStoredValue(table.columns[column], select.handle(), i);
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
    moveTo(recordCount() > 0 ? 0 : -1);
    eof_ = recordCount() == 0;
    bof_ = true;
}

void RecordSet::close() {
    if (!active()) return;
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

int RecordSet::recordCount() const {
    requireActive();
    return static_cast<int>(allVisible_ ? rowIds_.size() : visible_.size());
}

int RecordSet::currentPosition() const { return active() && state_ != State::Insert ? position_ : -1; }

int RecordSet::recNo() const {
    requireActive();
    if (state_ == State::Insert || position_ < 0) return -1;
    return position_ + 1;
}

bool RecordSet::eof() const { return !active() || eof_; }
bool RecordSet::bof() const { return !active() || bof_; }

void RecordSet::moveTo(int position) {
    position_ = position;
    if (listener_ != nullptr) listener_->cursorMoved(position_);
}

void RecordSet::first() {
    requireActive();
    complete();
    moveTo(recordCount() > 0 ? 0 : -1);
    bof_ = true;
    eof_ = recordCount() == 0;
}

void RecordSet::next() {
    requireActive();
    complete();
    const int count = recordCount();
    bof_ = false;
    if (position_ + 1 < count) {
        moveTo(position_ + 1);
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void RecordSet::prior() {
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

void RecordSet::last() {
    requireActive();
    complete();
    const int count = recordCount();
    moveTo(count > 0 ? count - 1 : -1);
    eof_ = true;
    bof_ = count == 0;
}

void RecordSet::setRecNo(int recNo) {
    requireActive();
    complete();
    if (recNo < 1 || recNo > recordCount()) return;
    moveTo(recNo - 1);
    eof_ = false;
    bof_ = false;
}

int RecordSet::fieldCount() const {
    requireActive();
    return static_cast<int>(table_.columns.size());
}

const FieldInfo& RecordSet::field(int index) const {
    requireActive();
    if (index < 0 || index >= fieldCount()) throw error("Field index out of range");
    return table_.columns[static_cast<std::size_t>(index)].info();
}

int RecordSet::fieldIndex(std::string_view name) const {
    requireActive();
    const int index = table_.findColumn(name);
    if (index < 0) throw error("Field '" + std::string(name) + "' not found");
    return index;
}

std::string RecordSet::fieldAsString(std::string_view name) const { return fieldAsString(fieldIndex(name)); }

std::string RecordSet::fieldAsString(int index) const {
    field(index);
    const auto slot = static_cast<std::size_t>(index);
    if ((state_ == State::Edit || state_ == State::Insert) && pending_[slot]) {
        return pending_[slot]->value_or(std::string());
    }
    if (state_ == State::Insert || position_ < 0) return {};
    return std::string(valueAt(position_, index));
}

void RecordSet::setFieldAsString(std::string_view name, std::string_view value) {
    setFieldAsString(fieldIndex(name), value);
}

void RecordSet::setFieldAsString(int index, std::string_view value) {
    const FieldInfo& info = field(index);
    if (state_ != State::Edit && state_ != State::Insert) throw error("Dataset not in edit or insert mode");
    pending_[static_cast<std::size_t>(index)] = acceptedValue(info, value);
    pendingChanged_ = true;
}

void RecordSet::edit() {
    requireActive();
    if (state_ == State::Edit || state_ == State::Insert) return;
    if (position_ < 0) throw error("Cannot edit: there is no current record");
    pending_.assign(table_.columns.size(), std::nullopt);
    pendingChanged_ = false;
    state_ = State::Edit;
}

void RecordSet::append() {
    requireActive();
    complete();
    pending_.assign(table_.columns.size(), std::nullopt);
    pendingChanged_ = false;
    state_ = State::Insert;
    eof_ = true;
    if (listener_ != nullptr) listener_->cursorMoved(-1);
}

void RecordSet::post() {
    requireActive();
    if (state_ != State::Edit && state_ != State::Insert) throw error("Dataset not in edit or insert mode");
    writeRow();
}

void RecordSet::cancel() {
    if (state_ != State::Edit && state_ != State::Insert) return;
    const bool wasInsert = state_ == State::Insert;
    pending_.assign(table_.columns.size(), std::nullopt);
    pendingChanged_ = false;
    state_ = State::Browse;
    if (wasInsert) {
        if (position_ >= recordCount()) position_ = recordCount() - 1;
        moveTo(position_);
    }
}

void RecordSet::complete() {
    if (state_ != State::Edit && state_ != State::Insert) return;
    if (pendingChanged_) {
        writeRow();
    } else {
        cancel();
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
        cancel();
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
        try {
            kept = std::make_unique<Statement>(db, sql());
        } catch (...) {
            statements_.erase(key);
            throw;
        }
    }
    return kept->handle();
}

sqlite3_stmt* RecordSet::prepared(const std::string& key, const std::string& sql) {
    return prepared(key, [&sql] { return sql; });
}

namespace {

// Steps a cached statement that returns no rows; its status.
int runCached(std::unique_ptr<Statement>& statement, sqlite3* db, const char* sql) {
    if (!statement) {
        try {
            statement = std::make_unique<Statement>(db, sql);
        } catch (const SqliteError& failure) {
            return failure.status();
        }
    }
    const StatementUse reset(statement->handle());
    return sqlite3_step(statement->handle());
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
        try {
            readBack_ = std::make_unique<Statement>(
                db, "SELECT * FROM " + quoteIdentifier(tableName_) + " WHERE rowid = ?");
        } catch (const SqliteError&) {
            // Without a read-back the row shows what was written.
        }
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
    sqlite3_stmt* select = readBack_ ? readBack_->handle() : nullptr;
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
    const int position = recordCount() - 1;
    if (listener_ != nullptr) listener_->rowAppended(position);
    moveTo(position);
    eof_ = false;
    bof_ = false;
}

std::size_t RecordSet::visibleRow(int position) const {
    return allVisible_ ? static_cast<std::size_t>(position) : visible_[static_cast<std::size_t>(position)];
}

std::string_view RecordSet::valueAt(int position, int field) const {
    if (!active() || position < 0 || position >= recordCount() || field < 0 ||
        field >= static_cast<int>(table_.columns.size())) {
        return {};
    }
    return table_.columns[static_cast<std::size_t>(field)].text(visibleRow(position));
}

void RecordSet::setFilter(std::string text) {
    if (!active() || !filtered_) {
        filterText_ = std::move(text);
        return;
    }
    complete();
    applyFilter(text, true);
    filterText_ = std::move(text);
    if (listener_ != nullptr) listener_->rowsReset();
    first();
}

void RecordSet::setFiltered(bool on) {
    if (!active()) {
        filtered_ = on;
        return;
    }
    complete();
    if (on == filtered_) return;
    applyFilter(filterText_, on);
    filtered_ = on;
    if (listener_ != nullptr) listener_->rowsReset();
    first();
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
