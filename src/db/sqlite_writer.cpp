#include "db/sqlite_writer.h"

#include <sqlite3.h>

#include "db/statement.h"
#include "db/stored_values.h"

namespace lumaref {

namespace {

// Leaves a kept statement ready for its next use, however the use ended.
class ResetOnExit {
public:
    explicit ResetOnExit(Statement* statement) : statement_(statement) {}
    ~ResetOnExit() {
        if (statement_ != nullptr) statement_->reset();
    }
    ResetOnExit(const ResetOnExit&) = delete;
    ResetOnExit& operator=(const ResetOnExit&) = delete;

private:
    Statement* statement_;
};

void step(std::unique_ptr<Statement>& kept, sqlite3* db, const char* sql) {
    if (!kept) kept = std::make_unique<Statement>(db, sql);
    const ResetOnExit reset(kept.get());
    kept->step();
}

// A post's own transaction, begun only when none is open (inside one someone else began, the post
// joins it) and rolled back unless committed. Unlike Transaction it runs kept statements: a batch
// job posts one row after another and should not compile BEGIN and COMMIT for each.
class PostTransaction {
public:
    PostTransaction(sqlite3* db, std::unique_ptr<Statement>& begin, std::unique_ptr<Statement>& commit)
        : db_(db), commit_(commit), own_(!inTransaction(db)) {
        if (own_) step(begin, db_, "BEGIN");
    }
    ~PostTransaction() {
        // A failed COMMIT may already have ended the transaction; ROLLBACK then has nothing to do.
        if (own_ && inTransaction(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    PostTransaction(const PostTransaction&) = delete;
    PostTransaction& operator=(const PostTransaction&) = delete;

    void commit() {
        if (!own_) return;
        step(commit_, db_, "COMMIT");
        own_ = false;
    }

private:
    sqlite3* db_;
    std::unique_ptr<Statement>& commit_;
    bool own_;
};

// Quoted, so every key names one statement text.
void appendQuoted(std::string& out, std::string_view name) {
    out += '"';
    for (std::size_t quote = name.find('"'); quote != std::string_view::npos; quote = name.find('"')) {
        out.append(name.substr(0, quote + 1));
        out += '"';
        name.remove_prefix(quote + 1);
    }
    out.append(name);
    out += '"';
}

const FieldInfo& fieldOf(const Table& snapshot, std::size_t column) {
    return snapshot.columns[column].info();
}

}  // namespace

SqliteWriter::SqliteWriter(sqlite3* db) : db_(db), statements_(db) {}

SqliteWriter::~SqliteWriter() = default;

// Only the changed fields are written, and only if they still hold what was read: IS, so a null
// read matches a null still there.
Statement& SqliteWriter::updateStatement(const std::string& table, const Table& snapshot,
                                         std::span<const FieldChange> changes) {
    key_ = "UPDATE ";
    appendQuoted(key_, table);
    for (const auto& change : changes) appendQuoted(key_, fieldOf(snapshot, change.column).name);
    if (Statement* kept = statements_.find(key_)) return *kept;
    std::string sets;
    std::string checks;
    for (const auto& change : changes) {
        const std::string name = quoteIdentifier(fieldOf(snapshot, change.column).name);
        sets += (sets.empty() ? "" : ", ") + name + " = ?";
        checks += " AND " + name + " IS ?";
    }
    return statements_.keep(
        key_, "UPDATE " + quoteIdentifier(table) + " SET " + sets + " WHERE rowid = ?" + checks);
}

void SqliteWriter::update(const std::string& table, const Table& snapshot, RowKey key,
                          std::span<const FieldChange> changes) {
    Statement& update = updateStatement(table, snapshot, changes);
    const ResetOnExit reset(&update);
    int parameter = 1;
    for (const auto& change : changes)
        bindValue(update, parameter++, fieldOf(snapshot, change.column), change.value);
    update.bindInt64(parameter++, key);
    for (const auto& change : changes)
        bindValue(update, parameter++, fieldOf(snapshot, change.column), change.original);
    update.step();
    if (changedRows(db_) == 0) throw Error(kRowConflictMessage);
}

Statement& SqliteWriter::insertStatement(const std::string& table, const Table& snapshot,
                                         std::span<const FieldValue> values) {
    key_ = "INSERT ";
    appendQuoted(key_, table);
    for (const auto& value : values) appendQuoted(key_, fieldOf(snapshot, value.column).name);
    if (Statement* kept = statements_.find(key_)) return *kept;
    std::string sql = "INSERT INTO " + quoteIdentifier(table);
    if (values.empty()) return statements_.keep(key_, sql + " DEFAULT VALUES");
    std::string names;
    std::string marks;
    for (const auto& value : values) {
        names += (names.empty() ? "" : ", ") + quoteIdentifier(fieldOf(snapshot, value.column).name);
        marks += marks.empty() ? "?" : ", ?";
    }
    return statements_.keep(key_, sql + " (" + names + ") VALUES (" + marks + ")");
}

Statement* SqliteWriter::readBackStatement(const std::string& table) {
    auto& kept = readBacks_[table];
    if (!kept) {
        try {
            kept = std::make_unique<Statement>(
                db_, "SELECT * FROM " + quoteIdentifier(table) + " WHERE rowid = ?");
        } catch (const SqliteError&) {
            return nullptr;
        }
    }
    return kept.get();
}

// The row joins the snapshot only once the commit has succeeded. The read-back that shows the stored
// row with its database defaults runs inside the post's transaction, so it needs no read lock of its
// own, and is reset before the commit: a statement left on its row through a commit keeps that
// connection's read snapshot, so SQLite could never fold the log back and it would grow with every
// post of a batch job.
RowKey SqliteWriter::append(const std::string& table, Table& snapshot, std::span<const FieldValue> values) {
    Statement& insert = insertStatement(table, snapshot, values);
    Statement* readBack = readBackStatement(table);
    RowKey key = 0;
    bool readOk = false;
    {
        const ResetOnExit resetInsert(&insert);
        PostTransaction transaction(db_, begin_, commit_);
        int parameter = 1;
        for (const auto& value : values)
            bindValue(insert, parameter++, fieldOf(snapshot, value.column), value.value);
        insert.step();
        key = lastInsertRowId(db_);
        if (readBack != nullptr) {
            const ResetOnExit resetReadBack(readBack);
            readBack->bindInt64(1, key);
            try {
                readOk =
                    readBack->step() && readBack->columnCount() == static_cast<int>(snapshot.columns.size());
                if (readOk) {
                    stored_.resize(snapshot.columns.size());
                    for (std::size_t i = 0; i < stored_.size(); ++i)
                        copyStoredValue(stored_[i], readBack->handle(), static_cast<int>(i));
                }
            } catch (const SqliteError&) {
                // The row is stored all the same; it shows what was written.
                readOk = false;
            }
        }
        transaction.commit();
    }

    if (readOk) {
        for (std::size_t i = 0; i < snapshot.columns.size(); ++i)
            appendStoredValue(snapshot.columns[i], stored_[i]);
    } else {
        appendWrittenRow(snapshot, values);
    }
    return key;
}

}  // namespace lumaref
