#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "filter/column.h"
#include "text/error.h"

namespace lumaref {

// How a store knows a row: SQLite's rowid; in PostgreSQL an identity column the grid never shows.
using RowKey = std::int64_t;

// A table as loaded: its columns in table order, and the key of each row in row order.
struct LoadedTable {
    Table table;
    std::vector<RowKey> keys;
};

// What other programs committed to one table: the rows to read again, or all of them.
struct TableChanges {
    std::string table;
    bool everyRow = false;     // a load replaced the table, or what changed cannot be known
    std::vector<RowKey> keys;  // otherwise the rows changed or added, ascending, each once
};

// What was gathered by table, as the list a store reports: each table named, its keys ascending and
// each once (none when every row changed), tables where nothing changed left out.
std::vector<TableChanges> changesByTable(std::map<std::string, TableChanges>&& gathered);

// A field an edit writes: the new value and the value the row held when it was read (nullopt: null).
struct FieldChange {
    std::size_t column = 0;
    std::optional<std::string_view> value;
    std::optional<std::string_view> original;
};

// A field an append assigns; the fields it leaves out take their database defaults.
struct FieldValue {
    std::size_t column = 0;
    std::optional<std::string_view> value;
};

inline constexpr const char* kRowConflictMessage =
    "Row cannot be located for updating. Some values may have been changed since it was last read.";
// What a post says when the database refuses it, whichever store.
inline constexpr const char* kReadOnlyMessage = "Cannot update. Database or object is read-only.";
inline constexpr const char* kLockedMessage =
    "Could not update; the database is locked by another program. Try again later.";
inline constexpr const char* kDiskFullMessage = "Could not update; the disk is full.";

// The connection to the database broke while a command was on its way (the server went away, the
// network fell silent, a stop was requested). What was sent and not answered may or may not have been
// done; the connection does nothing more.
class ConnectionLost : public Error {
public:
    using Error::Error;
};

std::string missingTableMessage(std::string_view table);

// Appends a row as it was written to `snapshot`: the values given, every other field null.
void appendWrittenRow(Table& snapshot, std::span<const FieldValue> values);
// What a load says when the database lets this user connect but not read the table.
std::string noReadPermissionMessage(std::string_view table);

// Told what became of the posts a store sent ahead of their answers (Store::beginBatch), one by one in
// the order they were sent.
class PostOutcomes {
public:
    virtual ~PostOutcomes() = default;
    // The oldest post still open was committed. For an append: the key its row got, and the row in the
    // snapshot now holds what the database stored (defaults included).
    virtual void committed(std::optional<RowKey> appendedKey) = 0;
    // The oldest post still open was refused, or never done: nothing of it is stored. A refusal other
    // than a changed row also refuses every post sent after it in the batch.
    virtual void refused() = 0;
};

// Where record sets load their tables and post their rows. Values cross as the text their field kind
// reads (value_text.h). Every post is its own commit; a post made while the connection is already
// inside a transaction joins it instead. Failures throw Error with the text a user sees.
class Store {
public:
    virtual ~Store() = default;

    // Every row of `table` in the order the rows were stored, each column's kind from its declared
    // type. A table that does not exist throws missingTableMessage(table); one the user may not read,
    // noReadPermissionMessage(table).
    virtual LoadedTable load(const std::string& table) = 0;

    // Writes at least one change to the row known by `key`, but only if every changed field still holds
    // its original value; otherwise nothing is written and kRowConflictMessage is thrown. `snapshot`
    // is the table as loaded: it names the fields and their kinds.
    virtual void update(const std::string& table, const Table& snapshot, RowKey key,
                        std::span<const FieldChange> changes) = 0;

    // Inserts a row, reads it back as stored (database defaults included) and appends it to
    // `snapshot`; returns its key. A failure leaves `snapshot` as it was.
    virtual RowKey append(const std::string& table, Table& snapshot, std::span<const FieldValue> values) = 0;

    // What other programs committed, since the last call, to the tables this store has loaded; the first
    // call reports what they committed since the load. The store's own posts are never among them. Cheap
    // when nothing was committed: a window asks on a timer while it is idle.
    virtual std::vector<TableChanges> othersChanges() = 0;
    // The rows of `table` whose keys are among `keys` (ascending), as stored now, in key order; a key
    // that no row has is left out.
    virtual LoadedTable loadRows(const std::string& table, std::span<const RowKey> keys) = 0;

    // How long a post waits for another program's lock before it fails.
    virtual void setBusyTimeoutMs(int ms) = 0;
    virtual bool readOnly() const = 0;
    // Whether this user may add rows to `table` and change them: false for a read-only database or an
    // account without those rights.
    virtual bool mayChange(const std::string& table) = 0;
    // True once the connection to the database has broken; it then does nothing more.
    virtual bool lost() const { return false; }

    // A batch job's posts may travel ahead of their answers, each still its own commit: from here until
    // finishBatch, update and append may return before the database answers; an update's change or an
    // append's row (with the values sent) is in the snapshot at once, and `outcomes` hears later whether
    // it was committed. Returns false when posts stay one at a time (each committed before it returns).
    // A refusal found on the way throws from the call that finds it, `outcomes` told first; a lost
    // connection refuses every post still open.
    virtual bool beginBatch(PostOutcomes& outcomes) {
        static_cast<void>(outcomes);
        return false;
    }
    // Waits for every post of the batch; throws the first refusal not yet thrown. Afterwards posts go
    // one at a time.
    virtual void finishBatch() {}
    // Ends the batch without throwing: the posts still open are waited for and told as usual.
    virtual void abandonBatch() noexcept {}
};

}  // namespace lumaref
