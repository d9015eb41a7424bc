// What every store does for the record sets, run against each store there is: a new store joins by
// adding a backend to kBackends that builds the contract's table in its own dialect.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "db/connection.h"
#include "db/database_file.h"
#include "db/postgres_notifications.h"
#include "db/postgres_store.h"
#include "db/record_set.h"
#include "db/sqlite_change_log.h"
#include "db/sqlite_store.h"
#include "db/statement.h"
#include "db/store.h"
#include "support/case_name.h"
#include "support/error_text.h"
#include "support/postgres_schema.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

using test::errorOf;

// A database holding the table `items`: name VARCHAR(20) NOT NULL, note of any length, flag BOOLEAN
// NOT NULL DEFAULT false, count INTEGER, ratio REAL, status VARCHAR(10) DEFAULT 'new'; and its rows
// ('alpha', 'first', true, 7, 2.5, 'old'), ('beta', NULL, false, NULL, NULL, NULL).
class ContractDatabase {
public:
    virtual ~ContractDatabase() = default;
    // A connection of its own to the database, as another program would hold one.
    virtual std::unique_ptr<Store> connect() = 0;
    // A connection that may read the table but not change it.
    virtual std::unique_ptr<Store> connectReader() = 0;
    // A connection that may not even read the table; nullptr where the database has no such right.
    virtual std::unique_ptr<Store> connectWithoutReading() = 0;
    // The connection string a record set's connection opens.
    virtual std::string connectionString() = 0;
    // What a load does: every row replaced by one ('omega'), in one transaction that says so.
    virtual void replaceRowsAsALoadDoes() = 0;
    // Another program changes a table of the same name in another part of the server (a schema of its
    // own); nothing where the database is a file of its own.
    virtual void changeATableOfTheSameNameElsewhere() {}
};

class SqliteDatabase : public ContractDatabase {
public:
    SqliteDatabase() {
        test::execSql(
            path_,
            "CREATE TABLE items (name TEXT(20) NOT NULL, note MEMO, flag BOOLEAN NOT NULL DEFAULT 0, "
            "count INTEGER, ratio REAL, status TEXT(10) DEFAULT 'new');"
            "INSERT INTO items VALUES ('alpha', 'first', 1, 7, 2.5, 'old');"
            "INSERT INTO items VALUES ('beta', NULL, 0, NULL, NULL, NULL);");
    }
    std::unique_ptr<Store> connect() override { return SqliteStore::open(path_, false, 1000); }
    std::unique_ptr<Store> connectReader() override { return SqliteStore::open(path_, true, 1000); }
    // Whoever may open the file reads every table in it.
    std::unique_ptr<Store> connectWithoutReading() override { return nullptr; }
    std::string connectionString() override { return "Data Source=" + path_ + ";"; }
    void replaceRowsAsALoadDoes() override {
        const DatabaseFile file(path_, DatabaseFile::Mode::ReadWrite);
        Transaction load(file.handle(), Transaction::Lock::Immediate);
        exec(file.handle(), "DELETE FROM items; INSERT INTO items (name) VALUES ('omega')");
        noteTableReplaced(file.handle(), "items");
        load.commit();
    }

private:
    test::TempDir dir_;
    std::string path_ = dir_.file("contract.db");
};

// The same table on a PostgreSQL server, keyed by the identity column the store never shows; the
// reader is a role granted SELECT only.
class PostgresDatabase : public ContractDatabase {
public:
    PostgresDatabase() {
        schema_.exec(
            std::string("CREATE TABLE items (") + kPostgresKeyColumn +
            " bigint GENERATED ALWAYS AS IDENTITY, name varchar(20) NOT NULL, note text, flag boolean "
            "NOT NULL DEFAULT false, count integer, ratio double precision, status varchar(10) DEFAULT "
            "'new');"
            "INSERT INTO items (name, note, flag, count, ratio, status) VALUES "
            "('alpha', 'first', true, 7, 2.5, 'old'), ('beta', NULL, false, NULL, NULL, NULL);");
    }
    std::unique_ptr<Store> connect() override { return PostgresStore::open(schema_.conninfo(), 1000); }
    std::unique_ptr<Store> connectReader() override {
        return PostgresStore::open(schema_.conninfo(schema_.createReader()), 1000);
    }
    std::unique_ptr<Store> connectWithoutReading() override {
        return PostgresStore::open(schema_.conninfo(schema_.createRole("stranger")), 1000);
    }
    std::string connectionString() override { return schema_.conninfo(); }
    void changeATableOfTheSameNameElsewhere() override {
        const test::PostgresSchema elsewhere;
        elsewhere.exec(
            std::string("CREATE TABLE items (") + kPostgresKeyColumn +
            " bigint GENERATED ALWAYS AS IDENTITY, name text); INSERT INTO items (name) VALUES ('x')");
        const auto other = PostgresStore::open(elsewhere.conninfo(), 1000);
        const LoadedTable theirs = other->load("items");
        const FieldChange name[] = {{0, "y", "x"}};
        other->update("items", theirs.table, theirs.keys[0], name);
    }
    void replaceRowsAsALoadDoes() override {
        PgConnection loader(schema_.conninfo());
        inOneTransaction(loader, [&] {
            loader.exec("DELETE FROM items; INSERT INTO items (name) VALUES ('omega')");
            notifyTableReplaced(loader, "items");
        });
    }

private:
    test::PostgresSchema schema_;
};

struct Backend {
    const char* name;
    std::function<std::unique_ptr<ContractDatabase>()> create;
    // Why the backend cannot run here (no server), or nullopt.
    std::function<std::optional<std::string>()> unavailable;
};

void PrintTo(const Backend& backend, std::ostream* out) { *out << backend.name; }

const Backend kBackends[] = {
    {"Sqlite", [] { return std::make_unique<SqliteDatabase>(); },
     []() -> std::optional<std::string> { return std::nullopt; }},
    {"Postgres", [] { return std::make_unique<PostgresDatabase>(); },
     test::PostgresSchema::unavailableReason},
};

enum Item : std::size_t { kName, kNote, kFlag, kCount, kRatio, kStatus };

// A row as the snapshot reads it, nulls as "<null>".
std::vector<std::string> rowOf(const Table& table, std::size_t row) {
    std::vector<std::string> values;
    values.reserve(table.columns.size());
    for (const auto& column : table.columns)
        values.emplace_back(column.isNull(row) ? "<null>" : std::string(column.text(row)));
    return values;
}

class StoreContract : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        if (const auto reason = GetParam().unavailable()) GTEST_SKIP() << *reason;
        database = GetParam().create();
        store = database->connect();
        items = store->load("items");
    }
    // The table as a fresh connection finds it: what was committed, and only that.
    LoadedTable committed() { return database->connect()->load("items"); }

    std::unique_ptr<ContractDatabase> database;
    std::unique_ptr<Store> store;
    LoadedTable items;
};

TEST_P(StoreContract, LoadsColumnsKindsValuesAndKeysInStoredOrder) {
    const std::vector<std::pair<std::string, FieldKind>> fields = {
        {"name", FieldKind::Text},     {"note", FieldKind::Text},  {"flag", FieldKind::Boolean},
        {"count", FieldKind::Integer}, {"ratio", FieldKind::Real}, {"status", FieldKind::Text}};
    ASSERT_EQ(items.table.columns.size(), fields.size()) << "the key is not a column";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(items.table.columns[i].info().name, fields[i].first);
        EXPECT_EQ(items.table.columns[i].kind(), fields[i].second) << fields[i].first;
    }
    EXPECT_EQ(items.table.columns[kName].info().maxChars, 20u);
    EXPECT_EQ(items.table.columns[kNote].info().maxChars, 0u);
    ASSERT_EQ(items.keys.size(), 2u);
    EXPECT_NE(items.keys[0], items.keys[1]);
    EXPECT_EQ(rowOf(items.table, 0), (std::vector<std::string>{"alpha", "first", "True", "7", "2.5", "old"}));
    EXPECT_EQ(rowOf(items.table, 1),
              (std::vector<std::string>{"beta", "<null>", "False", "<null>", "<null>", "<null>"}));
    EXPECT_EQ(errorOf([&] { store->load("missing"); }), missingTableMessage("missing"));
}

TEST_P(StoreContract, AnAppendReadsItsRowBackWithTheDatabaseDefaults) {
    const FieldValue values[] = {{kName, "gamma"}, {kRatio, "0.125"}};
    const RowKey key = store->append("items", items.table, values);
    ASSERT_EQ(items.table.rowCount(), 3u);
    const std::vector<std::string> expected = {"gamma", "<null>", "False", "<null>", "0.125", "new"};
    EXPECT_EQ(rowOf(items.table, 2), expected);
    const LoadedTable stored = committed();
    ASSERT_EQ(stored.keys.size(), 3u);
    EXPECT_EQ(stored.keys[2], key);
    EXPECT_EQ(rowOf(stored.table, 2), expected);
}

TEST_P(StoreContract, AFailedAppendLeavesTheSnapshotAndTheDatabaseAsTheyWere) {
    const FieldValue withoutName[] = {{kNote, "no name"}};
    EXPECT_NE(errorOf([&] { store->append("items", items.table, withoutName); }), "(no error)");
    EXPECT_EQ(items.table.rowCount(), 2u);
    EXPECT_EQ(committed().keys.size(), 2u);
    const FieldValue named[] = {{kName, "delta"}};
    store->append("items", items.table, named);
    EXPECT_EQ(committed().keys.size(), 3u) << "no transaction was left open by the failure";
}

std::optional<std::string_view> valueRead(const Table& table, std::size_t row, std::size_t field) {
    const Column& column = table.columns[field];
    return column.isNull(row) ? std::nullopt : std::optional<std::string_view>(column.text(row));
}

// Another connection changes a row after we read it; we then write `ourField` and the row's name from
// the values we read. A conflict writes neither.
struct ConflictCase {
    const char* name;
    std::size_t row;
    std::size_t theirField;
    std::optional<std::string_view> theirValue;
    std::size_t ourField;
    bool conflict;
};

TEST_P(StoreContract, AnUpdateWritesOnlyOverTheValuesItRead) {
    const ConflictCase cases[] = {
        {"value changed to another value", 0, kCount, "8", kCount, true},
        {"value changed to null", 0, kNote, std::nullopt, kNote, true},
        {"null changed to a value", 1, kRatio, "1.5", kRatio, true},
        {"another field changed", 0, kStatus, "done", kCount, false},
        {"null left as it was", 1, kCount, "1", kNote, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto fresh = GetParam().create();
        const auto ours = fresh->connect();
        const auto theirs = fresh->connect();
        const LoadedTable ourRead = ours->load("items");
        const LoadedTable theirRead = theirs->load("items");
        const FieldChange theirChange[] = {
            {c.theirField, c.theirValue, valueRead(theirRead.table, c.row, c.theirField)}};
        theirs->update("items", theirRead.table, theirRead.keys[c.row], theirChange);
        const std::vector<std::string> before = rowOf(theirs->load("items").table, c.row);

        const FieldChange ourChanges[] = {{kName, "renamed", valueRead(ourRead.table, c.row, kName)},
                                          {c.ourField, "42", valueRead(ourRead.table, c.row, c.ourField)}};
        const std::string error =
            errorOf([&] { ours->update("items", ourRead.table, ourRead.keys[c.row], ourChanges); });
        std::vector<std::string> expected = before;
        if (!c.conflict) {
            expected[kName] = "renamed";
            expected[c.ourField] = "42";
        }
        EXPECT_EQ(error, c.conflict ? kRowConflictMessage : "(no error)");
        EXPECT_EQ(rowOf(theirs->load("items").table, c.row), expected);
    }
}

// A role reaches what it may not do (a reader the administrator's controls, a stranger the table):
// each refusal is one message in the program's words, the database keeps what it had, and the
// connection goes on answering.
TEST_P(StoreContract, EachRefusalIsOneMessageAndChangesNothing) {
    const auto reader = database->connectReader();
    const auto stranger = database->connectWithoutReading();
    LoadedTable read = reader->load("items");
    const FieldChange rename[] = {{kName, "renamed", "alpha"}};
    const FieldValue added[] = {{kName, "gamma"}};
    const struct {
        const char* what;
        Store* by;
        std::function<void()> refused;
        std::string message;
    } cases[] = {
        {"a reader's edit", reader.get(), [&] { reader->update("items", read.table, read.keys[0], rename); },
         kReadOnlyMessage},
        {"a reader's append", reader.get(), [&] { reader->append("items", read.table, added); },
         kReadOnlyMessage},
        {"a stranger's load", stranger.get(), [&] { stranger->load("items"); },
         noReadPermissionMessage("items")},
        {"a stranger's load again", stranger.get(), [&] { stranger->load("items"); },
         noReadPermissionMessage("items")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.by == nullptr) continue;  // no such role on this database
        EXPECT_EQ(errorOf(c.refused), c.message);
    }
    EXPECT_EQ(read.table.rowCount(), 2u);
    EXPECT_EQ(rowOf(reader->load("items").table, 0), rowOf(items.table, 0));
    EXPECT_EQ(committed().keys.size(), 2u);
}

// A batch job's posts, some refused on the way (a row another program changed meanwhile, a row the table
// refuses), each still its own commit: whichever store, and wherever the refusals surface, once the
// batch is over the record set holds what the database holds, but for the other program's change,
// which it has not read.
TEST_P(StoreContract, AfterABatchTheRecordSetHoldsWhatTheDatabaseHolds) {
    Connection connection(database->connectionString());
    RecordSet records("ADOQuery1", connection, "items");
    records.open();
    const auto other = database->connect();
    const LoadedTable theirs = other->load("items");
    const FieldChange theirChange[] = {{kCount, "5", std::nullopt}};
    other->update("items", theirs.table, theirs.keys[1], theirChange);

    std::vector<std::string> errors;
    const auto attempt = [&](const std::function<void()>& step) {
        const std::string error = errorOf(step);
        if (error != "(no error)") errors.push_back(error);
    };
    const auto edit = [&](int recNo, const char* field, const char* value) {
        records.setRecNo(recNo);
        records.edit();
        records.setFieldAsString(field, value);
        records.post();
    };
    const auto append = [&](const char* field, const char* value) {
        records.append();
        records.setFieldAsString(field, value);
        records.post();
    };
    {
        PostBatch batch(records);
        attempt([&] { edit(1, "note", "changed"); });
        attempt([&] { edit(2, "count", "9"); });  // read as null, now 5
        attempt([&] { append("name", "gamma"); });
        attempt([&] { append("note", "no name"); });  // name may not be null
        attempt([&] { batch.finish(); });
    }
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.front(), kRowConflictMessage);
    EXPECT_EQ(records.state(), RecordSet::State::Browse);

    const LoadedTable stored = committed();
    ASSERT_EQ(stored.table.rowCount(), 3u);
    EXPECT_EQ(rowOf(stored.table, 0)[kNote], "changed");
    EXPECT_EQ(rowOf(stored.table, 1)[kCount], "5");
    EXPECT_EQ(rowOf(stored.table, 2)[kName], "gamma");
    ASSERT_EQ(records.snapshot().rowCount(), stored.table.rowCount());
    for (std::size_t row = 0; row < stored.table.rowCount(); ++row) {
        std::vector<std::string> expected = rowOf(stored.table, row);
        if (row == 1) expected[kCount] = "<null>";
        EXPECT_EQ(rowOf(records.snapshot(), row), expected) << "row " << row;
    }
}

// What another program commits reaches a store that loaded the table: the keys of the rows it
// posted, or every row after a load; never the store's own posts, nor anything twice.
TEST_P(StoreContract, OthersCommitsAreReportedByKeyAndTheirRowsReadAgain) {
    const auto other = database->connect();
    LoadedTable theirs = other->load("items");
    enum class Who { Nobody, Us, Elsewhere, Them, Load };
    const struct {
        const char* what;
        Who who;
        bool everyRow;
        std::vector<std::vector<std::string>> rowsReadAgain;  // by the keys reported, in key order
    } cases[] = {
        {"nothing committed", Who::Nobody, false, {}},
        {"our own edit and append", Who::Us, false, {}},
        {"a table of the same name elsewhere", Who::Elsewhere, false, {}},
        {"their edit and append",
         Who::Them,
         false,
         {{"alpha", "first", "True", "8", "2.5", "old"},
          {"zeta", "<null>", "False", "<null>", "<null>", "new"}}},
        {"their load", Who::Load, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.who == Who::Us) {
            const FieldChange count[] = {{kCount, "1", std::nullopt}};
            const FieldValue psi[] = {{kName, "psi"}};
            store->update("items", items.table, items.keys[1], count);
            store->append("items", items.table, psi);
        } else if (c.who == Who::Them) {
            const FieldChange count[] = {{kCount, "8", "7"}};
            const FieldValue zeta[] = {{kName, "zeta"}};
            other->update("items", theirs.table, theirs.keys[0], count);
            other->append("items", theirs.table, zeta);
        } else if (c.who == Who::Elsewhere) {
            database->changeATableOfTheSameNameElsewhere();
        } else if (c.who == Who::Load) {
            database->replaceRowsAsALoadDoes();
        }
        std::vector<TableChanges> changes = store->othersChanges();
        if (c.who != Who::Them && !c.everyRow) {
            EXPECT_TRUE(changes.empty());
            continue;
        }
        // A server hands a notification to its listener a moment after the commit: another look takes in
        // what had not come yet, as the window's next idle tick does.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        const auto whole = [&] {
            return !changes.empty() &&
                   (changes[0].everyRow || changes[0].keys.size() >= c.rowsReadAgain.size());
        };
        while (!whole() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            for (const TableChanges& more : store->othersChanges()) {
                if (changes.empty()) {
                    changes.push_back(more);
                    continue;
                }
                changes[0].everyRow = changes[0].everyRow || more.everyRow;
                changes[0].keys.insert(changes[0].keys.end(), more.keys.begin(), more.keys.end());
                std::sort(changes[0].keys.begin(), changes[0].keys.end());
            }
        }
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(changes[0].table, "items");
        EXPECT_EQ(changes[0].everyRow, c.everyRow);
        const LoadedTable again = store->loadRows("items", changes[0].keys);
        EXPECT_EQ(again.keys, changes[0].keys);
        std::vector<std::vector<std::string>> rows;
        rows.reserve(again.keys.size());
        for (std::size_t row = 0; row < again.keys.size(); ++row) rows.push_back(rowOf(again.table, row));
        EXPECT_EQ(rows, c.rowsReadAgain);
        EXPECT_TRUE(store->othersChanges().empty()) << "each change is reported once";
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreContract, ::testing::ValuesIn(kBackends), test::CaseName());

}  // namespace
}  // namespace lumaref
